#pragma once
// Directories nested until their path is longer than the system takes: the deepest cannot be
// opened by its path, whoever runs the test (root too, whom permissions do not stop). Removed
// when the object goes.
#include <cstddef>
#include <string>
#include <vector>

class TooDeepDirectories {
 public:
  // Nests directories in iParent until the path below it is longer than iPathLength.
  TooDeepDirectories(const std::string& iParent, std::size_t iPathLength);
  ~TooDeepDirectories();
  TooDeepDirectories(const TooDeepDirectories&) = delete;
  TooDeepDirectories& operator=(const TooDeepDirectories&) = delete;

  // The path of the deepest directory below the parent.
  const std::string& RelativePath() const { return _path; }

 private:
  const std::string _name = std::string(200, 'd');
  std::vector<int> _levels;
  std::string _path;
};
