#include "ZarSystem.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

void ZarFatalError(const char* iMessage, const char* iDetail1, const char* iDetail2, const char* iDetail3,
                   const char* iSourcePath, int iLine) {
  std::fprintf(stderr, "Fatal error: %s", iMessage ? iMessage : "(no message)");
  for (const char* detail : {iDetail1, iDetail2, iDetail3})
    if (detail) std::fprintf(stderr, " %s", detail);
  std::fprintf(stderr, " at %s line %d\n", iSourcePath ? iSourcePath : "(unknown)", iLine);
  std::fflush(stderr);
  std::abort();
}
