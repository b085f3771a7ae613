#pragma once
// The query parameters of the API's requests, read and checked: a value that is not of its kind or out of its
// range throws ApiError 400 naming the parameter; a parameter not given takes its default.
#include <cstddef>
#include <map>
#include <string>

class ApiParameters {
 public:
  static constexpr std::size_t MaxCount = 1000;

  // The request's parameters as cpp-httplib decodes them.
  explicit ApiParameters(const std::multimap<std::string, std::string>& iParameters) : _parameters(iParameters) {}

  // k: how many matches, 1 to MaxCount; 10 when not given.
  std::size_t Count() const;
  // anySize: true or false (1 or 0); false when not given.
  bool AnySize() const;
  // maxDistance: a finite number >= 0; 0.05 when not given.
  double MaxDistance() const;
  // The extension (".step") of the file name in filename, or of iFallback when filename is not given; only the
  // extension of a client's name is ever used. Throws ApiError 400 when neither has one.
  std::string Extension(const std::string& iFallback = std::string()) const;

 private:
  const std::string* Find(const char* iName) const;

  const std::multimap<std::string, std::string>& _parameters;
};
