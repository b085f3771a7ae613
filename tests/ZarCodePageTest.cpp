#include "ZarCodePage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string Base64(const std::string& iBytes) {
  char* text = reinterpret_cast<char*>(1);
  const HRESULT status = ZarCodePage::ConvertToBase64(reinterpret_cast<const unsigned char*>(iBytes.data()),
                                                      static_cast<int>(iBytes.size()), text);
  EXPECT_EQ(status, S_OK);
  if (!text) return "(null)";
  std::string result(text);
  operator delete(text);
  return result;
}

TEST(ZarCodePage, PaddedBase64WithoutLineBreaks) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64(std::string("\xff\xfe\x00", 3)), "//4A");
  // Longer than one line of the streaming encoder.
  const std::string text = Base64(std::string(100, 'a'));
  EXPECT_EQ(text.size(), 136u);
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(ZarCodePage, InvalidArgumentsGiveNoText) {
  char* text = reinterpret_cast<char*>(1);
  EXPECT_EQ(ZarCodePage::ConvertToBase64(nullptr, 3, text), E_INVALIDARG);
  EXPECT_EQ(text, nullptr);
  const unsigned char byte = 0;
  text = reinterpret_cast<char*>(1);
  EXPECT_EQ(ZarCodePage::ConvertToBase64(&byte, -1, text), E_INVALIDARG);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(ZarCodePage::ConvertToBase64(&byte, INT_MAX, text), E_INVALIDARG);
}

}  // namespace
