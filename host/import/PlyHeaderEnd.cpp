#include "PlyHeaderEnd.h"

#include <fstream>
#include <iterator>
#include <sstream>

// Far more than the elements and comments of any header hold.
static constexpr std::size_t HeaderBytes = 64 * 1024;

// Whether the header lines before iEnd declare a binary format, either byte order.
static bool DeclaresBinaryFormat(const std::string& iHead, std::size_t iEnd) {
  std::istringstream lines(iHead.substr(0, iEnd));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string keyword, format;
    words >> keyword >> format;
    if (keyword == "format") return format.rfind("binary_", 0) == 0;
  }
  return false;
}

std::optional<std::string> PlyWithCrLfHeaderEnd(const std::string& iPath) {
  std::ifstream file(iPath, std::ios::binary);
  std::string head(HeaderBytes, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  if (head.compare(0, 4, "ply\n") != 0 && head.compare(0, 5, "ply\r\n") != 0) return std::nullopt;
  const std::size_t last = head.find("\nend_header");
  const std::size_t lineEnd = last == std::string::npos ? last : head.find('\n', last + 1);
  if (lineEnd == std::string::npos || lineEnd + 1 >= head.size()) return std::nullopt;
  if (head[lineEnd - 1] == '\r' || head[lineEnd + 1] != '\n' || !DeclaresBinaryFormat(head, last)) return std::nullopt;

  std::string bytes = std::move(head);
  if (file) bytes.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) return std::nullopt;
  bytes.insert(lineEnd, 1, '\r');
  return bytes;
}
