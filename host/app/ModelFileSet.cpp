#include "ModelFileSet.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "CadImporter.h"
#include "FileIdentity.h"
#include "MeshImporter.h"

namespace fs = std::filesystem;

void ModelFileSet::AddPath(const std::string& iPath) {
  std::error_code error;
  if (!fs::is_directory(iPath, error)) return Keep(iPath);
  _directories.push_back(iPath);
  std::vector<std::string> found;
  Walk(iPath, found);
  std::sort(found.begin(), found.end());
  for (const std::string& path : found) Keep(path);
}

void ModelFileSet::Walk(const fs::path& iDirectory, std::vector<std::string>& ioFound) {
  if (_followLinks && !_walked.insert(FileIdentity(iDirectory.string())).second) return;  // a link back up
  std::error_code error;
  fs::directory_iterator entry(iDirectory, error), end;
  for (; !error && entry != end; entry.increment(error)) {
    std::error_code entryError;
    const bool link = entry->is_symlink(entryError);
    if (link && !_followLinks) continue;
    if (entry->is_directory(entryError))
      Walk(entry->path(), ioFound);
    else if ((entry->is_regular_file(entryError) || link) && IsModelName(entry->path()))
      ioFound.push_back(entry->path().string());  // a dangling link gets its error record
  }
  if (error) _unreadable.emplace_back(iDirectory.string(), "cannot be walked: " + error.message());
}

bool ModelFileSet::Holds(const std::string& iPath) const {
  const std::string identity = FileIdentity(iPath);
  return _kept.count(identity) > 0 || _lists.count(identity) > 0;
}

void ModelFileSet::AddList(const std::string& iList) {
  const bool standardInput = iList == "-";
  std::ifstream file;
  if (!standardInput) {
    file.open(iList);
    if (!file) throw std::runtime_error(iList + ": the list cannot be read");
    _lists.insert(FileIdentity(iList));
  }
  std::istream& list = standardInput ? std::cin : file;
  const fs::path base = standardInput ? fs::path() : fs::path(iList).parent_path();
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    AddPath((base / line).string());
  }
  if (list.bad()) throw std::runtime_error(iList + ": the list cannot be read");
}

void ModelFileSet::Keep(const std::string& iPath) {
  if (_kept.insert(FileIdentity(iPath)).second) _files.push_back(iPath);
}

bool ModelFileSet::IsModelName(const fs::path& iPath) {
  std::string extension = iPath.extension().string();
  if (extension.empty()) return false;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Asking the mesh reader builds all its format readers: once per extension is enough.
  const auto [entry, added] = _modelExtensions.emplace(extension, false);
  if (added) entry->second = CadImporter::FormatOfExtension(extension) || MeshImporter::ReadsExtension(extension);
  return entry->second;
}
