#include "ZarCodePage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Base64(const std::string& iBytes) {
  char* text = nullptr;
  EXPECT_EQ(ZarCodePage::ConvertToBase64(reinterpret_cast<const unsigned char*>(iBytes.data()),
                                         static_cast<int>(iBytes.size()), text),
            S_OK);
  if (!text) return "(null)";
  std::string result(text);
  operator delete(text);
  return result;
}

TEST(ZarCodePage, PaddedBase64WithoutLineBreaks) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {{"\xff\xfe\x00", 3}, "//4A"}};
  for (const auto& c : cases) EXPECT_EQ(Base64(c.first), c.second);
  // Longer than one line of the streaming encoder.
  const std::string text = Base64(std::string(100, 'a'));
  EXPECT_EQ(text.size(), 136u);
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(ZarCodePage, InvalidArgumentsGiveNoText) {
  const unsigned char byte = 0;
  for (const auto& [bytes, size] : {std::pair<const unsigned char*, int>{nullptr, 3}, {&byte, -1}, {&byte, INT_MAX}}) {
    char* text = reinterpret_cast<char*>(1);
    EXPECT_EQ(ZarCodePage::ConvertToBase64(bytes, size, text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
  }
}

}  // namespace
