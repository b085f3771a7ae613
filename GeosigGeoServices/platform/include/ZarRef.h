#pragma once
// Holds one reference to a reference-counted platform object and releases it when it goes.
#include <utility>

template <class T>
class ZarRef {
 public:
  ZarRef() = default;
  // Adopts the reference the caller holds (as returned by CreateRep or new).
  explicit ZarRef(T* iAdopted) : _object(iAdopted) {}
  ZarRef(const ZarRef& iOther) : _object(iOther._object) {
    if (_object) _object->AddRef();
  }
  ZarRef(ZarRef&& iOther) noexcept : _object(std::exchange(iOther._object, nullptr)) {}
  ZarRef& operator=(ZarRef iOther) noexcept {
    std::swap(_object, iOther._object);
    return *this;
  }
  ~ZarRef() {
    if (_object) _object->Release();
  }

  T* get() const { return _object; }
  T* operator->() const { return _object; }
  T& operator*() const { return *_object; }
  explicit operator bool() const { return _object != nullptr; }
  // Gives up the reference without releasing it.
  T* release() { return std::exchange(_object, nullptr); }

 private:
  T* _object = nullptr;
};
