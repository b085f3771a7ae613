#pragma once
// A container of visualization geometry: items, each a run of vertices with a primitive
// type, read through an iteration restricted to a mask of types.
#include <vector>

#include "VisSGPrimitiveItem.h"
#include "ZarBaseUnknown.h"
#include "ZarBounding.h"

class VisPrimitive : public ZarBaseUnknown {
 public:
  VisPrimitive() = default;
  // Fails (std::invalid_argument) on a vertex array whose length is not a multiple of 3
  // or that holds a non-finite value.
  void AddItem(unsigned int iType, std::vector<float> iVertices);
  std::size_t ItemCount() const { return _items.size(); }
  void ExtendBounds(ZarBoundsf& iBounds) const;

  // Opens an iteration over the items whose type is in iTypeMask.
  HRESULT StartIteration(void*& oIterator, unsigned int iTypeMask);
  // The next item, for the caller to delete; a negative status ends the iteration.
  HRESULT GetNext(void*& ioIterator, VisSGPrimitiveItem*& oItem);
  HRESULT EndIteration(void*& ioIterator);

 protected:
  ~VisPrimitive() override = default;

 private:
  struct Item {
    unsigned int type;
    std::vector<float> vertices;
  };
  std::vector<Item> _items;
};
