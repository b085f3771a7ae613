#include "JsonDocument.h"

JsonDocument::JsonDocument(const std::string& iCommand, int iVersion)
    : _document({{"schema", "geosig-" + iCommand}, {"version", iVersion}, {"files", Report::array()}}) {}

void JsonDocument::AddFlag(CLI::App& ioCommand, bool& ioJson) {
  ioCommand.add_flag("--json", ioJson, "Write one JSON document (schema in docs/geosig-json.md)");
}

void JsonDocument::Add(Report iFileEntry) { _document["files"].push_back(std::move(iFileEntry)); }

void JsonDocument::Write(std::ostream& ioStream) const { ioStream << ReportText(_document, 2) << '\n'; }
