#include "ServedCatalog.h"

#include <sys/stat.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <numeric>
#include <thread>

#include "CatalogConnections.h"
#include "CatalogSearch.h"
#include "DuplicatesCommand.h"
#include "FileRecord.h"
#include "PartRecords.h"

// One state of the catalog: the search over its signatures, which loads occupancies through connections lent
// to one search at a time, so that searches run side by side, and the ids of its paths.
struct ServedCatalog::Snapshot {
  explicit Snapshot(const std::string& iDatabase)
      : reports(iDatabase),
        connections(iDatabase, std::max(2u, std::thread::hardware_concurrency())),
        search(reports.Catalog().Summaries(),
               [this](std::int64_t iId) { return CatalogConnections::Lease(connections)->Occupancy(iId); }) {
    for (const IndexedPart& part : reports.Catalog().Parts()) idOf[part.path] = part.id;
  }

  // The paths of the parts and the match reports of `geosig query --json`. Its own search, which loads through
  // one connection, goes unused: it costs a second copy of the summaries until a resident catalog replaces both.
  const CatalogSearch reports;
  const CatalogConnections connections;
  const SimilaritySearch search;
  std::map<std::string, std::int64_t> idOf;
  // Duplicate groups found so far, by largest distance and size mode.
  mutable std::mutex duplicatesMutex;
  mutable std::map<std::pair<double, bool>, Report> duplicates;
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

}  // namespace

ServedCatalog::ServedCatalog(const std::string& iDatabase)
    : _database(iDatabase),
      _records(std::make_shared<PartRecords>(iDatabase)),
      _version(_records->DataVersion()),
      _file(IdentityOf(iDatabase)),
      _snapshot(std::make_shared<Snapshot>(iDatabase)) {}

ServedCatalog::~ServedCatalog() = default;

std::shared_ptr<const ServedCatalog::Snapshot> ServedCatalog::Current() const {
  const std::shared_lock<std::shared_mutex> lock(_guard);
  return _snapshot;
}

std::shared_ptr<const PartRecords> ServedCatalog::Records() const {
  const std::shared_lock<std::shared_mutex> lock(_guard);
  return _records;
}

void ServedCatalog::Refresh() {
  // While another request reloads, this one is served from the snapshot there is.
  const std::unique_lock<std::mutex> refreshing(_refreshing, std::try_to_lock);
  if (!refreshing) return;
  const FileIdentity file = IdentityOf(_database);
  // A catalog being replaced is served as it was until the new file is there.
  if (file == FileIdentity{0, 0}) return;
  try {
    std::shared_ptr<const PartRecords> records = Records();
    if (file != _file) records = std::make_shared<PartRecords>(_database);
    // The version is read before the reload, so that a commit made during it is seen at the next look.
    const std::int64_t version = records->DataVersion();
    if (file == _file && version == _version) return;
    auto snapshot = std::make_shared<const Snapshot>(_database);
    const std::unique_lock<std::shared_mutex> lock(_guard);
    _records = std::move(records);
    _snapshot = std::move(snapshot);
    _file = file;
    _version = version;
  } catch (const CatalogError& failure) {
    std::cerr << "geosig: serve: the catalog changed but cannot be reloaded, still serving what it was: "
              << failure.what() << '\n';
  }
}

std::size_t ServedCatalog::SignedParts() const { return Current()->search.Size(); }

std::optional<Report> ServedCatalog::Part(std::int64_t iId) const {
  const std::optional<PartRecord> record = Records()->Record(iId);
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
  const ShapeSignature signature = CatalogConnections::Lease(Current()->connections)->SignatureOf(iId);
  part["signature"] = {{"norm", ReportNumber(signature.Norm())},
                       {"terms", signature.Terms()},
                       {"depth", signature.Occupancy().Depth()},
                       {"occupiedCells", signature.Occupancy().Count()}};
  return part;
}

std::optional<ServedCatalog::PartFile> ServedCatalog::FileOf(std::int64_t iId) const {
  const std::optional<PartRecord> record = Records()->Record(iId);
  if (!record || record->error) return std::nullopt;
  return PartFile{record->path, record->fingerprint};
}

