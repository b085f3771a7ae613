#pragma once
// The vertex and face arrays that the module's mesh functions take, as the host's mesh.
#include <pybind11/numpy.h>

#include <cstdint>

#include "MeshArrays.h"

using FloatTriples = pybind11::array_t<float, pybind11::array::c_style>;
using IndexTriples = pybind11::array_t<std::uint32_t, pybind11::array::c_style>;

// The arrays as the host's mesh, which points into them: they must outlive it. Raises
// ValueError for arrays that are not (N, 3).
MeshArrays MeshOf(const FloatTriples& iVertices, const IndexTriples& iFaces);
