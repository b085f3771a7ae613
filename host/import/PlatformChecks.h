#pragma once
// The platform reports exhausted memory with a null object or a failed status; the host
// turns both into exceptions so that an importer never hands back half a tree.
#include <new>
#include <stdexcept>

#include "ZarRef.h"
#include "ZarTypes.h"

// Takes the reference of an object just created by new or CreateRep.
template <class T>
ZarRef<T> AdoptCreated(T* iCreated) {
  if (!iCreated) throw std::bad_alloc();
  return ZarRef<T>(iCreated);
}

inline void CheckStatus(HRESULT iStatus) {
  if (iStatus == E_OUTOFMEMORY) throw std::bad_alloc();
  if (ZarFailed(iStatus)) throw std::logic_error("the platform refused a scene-graph operation");
}
