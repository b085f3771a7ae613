#include "CatalogUpdate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "FileFingerprint.h"
#include "IndexTask.h"
#include "Outcome.h"
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

// A directory as the catalog keeps paths, ending in '/', so that the paths under it start with it.
std::string DirectoryKey(const std::string& iDirectory) {
  std::string key = SignatureCatalog::PathKey(iDirectory);
  if (key.back() != '/') key += '/';
  return key;
}

// iDirectory as DirectoryKey gives it.
bool IsUnder(const std::string& iPath, const std::string& iDirectory) {
  return iPath.compare(0, iDirectory.size(), iDirectory) == 0;
}

bool IsUnder(const std::string& iPath, const std::vector<std::string>& iDirectories) {
  return std::any_of(iDirectories.begin(), iDirectories.end(),
                     [&](const std::string& iDirectory) { return IsUnder(iPath, iDirectory); });
}

// True when no file has the name any more; a name out of reach (a directory on the way that
// cannot be searched, an input/output error) is not known to be gone.
bool KnownGone(const std::string& iPath) {
  struct stat status;
  return lstat(iPath.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

// True when the name can be seen, whether or not the file opens.
bool Exists(const std::string& iPath) {
  struct stat status;
  return lstat(iPath.c_str(), &status) == 0;
}

// True when the file opens for reading (a FIFO without waiting for a writer).
bool Opens(const std::string& iPath) {
  const int file = open(iPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) return false;
  close(file);
  return true;
}

// iDatabase, unless it is one of the files or lists, which opening it for writing could spoil.
const std::string& NotAnInput(const std::string& iDatabase, const ModelFileSet& iFiles) {
  if (iFiles.Holds(iDatabase))
    throw CatalogError(iDatabase + ": is one of the models or lists: it would be overwritten");
  return iDatabase;
}

}  // namespace

CatalogUpdate::CatalogUpdate(const std::string& iDatabase, const ModelFileSet& iFiles, const ImportOptions& iOptions,
                             bool iPrune)
    : _database(iDatabase), _catalog(NotAnInput(iDatabase, iFiles), SignatureCatalog::Access::Write) {
  for (const auto& [directory, reason] : iFiles.Unreadable()) _untouched.emplace_back(directory, reason);
  const std::string optionsText = OptionsText(iOptions);
  for (const std::string& file : iFiles.Files()) Stamp(file, optionsText);
  _removed = RemoveGone(iFiles, iPrune);
}

void CatalogUpdate::Stamp(const std::string& iFile, const std::string& iOptionsText) {
  IndexedPart part;
  part.path = SignatureCatalog::PathKey(iFile);
  part.options = iOptionsText;
  std::error_code error;
  const auto size = std::filesystem::file_size(iFile, error);
  if (!error) part.size = static_cast<std::int64_t>(size);
  try {
    part.fingerprint = FileFingerprint(iFile);
  } catch (...) {
    part.error = CurrentFailureReason();
  }
  // A failure to open is no verdict on the file's bytes: a name that cannot be seen is no file to
  // record, and a file out of reach keeps what was learnt of it while it could be read.
  const bool outOfReach = part.error && !Opens(iFile);
  if (outOfReach && !Exists(iFile)) {
    _untouched.emplace_back(iFile, KnownGone(iFile) ? "no such file or directory" : *part.error);
    return;
  }
  _found.insert(part.path);
  const auto stamp = _catalog.Stamp(part.path);
  const bool keepsRecord = outOfReach && stamp;
  if (keepsRecord) *part.error += " (its earlier record is kept)";
  if (!part.error && stamp && stamp->first == part.fingerprint && stamp->second == iOptionsText) {
    ++_unchanged;
    return;
  }
  if (!part.error) _toRead.push_back(part.path), _readPending.push_back(_pending.size());
  _pending.push_back(std::move(part));
  _keepsRecord.push_back(keepsRecord);
}

std::size_t CatalogUpdate::RemoveGone(const ModelFileSet& iFiles, bool iPrune) {
  std::vector<std::string> unwalked;
  for (const auto& unreadable : iFiles.Unreadable()) unwalked.push_back(DirectoryKey(unreadable.first));
  const std::vector<std::string> indexed = _catalog.Paths();
  std::vector<std::string> walked;
  for (const std::string& given : iFiles.Directories()) {
    const std::string directory = DirectoryKey(given);
    if (IsUnder(directory, unwalked)) continue;
    const auto holds = [&](const std::string& iPath) { return IsUnder(iPath, directory); };
    const bool empty = std::none_of(_found.begin(), _found.end(), holds);
    const auto entries = std::count_if(indexed.begin(), indexed.end(), holds);
    if (empty && entries > 0 && !iPrune) {
      _untouched.emplace_back(given, "holds no model file, yet " + std::to_string(entries) +
                                         " files are indexed under it: they are kept (is a share not mounted? "
                                         "prune to drop them)");
      continue;
    }
    walked.push_back(directory);
  }
  // Decided under the catalog's write lock, on what the catalog holds then: another writer's
  // entries of files this walk did not see are kept as long as their files exist.
  return _catalog.RemoveIf([&](const std::string& iPath) {
    return !_found.count(iPath) && IsUnder(iPath, walked) && !IsUnder(iPath, unwalked) && KnownGone(iPath);
  });
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

FileRecordSink::PathReasons CatalogUpdate::RecordUnread() {
  PathReasons unreadable;
  for (std::size_t k = 0; k < _pending.size(); ++k)
    if (_pending[k].error) {
      if (!_keepsRecord[k]) _catalog.Put(_pending[k]);
      unreadable.emplace_back(_pending[k].path, *_pending[k].error);
    }
  return unreadable;
}

std::optional<std::string> CatalogUpdate::Record(const WorkerOutcome& iOutcome) {
  IndexedPart read;
  if (iOutcome.succeeded)
    read = ReadIndexRecord(iOutcome.value);
  else
    read.error = iOutcome.value;
  return Put(iOutcome.index, std::move(read)).error;
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
