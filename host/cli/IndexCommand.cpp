#include "IndexCommand.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>

#include "Catalog.h"
#include "CatalogError.h"
#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FingerprintCommand.h"
#include "ImportOptionFlags.h"
#include "IndexTask.h"
#include "ProgressLine.h"
#include "SignatureCatalog.h"

namespace {

// The tessellation options as one comparable text.
std::string OptionsText(const ImportOptions& iOptions) {
  std::ostringstream text;
  text.precision(17);
  text << "relative-deflection=" << iOptions.relativeDeflection << " deflection=" << iOptions.absoluteDeflection
       << " angular-deflection=" << iOptions.angularDeflection;
  return text.str();
}

// The indexed files that were under a walked directory and are no longer found.
std::vector<std::string> VanishedPaths(const SignatureCatalog& iCatalog, const std::vector<std::string>& iRoots,
                                       const std::set<std::string>& iFound) {
  std::vector<std::string> directories;
  for (const std::string& root : iRoots)
    if (std::filesystem::is_directory(root)) {
      std::string directory = SignatureCatalog::PathKey(root);
      if (directory.back() != '/') directory += '/';
      directories.push_back(directory);
    }
  std::vector<std::string> vanished;
  for (const std::string& path : iCatalog.Paths())
    if (!iFound.count(path) && std::any_of(directories.begin(), directories.end(), [&](const std::string& iDirectory) {
          return path.compare(0, iDirectory.size(), iDirectory) == 0;
        }))
      vanished.push_back(path);
  return vanished;
}

}  // namespace

IndexCommand::IndexCommand(CLI::App& ioApp) : _jobs(std::max(1u, std::thread::hardware_concurrency())) {
  CLI::App* command = ioApp.add_subcommand(
      "index", "Bring a catalog database up to date with model files: descriptors and shape signatures");
  _files.AddTo(*command);
  command->add_option("--db", _database, "The catalog database (SQLite), created when missing")->required();
  command->add_option("-j,--jobs", _jobs, "Files read at the same time")
      ->check(CLI::Range(1u, 256u))
      ->capture_default_str();
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

int IndexCommand::Run() const {
  int status = ExitStatus::Success;
  const std::optional<Catalog> files = _files.Files("index", status);
  if (!files) return status;
  try {
    SignatureCatalog catalog(_database, SignatureCatalog::Access::Write);
    const std::string optionsText = OptionsText(_options);
    std::set<std::string> found;
    std::vector<IndexedPart> pending;
    for (const std::string& file : files->Files()) {
      IndexedPart part;
      part.path = SignatureCatalog::PathKey(file);
      part.options = optionsText;
      found.insert(part.path);
      std::error_code error;
      const auto size = std::filesystem::file_size(file, error);
      if (!error) part.size = static_cast<std::int64_t>(size);
      try {
        part.fingerprint = FingerprintCommand::FingerprintOf(file);
      } catch (...) {
        part.error = CurrentFailureReason();
      }
      const auto stamp = catalog.Stamp(part.path);
      if (!part.error && stamp && stamp->first == part.fingerprint && stamp->second == optionsText) continue;
      pending.push_back(std::move(part));
    }
    catalog.Remove(VanishedPaths(catalog, _files.Paths(), found));

    // Files without a reason to fail yet are read in worker processes; the parent writes.
    std::vector<std::string> toRead;
    std::vector<IndexedPart*> readParts;
    for (IndexedPart& part : pending)
      if (!part.error) toRead.push_back(part.path), readParts.push_back(&part);
    const ProgressLine progress(pending.size(), ProgressLine::OnTerminal());
    std::size_t done = 0, failed = 0;
    const auto record = [&](IndexedPart& ioPart) {
      catalog.Put(ioPart);
      if (ioPart.error) {
        ++failed;
        progress.Erase();
        ReportFileFailure(ioPart.path, *ioPart.error);
      }
      progress.Show(++done, failed);
    };
    for (IndexedPart& part : pending)
      if (part.error) record(part);
    ImportOptions options = _options;
    options.parallelTessellation = false;
    const WorkerPool pool([options](const std::string& iPath) { return IndexTask(iPath, options); }, _limits);
    pool.Run(
        toRead, _jobs,
        [&](const WorkerOutcome& iOutcome) {
          IndexedPart& part = *readParts[iOutcome.index];
          IndexedPart read = iOutcome.succeeded ? ReadIndexRecord(iOutcome.value) : IndexedPart();
          if (!iOutcome.succeeded) read.error = iOutcome.value;
          part.format = std::move(read.format);
          part.error = std::move(read.error);
          part.descriptors = std::move(read.descriptors);
          part.signature = std::move(read.signature);
          record(part);
        },
        [&] { progress.Show(done, failed); });
    progress.Finish(done, failed);
    return failed > 0 ? ExitStatus::FileFailed : ExitStatus::Success;
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: " << failure.what() << '\n';
    return ExitStatus::CatalogFailed;
  }
}
