#include "ImportOptionsReport.h"

Report ImportOptionsReport(const ImportOptions& iOptions) {
  return {{"relativeDeflection", iOptions.relativeDeflection},
          {"absoluteDeflection", iOptions.absoluteDeflection},
          {"angularDeflection", iOptions.angularDeflection},
          {"parallelTessellation", iOptions.parallelTessellation}};
}

ImportOptions ImportOptionsOf(const Report& iReport) {
  ImportOptions options;
  options.relativeDeflection = iReport.at("relativeDeflection").get<double>();
  options.absoluteDeflection = iReport.at("absoluteDeflection").get<double>();
  options.angularDeflection = iReport.at("angularDeflection").get<double>();
  options.parallelTessellation = iReport.at("parallelTessellation").get<bool>();
  return options;
}
