#include "TaskRegistry.h"

#include <stdexcept>

TaskRegistry& TaskRegistry::Add(const std::string& iKind, Factory iFactory) {
  _factories[iKind] = std::move(iFactory);
  return *this;
}

TaskRegistry::Task TaskRegistry::Make(const TaskCall& iCall) const {
  const auto found = _factories.find(iCall.kind);
  if (found == _factories.end()) throw std::runtime_error("the worker program has no task '" + iCall.kind + "'");
  return found->second(iCall.parameters);
}
