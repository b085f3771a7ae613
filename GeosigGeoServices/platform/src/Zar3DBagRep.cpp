#include "Zar3DBagRep.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "ZarRender.h"

ZAR_IMPLEMENT_CLASS(Zar3DBagRep, Zar3DRep, "ZarPlatform", ZarRetrieveMetaClass)

Zar3DBagRep* Zar3DBagRep::CreateRep() { return new Zar3DBagRep(); }

Zar3DBagRep::~Zar3DBagRep() {
  for (std::size_t slot = 0; slot < _children.size(); ++slot) {
    Unlink(slot);
    _children[slot]->Release();
  }
}

void Zar3DBagRep::Link(ZarRep& ioChild) {
  _slotsInChildren.push_back(ioChild._parents.size());
  ioChild._parents.push_back(this);
  ioChild._slotsInParents.push_back(_children.size());
  _children.push_back(&ioChild);
}

void Zar3DBagRep::Unlink(std::size_t iSlot) {
  ZarRep& child = *_children[iSlot];
  const std::size_t link = _slotsInChildren[iSlot], last = child._parents.size() - 1;
  if (link != last) {
    // The child's last link takes the freed place; its bag learns where it went.
    Zar3DBagRep* moved = child._parents[last];
    const std::size_t movedSlot = child._slotsInParents[last];
    child._parents[link] = moved;
    child._slotsInParents[link] = movedSlot;
    moved->_slotsInChildren[movedSlot] = link;
  }
  child._parents.pop_back();
  child._slotsInParents.pop_back();
}

void Zar3DBagRep::RemoveChildAt(std::size_t iSlot) {
  ZarRep* child = _children[iSlot];
  Unlink(iSlot);
  _children.erase(_children.begin() + static_cast<std::ptrdiff_t>(iSlot));
  _slotsInChildren.erase(_slotsInChildren.begin() + static_cast<std::ptrdiff_t>(iSlot));
  // The children after it moved down one place.
  for (std::size_t slot = iSlot; slot < _children.size(); ++slot)
    _children[slot]->_slotsInParents[_slotsInChildren[slot]] = slot;
  child->Release();
  GeometryChanged();
}

HRESULT Zar3DBagRep::SetMatrix(const Zar4x4Matrix& iMatrix) {
  _matrix.reset(new (std::nothrow) Zar4x4Matrix(iMatrix));
  if (!_matrix) return E_OUTOFMEMORY;
  GeometryChanged();
  return S_OK;
}

HRESULT Zar3DBagRep::AddChild(ZarRep& iChild) {
  if (&iChild == this) return E_INVALIDARG;
  Link(iChild);
  iChild.AddRef();
  GeometryChanged();
  return S_OK;
}

HRESULT Zar3DBagRep::RemoveChild(ZarRep& iChild) {
  auto found = std::find(_children.begin(), _children.end(), &iChild);
  if (found == _children.end()) return E_FAIL;
  RemoveChildAt(static_cast<std::size_t>(found - _children.begin()));
  return S_OK;
}

// The smallest sphere around two spheres (in double, then padded to stay conservative).
static void Merge(double ioCenter[3], double& ioRadius, bool& ioEmpty, const double iCenter[3], double iRadius) {
  if (ioEmpty) {
    std::copy(iCenter, iCenter + 3, ioCenter);
    ioRadius = iRadius;
    ioEmpty = false;
    return;
  }
  double d[3] = {iCenter[0] - ioCenter[0], iCenter[1] - ioCenter[1], iCenter[2] - ioCenter[2]};
  const double distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  if (distance + iRadius <= ioRadius) return;
  if (distance + ioRadius <= iRadius) {
    std::copy(iCenter, iCenter + 3, ioCenter);
    ioRadius = iRadius;
    return;
  }
  const double radius = (distance + ioRadius + iRadius) * 0.5;
  const double shift = (radius - ioRadius) / distance;
  for (int k = 0; k < 3; ++k) ioCenter[k] += d[k] * shift;
  ioRadius = radius;
}

Zar3DBoundingSphere Zar3DBagRep::ComputeBoundingSphere() {
  double center[3] = {0, 0, 0};
  double radius = 0.0;
  bool empty = true;
  for (ZarRep* child : _children) {
    if (!child->IsA3DRep()) continue;
    const Zar3DBoundingSphere& sphere = static_cast<Zar3DRep*>(child)->GetBoundingSphere();
    if (sphere.IsEmpty()) continue;
    const double childCenter[3] = {sphere.center[0], sphere.center[1], sphere.center[2]};
    Merge(center, radius, empty, childCenter, sphere.radius);
  }
  Zar3DBoundingSphere result;
  if (empty) return result;
  if (_matrix) {
    const ZarMathPoint image = *_matrix * ZarMathPoint(center[0], center[1], center[2]);
    center[0] = image.x;
    center[1] = image.y;
    center[2] = image.z;
    radius *= _matrix->GetScaling();
  }
  double slack = 0.0;
  for (int k = 0; k < 3; ++k) {
    result.center[k] = static_cast<float>(center[k]);
    slack += std::fabs(center[k] - result.center[k]);
  }
  result.radius = std::nextafter(static_cast<float>(radius * (1.0 + 1e-6) + slack), HUGE_VALF);
  result.flags = Zar3DBoundingSphere::StateValid;
  return result;
}

void Zar3DBagRep::AcceptContent(ZarRender& iRender) {
  ZarRender* pushed = nullptr;
  if (_matrix) {
    Zar4x4Matrix matrix = *_matrix;
    pushed = iRender.PushMatrix(matrix);
  }
  for (ZarRep* child : _children) child->Accept(iRender);
  if (_matrix) iRender.PopMatrix(pushed);
}
