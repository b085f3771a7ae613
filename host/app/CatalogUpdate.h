#pragma once
// What bringing a catalog database up to date with model files takes, apart from reading them:
// each file is stamped (fingerprint, size, tessellation options) and compared with its record;
// an unchanged file is skipped, and every other file is recorded as its reading turned out.
// It is the sink of a run over the files (ModelFileRun): `geosig index` reads them in its worker
// processes, the Python module on a Dask cluster; both hand the outcomes of IndexTask here, one at
// a time, and each is committed on its own.
//
// A catalog never loses an entry to a failure: an entry is dropped only when its file is known to
// be gone (no such name any more) from a directory given that was walked, and not from under a
// directory that could not be walked. A path given that does not exist, and a directory given
// that now holds no model file while files are indexed under it (as an unmounted share looks),
// keep their entries; so does a file that cannot be opened, whose earlier record is kept.
#include <cstddef>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FileRecordSink.h"
#include "ImportOptions.h"
#include "ModelFileSet.h"
#include "SignatureCatalog.h"

class CatalogUpdate : public FileRecordSink {
 public:
  // Opens the catalog for writing (created when missing), stamps the files and drops the entries
  // whose files are known to be gone. With iPrune, a directory given that holds no model file
  // drops the entries under it whose files are gone too. Throws CatalogError when the catalog
  // cannot be written or is one of the files or lists.
  CatalogUpdate(const std::string& iDatabase, const ModelFileSet& iFiles, const ImportOptions& iOptions, bool iPrune);
  // Brings the search index saved beside the catalog up to date with what was recorded (parts
  // added and removed, not the whole index built again). A failure there costs only a note on
  // standard error: the next search brings the index up to date itself.
  ~CatalogUpdate();
  CatalogUpdate(const CatalogUpdate&) = delete;
  CatalogUpdate& operator=(const CatalogUpdate&) = delete;

  // Files to record: new or changed, or without a fingerprint.
  std::size_t Pending() const { return _pending.size(); }
  std::size_t Unchanged() const { return _unchanged; }
  std::size_t Removed() const { return _removed; }
  // The catalog's paths of the pending files to read, in order: the items of IndexTask.
  const std::vector<std::string>& ToRead() const override { return _toRead; }
  // The paths not brought up to date, whose entries were kept, each with the reason: directories
  // that could not be walked, paths that do not exist, and (without iPrune) directories given that
  // hold no model file while files are indexed under them.
  const PathReasons& Untouched() const { return _untouched; }

  // Records the pending files that cannot be read at all (no fingerprint) and returns them; one
  // whose file cannot be opened keeps the record it had, and its reason says so.
  PathReasons RecordUnread() override;
  // Records ToRead()[iOutcome.index] from the text IndexTask gave for it, or as failed for the
  // reason its worker gave (lost, ...). Throws std::runtime_error for a damaged record and
  // CatalogError when the catalog cannot be written.
  std::optional<std::string> Record(const WorkerOutcome& iOutcome) override;

 private:
  // Stamps iFile and adds it to the pending files unless it is unchanged.
  void Stamp(const std::string& iFile, const std::string& iOptionsText);
  // Drops the entries known to be gone from the directories walked; returns how many.
  std::size_t RemoveGone(const ModelFileSet& iFiles, bool iPrune);
  const IndexedPart& Put(std::size_t iIndex, IndexedPart&& ioRead);

  std::string _database;
  SignatureCatalog _catalog;
  std::vector<IndexedPart> _pending;
  std::vector<bool> _keepsRecord;  // for each pending file: its earlier record stays
  std::vector<std::string> _toRead;
  std::vector<std::size_t> _readPending;  // the position in _pending of each file to read
  PathReasons _untouched;
  std::set<std::string> _found;  // the catalog's paths of the files found
  std::size_t _unchanged = 0;
  std::size_t _removed = 0;
};
