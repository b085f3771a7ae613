#pragma once
// The texts the service serves from memory besides the viewer's (ViewerAssets): the search page, its script and
// style (web/search.*) and the API's OpenAPI description (openapi.json). The build compiles them in, so that the
// service reads no file of its own when it runs.
struct ServeAssets {
  static const char* const _page;
  static const char* const _script;
  static const char* const _style;
  static const char* const _openApi;
};
