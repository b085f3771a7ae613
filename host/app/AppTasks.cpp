#include "AppTasks.h"

#include <stdexcept>

#include "CountTask.h"
#include "DescribeTask.h"
#include "DisplayModelTask.h"
#include "IndexTask.h"
#include "ModelViewTask.h"
#include "NearestTask.h"
#include "Outcome.h"
#include "SurfaceVoxelsTask.h"
#include "ViewPageTask.h"
#include "VoxelizeTask.h"
#include "WorkerExecutable.h"

namespace {

template <typename Task>
void Register(TaskRegistry& ioRegistry) {
  ioRegistry.Add(Task::kind, [](const std::string& iParameters) {
    Task task;
    try {
      task = Task::FromParameters(Report::parse(iParameters));
    } catch (const std::exception& failure) {
      throw std::runtime_error(std::string("bad parameters of the task '") + Task::kind + "': " + failure.what());
    }
    return TaskRegistry::Task([task](const std::string& iFile) {
      try {
        return task.Run(iFile);
      } catch (...) {
        throw std::runtime_error(CurrentFailureReason());
      }
    });
  });
}

}  // namespace

const TaskRegistry& AppTasks() {
  static const TaskRegistry registry = [] {
    TaskRegistry tasks;
    Register<DescribeTask>(tasks);
    Register<IndexTask>(tasks);
    Register<CountTask>(tasks);
    Register<NearestTask>(tasks);
    Register<VoxelizeTask>(tasks);
    Register<ViewPageTask>(tasks);
    Register<ModelViewTask>(tasks);
    Register<SurfaceVoxelsTask>(tasks);
    Register<DisplayModelTask>(tasks);
    return tasks;
  }();
  return registry;
}

ForkServer& AppWorkers() { return ForkServer::Of(WorkerExecutable()); }
