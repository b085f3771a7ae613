#pragma once
// The object model's meta classes: one per class name, holding the class identifier,
// the name and the base meta class, registered once in a process-wide registry.
#include <atomic>
#include <cstddef>
#include <mutex>

#include "ZarTypes.h"

class ZarMetaClass {
 public:
  ZarMetaClass(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase, const char* iFramework,
               std::size_t iObjectSize);
  ZarMetaClass(const ZarMetaClass&) = delete;
  ZarMetaClass& operator=(const ZarMetaClass&) = delete;
  ~ZarMetaClass();

  const _GUID& ClassId() const { return _classId; }
  const char* ClassName() const { return _className; }
  const ZarMetaClass* Base() const { return _base; }
  const char* Framework() const { return _framework; }
  int TypeOfClass() const { return _typeOfClass; }
  std::size_t ObjectSize() const { return _objectSize; }
  // Non-zero when this class or one of its bases bears iName.
  int IsAKindOf(const char* iName) const;

 private:
  _GUID _classId;  // derived from the class name, so it is stable across runs
  char* _className;
  char* _framework;
  const ZarMetaClass* _base;
  int _typeOfClass;
  std::size_t _objectSize;
};

// Retrieves the meta class registered under iClassName, or creates it with these
// arguments. iNullName names the class's null implementation and is not kept.
const ZarMetaClass* ZarRetrieveMetaClass(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase,
                                         const char* iNullName, const char* iFramework, std::size_t iObjectSize);
// The older entry of the registry; same arguments, same behaviour.
const ZarMetaClass* ZarRetrieveMetaClassLegacy(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase,
                                               const char* iNullName, const char* iFramework, std::size_t iObjectSize);

// The object model's registration guard.
std::recursive_mutex& ZarObjectModelGuard();

// A class's cached meta class: the cache is tested, then tested again under the guard.
class ZarMetaClassCache {
 public:
  template <class Retrieve>
  const ZarMetaClass* Get(Retrieve iRetrieve) {
    const ZarMetaClass* cached = _cached.load(std::memory_order_acquire);
    if (cached) return cached;
    std::lock_guard<std::recursive_mutex> lock(ZarObjectModelGuard());
    cached = _cached.load(std::memory_order_relaxed);
    if (!cached) {
      cached = iRetrieve();
      _cached.store(cached, std::memory_order_release);
    }
    return cached;
  }

 private:
  std::atomic<const ZarMetaClass*> _cached{nullptr};
};

// Class identity of an object-model class: declared in the class body, implemented once in
// its source with the base class, the framework name and the registry entry to use.
#define ZAR_DECLARE_CLASS                             \
 public:                                              \
  static const ZarMetaClass* MetaObject();            \
  static const _GUID& ClassId();                      \
  static const char* ClassName();                     \
  static ZarBaseUnknown* CreateItself();              \
  const ZarMetaClass* GetMetaObject() const override; \
  const char* IsA() const override;                   \
  int IsAKindOf(const char* iName) const override;

#define ZAR_IMPLEMENT_CLASS(Class, BaseClass, Framework, RetrieveEntry)                                         \
  const ZarMetaClass* Class::MetaObject() {                                                                     \
    static ZarMetaClassCache cache;                                                                             \
    return cache.Get(                                                                                           \
        [] { return RetrieveEntry(#Class, 1, BaseClass::MetaObject(), "ZarNull", Framework, sizeof(Class)); }); \
  }                                                                                                             \
  const _GUID& Class::ClassId() { return MetaObject()->ClassId(); }                                             \
  const char* Class::ClassName() { return MetaObject()->ClassName(); }                                          \
  ZarBaseUnknown* Class::CreateItself() { return nullptr; }                                                     \
  const ZarMetaClass* Class::GetMetaObject() const { return MetaObject(); }                                     \
  const char* Class::IsA() const { return ClassName(); }                                                        \
  int Class::IsAKindOf(const char* iName) const { return MetaObject()->IsAKindOf(iName); }
