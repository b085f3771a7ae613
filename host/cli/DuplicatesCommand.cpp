#include "DuplicatesCommand.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <numeric>

#include "CatalogSearch.h"
#include "ExitStatus.h"
#include "JsonDocument.h"

namespace {

// Groups of at least two parts, each group being the parts linked to each other, directly
// or through others, by a match within the distance; paths sorted within and across groups.
std::vector<std::vector<std::string>> SimilarGroups(const CatalogSearch& iSearch, const SignatureMetric& iMetric,
                                                    double iMaxDistance) {
  const std::vector<SignatureSummary> parts = iSearch.Catalog().Summaries();
  std::map<std::int64_t, std::size_t> indexOf;
  for (std::size_t k = 0; k < parts.size(); ++k) indexOf[parts[k].id] = k;
  std::vector<std::size_t> leader(parts.size());
  std::iota(leader.begin(), leader.end(), 0);
  const auto root = [&](std::size_t iPart) {
    while (leader[iPart] != iPart) iPart = leader[iPart] = leader[leader[iPart]];
    return iPart;
  };
  for (const SignatureSummary& part : parts)
    for (const SignatureMatch& match :
         iSearch.Search().Nearest(iSearch.Catalog().SignatureOf(part.id), DuplicatesCommand::NearestLinks, iMetric,
                                  part.id, MirrorPolicy::Exclude))
      if (match.distance.combined <= iMaxDistance) leader[root(indexOf[match.id])] = root(indexOf[part.id]);
  std::map<std::size_t, std::vector<std::string>> members;
  for (std::size_t k = 0; k < parts.size(); ++k) members[root(k)].push_back(iSearch.PathOf(parts[k].id));
  std::vector<std::vector<std::string>> groups;
  for (auto& entry : members)
    if (entry.second.size() > 1) {
      std::sort(entry.second.begin(), entry.second.end());
      groups.push_back(std::move(entry.second));
    }
  std::sort(groups.begin(), groups.end());
  return groups;
}

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
  JsonDocument::AddFlag(*command, _json);
}

int DuplicatesCommand::Run() const {
  try {
    const CatalogSearch search(_database);
    const SignatureMetric metric(_anySize);
    const std::vector<std::vector<std::string>> identical = search.Catalog().IdenticalFiles();
    const std::vector<std::vector<std::string>> similar = SimilarGroups(search, metric, _maxDistance);
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
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatus::CatalogFailed;
  }
}
