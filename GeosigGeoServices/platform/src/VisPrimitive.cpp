#include "VisPrimitive.h"

#include <cmath>
#include <new>
#include <stdexcept>

namespace {
struct Iteration {
  unsigned int mask;
  std::size_t next;
};
}  // namespace

void VisPrimitive::AddItem(unsigned int iType, std::vector<float> iVertices) {
  if (iVertices.size() % 3 != 0) throw std::invalid_argument("item vertex array length is not a multiple of 3");
  for (float coordinate : iVertices)
    if (!std::isfinite(coordinate)) throw std::invalid_argument("item has a non-finite coordinate");
  _items.push_back({iType, std::move(iVertices)});
}

void VisPrimitive::ExtendBounds(ZarBoundsf& iBounds) const {
  for (const Item& item : _items) iBounds.AddPoints(item.vertices.data(), item.vertices.size());
}

// The iteration record comes from the platform allocator, so an iteration fails to open
// like any platform object when memory runs out.
HRESULT VisPrimitive::StartIteration(void*& oIterator, unsigned int iTypeMask) {
  void* storage = ZarBaseUnknown::operator new(sizeof(Iteration));
  oIterator = storage ? new (storage) Iteration{iTypeMask, 0} : nullptr;
  return oIterator ? S_OK : E_OUTOFMEMORY;
}

HRESULT VisPrimitive::GetNext(void*& ioIterator, VisSGPrimitiveItem*& oItem) {
  oItem = nullptr;
  auto* iteration = static_cast<Iteration*>(ioIterator);
  if (!iteration) return E_FAIL;
  while (iteration->next < _items.size()) {
    const Item& item = _items[iteration->next++];
    if (!(item.type & iteration->mask)) continue;
    oItem = new (std::nothrow)
        VisSGPrimitiveItem(item.type, item.vertices.data(), static_cast<unsigned int>(item.vertices.size() / 3));
    return oItem ? S_OK : E_OUTOFMEMORY;
  }
  return E_FAIL;
}

HRESULT VisPrimitive::EndIteration(void*& ioIterator) {
  ZarBaseUnknown::operator delete(static_cast<Iteration*>(ioIterator));
  ioIterator = nullptr;
  return S_OK;
}
