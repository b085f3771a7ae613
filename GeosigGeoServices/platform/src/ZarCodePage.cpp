#include "ZarCodePage.h"

#include <openssl/evp.h>

#include <climits>
#include <new>

HRESULT ZarCodePage::ConvertToBase64(const unsigned char* iBytes, int iCount, char*& oText) {
  oText = nullptr;
  // Four characters for every started group of three bytes, a length that must fit an int.
  if (iCount < 0 || (!iBytes && iCount > 0) || iCount > INT_MAX / 4 * 3) return E_INVALIDARG;
  const size_t textLength = 4 * ((static_cast<size_t>(iCount) + 2) / 3);
  char* text = static_cast<char*>(::operator new(textLength + 1, std::nothrow));
  if (!text) return E_OUTOFMEMORY;
  // EVP_EncodeBlock writes the terminating zero and, unlike the streaming encoder, no line breaks.
  EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text), iBytes, iCount);
  oText = text;
  return S_OK;
}
