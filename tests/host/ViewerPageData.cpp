#include "ViewerPageData.h"

#include <cstring>
#include <stdexcept>

namespace {

std::string DecodedBytes(const std::string& iText) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned int bits = 0, count = 0;
  for (const char c : iText) {
    if (c == '=') break;
    bits = (bits << 6) | static_cast<unsigned int>(alphabet.find(c));
    count += 6;
    if (count >= 8) {
      count -= 8;
      bytes += static_cast<char>((bits >> count) & 0xff);
    }
  }
  return bytes;
}

template <class T>
std::vector<T> Decoded(const nlohmann::json& iBase64) {
  const std::string bytes = DecodedBytes(iBase64.get<std::string>());
  std::vector<T> values(bytes.size() / sizeof(T));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
  return values;
}

}  // namespace

nlohmann::json ViewerPageData(const std::string& iHtml) {
  const std::string opening = "<script type=\"application/json\" id=\"geosig-models\">";
  const std::size_t start = iHtml.find(opening);
  if (start == std::string::npos) throw std::runtime_error("no data in the page");
  const std::size_t from = start + opening.size();
  return nlohmann::json::parse(iHtml.substr(from, iHtml.find("</script>", from) - from));
}

std::vector<float> DecodedFloats(const nlohmann::json& iBase64) { return Decoded<float>(iBase64); }

std::vector<unsigned int> DecodedIndices(const nlohmann::json& iBase64) { return Decoded<unsigned int>(iBase64); }

std::vector<std::uint16_t> DecodedCells(const nlohmann::json& iBase64) { return Decoded<std::uint16_t>(iBase64); }
