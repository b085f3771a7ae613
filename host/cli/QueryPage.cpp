#include "QueryPage.h"

#include <algorithm>
#include <thread>

#include "AppTasks.h"
#include "ModelViewTask.h"
#include "ViewerPage.h"

QueryPage::QueryPage(const ImportOptions& iOptions, const WorkerLimits& iLimits, std::optional<unsigned int> iDepth,
                     std::size_t iDisplayTriangles)
    : _options(iOptions), _limits(iLimits), _depth(iDepth), _displayTriangles(iDisplayTriangles) {}

std::vector<QueryPage::Unshown> QueryPage::Write(const Shown& iQuery, const std::vector<Shown>& iMatches,
                                                 const std::string& iOutput) const {
  std::vector<Shown> shown = {iQuery};
  shown.insert(shown.end(), iMatches.begin(), iMatches.end());
  std::vector<std::string> paths;
  for (const Shown& model : shown) paths.push_back(model.path);

  std::vector<ViewerPage::Entry> entries(shown.size());
  WorkerPool(AppWorkers(), CallOf(ModelViewTask{_options, _depth, _displayTriangles}), _limits)
      .Run(paths, std::max(1u, std::thread::hardware_concurrency()), [&](const WorkerOutcome& iOutcome) {
        entries[iOutcome.index] = iOutcome.succeeded
                                      ? ViewerPage::Entry::parse(iOutcome.value)
                                      : ViewerPage::UnreadableEntry(paths[iOutcome.index], iOutcome.value);
      });
  std::vector<Unshown> unshown;
  for (std::size_t k = 0; k < shown.size(); ++k) {
    entries[k]["caption"] = shown[k].caption;
    if (entries[k].contains("unreadable")) unshown.push_back({paths[k], entries[k]["unreadable"]});
  }
  entries.front()["query"] = true;
  ViewerPage::Write(entries, iOutput);
  return unshown;
}
