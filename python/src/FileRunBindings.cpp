#include "FileRunBindings.h"

#include <pybind11/stl.h>

#include <string>
#include <utility>
#include <vector>

#include "AppTasks.h"
#include "BatchRecords.h"
#include "CatalogUpdate.h"
#include "DescribeTask.h"
#include "IndexTask.h"
#include "IsolatedRun.h"
#include "ModelFileRun.h"
#include "ModelFileSet.h"

namespace py = pybind11;

namespace {

ModelFileSet ModelFiles(const std::vector<std::string>& iPaths, const std::vector<std::string>& iLists) {
  ModelFileSet files;
  for (const std::string& path : iPaths) files.AddPath(path);
  for (const std::string& list : iLists) files.AddList(list);
  return files;
}

// Adds iName(paths, options, limits): (succeeded, payload or reason) of each path under Task, read in turn by one
// worker process, as a Dask task hands them back to ModelFileRun.collect.
template <typename Task>
void AddReadingInTurn(py::module_& ioModule, const char* iName, const char* iDoc) {
  ioModule.def(
      iName,
      [](const std::vector<std::string>& iPaths, const ImportOptions& iOptions, const WorkerLimits& iLimits) {
        const py::gil_scoped_release released;
        std::vector<std::pair<bool, std::string>> outcomes;
        for (WorkerOutcome& outcome : RunIsolatedInTurn(iPaths, iLimits, CallOf(Task{iOptions})))
          outcomes.emplace_back(outcome.succeeded, std::move(outcome.value));
        return outcomes;
      },
      py::arg("paths"), py::arg("options"), py::arg("limits"), iDoc);
}

}  // namespace

void AddFileRunBindings(py::module_& ioModule) {
  py::class_<ModelFileSet>(ioModule, "ModelFileSet",
                           "The model files of a run, and the directories that could not be walked")
      .def_property_readonly("files", &ModelFileSet::Files)
      .def_property_readonly("unreadable", &ModelFileSet::Unreadable, "[(directory, reason)] of those not walked")
      .def_property_readonly("empty", &ModelFileSet::Empty, "Whether no file was found, nor any directory unwalked");
  ioModule.def("model_files", &ModelFiles, py::arg("paths"), py::arg("lists"),
               "The model files under these paths and list files; raises FileFailure");

  py::class_<FileRecordSink>(ioModule, "FileRecordSink", "Where a run over model files keeps each file's outcome");
  py::class_<BatchRecords, FileRecordSink>(ioModule, "BatchRecords", "The describe records of a batch's output")
      .def(py::init<const std::string&, bool, const ModelFileSet&>(), py::arg("path"), py::arg("resume"),
           py::arg("files"), py::call_guard<py::gil_scoped_release>())
      .def_property_readonly("kept", &BatchRecords::Kept, "Records kept from an earlier run")
      .def_property_readonly("unwalked", &BatchRecords::Unwalked,
                             "[(directory, reason)] of the directories not walked, each with its error record");
  py::class_<CatalogUpdate, FileRecordSink>(ioModule, "CatalogUpdate",
                                            "A catalog database brought up to date with files")
      .def(py::init<const std::string&, const ModelFileSet&, const ImportOptions&, bool>(), py::arg("catalog"),
           py::arg("files"), py::arg("options"), py::arg("prune"), py::call_guard<py::gil_scoped_release>())
      .def_property_readonly("pending", &CatalogUpdate::Pending)
      .def_property_readonly("unchanged", &CatalogUpdate::Unchanged)
      .def_property_readonly("removed", &CatalogUpdate::Removed)
      .def_property_readonly("untouched", &CatalogUpdate::Untouched,
                             "[(path, reason)] of the paths not brought up to date, whose entries were kept");

  py::class_<ModelFileRun>(ioModule, "ModelFileRun",
                           "A run over the files of a sink: the executor reads them, collect records each outcome")
      .def(py::init<FileRecordSink&, bool>(), py::arg("sink"), py::arg("progress"), py::keep_alive<1, 2>())
      .def("start", &ModelFileRun::Start, py::call_guard<py::gil_scoped_release>(),
           "Records the files that fail before any reading and starts the progress line")
      .def_property_readonly("files",
                             [](const ModelFileRun& iRun) {
                               std::vector<py::bytes> paths;
                               for (const std::string& path : iRun.Files()) paths.emplace_back(path);
                               return paths;
                             })
      .def(
          "collect",
          [](ModelFileRun& ioRun, std::size_t iIndex, bool iSucceeded, std::string iValue) {
            const py::gil_scoped_release released;
            ioRun.Collect({iIndex, iSucceeded, std::move(iValue)});
          },
          py::arg("index"), py::arg("succeeded"), py::arg("value"),
          "Records the outcome of files[index]: the task's payload, or why it failed")
      .def("finish", &ModelFileRun::Finish, py::arg("untouched") = 0)
      .def_property_readonly("done", &ModelFileRun::Done)
      .def_property_readonly("failed", &ModelFileRun::Failed);

  AddReadingInTurn<DescribeTask>(ioModule, "describe_records",
                                 "[(succeeded, describe record or reason)] of the paths, read in turn by one worker");
  AddReadingInTurn<IndexTask>(ioModule, "index_records",
                              "[(succeeded, index record or reason)] of the paths, read in turn by one worker");
}
