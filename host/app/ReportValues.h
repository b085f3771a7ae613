#pragma once
// Descriptor values as report entries. Single-precision results are reported with the
// shortest decimal that gives the float back, so 0.1f reads 0.1, not 0.10000000149.
#include <nlohmann/json.hpp>

#include <string>

#include "Zar4x4Matrix.h"
#include "ZarMathPoint.h"

using Report = nlohmann::ordered_json;

Report ReportNumber(float iValue);
Report ReportTriple(float iX, float iY, float iZ);
Report ReportPoint(const ZarMathPointf& iPoint);
Report ReportVector(const ZarMathVectorf& iVector);
// Four rows of four numbers: the linear part and translation, then (0, 0, 0, 1). Elements
// that are exactly single-precision values are reported as such.
Report ReportMatrix(const Zar4x4Matrix& iMatrix);

// iText with every byte that is not part of valid UTF-8 replaced by U+FFFD: iText itself when
// it is valid.
std::string ValidUtf8(const std::string& iText);

// The report as JSON text, indented by iIndent spaces per level, or on one line with -1. A
// string that is not valid UTF-8 (a reader's message quoting a file's bytes) is written with
// U+FFFD for each bad byte, never refused.
std::string ReportText(const Report& iReport, int iIndent = -1);