Report ServedCatalog::Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                              std::int64_t iExcluded) const {
  const std::shared_ptr<const Snapshot> snapshot = Current();
  Report matches = Report::array();
  for (const SignatureMatch& match : snapshot->search.Nearest(iQuery, iCount, iMetric, iExcluded)) {
    Report entry = {{"id", match.id}};
    entry.update(snapshot->reports.MatchReport(match));
    matches.push_back(std::move(entry));
  }
  return matches;
}

std::optional<Report> ServedCatalog::Neighbours(std::int64_t iId, std::size_t iCount,
                                                const SignatureMetric& iMetric) const {
  const std::optional<PartRecord> record = Records()->Record(iId);
  if (!record || record->error) return std::nullopt;
  const ShapeSignature signature = CatalogConnections::Lease(Current()->connections)->SignatureOf(iId);
  return Nearest(signature, iCount, iMetric, iId);
}

Report ServedCatalog::Duplicates(double iMaxDistance, bool iAnySize) const {
  // A search over the whole catalog: one at a time, and kept for the snapshot's life (a few of them).
  const std::shared_ptr<const Snapshot> snapshot = Current();
  const std::lock_guard<std::mutex> lock(snapshot->duplicatesMutex);
  if (snapshot->duplicates.size() >= 16) snapshot->duplicates.clear();
  Report& groups = snapshot->duplicates[{iMaxDistance, iAnySize}];
  if (groups.is_null()) groups = Groups(*snapshot, iMaxDistance, SignatureMetric(iAnySize));
  return groups;
}

Report ServedCatalog::Groups(const Snapshot& iSnapshot, double iMaxDistance, const SignatureMetric& iMetric) {
  // Files of one fingerprint, then parts linked to each other, directly or through others, by one of their
  // nearest matches within the distance (union-find over the links).
  const CatalogConnections& connections = iSnapshot.connections;
  Report identical = Report::array();
  for (const std::vector<std::string>& group : CatalogConnections::Lease(connections)->IdenticalFiles()) {
    Report members = Report::array();
    for (const std::string& path : group) members.push_back(Member(iSnapshot.idOf.at(path), path));
    identical.push_back(std::move(members));
  }

  const std::vector<SignatureSummary> parts = CatalogConnections::Lease(connections)->Summaries();
  std::map<std::int64_t, std::size_t> indexOf;
  for (std::size_t k = 0; k < parts.size(); ++k) indexOf[parts[k].id] = k;
  std::vector<std::size_t> leader(parts.size());
  std::iota(leader.begin(), leader.end(), 0);
  const auto root = [&leader](std::size_t iPart) {
    while (leader[iPart] != iPart) iPart = leader[iPart] = leader[leader[iPart]];
    return iPart;
  };
  for (const SignatureSummary& part : parts) {
    const ShapeSignature signature = CatalogConnections::Lease(connections)->SignatureOf(part.id);
    for (const SignatureMatch& match :
         iSnapshot.search.Nearest(signature, DuplicatesCommand::NearestLinks, iMetric, part.id))
      if (match.distance.combined <= iMaxDistance) leader[root(indexOf.at(match.id))] = root(indexOf.at(part.id));
  }
  std::map<std::size_t, std::vector<std::pair<std::string, std::int64_t>>> groups;
  for (std::size_t k = 0; k < parts.size(); ++k)
    groups[root(k)].emplace_back(iSnapshot.reports.PathOf(parts[k].id), parts[k].id);
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> sorted;
  for (auto& group : groups)
    if (group.second.size() > 1) {
      std::sort(group.second.begin(), group.second.end());
      sorted.push_back(std::move(group.second));
    }
  std::sort(sorted.begin(), sorted.end());
  Report similar = Report::array();
  for (const auto& group : sorted) {
    Report members = Report::array();
    for (const auto& [path, id] : group) members.push_back(Member(id, path));
    similar.push_back(std::move(members));
  }
  return {{"identical", std::move(identical)}, {"similar", std::move(similar)}};
}
