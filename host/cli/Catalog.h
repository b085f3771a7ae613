#pragma once
// The model files of a batch: files named directly, the files under directories (walked
// recursively, keeping those whose name a reader knows, in name order), and the entries of
// list files. Each path is kept once, in the order it first came.
#include <filesystem>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

class Catalog {
 public:
  // A file is kept as it is, even one that does not exist: describing it gives its error
  // record. A directory is walked; throws std::runtime_error naming it and the reason when
  // that fails.
  void AddPath(const std::string& iPath);
  // Each line of the list is a path given to AddPath, relative to the list's directory;
  // blank lines and lines starting with '#' are skipped. "-" reads standard input, relative
  // to the current directory. Throws std::runtime_error when the list cannot be read.
  void AddList(const std::string& iList);

  const std::vector<std::string>& Files() const { return _files; }

 private:
  void Keep(const std::string& iPath);
  // True for a name that the mesh or CAD importer reads by its extension.
  bool IsModelName(const std::filesystem::path& iPath);

  std::vector<std::string> _files;
  std::unordered_set<std::string> _kept;
  std::map<std::string, bool> _modelExtensions;
};
