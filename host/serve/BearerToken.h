#pragma once
// The token that the API's requests must carry as "Authorization: Bearer TOKEN" when the service was given one.
// The comparison takes the same time whatever the header holds, so that timing tells nothing of the token.
#include <array>
#include <string>

class BearerToken {
 public:
  // An empty token accepts every request.
  explicit BearerToken(const std::string& iToken);

  bool Accepts(const std::string& iAuthorization) const;

 private:
  bool _required;
  std::array<unsigned char, 32> _digest{};
};
