#include "SearchBindings.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "AppTasks.h"
#include "IndexTask.h"
#include "IsolatedRun.h"
#include "MeshArguments.h"
#include "ResidentCatalog.h"
#include "ShapeSignature.h"
#include "SignatureMetric.h"

namespace py = pybind11;

namespace {

// The signature of the file as `geosig index` computes it, read in a worker process; throws
// std::runtime_error with the reason the file has none.
ShapeSignature FileSignature(const std::string& iPath, const ImportOptions& iOptions, const WorkerLimits& iLimits,
                             unsigned int iDepth) {
  const py::gil_scoped_release released;
  IndexedPart read = IsolatedIndexTask(iPath, iOptions, iLimits, iDepth);
  if (read.error) throw std::runtime_error(*read.error);
  return std::move(*read.signature);
}

ShapeSignature MeshSignature(const FloatTriples& iVertices, const IndexTriples& iFaces, unsigned int iDepth) {
  const MeshArrays mesh = MeshOf(iVertices, iFaces);
  const py::gil_scoped_release released;
  const Outcome<ZarRef<Zar3DBagRep>> tree = MeshTree(mesh);
  if (!tree) throw py::value_error(tree.Reason());
  try {
    return ShapeSignature::Compute(*tree.Value(), iDepth);
  } catch (const std::runtime_error& failure) {
    throw py::value_error(failure.what());
  }
}

// (norm, terms, depth, packed occupancy): what a signature is made of, and how it is pickled.
py::tuple SignatureState(const ShapeSignature& iSignature) {
  return py::make_tuple(iSignature.Norm(), iSignature.Terms(), iSignature.Occupancy().Depth(),
                        py::bytes(iSignature.Occupancy().Pack()));
}

ShapeSignature SignatureFromState(const py::tuple& iState) {
  const std::string cells = iState[3].cast<std::string>();
  return ShapeSignature(iState[0].cast<float>(), iState[1].cast<ShapeSignature::Global>(),
                        VoxelGrid::Unpack(iState[2].cast<unsigned int>(), cells.data(), cells.size()));
}

// The occupancy as an (n, n, n) bool array indexed [x, y, z].
py::array_t<bool> OccupancyArray(const ShapeSignature& iSignature) {
  const VoxelGrid& grid = iSignature.Occupancy();
  const auto side = static_cast<py::ssize_t>(grid.Side());
  py::array_t<bool> cells({side, side, side});
  auto write = cells.mutable_unchecked<3>();
  for (py::ssize_t x = 0; x < side; ++x)
    for (py::ssize_t y = 0; y < side; ++y)
      for (py::ssize_t z = 0; z < side; ++z)
        write(x, y, z) =
            grid.Test(static_cast<unsigned int>(x), static_cast<unsigned int>(y), static_cast<unsigned int>(z));
  return cells;
}

py::dict DistanceDict(const DistanceParts& iDistance) {
  return py::dict(py::arg("combined") = iDistance.combined, py::arg("occupancy") = iDistance.occupancy,
                  py::arg("views") = iDistance.views, py::arg("shape") = iDistance.shape,
                  py::arg("size") = iDistance.size, py::arg("mirrored") = iDistance.mirrored);
}

// (path as bytes, distance parts and mirrored, scale) of each match.
using Matches = std::vector<std::tuple<py::bytes, py::dict, double>>;

// The matches in order; the paths are taken before the interpreter lock is, so that a refresh
// cannot come between.
Matches MatchList(const ResidentCatalog& iCatalog, const std::vector<SignatureMatch>& iFound) {
  std::vector<std::pair<std::string, SignatureMatch>> found;
  {
    const py::gil_scoped_release released;
    for (const SignatureMatch& match : iFound) found.emplace_back(iCatalog.PathOf(match.id), match);
  }
  Matches matches;
  for (const auto& [path, match] : found)
    matches.emplace_back(py::bytes(path), DistanceDict(match.distance), match.scale);
  return matches;
}

template <typename Search>
Matches Searched(const ResidentCatalog& iCatalog, const Search& iSearch) {
  std::vector<SignatureMatch> found;
  {
    const py::gil_scoped_release released;
    found = iSearch();
  }
  return MatchList(iCatalog, found);
}

MirrorPolicy Mirrors(bool iExcludeMirrors) { return iExcludeMirrors ? MirrorPolicy::Exclude : MirrorPolicy::Flag; }

// The matches of `geosig query`, nearest first.
Matches Query(const std::string& iCatalog, const ShapeSignature& iQuery, std::size_t iCount, bool iAnySize,
              bool iExcludeMirrors) {
  std::unique_ptr<ResidentCatalog> catalog;
  {
    const py::gil_scoped_release released;
    catalog = std::make_unique<ResidentCatalog>(iCatalog);
  }
  return Searched(*catalog, [&] {
    return catalog->Query(iQuery, iCount, SignatureMetric(iAnySize), false, -1, Mirrors(iExcludeMirrors));
  });
}

// The part of the catalog at iPath (the catalog's form of it); KeyError when it has none.
std::int64_t PartAt(const ResidentCatalog& iCatalog, const std::string& iPath) {
  const std::optional<std::int64_t> id = iCatalog.IdOf(SignatureCatalog::PathKey(iPath));
  if (!id) throw py::key_error(iPath + ": not indexed with a signature");
  return *id;
}

// The paths of the groups of parts iGroup finds, found without the interpreter's lock.
template <class Group>
std::vector<std::vector<py::bytes>> GroupPaths(const ResidentCatalog& iCatalog, const Group& iGroup) {
  std::vector<std::vector<std::string>> groups;
  {
    const py::gil_scoped_release released;
    for (const auto& group : iGroup()) {
      groups.emplace_back();
      for (const std::int64_t id : group) groups.back().push_back(iCatalog.PathOf(id));
    }
  }
  std::vector<std::vector<py::bytes>> paths;
  for (const auto& group : groups) paths.emplace_back(group.begin(), group.end());
  return paths;
}

}  // namespace

