#include "ZarBaseUnknown.h"

#include <cstdlib>

static std::atomic<long> allocationsBeforeFailure{-1};

unsigned long ZarBaseUnknown::AddRef() { return ++_refCount; }

unsigned long ZarBaseUnknown::Release() {
  const unsigned long remaining = --_refCount;
  if (remaining == 0) delete this;
  return remaining;
}

void* ZarBaseUnknown::operator new(std::size_t iSize) noexcept {
  long budget = allocationsBeforeFailure.load();
  while (budget >= 0) {
    if (budget == 0) return nullptr;
    if (allocationsBeforeFailure.compare_exchange_weak(budget, budget - 1)) break;
  }
  return std::malloc(iSize);
}

void ZarBaseUnknown::operator delete(void* iObject) noexcept { std::free(iObject); }

void ZarBaseUnknown::FailAllocationsAfter(long iCount) { allocationsBeforeFailure.store(iCount); }

const ZarMetaClass* ZarBaseUnknown::MetaObject() {
  static ZarMetaClassCache cache;
  return cache.Get([] {
    return ZarRetrieveMetaClass("ZarBaseUnknown", 1, nullptr, "ZarNull", "ZarPlatform", sizeof(ZarBaseUnknown));
  });
}
const char* ZarBaseUnknown::ClassName() { return MetaObject()->ClassName(); }
const ZarMetaClass* ZarBaseUnknown::GetMetaObject() const { return MetaObject(); }
const char* ZarBaseUnknown::IsA() const { return ClassName(); }
int ZarBaseUnknown::IsAKindOf(const char* iName) const { return MetaObject()->IsAKindOf(iName); }
