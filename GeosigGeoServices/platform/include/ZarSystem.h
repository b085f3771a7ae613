#pragma once
// Fatal error reporting of the platform.

// Writes one line with the message, the source path and the line to standard error,
// then aborts. The three middle texts are optional details (null when absent).
[[noreturn]] void ZarFatalError(const char* iMessage, const char* iDetail1, const char* iDetail2, const char* iDetail3,
                                const char* iSourcePath, int iLine);
