#pragma once
// Where geosig-worker is. It is installed in LIBEXECDIR/geosig, apart from the programs people
// run, and found relative to whatever this code is linked into, never through PATH: from geosig
// (BINDIR, or one directory below the top of the build tree, where the build puts the worker in
// libexec/geosig too) and from the Python extension (in the package directory, installed or in
// the build tree). So an installed tree finds its own worker, and a build tree its own, wherever
// they were moved. GEOSIG_WORKER, when set, names another worker program (a debugging aid).
#include <string>

// The worker program's path. Throws std::runtime_error when it cannot be found.
std::string WorkerExecutable();
