#include "ServedCatalog.h"

#include <sys/stat.h>

#include <iostream>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

#include "CatalogSearch.h"
#include "FileRecord.h"
#include "PartRecords.h"

// One catalog file: resident for searching, its whole records read by id, and the duplicate groups found since it
// last changed.
struct ServedCatalog::Snapshot {
  explicit Snapshot(const std::string& iDatabase) : search(iDatabase), records(iDatabase) {}

  CatalogSearch search;
  const PartRecords records;
  // By largest distance and size mode; found one request at a time, since each searches the whole catalog.
  std::mutex duplicatesMutex;
  std::map<std::pair<double, bool>, Report> duplicates;
};

namespace {

std::pair<dev_t, ino_t> IdentityOf(const std::string& iPath) {
  struct stat status {};
  if (stat(iPath.c_str(), &status) != 0) return {0, 0};
  return {status.st_dev, status.st_ino};
}

Report Member(std::int64_t iId, const std::string& iPath) {
  Report member = {{"id", iId}};
  member.update(FileRecord(iPath));
  return member;
}

Report Matches(const CatalogSearch& iSearch, const std::vector<SignatureMatch>& iMatches) {
  Report matches = Report::array();
  for (const SignatureMatch& match : iMatches) {
    Report entry = {{"id", match.id}};
    entry.update(iSearch.MatchReport(match));
    matches.push_back(std::move(entry));
  }
  return matches;
}

}  // namespace

ServedCatalog::ServedCatalog(const std::string& iDatabase)
    : _database(iDatabase),
      _file(IdentityOf(iDatabase)),
      _snapshot(std::make_shared<Snapshot>(iDatabase)),
      _searches(std::thread::hardware_concurrency()) {}

ServedCatalog::~ServedCatalog() = default;

std::shared_ptr<ServedCatalog::Snapshot> ServedCatalog::Current() const {
  const std::shared_lock<std::shared_mutex> lock(_guard);
  return _snapshot;
}

void ServedCatalog::Refresh() {
  // While another request looks, this one is served from the state there is.
  const std::unique_lock<std::mutex> refreshing(_refreshing, std::try_to_lock);
  if (!refreshing) return;
  const FileIdentity file = IdentityOf(_database);
  // A catalog being replaced is served as it was until the new file is there.
  if (file == FileIdentity{0, 0}) return;
  try {
    if (file != _file) {
      auto snapshot = std::make_shared<Snapshot>(_database);
      const std::unique_lock<std::shared_mutex> lock(_guard);
      _snapshot = std::move(snapshot);
      _file = file;
      return;
    }
    const std::shared_ptr<Snapshot> snapshot = Current();
    if (!snapshot->search.Refresh()) return;
    const std::lock_guard<std::mutex> lock(snapshot->duplicatesMutex);
    snapshot->duplicates.clear();
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: serve: the catalog changed but cannot be reloaded, still serving what it was: "
              << failure.what() << '\n';
  }
}

std::size_t ServedCatalog::SignedParts() const { return Current()->search.Resident().Size(); }

std::optional<Report> ServedCatalog::Part(std::int64_t iId) const {
  const std::shared_ptr<const Snapshot> snapshot = Current();
  const std::optional<PartRecord> record = snapshot->records.Record(iId);
  if (!record) return std::nullopt;
  Report part = Member(iId, record->path);
  if (record->error) {
    part["error"] = *record->error;
    return part;
  }
  part["format"] = record->format;
  part["size"] = record->size;
  part["fingerprint"] = record->fingerprint;
  part["descriptors"] = record->descriptors.empty() ? Report() : Report::parse(record->descriptors);
  const ShapeSignature signature = snapshot->search.Resident().SignatureOf(iId);
  part["signature"] = {{"norm", ReportNumber(signature.Norm())},
                       {"terms", signature.Terms()},
                       {"depth", signature.Occupancy().Depth()},
                       {"occupiedCells", signature.Occupancy().Count()}};
  return part;
}

std::optional<ServedCatalog::PartFile> ServedCatalog::FileOf(std::int64_t iId) const {
  const std::optional<PartRecord> record = Current()->records.Record(iId);
  if (!record || record->error) return std::nullopt;
  return PartFile{record->path, record->fingerprint};
}

Report ServedCatalog::Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric) const {
  const std::shared_ptr<const Snapshot> snapshot = Current();
  std::vector<SignatureMatch> matches;
  {
    const SearchGate::Pass turn = _searches.Enter();
    matches = snapshot->search.Resident().Query(iQuery, iCount, iMetric);
  }
  return Matches(snapshot->search, matches);
}

std::optional<Report> ServedCatalog::Neighbours(std::int64_t iId, std::size_t iCount,
                                                const SignatureMetric& iMetric) const {
  const std::shared_ptr<const Snapshot> snapshot = Current();
  std::vector<SignatureMatch> matches;
  try {
    const SearchGate::Pass turn = _searches.Enter();
    matches = snapshot->search.Resident().Neighbours(iId, iCount, iMetric);
  } catch (const std::out_of_range&) {
    return std::nullopt;
  }
  return Matches(snapshot->search, matches);
}

Report ServedCatalog::Duplicates(double iMaxDistance, bool iAnySize) const {
  const std::shared_ptr<Snapshot> snapshot = Current();
  const std::lock_guard<std::mutex> lock(snapshot->duplicatesMutex);
  if (snapshot->duplicates.size() >= 16) snapshot->duplicates.clear();
  Report& groups = snapshot->duplicates[{iMaxDistance, iAnySize}];
  if (!groups.is_null()) return groups;

  Report identical = Report::array();
  for (const auto& group : snapshot->records.IdenticalFiles()) {
    Report members = Report::array();
    for (const auto& [path, id] : group) members.push_back(Member(id, path));
    identical.push_back(std::move(members));
  }
  const CatalogSearch& search = snapshot->search;
  Report similar = Report::array();
  for (const std::vector<std::int64_t>& group : search.Resident().Duplicates(iMaxDistance, SignatureMetric(iAnySize))) {
    Report members = Report::array();
    for (const std::int64_t id : group) members.push_back(Member(id, search.PathOf(id)));
    similar.push_back(std::move(members));
  }
  groups = {{"identical", std::move(identical)}, {"similar", std::move(similar)}};
  return groups;
}
