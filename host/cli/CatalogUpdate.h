#pragma once
// What bringing a catalog database up to date with model files takes, apart from reading them:
// each file is stamped (fingerprint, size, tessellation options) and compared with its record;
// an unchanged file is skipped, a file gone from an indexed directory is dropped, and every other
// file is recorded as its reading turned out. `geosig index` reads the files in its worker
// processes, the Python module on a Dask cluster; both hand the outcomes here, one at a time,
// and each is committed on its own.
#include <cstddef>
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "SignatureCatalog.h"

class CatalogUpdate {
 public:
  // Opens the catalog for writing (created when missing), stamps iFiles and drops the indexed
  // files that were under the directories among iRoots and are no longer found there. Throws
  // CatalogError when the catalog cannot be written.
  CatalogUpdate(const std::string& iDatabase, const std::vector<std::string>& iFiles,
                const std::vector<std::string>& iRoots, const ImportOptions& iOptions);
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
  const std::vector<std::string>& ToRead() const { return _toRead; }

  // Records the pending files that cannot be read at all (no fingerprint) and returns them.
  std::vector<const IndexedPart*> RecordUnreadable();
  // Records ToRead()[iIndex] from the text IndexTask gave for it. Throws std::runtime_error for
  // a damaged record and CatalogError when the catalog cannot be written.
  const IndexedPart& Record(std::size_t iIndex, const std::string& iRecord);
  // Records ToRead()[iIndex] as failed for iReason (its worker was lost, ...).
  const IndexedPart& RecordFailure(std::size_t iIndex, const std::string& iReason);

 private:
  const IndexedPart& Put(std::size_t iIndex, IndexedPart&& ioRead);

  std::string _database;
  SignatureCatalog _catalog;
  std::vector<IndexedPart> _pending;
  std::vector<std::string> _toRead;
  std::vector<std::size_t> _readPending;  // the position in _pending of each file to read
  std::size_t _unchanged = 0;
  std::size_t _removed = 0;
};
