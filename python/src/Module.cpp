// The extension under the geosig package: thin bindings over the host. Files come back as the
// JSON records the command line writes, so that Python sees the same fields and numbers; the
// package turns them into dicts and exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AppFailure.h"
#include "AppTasks.h"
#include "CatalogError.h"
#include "DescribeTask.h"
#include "DescriptorSections.h"
#include "FileDescription.h"
#include "FileFingerprint.h"
#include "FileRecord.h"
#include "FileRunBindings.h"
#include "GeosigBBRender.h"
#include "ImportOptions.h"
#include "IsolatedRun.h"
#include "MeshArguments.h"
#include "SearchBindings.h"
#include "SurfaceVoxels.h"
#include "SurfaceVoxelsTask.h"

namespace py = pybind11;

namespace {

// Files are read in a worker process of geosig-worker, forked for the call by the interpreter's
// fork server (which is single-threaded, whatever threads the interpreter runs): a reader that
// crashes, hangs or exhausts memory costs the file an error, not the interpreter, and readers,
// which must not run on two threads of one process, run side by side for several Python threads.
std::string DescribeRecord(const std::string& iPath, const ImportOptions& iOptions, const WorkerLimits& iLimits) {
  const py::gil_scoped_release released;
  try {
    return RunIsolated(iPath, iLimits, CallOf(DescribeTask{iOptions})).dump();
  } catch (const std::runtime_error& failure) {
    return FailureRecord(iPath, failure.what()).dump();
  }
}

// {"descriptors": ...} as JSON; raises ValueError with the reason the mesh cannot be described.
std::string DescribeMeshRecord(const FloatTriples& iVertices, const IndexTriples& iFaces) {
  const MeshArrays mesh = MeshOf(iVertices, iFaces);
  const Outcome<Descriptors> described = [&mesh] {
    const py::gil_scoped_release released;
    return DescribeMesh(mesh);
  }();
  if (!described) throw py::value_error(described.Reason());
  return Report{{"descriptors", DescriptorsReport(described.Value())}}.dump();
}

// (indices, origin, edge): the cells as an (N, 3) int64 array, the grid's corner as three
// float64 and the cell edge, the numbers as the JSON reports read them.
py::tuple VoxelsToPython(const SurfaceVoxels& iGrid) {
  py::array_t<std::int64_t> indices({static_cast<py::ssize_t>(iGrid.cells.size()), py::ssize_t{3}});
  auto write = indices.mutable_unchecked<2>();
  for (std::size_t k = 0; k < iGrid.cells.size(); ++k)
    for (py::ssize_t axis = 0; axis < 3; ++axis)
      write(static_cast<py::ssize_t>(k), axis) = iGrid.cells[k][static_cast<std::size_t>(axis)];
  const std::vector<double> origin = ReportPoint(iGrid.origin);
  return py::make_tuple(indices, py::array_t<double>(3, origin.data()), ReportNumber(iGrid.edge).get<double>());
}

py::tuple VoxelizeFile(const std::string& iPath, unsigned int iDepth, const ImportOptions& iOptions,
                       const WorkerLimits& iLimits) {
  SurfaceVoxels grid;
  {
    const py::gil_scoped_release released;
    grid = SurfaceVoxels::FromReport(RunIsolated(iPath, iLimits, CallOf(SurfaceVoxelsTask{iOptions, iDepth})));
  }
  return VoxelsToPython(grid);
}

py::tuple VoxelizeMesh(const FloatTriples& iVertices, const IndexTriples& iFaces, unsigned int iDepth) {
  const MeshArrays mesh = MeshOf(iVertices, iFaces);
  SurfaceVoxels grid;
  {
    const py::gil_scoped_release released;
    const Outcome<ZarRef<Zar3DBagRep>> tree = MeshTree(mesh);
    if (!tree) throw py::value_error(tree.Reason());
    grid = VoxelizeSurface(*tree.Value(), iDepth);
  }
  return VoxelsToPython(grid);
}

const char* KindName(AppFailure::Kind iKind) {
  switch (iKind) {
    case AppFailure::Kind::File: return "file";
    case AppFailure::Kind::Usage: return "usage";
    case AppFailure::Kind::Catalog: return "catalog";
  }
  return "file";
}

// Raises the exception that geosig._failures makes of iFailure: the package maps the host's failures in one place.
void RaiseAppFailure(const AppFailure& iFailure) {
  const py::object error =
      py::module_::import("geosig._failures")
          .attr("app_failure")(KindName(iFailure.FailureKind()), iFailure.Subject(), iFailure.Reason());
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
}

}  // namespace

