#include "ApiRoute.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "ApiError.h"

namespace {

const char* const apiPrefix = "/api/v1/";
const char* const assetPrefix = "/assets/";

std::string Lowered(std::string iText) {
  std::transform(iText.begin(), iText.end(), iText.begin(),
                 [](unsigned char iCharacter) { return static_cast<char>(std::tolower(iCharacter)); });
  return iText;
}

// Refuses what could step out of the routes or hide a separator from them.
void CheckPath(const std::string& iPath, const std::string& iTarget) {
  const std::string rawPath = Lowered(iTarget.substr(0, iTarget.find('?')));
  for (const char* encoded : {"%2e", "%2f", "%5c", "%00"})
    if (rawPath.find(encoded) != std::string::npos) throw ApiError(400, "encoded dots and separators are refused");
  if (iPath.empty() || iPath[0] != '/') throw ApiError(400, "the path must start with /");
  for (const unsigned char character : iPath)
    if (character < 0x20 || character == 0x7f || character == '\\')
      throw ApiError(400, "control characters and backslashes are refused in paths");
  std::size_t start = 1;
  while (start <= iPath.size()) {
    const std::size_t end = std::min(iPath.find('/', start), iPath.size());
    const std::string segment = iPath.substr(start, end - start);
    if (segment == "." || segment == "..") throw ApiError(400, "dot segments are refused in paths");
    if (segment.empty() && end < iPath.size()) throw ApiError(400, "empty segments are refused in paths");
    start = end + 1;
  }
}

std::int64_t PartId(const std::string& iText) {
  const bool digits = !iText.empty() && iText.size() <= 18 &&
                      std::all_of(iText.begin(), iText.end(), [](unsigned char c) { return std::isdigit(c); });
  const std::int64_t id = digits ? std::stoll(iText) : 0;
  if (id <= 0) throw ApiError(400, "a part id is a positive integer, not '" + iText.substr(0, 40) + "'");
  return id;
}

std::vector<std::string> Segments(const std::string& iPath) {
  std::vector<std::string> segments;
  std::size_t start = 0;
  for (std::size_t end; (end = iPath.find('/', start)) != std::string::npos; start = end + 1)
    segments.push_back(iPath.substr(start, end - start));
  segments.push_back(iPath.substr(start));
  return segments;
}

}  // namespace

ApiRoute ApiRoute::Of(const std::string& iPath, const std::string& iTarget) {
  CheckPath(iPath, iTarget);
  ApiRoute route;
  if (iPath == "/") return route;
  if (iPath.rfind(assetPrefix, 0) == 0) {
    route.kind = Kind::Asset;
    route.asset = iPath.substr(std::string(assetPrefix).size());
    return route;
  }
  if (iPath.rfind(apiPrefix, 0) != 0) throw ApiError(404, "no such route: " + iPath.substr(0, 200));
  const std::vector<std::string> segments = Segments(iPath.substr(std::string(apiPrefix).size()));
  const std::size_t count = segments.size();
  if (count == 1 && segments[0] == "health")
    route.kind = Kind::Health;
  else if (count == 1 && segments[0] == "openapi.json")
    route.kind = Kind::OpenApi;
  else if (count == 1 && segments[0] == "search")
    route.kind = Kind::Search;
  else if (count == 1 && segments[0] == "duplicates")
    route.kind = Kind::Duplicates;
  else if (count == 2 && segments[0] == "parts")
    route.kind = Kind::Part;
  else if (count == 3 && segments[0] == "parts" && segments[2] == "neighbours")
    route.kind = Kind::Neighbours;
  else if (count == 3 && segments[0] == "parts" && segments[2] == "model")
    route.kind = Kind::Model;
  else
    throw ApiError(404, "no such route: " + iPath.substr(0, 200));
  if (segments[0] == "parts") route.id = PartId(segments[1]);
  return route;
}
