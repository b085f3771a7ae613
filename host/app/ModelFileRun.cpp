#include "ModelFileRun.h"

#include <utility>

ModelFileRun::ModelFileRun(FileRecordSink& ioSink, bool iShowProgress, FailureNote iNote)
    : _sink(ioSink), _showProgress(iShowProgress), _note(std::move(iNote)) {}

void ModelFileRun::Run(const Executor& iExecute, std::size_t iUntouched) {
  Start();
  if (!_sink.ToRead().empty())
    iExecute(
        _sink.ToRead(), [this](const WorkerOutcome& iOutcome) { Collect(iOutcome); }, [this] { Tick(); });
  Finish(iUntouched);
}

ModelFileRun::Executor ModelFileRun::OnPool(const WorkerPool& iPool, unsigned int iJobs) {
  return [&iPool, iJobs](const std::vector<std::string>& iFiles, const WorkerPool::Collect& iCollect,
                         const WorkerPool::Tick& iTick) { iPool.Run(iFiles, iJobs, iCollect, iTick); };
}

void ModelFileRun::Start() {
  const FileRecordSink::PathReasons unread = _sink.RecordUnread();
  _progress.emplace(unread.size() + _sink.ToRead().size(), _showProgress);
  for (const auto& [path, reason] : unread) Count(path, reason);
}

void ModelFileRun::Collect(const WorkerOutcome& iOutcome) {
  Count(_sink.ToRead().at(iOutcome.index), _sink.Record(iOutcome));
}

void ModelFileRun::Tick() const {
  if (_progress) _progress->Show(_done, _failed);
}

void ModelFileRun::Finish(std::size_t iUntouched) const {
  if (_progress) _progress->Finish(_done, _failed, iUntouched);
}

void ModelFileRun::Count(const std::string& iPath, const std::optional<std::string>& iFailure) {
  if (iFailure) {
    ++_failed;
    if (_note) {
      if (_progress) _progress->Erase();
      _note(iPath, *iFailure);
    }
  }
  ++_done;
  Tick();
}
