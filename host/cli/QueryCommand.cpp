#include "QueryCommand.h"

#include <iomanip>
#include <iostream>

#include "AppFailure.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "ImportOptionFlags.h"
#include "IndexTask.h"
#include "JsonDocument.h"
#include "MirrorsFlag.h"
#include "OverwriteCheck.h"
#include "QueryPage.h"
#include "ViewedFile.h"

QueryCommand::QueryCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand("query", "The indexed parts most similar to a model");
  command->add_option("file", _file, "The model to look for");
  command->add_option("--entry", _entry, "Look for the part indexed at this path instead (not imported again)")
      ->excludes(command->get_option("file"));
  command->add_option("--db", _database, "The catalog database made by geosig index")->required();
  command->add_option("-k", _count, "How many parts to report")->capture_default_str();
  command->add_flag("--any-size", _anySize, "Ignore the absolute size: compare shapes only");
  AddMirrorsOption(*command, _mirrors);
  command->add_flag("--exact", _exact,
                    "Score every part instead of the search index's candidates (slow; for checking)");
  JsonDocument::AddFlag(*command, _json);
  CLI::Option* html =
      command->add_option("--html", _html, "Also write an HTML page showing the query and its matches in 3D");
  command->add_option("--depth", _depth, "Show the octree's voxels at this depth on the page (default: no voxels)")
      ->check(CLI::Range(1u, ViewedFile::MaxDepth))
      ->needs(html);
  command
      ->add_option("--display-triangles", _displayTriangles,
                   "Simplify each model drawn on the page above this many triangles")
      ->check(CLI::Range(std::size_t{1}, std::size_t{100000000}))
      ->capture_default_str()
      ->needs(html);
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int QueryCommand::Run() const {
  if (_count < 1)
    throw AppFailure(AppFailure::Kind::Usage, "query", "-k must be at least 1, not " + std::to_string(_count));
  if (_file.empty() && _entry.empty())
    throw AppFailure(AppFailure::Kind::Usage, "query", "give a model file or --entry PATH");
  if (!_html.empty()) {
    std::vector<std::string> inputs = CatalogDatabaseFiles(_database);
    inputs.push_back(_entry.empty() ? _file : _entry);
    if (RefusesToOverwrite(_html, inputs)) return ExitStatus::FileFailed;
  }
  // One search: the catalog is read as far as it needs.
  const CatalogSearch search(_database, ResidentCatalog::Loading::OnDemand);
  std::int64_t excluded = -1;
  std::optional<ShapeSignature> query;
  if (!_entry.empty()) {
    const auto id = search.Resident().IdOf(SignatureCatalog::PathKey(_entry));
    if (!id) return ReportFileFailure(_entry, "not indexed with a signature in " + _database);
    excluded = *id;
    query = search.Resident().SignatureOf(*id);
  } else {
    // Read in a worker process as index reads, so that a reader that fails on the file ends in its error.
    IndexedPart read = IsolatedIndexTask(_file, _options, _limits);
    if (read.error) return ReportFileFailure(_file, *read.error);
    query = std::move(read.signature);
  }
  const SignatureMetric metric(_anySize);
  const std::vector<SignatureMatch> matches =
      search.Resident().Query(*query, static_cast<std::size_t>(_count), metric, _exact, excluded, _mirrors);
  const std::string queryPath = _entry.empty() ? _file : SignatureCatalog::PathKey(_entry);
  if (!_html.empty() && !WritePage(search, queryPath, matches)) return ExitStatus::FileFailed;
  if (_json) {
    Report entry = FileRecord(queryPath);
    entry["entry"] = !_entry.empty();
    entry["anySize"] = _anySize;
    entry["mirrors"] = MirrorsName(_mirrors);
    entry["weights"] = CatalogSearch::WeightsReport(metric);
    entry["matches"] = Report::array();
    for (const SignatureMatch& match : matches) entry["matches"].push_back(search.MatchReport(match));
    JsonDocument document("query", 1);
    document.Add(std::move(entry));
    document.Write(std::cout);
  } else {
    int rank = 0;
    for (const SignatureMatch& match : matches)
      std::cout << std::setw(3) << ++rank << "  " << CatalogSearch::DistanceText(match.distance) << "  "
                << CatalogSearch::KindText(match) << "  " << search.PathOf(match.id) << '\n';
    if (!_html.empty()) std::cout << "written " << _html << '\n';
  }
  return ExitStatus::Success;
}

bool QueryCommand::WritePage(const CatalogSearch& iSearch, const std::string& iQuery,
                             const std::vector<SignatureMatch>& iMatches) const {
  std::vector<QueryPage::Shown> matches;
  std::vector<std::string> drawn;  // the page reads each match from its file
  for (const SignatureMatch& match : iMatches) {
    matches.push_back({iSearch.PathOf(match.id), "#" + std::to_string(matches.size() + 1) + "  distance " +
                                                     CatalogSearch::DistanceText(match.distance) + "  " +
                                                     CatalogSearch::KindText(match)});
    drawn.push_back(matches.back().path);
  }
  if (RefusesToOverwrite(_html, drawn)) return false;
  try {
    const QueryPage page(_options, _limits, _depth ? std::optional<unsigned int>(_depth) : std::nullopt,
                         _displayTriangles);
    for (const QueryPage::Unshown& model : page.Write({iQuery, "query"}, matches, _html))
      std::cerr << "geosig: " << model.path << ": " << model.reason << " (its view on the page gives the reason)\n";
  } catch (...) {
    ReportFileFailure(_html, CurrentFailureReason());
    return false;
  }
  return true;
}
