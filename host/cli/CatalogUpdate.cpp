#include "CatalogUpdate.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "CommandFailure.h"
#include "FingerprintCommand.h"
#include "IndexTask.h"
#include "ResidentCatalog.h"

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

CatalogUpdate::CatalogUpdate(const std::string& iDatabase, const std::vector<std::string>& iFiles,
                             const std::vector<std::string>& iRoots, const ImportOptions& iOptions)
    : _database(iDatabase), _catalog(iDatabase, SignatureCatalog::Access::Write) {
  const std::string optionsText = OptionsText(iOptions);
  std::set<std::string> found;
  for (const std::string& file : iFiles) {
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
    const auto stamp = _catalog.Stamp(part.path);
    if (!part.error && stamp && stamp->first == part.fingerprint && stamp->second == optionsText) {
      ++_unchanged;
      continue;
    }
    if (!part.error) _toRead.push_back(part.path), _readPending.push_back(_pending.size());
    _pending.push_back(std::move(part));
  }
  const std::vector<std::string> vanished = VanishedPaths(_catalog, iRoots, found);
  _catalog.Remove(vanished);
  _removed = vanished.size();
}

CatalogUpdate::~CatalogUpdate() {
  try {
    const ResidentCatalog updated(_database);
    if (const std::string note = updated.Note(); note.find("not saved") != std::string::npos)
      std::cerr << "geosig: " << _database << ": " << note << '\n';
  } catch (const std::exception& failure) {
    std::cerr << "geosig: " << _database << ": the search index was not updated: " << failure.what() << '\n';
  }
}

std::vector<const IndexedPart*> CatalogUpdate::RecordUnreadable() {
  std::vector<const IndexedPart*> unreadable;
  for (const IndexedPart& part : _pending)
    if (part.error) {
      _catalog.Put(part);
      unreadable.push_back(&part);
    }
  return unreadable;
}

const IndexedPart& CatalogUpdate::Record(std::size_t iIndex, const std::string& iRecord) {
  return Put(iIndex, ReadIndexRecord(iRecord));
}

const IndexedPart& CatalogUpdate::RecordFailure(std::size_t iIndex, const std::string& iReason) {
  IndexedPart failed;
  failed.error = iReason;
  return Put(iIndex, std::move(failed));
}

const IndexedPart& CatalogUpdate::Put(std::size_t iIndex, IndexedPart&& ioRead) {
  IndexedPart& part = _pending.at(_readPending.at(iIndex));
  part.format = std::move(ioRead.format);
  part.error = std::move(ioRead.error);
  part.descriptors = std::move(ioRead.descriptors);
  part.signature = std::move(ioRead.signature);
  _catalog.Put(part);
  return part;
}
