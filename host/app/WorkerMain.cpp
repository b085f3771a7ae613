// geosig-worker: the fork server of geosig's worker processes (WorkerServer.h), started by
// geosig and by the Python module, never by hand.
#include "AppTasks.h"
#include "WorkerServer.h"

int main() { return ServeWorkers(AppTasks(), "geosig-worker"); }
