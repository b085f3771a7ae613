#include "NeighboursCommand.h"

#include <fstream>
#include <iostream>

#include "AtomicOutputFile.h"
#include "CatalogSearch.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "MirrorsFlag.h"

NeighboursCommand::NeighboursCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand("neighbours", "The nearest parts of every indexed part, as JSON lines");
  command->add_option("--db", _database, "The catalog database made by geosig index")->required();
  command->add_option("-k", _count, "Neighbours per part")->required();
  command->add_option("-o,--output", _output, "The JSON-lines file to write (schema in docs/geosig-search-json.md)")
      ->required();
  command->add_flag("--any-size", _anySize, "Ignore the absolute size: compare shapes only");
  AddMirrorsOption(*command, _mirrors);
}

int NeighboursCommand::Run() const {
  if (_count < 1) {
    std::cerr << "geosig: neighbours: -k must be at least 1, not " << _count << '\n';
    return ExitStatus::Usage;
  }
  try {
    const CatalogSearch search(_database);
    const SignatureMetric metric(_anySize);
    try {
      AtomicOutputFile output(_output);
      {
        std::ofstream lines(output.TemporaryPath(), std::ios::binary);
        for (const SignatureSummary& part : search.Catalog().Summaries()) {
          Report found = Report::array();
          for (const SignatureMatch& match : search.Search().Nearest(
                   search.Catalog().SignatureOf(part.id), static_cast<std::size_t>(_count), metric, part.id, _mirrors))
            found.push_back(search.MatchReport(match));
          Report record = FileRecord(search.PathOf(part.id));
          record["neighbours"] = std::move(found);
          lines << ReportText(record) << '\n';
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
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatus::CatalogFailed;
  }
}
