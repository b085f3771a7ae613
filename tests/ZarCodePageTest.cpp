#include "ZarCodePage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(ZarCodePage, PaddedBase64AndNoTextForBadArguments) {
  // Long buffers are read back whole from the written glTF files.
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foobar", "Zm9vYmFy"}, {{"\xff\xfe\x00", 3}, "//4A"}};
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
