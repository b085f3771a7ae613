#pragma once
// The tasks a worker program can run, by name. A closure cannot reach a process started by exec,
// so a caller names the task and passes its parameters as text (JSON by convention); the worker
// program's registry turns them back into the function that runs on each item.
#include <functional>
#include <map>
#include <string>

// A task as a caller asks for it.
struct TaskCall {
  std::string kind;
  std::string parameters;
};

class TaskRegistry {
 public:
  // Runs in a worker on one item and returns its payload (any bytes). A std::exception thrown
  // fails the item with its what(); anything else thrown fails it as "unexpected failure".
  using Task = std::function<std::string(const std::string& iItem)>;
  // Makes the task from a call's parameters; throws std::exception for parameters it cannot use.
  using Factory = std::function<Task(const std::string& iParameters)>;

  // Registers iFactory for iKind, in place of any factory registered for it before.
  TaskRegistry& Add(const std::string& iKind, Factory iFactory);

  // The task iCall asks for. Throws std::runtime_error for a kind not registered, and what the
  // factory throws for parameters it cannot use.
  Task Make(const TaskCall& iCall) const;

 private:
  std::map<std::string, Factory> _factories;
};
