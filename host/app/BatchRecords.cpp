#include "BatchRecords.h"

#include "AppFailure.h"
#include "FileRecord.h"

BatchRecords::BatchRecords(const std::string& iPath, bool iResume, const ModelFileSet& iFiles)
    : _path(iPath), _unwalked(iFiles.Unreadable()) {
  if (iFiles.Holds(iPath))
    throw AppFailure(AppFailure::Kind::File, iPath, "is one of the models or lists: it would be overwritten");
  try {
    _output.emplace(iPath, iResume);
  } catch (const std::exception& failure) {
    throw AppFailure(AppFailure::Kind::File, iPath, failure.what());
  }
  const auto& recorded = _output->RecordedFiles();
  _kept = recorded.size();
  for (const auto& [directory, reason] : _unwalked)
    if (!recorded.count(directory)) Append(ReportText(FailureRecord(directory, reason)));
  for (const std::string& file : iFiles.Files())
    if (!recorded.count(file)) _toRead.push_back(file);
}

std::optional<std::string> BatchRecords::Record(const WorkerOutcome& iOutcome) {
  if (iOutcome.succeeded) {
    Append(iOutcome.value);
    return std::nullopt;
  }
  Append(ReportText(FailureRecord(_toRead.at(iOutcome.index), iOutcome.value)));
  return iOutcome.value;
}

void BatchRecords::Append(const std::string& iRecord) {
  try {
    _output->Append(iRecord);
  } catch (const std::exception& failure) {
    throw AppFailure(AppFailure::Kind::File, _path, failure.what());
  }
}
