#pragma once
// The exit statuses of every geosig command (host/README.md, "Exit statuses", lists them for users).
namespace ExitStatus {
constexpr int Success = 0;
// At least one file could not be read, described or written; each got a one-line error.
constexpr int FileFailed = 1;
// The command line itself was wrong: unknown option, missing or invalid value.
constexpr int Usage = 2;
// `count`: the model exceeds a budget given on the command line.
constexpr int OverBudget = 3;
}  // namespace ExitStatus
