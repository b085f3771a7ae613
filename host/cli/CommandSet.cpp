#include "CommandSet.h"

#include "CommandFailure.h"

CommandSet::CommandSet(CLI::App& ioApp)
    : _describe(ioApp),
      _count(ioApp),
      _nearest(ioApp),
      _voxelize(ioApp),
      _fingerprint(ioApp),
      _batch(ioApp),
      _view(ioApp),
      _index(ioApp),
      _query(ioApp),
      _neighbours(ioApp),
      _duplicates(ioApp),
      _serve(ioApp) {
  ioApp.require_subcommand(1);
}

int CommandSet::Run(const CLI::App& iApp) const {
  try {
    return Dispatch(iApp);
  } catch (...) {
    return ReportCommandFailure(iApp.get_subcommands().front()->get_name());
  }
}

int CommandSet::Dispatch(const CLI::App& iApp) const {
  if (iApp.got_subcommand("count")) return _count.Run();
  if (iApp.got_subcommand("nearest")) return _nearest.Run();
  if (iApp.got_subcommand("voxelize")) return _voxelize.Run();
  if (iApp.got_subcommand("fingerprint")) return _fingerprint.Run();
  if (iApp.got_subcommand("batch")) return _batch.Run();
  if (iApp.got_subcommand("view")) return _view.Run();
  if (iApp.got_subcommand("index")) return _index.Run();
  if (iApp.got_subcommand("query")) return _query.Run();
  if (iApp.got_subcommand("neighbours")) return _neighbours.Run();
  if (iApp.got_subcommand("duplicates")) return _duplicates.Run();
  if (iApp.got_subcommand("serve")) return _serve.Run();
  return _describe.Run();
}
