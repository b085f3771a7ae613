#pragma once
// A small owning text.
#include <string>

class ZarString {
 public:
  ZarString() = default;
  explicit ZarString(const char* iText) { *this = iText; }

  // Copies the text; a null text makes the string empty.
  ZarString& operator=(const char* iText) {
    _text.assign(iText ? iText : "");
    return *this;
  }

  const char* c_str() const { return _text.c_str(); }
  int Length() const { return static_cast<int>(_text.size()); }

 private:
  std::string _text;
};
