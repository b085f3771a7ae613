#pragma once
// The texts that every viewer page embeds: three.js and its orbit controls (Debian's libjs-three), and the
// page's own script and style (web/). The build compiles them in, so that geosig needs no file beside it
// to write a page, and a page needs nothing beside it to be opened.
struct ViewerAssets {
  static const char* const _three;
  static const char* const _orbitControls;
  static const char* const _script;
  static const char* const _style;
};
