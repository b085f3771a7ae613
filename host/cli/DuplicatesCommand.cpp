#include "DuplicatesCommand.h"

#include <iostream>

#include "CatalogSearch.h"
#include "ExitStatus.h"
#include "JsonDocument.h"
#include "SignatureCatalog.h"

namespace {

void PrintGroups(const char* iKind, const std::vector<std::vector<std::string>>& iGroups) {
  for (const std::vector<std::string>& group : iGroups) {
    std::cout << iKind;
    for (const std::string& path : group) std::cout << "  " << path;
    std::cout << '\n';
  }
}

}  // namespace

DuplicatesCommand::DuplicatesCommand(CLI::App& ioApp) {
  CLI::App* command =
      ioApp.add_subcommand("duplicates", "Groups of identical files and of near-identical shapes in a catalog");
  command->add_option("--db", _database, "The catalog database made by geosig index")->required();
  command->add_option("--max-distance", _maxDistance, "Largest combined distance of near-identical shapes")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  command->add_flag("--any-size", _anySize, "Ignore the absolute size: compare shapes only");
  command->add_flag("--exact", _exact,
                    "Score every part instead of the search index's candidates (slow; for checking)");
  JsonDocument::AddFlag(*command, _json);
}

int DuplicatesCommand::Run() const {
  const CatalogSearch search(_database);
  const SignatureMetric metric(_anySize);
  const std::vector<std::vector<std::string>> identical =
      SignatureCatalog(_database, SignatureCatalog::Access::Read).IdenticalFiles();
  std::vector<std::vector<std::string>> similar;
  for (const std::vector<std::int64_t>& group : search.Resident().Duplicates(_maxDistance, metric, _exact)) {
    similar.emplace_back();
    for (const std::int64_t id : group) similar.back().push_back(search.PathOf(id));
  }
  if (_json) {
    const Report document = {{"schema", "geosig-duplicates"}, {"version", 1},
                             {"catalog", _database},          {"maxDistance", _maxDistance},
                             {"anySize", _anySize},           {"weights", CatalogSearch::WeightsReport(metric)},
                             {"identical", identical},        {"similar", similar}};
    std::cout << ReportText(document, 2) << '\n';
  } else {
    PrintGroups("identical", identical);
    PrintGroups("similar", similar);
  }
  return ExitStatus::Success;
}
