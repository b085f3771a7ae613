#include "NeighboursCommand.h"

#include <fstream>
#include <iostream>

#include "AppFailure.h"
#include "AtomicOutputFile.h"
#include "CatalogSearch.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "MirrorsFlag.h"
#include "OnAllCores.h"
#include "OverwriteCheck.h"

NeighboursCommand::NeighboursCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand("neighbours", "The nearest parts of every indexed part, as JSON lines");
  command->add_option("--db", _database, "The catalog database made by geosig index")->required();
  command->add_option("-k", _count, "Neighbours per part")->required();
  command->add_option("-o,--output", _output, "The JSON-lines file to write (schema in docs/geosig-search.md)")
      ->required();
  command->add_flag("--any-size", _anySize, "Ignore the absolute size: compare shapes only");
  AddMirrorsOption(*command, _mirrors);
  command->add_flag("--exact", _exact,
                    "Score every part instead of the search index's candidates (slow; for checking)");
}

int NeighboursCommand::Run() const {
  if (_count < 1)
    throw AppFailure(AppFailure::Kind::Usage, "neighbours", "-k must be at least 1, not " + std::to_string(_count));
  if (RefusesToOverwrite(_output, CatalogDatabaseFiles(_database))) return ExitStatus::FileFailed;
  const CatalogSearch search(_database);
  const SignatureMetric metric(_anySize);
  try {
    AtomicOutputFile output(_output);
    {
      std::ofstream lines(output.TemporaryPath(), std::ios::binary);
      const std::vector<std::int64_t> ids = search.Resident().Ids();
      // Searched on every core a block at a time, written in order.
      constexpr std::size_t block = 4096;
      std::vector<std::vector<SignatureMatch>> found;
      for (std::size_t first = 0; first < ids.size(); first += block) {
        found.assign(std::min(block, ids.size() - first), {});
        OnAllCores(found.size(), [&](std::size_t k) {
          found[k] =
              search.Resident().Neighbours(ids[first + k], static_cast<std::size_t>(_count), metric, _exact, _mirrors);
        });
        for (std::size_t k = 0; k < found.size(); ++k) {
          Report matches = Report::array();
          for (const SignatureMatch& match : found[k]) matches.push_back(search.MatchReport(match));
          Report record = FileRecord(search.PathOf(ids[first + k]));
          record["neighbours"] = std::move(matches);
          lines << ReportText(record) << '\n';
        }
      }
      if (!lines.flush()) throw std::runtime_error("cannot write: " + std::string(std::strerror(errno)));
    }
    output.Commit();
  } catch (const CatalogError&) {
    throw;
  } catch (const std::exception& failure) {
    return ReportFileFailure(_output, failure.what());
  }
  return ExitStatus::Success;
}
