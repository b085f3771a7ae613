#include "TextReport.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "DescriptorSections.h"

namespace {

// Numbers with at most 9 significant digits, as many as a float holds: products of matrices
// computed in double need no more to be read.
std::string Scalar(const Report& iValue) {
  if (iValue.is_string()) return iValue.get<std::string>();
  if (!iValue.is_number_float()) return iValue.dump();
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", iValue.get<double>());
  return text;
}

std::string Tuple(const Report& iValues) {
  std::string text = "(";
  for (std::size_t k = 0; k < iValues.size(); ++k) text += (k ? ", " : "") + Scalar(iValues[k]);
  return text + ")";
}

// A scalar or a vector takes one line, a matrix one line per row, an object one line per
// member (its name, then its value's lines).
std::vector<std::string> Lines(const Report& iValue) {
  if (iValue.is_object()) {
    std::size_t width = 0;
    for (const auto& member : iValue.items()) width = std::max(width, member.key().size());
    std::vector<std::string> lines;
    for (const auto& member : iValue.items()) {
      const std::vector<std::string> valueLines = Lines(member.value());
      for (std::size_t k = 0; k < valueLines.size(); ++k) {
        const std::string label = k == 0 ? member.key() : std::string();
        lines.push_back(label + std::string(width + 2 - label.size(), ' ') + valueLines[k]);
      }
    }
    return lines;
  }
  if (iValue.is_array() && !iValue.empty() && iValue.front().is_array()) {
    std::vector<std::string> rows;
    for (const Report& row : iValue) rows.push_back(Tuple(row));
    return rows;
  }
  return {iValue.is_array() ? Tuple(iValue) : Scalar(iValue)};
}

}  // namespace

void WriteFileHeading(std::ostream& ioStream, const Report& iFileReport) {
  ioStream << Scalar(iFileReport["file"]) << " (" << Scalar(iFileReport["format"]) << ")\n";
  if (iFileReport.contains("warnings"))
    for (const Report& warning : iFileReport["warnings"]) ioStream << "  warning: " << Scalar(warning) << '\n';
}

void WriteTitledValues(std::ostream& ioStream, const std::vector<TitledValue>& iValues) {
  std::size_t width = 0;
  for (const TitledValue& entry : iValues) width = std::max(width, entry.title.size() + 2);
  for (const TitledValue& entry : iValues) {
    const std::vector<std::string> lines = Lines(entry.value);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const std::string title = k == 0 ? entry.title : "";
      ioStream << "  " << title << std::string(width - title.size(), ' ') << lines[k] << '\n';
    }
  }
}

void WriteTextReport(std::ostream& ioStream, const Report& iFileReport) {
  WriteFileHeading(ioStream, iFileReport);
  const Report& descriptors = iFileReport["descriptors"];
  std::vector<TitledValue> values;
  for (const DescriptorSection& section : DescriptorSections())
    if (descriptors.contains(section.key)) values.push_back({section.title, descriptors[section.key]});
  WriteTitledValues(ioStream, values);
}
