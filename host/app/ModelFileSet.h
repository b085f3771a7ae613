#pragma once
// The model files of a batch: files named directly, the files under directories (walked
// recursively, keeping those whose name a reader knows, in name order), and the entries of
// list files. Each file is kept once, under the path it first came by, however many paths
// name it. A walk steps over symbolic links unless told to follow them.
#include <filesystem>
#include <map>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class ModelFileSet {
 public:
  // With iFollowLinks, a walk follows symbolic links to files and directories, wherever they
  // lead, and visits each directory once.
  explicit ModelFileSet(bool iFollowLinks = false) : _followLinks(iFollowLinks) {}

  // A file is kept as it is, even one that does not exist: describing it gives its error
  // record. A directory is walked; one that cannot be read, at any depth, is kept in
  // Unreadable and the walk goes on.
  void AddPath(const std::string& iPath);
  // Each line of the list is a path given to AddPath, relative to the list's directory;
  // blank lines and lines starting with '#' are skipped. "-" reads standard input, relative
  // to the current directory. Throws std::runtime_error when the list cannot be read.
  void AddList(const std::string& iList);

  const std::vector<std::string>& Files() const { return _files; }
  // The directories given (as paths or in lists) and walked, as they were given.
  const std::vector<std::string>& Directories() const { return _directories; }
  // The directories a walk could not read, each with the reason.
  const std::vector<std::pair<std::string, std::string>>& Unreadable() const { return _unreadable; }
  // True when nothing was found: no file, and no directory that could not be walked.
  bool Empty() const { return _files.empty() && _unreadable.empty(); }
  // True when iPath is, under any name, one of the files or one of the lists read.
  bool Holds(const std::string& iPath) const;

 private:
  // Adds the model files under iDirectory to ioFound.
  void Walk(const std::filesystem::path& iDirectory, std::vector<std::string>& ioFound);
  void Keep(const std::string& iPath);
  // True for a name that the mesh or CAD importer reads by its extension.
  bool IsModelName(const std::filesystem::path& iPath);

  bool _followLinks;
  std::vector<std::string> _files;
  std::vector<std::string> _directories;
  std::vector<std::pair<std::string, std::string>> _unreadable;
  // The identities of the files, of the lists, and of the directories walked when links are followed.
  std::unordered_set<std::string> _kept, _lists, _walked;
  std::map<std::string, bool> _modelExtensions;
};
