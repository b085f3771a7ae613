#include "AppFailure.h"

AppFailure::AppFailure(Kind iKind, const std::string& iSubject, const std::string& iReason)
    : std::runtime_error(iSubject.empty() ? iReason : iSubject + ": " + iReason),
      _kind(iKind),
      _subject(iSubject),
      _reason(iReason) {}
