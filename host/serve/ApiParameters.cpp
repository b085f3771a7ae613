#include "ApiParameters.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "ApiError.h"

namespace {

ApiError BadValue(const char* iName, const std::string& iValue, const char* iExpected) {
  return ApiError(400, std::string(iName) + " must be " + iExpected + ", not '" + iValue.substr(0, 40) + "'");
}

}  // namespace

const std::string* ApiParameters::Find(const char* iName) const {
  const auto found = _parameters.find(iName);
  return found == _parameters.end() ? nullptr : &found->second;
}

std::size_t ApiParameters::Count() const {
  const std::string* text = Find("k");
  if (!text) return 10;
  const bool digits = !text->empty() && text->size() <= 4 &&
                      std::all_of(text->begin(), text->end(), [](unsigned char c) { return std::isdigit(c); });
  const std::size_t count = digits ? std::stoul(*text) : 0;
  if (count < 1 || count > MaxCount) throw BadValue("k", *text, "an integer from 1 to 1000");
  return count;
}

bool ApiParameters::AnySize() const {
  const std::string* text = Find("anySize");
  if (!text) return false;
  if (*text == "true" || *text == "1") return true;
  if (*text == "false" || *text == "0") return false;
  throw BadValue("anySize", *text, "true or false");
}

double ApiParameters::MaxDistance() const {
  const std::string* text = Find("maxDistance");
  if (!text) return 0.05;
  char* end = nullptr;
  const double value = std::strtod(text->c_str(), &end);
  if (text->empty() || end != text->c_str() + text->size() || !std::isfinite(value) || value < 0)
    throw BadValue("maxDistance", *text, "a number of at least 0");
  return value;
}

std::string ApiParameters::Extension(const std::string& iFallback) const {
  const std::string* given = Find("filename");
  const std::string& name = given ? *given : iFallback;
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  if (extension.empty() || extension.size() > 10 ||
      !std::all_of(extension.begin(), extension.end(), [](unsigned char c) { return std::isalnum(c); }))
    throw ApiError(400, "name the model's file with its extension, as in filename=part.step");
  return "." + extension;
}
