#pragma once
// Root of the platform's object model: reference counted, allocated with the class-level
// allocator (which answers null when memory runs out), with a class identity.
#include <atomic>
#include <cstddef>

#include "ZarMetaClass.h"

class ZarBaseUnknown {
 public:
  ZarBaseUnknown() = default;
  ZarBaseUnknown(const ZarBaseUnknown&) = delete;
  ZarBaseUnknown& operator=(const ZarBaseUnknown&) = delete;

  unsigned long AddRef();
  // Deletes the object when the last reference goes.
  unsigned long Release();
  unsigned long RefCount() const { return _refCount.load(); }

  static void* operator new(std::size_t iSize) noexcept;
  static void operator delete(void* iObject) noexcept;

  static const ZarMetaClass* MetaObject();
  static const char* ClassName();
  virtual const ZarMetaClass* GetMetaObject() const;
  virtual const char* IsA() const;
  virtual int IsAKindOf(const char* iName) const;

  // Test seam: once iCount further allocations have succeeded, every allocation fails;
  // a negative count restores normal allocation.
  static void FailAllocationsAfter(long iCount);

 protected:
  virtual ~ZarBaseUnknown() = default;

 private:
  std::atomic<unsigned long> _refCount{1};
};
