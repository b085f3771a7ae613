#include "ModelImporter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "CadImporter.h"
#include "ImportError.h"
#include "MeshImporter.h"

// The first bytes of the file, enough to recognise a CAD format.
static std::string ReadHead(const std::string& iPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(iPath, error);
  if (!fs::exists(status)) throw ImportError(iPath, "no such file");
  if (fs::is_directory(status)) throw ImportError(iPath, "is a directory, not a file");
  if (!fs::is_regular_file(status)) throw ImportError(iPath, "not a regular file");

  std::ifstream file(iPath, std::ios::binary);
  if (!file) throw ImportError(iPath, std::string("cannot be read: ") + std::strerror(errno));
  std::string head(256, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  if (file.bad()) throw ImportError(iPath, std::string("cannot be read: ") + std::strerror(errno));
  head.resize(static_cast<std::size_t>(file.gcount()));
  if (head.empty()) throw ImportError(iPath, "empty file");
  return head;
}

ModelImporter::ModelImporter(const ImportOptions& iOptions) : _options(iOptions) {}

ImportedModel ModelImporter::Import(const std::string& iPath) const {
  const std::string head = ReadHead(iPath);
  const std::string extension = std::filesystem::path(iPath).extension().string();
  std::optional<CadFormat> cadFormat = CadImporter::FormatOfExtension(extension);
  if (!cadFormat && !MeshImporter::ReadsExtension(extension)) cadFormat = CadImporter::FormatOfContent(head);
  if (cadFormat) return CadImporter(_options).Import(iPath, *cadFormat);
  return MeshImporter().Import(iPath);
}
