#include "Catalog.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "CadImporter.h"
#include "MeshImporter.h"

namespace fs = std::filesystem;

void Catalog::AddPath(const std::string& iPath) {
  std::error_code error;
  if (!fs::is_directory(iPath, error)) return Keep(iPath);
  std::vector<std::string> found;
  fs::recursive_directory_iterator walk(iPath, error), end;
  for (; !error && walk != end; walk.increment(error))
    if (walk->is_regular_file(error) && IsModelName(walk->path())) found.push_back(walk->path().string());
  if (error) throw std::runtime_error(iPath + ": cannot be walked: " + error.message());
  std::sort(found.begin(), found.end());
  for (const std::string& path : found) Keep(path);
}

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
  if (_kept.insert(iPath).second) _files.push_back(iPath);
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
