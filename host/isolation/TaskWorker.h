#pragma once
// A worker's side of its socket: the caller names the task once (two frames: its kind and its
// parameters), then sends items one frame each; the worker answers each with a status byte (0
// for success), the payload's length (8 bytes) and the payload.
#include <sys/types.h>

#include "TaskRegistry.h"

// Serves iSocket with tasks from iRegistry until the socket closes or iParent, the fork server,
// dies; never returns. Runs in the process just forked from iParent.
[[noreturn]] void ServeTasks(int iSocket, pid_t iParent, const TaskRegistry& iRegistry);
