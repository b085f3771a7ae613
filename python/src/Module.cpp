// The extension under the geosig package: thin bindings over the host. Files come back as the
// JSON records the command line writes, so that Python sees the same fields and numbers; the
// package turns them into dicts and exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AppTasks.h"
#include "BatchOutput.h"
#include "CatalogError.h"
#include "CommandFailure.h"
#include "DescribeTask.h"
#include "DescriptorSections.h"
#include "FileDescription.h"
#include "FileRecord.h"
#include "FingerprintCommand.h"
#include "GeosigBBRender.h"
#include "ImportOptions.h"
#include "IsolatedRun.h"
#include "MeshArguments.h"
#include "ModelFileSet.h"
#include "ProgressLine.h"
#include "SearchBindings.h"
#include "SurfaceVoxels.h"
#include "SurfaceVoxelsTask.h"
#include "VoxelizeCommand.h"

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

// DescribeRecord for several files read in turn by one worker process, in the files' order.
std::vector<std::string> DescribeRecords(const std::vector<std::string>& iPaths, const ImportOptions& iOptions,
                                         const WorkerLimits& iLimits) {
  const py::gil_scoped_release released;
  std::vector<std::string> records;
  for (const WorkerOutcome& outcome : RunIsolatedInTurn(iPaths, iLimits, CallOf(DescribeTask{iOptions})))
    records.push_back(outcome.succeeded ? outcome.value
                                        : ReportText(FailureRecord(iPaths[outcome.index], outcome.value)));
  return records;
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

ModelFileSet ModelFiles(const std::vector<std::string>& iPaths, const std::vector<std::string>& iLists) {
  ModelFileSet files;
  for (const std::string& path : iPaths) files.AddPath(path);
  for (const std::string& list : iLists) files.AddList(list);
  return files;
}

}  // namespace

PYBIND11_MODULE(_geosig, ioModule) {
  // The first render creates the support that every render shares, without a lock: create it
  // now, before threads that released the interpreter lock could race to do it.
  { const GeosigBBRender firstRender; }

  ioModule.doc() = "The host's descriptors, fingerprints and batch records (wrapped by the geosig package)";
  ioModule.attr("__version__") = GEOSIG_VERSION;
  ioModule.attr("MAX_VOXEL_DEPTH") = VoxelizeCommand::_MaxDepth;
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
  ioModule.def("describe_records", &DescribeRecords, py::arg("paths"), py::arg("options"), py::arg("limits"),
               "describe_record of each path, read in turn by one worker process");
  ioModule.def("voxelize_file", &VoxelizeFile, py::arg("path"), py::arg("depth"), py::arg("options"), py::arg("limits"),
               "(indices, origin, edge) of the file's surface voxels; raises FileFailure");
  ioModule.def("describe_mesh_record", &DescribeMeshRecord, py::arg("vertices"), py::arg("faces"),
               "{\"descriptors\": ...} of float32 (N, 3) vertices and uint32 (M, 3) faces, as JSON");
  ioModule.def("voxelize_mesh", &VoxelizeMesh, py::arg("vertices"), py::arg("faces"), py::arg("depth"),
               "(indices, origin, edge) of the mesh's surface voxels");
  ioModule.def(
      "error_record",
      [](const std::string& iPath, const std::string& iReason) { return FailureRecord(iPath, iReason).dump(); },
      py::arg("path"), py::arg("reason"), "The batch record of a file that failed for the reason");
  ioModule.def(
      "fingerprint",
      [](const std::string& iPath) {
        const py::gil_scoped_release released;
        return FingerprintCommand::FingerprintOf(iPath);
      },
      py::arg("path"), "The base64 SHA-256 digest of the file's bytes; raises FileFailure");
  py::class_<ModelFileSet>(ioModule, "ModelFileSet",
                           "The model files of a batch, and the directories that could not be walked")
      .def_property_readonly("files", &ModelFileSet::Files)
      .def_property_readonly("unreadable", &ModelFileSet::Unreadable, "[(directory, reason)] of those not walked");
  ioModule.def("model_files", &ModelFiles, py::arg("paths"), py::arg("lists"),
               "The model files of a batch over these paths and list files; raises FileFailure");

  py::class_<BatchOutput>(ioModule, "BatchOutput", "The JSON-lines file of a batch")
      .def(py::init<const std::string&, bool>(), py::arg("path"), py::arg("resume"))
      .def("recorded_files", &BatchOutput::RecordedFiles, "The files of the records kept from an earlier run")
      .def("append", &BatchOutput::Append, py::arg("record"), "Appends one record in one write");

  py::class_<ProgressLine>(ioModule, "ProgressLine", "The progress line of the commands on standard error")
      .def(py::init<std::size_t, bool>(), py::arg("total"), py::arg("shown"))
      .def_static("on_terminal", &ProgressLine::OnTerminal, "Whether standard error is a terminal")
      .def("show", &ProgressLine::Show, py::arg("done"), py::arg("failed"), py::arg("current") = std::string())
      .def("finish", &ProgressLine::Finish, py::arg("done"), py::arg("failed"), py::arg("untouched") = 0);

  AddSearchBindings(ioModule);
}
