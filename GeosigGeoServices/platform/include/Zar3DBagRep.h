#pragma once
// A grouping representation: children in order, and an optional matrix placing them in the
// bag's parent frame. One representation may be the child of many bags.
#include <memory>
#include <vector>

#include "Zar3DRep.h"
#include "Zar4x4Matrix.h"

class Zar3DBagRep : public Zar3DRep {
  ZAR_DECLARE_CLASS

 public:
  // Null when memory runs out. The caller holds the one reference.
  static Zar3DBagRep* CreateRep();

  HRESULT SetMatrix(const Zar4x4Matrix& iMatrix);
  // Null when the bag has no matrix of its own.
  const Zar4x4Matrix* GetMatrix() const { return _matrix.get(); }

  // The bag takes a reference to the child. A child already in this bag is added again.
  HRESULT AddChild(ZarRep& iChild);
  // Drops one occurrence of the child and the bag's reference to it.
  HRESULT RemoveChild(ZarRep& iChild);
  virtual const std::vector<ZarRep*>* GetChildren() const { return &_children; }

 protected:
  Zar3DBagRep() = default;
  ~Zar3DBagRep() override;
  Zar3DBoundingSphere ComputeBoundingSphere() override;
  void AcceptContent(ZarRender& iRender) override;

 private:
  friend class ZarRep;
  // Appends the child and its link back to this bag.
  void Link(ZarRep& ioChild);
  // Removes the link back from the child at iSlot, keeping the child's other links in place.
  void Unlink(std::size_t iSlot);
  // Removes the child at iSlot and the bag's reference to it.
  void RemoveChildAt(std::size_t iSlot);

  std::unique_ptr<Zar4x4Matrix> _matrix;
  std::vector<ZarRep*> _children;
  // For each child, the index of this bag in the child's parents.
  std::vector<std::size_t> _slotsInChildren;
};
