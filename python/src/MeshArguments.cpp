#include "MeshArguments.h"

namespace py = pybind11;

MeshArrays MeshOf(const FloatTriples& iVertices, const IndexTriples& iFaces) {
  if (iVertices.ndim() != 2 || iVertices.shape(1) != 3) throw py::value_error("vertices must be an (N, 3) array");
  if (iFaces.ndim() != 2 || iFaces.shape(1) != 3) throw py::value_error("faces must be an (M, 3) array");
  return {iVertices.data(), static_cast<std::size_t>(iVertices.shape(0)), iFaces.data(),
          static_cast<std::size_t>(iFaces.shape(0))};
}
