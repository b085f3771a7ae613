#include "Catalog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "CadImporter.h"
#include "MeshImporter.h"

namespace fs = std::filesystem;

namespace {

// What names a file whatever the path to it: its device and inode, or for a path that does not
// lead to a file, the path made absolute with its links resolved as far as they exist.
std::string Identity(const fs::path& iPath) {
  struct stat status;
  if (stat(iPath.c_str(), &status) == 0) return std::to_string(status.st_dev) + ':' + std::to_string(status.st_ino);
  std::error_code error;
  const fs::path resolved = fs::weakly_canonical(iPath, error);
  return error ? iPath.string() : resolved.string();
}

}  // namespace

void Catalog::AddPath(const std::string& iPath) {
  std::error_code error;
  if (!fs::is_directory(iPath, error)) return Keep(iPath);
  std::vector<std::string> found;
  Walk(iPath, found);
  std::sort(found.begin(), found.end());
  for (const std::string& path : found) Keep(path);
}

void Catalog::Walk(const fs::path& iDirectory, std::vector<std::string>& ioFound) {
  if (_followLinks && !_walked.insert(Identity(iDirectory)).second) return;  // a link back up
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

bool Catalog::Holds(const std::string& iPath) const { return _kept.count(Identity(iPath)) > 0; }

void Catalog::AddList(const std::string& iList) {
  const bool standardInput = iList == "-";
  std::ifstream file;
  if (!standardInput) {
    file.open(iList);
    if (!file) throw std::runtime_error(iList + ": the list cannot be read");
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

void Catalog::Keep(const std::string& iPath) {
  if (_kept.insert(Identity(iPath)).second) _files.push_back(iPath);
}

bool Catalog::IsModelName(const fs::path& iPath) {
  std::string extension = iPath.extension().string();
  if (extension.empty()) return false;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // Asking the mesh reader builds all its format readers: once per extension is enough.
  const auto [entry, added] = _modelExtensions.emplace(extension, false);
  if (added) entry->second = CadImporter::FormatOfExtension(extension) || MeshImporter::ReadsExtension(extension);
  return entry->second;
}
