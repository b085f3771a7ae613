#include "ReportValues.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

Report ReportNumber(float iValue) {
  // Not a JSON number: reported as null.
  if (!std::isfinite(iValue)) return nullptr;
  if (iValue == 0.0f) return 0.0;  // without the sign of a negative zero
  char text[32];
  const std::to_chars_result written = std::to_chars(text, text + sizeof text - 1, iValue);
  *written.ptr = '\0';
  return std::strtod(text, nullptr);
}

Report ReportTriple(float iX, float iY, float iZ) { return {ReportNumber(iX), ReportNumber(iY), ReportNumber(iZ)}; }

Report ReportPoint(const ZarMathPointf& iPoint) { return ReportTriple(iPoint.x, iPoint.y, iPoint.z); }

Report ReportVector(const ZarMathVectorf& iVector) { return ReportTriple(iVector.x, iVector.y, iVector.z); }

Report ReportMatrix(const Zar4x4Matrix& iMatrix) {
  Report rows = Report::array();
  for (int row = 0; row < 4; ++row) {
    Report values = Report::array();
    for (int col = 0; col < 4; ++col) {
      // Most coefficients come from single-precision results: those read best as floats.
      const double element = iMatrix.GetElement(row, col);
      const float narrowed = static_cast<float>(element);
      values.push_back(static_cast<double>(narrowed) == element ? ReportNumber(narrowed) : Report(element));
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

std::string ValidUtf8(const std::string& iText) { return Report::parse(ReportText(Report(iText))).get<std::string>(); }

std::string ReportText(const Report& iReport, int iIndent) {
  return iReport.dump(iIndent, ' ', false, Report::error_handler_t::replace);
}
