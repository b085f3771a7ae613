#include "FileRecord.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace {

std::string Base64(const std::string& iBytes) {
  std::string text(4 * ((iBytes.size() + 2) / 3) + 1, '\0');
  const int length =
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                      reinterpret_cast<const unsigned char*>(iBytes.data()), static_cast<int>(iBytes.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string FromBase64(const std::string& iText) {
  if (iText.size() % 4 != 0) throw std::runtime_error("\"fileBytes\" is not base64");
  std::string bytes(iText.size() / 4 * 3, '\0');
  const int length =
      EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                      reinterpret_cast<const unsigned char*>(iText.data()), static_cast<int>(iText.size()));
  if (length < 0) throw std::runtime_error("\"fileBytes\" is not base64");
  // The decoder keeps a zero byte for each padding character.
  std::size_t kept = static_cast<std::size_t>(length);
  for (std::size_t k = iText.size(); k > 0 && iText[k - 1] == '='; --k) --kept;
  bytes.resize(kept);
  return bytes;
}

}  // namespace

Report FileRecord(const std::string& iPath) {
  const std::string readable = ValidUtf8(iPath);
  Report record = {{"file", readable}};
  if (readable != iPath) record["fileBytes"] = Base64(iPath);
  return record;
}

Report ModelRecord(const std::string& iPath, const std::string& iFormat, const std::vector<std::string>& iWarnings) {
  Report record = FileRecord(iPath);
  record["format"] = iFormat;
  if (!iWarnings.empty()) record["warnings"] = iWarnings;
  return record;
}

Report FailureRecord(const std::string& iPath, const std::string& iReason) {
  Report record = FileRecord(iPath);
  record["error"] = iReason;
  return record;
}

std::string RecordedPath(const Report& iRecord) {
  if (iRecord.contains("fileBytes") && iRecord["fileBytes"].is_string())
    return FromBase64(iRecord["fileBytes"].get<std::string>());
  if (iRecord.contains("file") && iRecord["file"].is_string()) return iRecord["file"].get<std::string>();
  throw std::runtime_error("the record names no file");
}
