#include "ZarCodePage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(ZarCodePage, PaddedBase64WithoutLineBreaksAndNoTextForBadArguments) {
  std::string hundredA;  // longer than one line of a streaming encoder, yet one line
  for (int i = 0; i < 33; ++i) hundredA += "YWFh";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"},
      {{"\xff\xfe\x00", 3}, "//4A"}, {std::string(100, 'a'), hundredA + "YQ=="}};
  for (const auto& [bytes, expected] : cases) {
    char* text = nullptr;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    ASSERT_EQ(ZarCodePage::ConvertToBase64(data, static_cast<int>(bytes.size()), text), S_OK);
    EXPECT_EQ(std::string(text), expected);
    operator delete(text);
  }
  const unsigned char byte = 0;
  for (const auto& [bytes, size] : {std::pair<const unsigned char*, int>{nullptr, 3}, {&byte, -1}, {&byte, INT_MAX}}) {
    char* text = reinterpret_cast<char*>(1);
    EXPECT_EQ(ZarCodePage::ConvertToBase64(bytes, size, text), E_INVALIDARG);
    EXPECT_EQ(text, nullptr);
  }
}

}  // namespace