void AddSearchBindings(py::module_& ioModule) {
  ioModule.attr("DEFAULT_SIGNATURE_DEPTH") = ShapeSignature::DefaultDepth;
  ioModule.attr("MAX_SIGNATURE_DEPTH") = VoxelGrid::MaxDepth;

  py::class_<ShapeSignature>(ioModule, "ShapeSignature", "What shape search compares of a model")
      .def_property_readonly("norm", &ShapeSignature::Norm)
      .def_property_readonly("terms",
                             [](const ShapeSignature& iSignature) {
                               return py::array_t<float>(ShapeSignature::TermCount, iSignature.Terms().data());
                             })
      .def_property_readonly("depth", [](const ShapeSignature& iSignature) { return iSignature.Occupancy().Depth(); })
      .def_property_readonly("occupancy", &OccupancyArray)
      .def("__eq__",
           [](const ShapeSignature& iA, const ShapeSignature& iB) {
             return iA.Norm() == iB.Norm() && iA.Terms() == iB.Terms() &&
                    iA.Occupancy().Depth() == iB.Occupancy().Depth() &&
                    iA.Occupancy().Words() == iB.Occupancy().Words();
           })
      .def(py::pickle(&SignatureState, &SignatureFromState));

  ioModule.def("file_signature", &FileSignature, py::arg("path"), py::arg("options"), py::arg("limits"),
               py::arg("depth"), "The signature `geosig index` computes for the file; raises FileFailure");
  ioModule.def("mesh_signature", &MeshSignature, py::arg("vertices"), py::arg("faces"), py::arg("depth"),
               "The signature of float32 (N, 3) vertices and uint32 (M, 3) faces; raises ValueError");
  ioModule.def(
      "distance",
      [](const ShapeSignature& iA, const ShapeSignature& iB, bool iAnySize) {
        return DistanceDict(SignatureMetric(iAnySize).Compare(iA, iB));
      },
      py::arg("a"), py::arg("b"), py::arg("any_size"),
      "{combined, occupancy, views, shape, size, mirrored}; raises ValueError for signatures of different depths");
  ioModule.def("query", &Query, py::arg("catalog"), py::arg("signature"), py::arg("count"), py::arg("any_size"),
               py::arg("exclude_mirrors"),
               "[(path, {combined, occupancy, views, shape, size, mirrored}, scale)] nearest first; raises "
               "CatalogFailure");
  py::class_<ResidentCatalog>(ioModule, "ResidentCatalog", "A catalog kept in memory for searching")
      .def(py::init<const std::string&>(), py::arg("catalog"), py::call_guard<py::gil_scoped_release>())
      .def("__len__", &ResidentCatalog::Size)
      .def_property_readonly("note", &ResidentCatalog::Note)
      .def("ids", &ResidentCatalog::Ids, "The ids of the parts with a signature, in the order they were indexed")
      .def(
          "path_of", [](const ResidentCatalog& iCatalog, std::int64_t iId) { return py::bytes(iCatalog.PathOf(iId)); },
          py::arg("id"), "The path of a part; IndexError for an unknown id")
      .def("refresh", &ResidentCatalog::Refresh, py::call_guard<py::gil_scoped_release>())
      .def(
          "query",
          [](const ResidentCatalog& iCatalog, const ShapeSignature& iQuery, std::size_t iCount, bool iAnySize,
             bool iExact, bool iExcludeMirrors) {
            return Searched(iCatalog, [&] {
              return iCatalog.Query(iQuery, iCount, SignatureMetric(iAnySize), iExact, -1, Mirrors(iExcludeMirrors));
            });
          },
          py::arg("signature"), py::arg("count"), py::arg("any_size"), py::arg("exact"), py::arg("exclude_mirrors"))
      .def(
          "neighbours",
          [](const ResidentCatalog& iCatalog, const std::string& iPath, std::size_t iCount, bool iAnySize, bool iExact,
             bool iExcludeMirrors) {
            const std::int64_t id = PartAt(iCatalog, iPath);
            return Searched(iCatalog, [&] {
              return iCatalog.Neighbours(id, iCount, SignatureMetric(iAnySize), iExact, Mirrors(iExcludeMirrors));
            });
          },
          py::arg("path"), py::arg("count"), py::arg("any_size"), py::arg("exact"), py::arg("exclude_mirrors"))
      .def(
          "duplicates",
          [](const ResidentCatalog& iCatalog, double iMaxDistance, bool iAnySize, bool iExact) {
            return GroupPaths(iCatalog,
                              [&] { return iCatalog.Duplicates(iMaxDistance, SignatureMetric(iAnySize), iExact); });
          },
          py::arg("max_distance"), py::arg("any_size"), py::arg("exact"))
      .def(
          "duplicate_links",
          [](const ResidentCatalog& iCatalog, const std::vector<std::int64_t>& iIds, double iMaxDistance, bool iAnySize,
             bool iExact) {
            const py::gil_scoped_release released;
            return iCatalog.DuplicateLinks(iIds, iMaxDistance, SignatureMetric(iAnySize), iExact);
          },
          py::arg("ids"), py::arg("max_distance"), py::arg("any_size"), py::arg("exact"))
      .def(
          "duplicate_groups",
          [](const ResidentCatalog& iCatalog, const std::vector<ResidentCatalog::Link>& iLinks) {
            return GroupPaths(iCatalog, [&] { return iCatalog.DuplicateGroups(iLinks); });
          },
          py::arg("links"));
}
