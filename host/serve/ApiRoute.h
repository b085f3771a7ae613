#pragma once
// What a request's path names, once checked. The service opens no path a client names: a part is reached by its
// id only, and a path with dot segments, backslashes, empty segments or encoded separators is refused before any
// route is looked at.
#include <cstdint>
#include <string>

struct ApiRoute {
  enum class Kind { Page, Asset, Health, OpenApi, Search, Part, Neighbours, Model, Duplicates };

  Kind kind = Kind::Page;
  std::int64_t id = 0;  // the part of Part, Neighbours and Model
  std::string asset;    // the file name of an Asset

  // The route of iPath (decoded) given the raw request target iTarget. Throws ApiError: 400 for a path that is
  // refused or a part id that is not a positive integer, 404 for a path no route has.
  static ApiRoute Of(const std::string& iPath, const std::string& iTarget);

  // The method the route answers: "GET" (and HEAD) or "POST".
  const char* Method() const { return kind == Kind::Search ? "POST" : "GET"; }
  // The API's routes need the token when the service has one; the page and its assets do not.
  bool IsApi() const { return kind != Kind::Page && kind != Kind::Asset; }
};
