#pragma once
// The fork server: the main of a worker program (geosig-worker, or a test's), started once by a
// calling process through ForkServer. It stays single-threaded and uses no reader itself, so
// every worker it forks starts from a process in which no lock is held and no reader has state,
// whatever threads its caller runs. What it shares with its workers is what the loader did: the
// libraries mapped and bound, their static objects built. No reader state is set up ahead for
// them: what a reader sets up may hold threads (which a fork does not copy) or open handles
// (which every worker would share); a worker reads one file at a time, so each makes its own on
// first use.
//
// Its standard input is the control socket. Each byte the caller sends asks for one worker; the
// server forks it and answers with its pid (and errno, 0 when the fork succeeded) carrying two
// descriptors: the caller's end of the worker's socket (see TaskWorker.h) and the read end of a
// pipe on which the server writes the worker's wait status once it has reaped it. The server
// exits when the caller's end of the control socket closes (the caller ended or died); its
// workers die with it.
#include "TaskRegistry.h"

// Serves the caller on standard input with workers running iRegistry's tasks until it goes.
// Returns the program's exit status: 0, or 2 with a one-line error when standard input is not
// a socket (the program was started by hand).
int ServeWorkers(const TaskRegistry& iRegistry, const char* iProgramName);