PYBIND11_MODULE(_geosig, ioModule) {
  // The first render creates the support that every render shares, without a lock: create it
  // now, before threads that released the interpreter lock could race to do it.
  { const GeosigBBRender firstRender; }

  ioModule.doc() = "The host's descriptors, fingerprints and batch records (wrapped by the geosig package)";
  ioModule.attr("__version__") = GEOSIG_VERSION;
  ioModule.attr("MAX_VOXEL_DEPTH") = SurfaceVoxels::MaxDepth;
  // A file that could not be handled (the host reports those as std::runtime_error); its text
  // is the reason, without the path.
  static py::exception<std::runtime_error> fileFailure(ioModule, "FileFailure");
  // A catalog database that cannot be used; its text names the catalog and the reason.
  static py::exception<CatalogError> catalogFailure(ioModule, "CatalogFailure");
  py::register_exception_translator([](std::exception_ptr iFailure) {
    try {
      if (iFailure) std::rethrow_exception(iFailure);
    } catch (const py::builtin_exception&) {
      throw;  // ValueError and the like, raised as they are
    } catch (const AppFailure& failure) {
      RaiseAppFailure(failure);
    } catch (const CatalogError& failure) {
      catalogFailure(failure.what());
    } catch (const std::runtime_error&) {
      fileFailure(CurrentFailureReason().c_str());
    }
  });

  py::class_<ImportOptions>(ioModule, "ImportOptions", "How curved CAD geometry is tessellated")
      .def(py::init<>())
      .def_readwrite("relative_deflection", &ImportOptions::relativeDeflection)
      .def_readwrite("deflection", &ImportOptions::absoluteDeflection)
      .def_readwrite("angular_deflection", &ImportOptions::angularDeflection)
      .def_readwrite("parallel_tessellation", &ImportOptions::parallelTessellation);
  py::class_<WorkerLimits>(ioModule, "WorkerLimits", "The limits of the worker process that reads a file")
      .def(py::init<>())
      .def_readwrite("time_limit", &WorkerLimits::seconds)
      .def_readwrite("memory_limit", &WorkerLimits::gibibytes);

  ioModule.def("describe_record", &DescribeRecord, py::arg("path"), py::arg("options"), py::arg("limits"),
               "The file's batch record as one JSON line: a description, or the reason it failed");
  ioModule.def("voxelize_file", &VoxelizeFile, py::arg("path"), py::arg("depth"), py::arg("options"), py::arg("limits"),
               "(indices, origin, edge) of the file's surface voxels; raises FileFailure");
  ioModule.def("describe_mesh_record", &DescribeMeshRecord, py::arg("vertices"), py::arg("faces"),
               "{\"descriptors\": ...} of float32 (N, 3) vertices and uint32 (M, 3) faces, as JSON");
  ioModule.def("voxelize_mesh", &VoxelizeMesh, py::arg("vertices"), py::arg("faces"), py::arg("depth"),
               "(indices, origin, edge) of the mesh's surface voxels");
  ioModule.def(
      "fingerprint",
      [](const std::string& iPath) {
        const py::gil_scoped_release released;
        return FileFingerprint(iPath);
      },
      py::arg("path"), "The base64 SHA-256 digest of the file's bytes; raises FileFailure");
  AddFileRunBindings(ioModule);
  AddSearchBindings(ioModule);
}
