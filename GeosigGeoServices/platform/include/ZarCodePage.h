#pragma once
// Conversions of bytes to text.
#include "ZarTypes.h"

class ZarCodePage {
 public:
  // Standard padded base64 of the iCount bytes at iBytes, zero-terminated, in a buffer
  // allocated with ::operator new that the caller releases with operator delete.
  // oText is null on failure: E_INVALIDARG for a negative count or a null buffer with bytes
  // to read, E_OUTOFMEMORY when the text cannot be allocated.
  static HRESULT ConvertToBase64(const unsigned char* iBytes, int iCount, char*& oText);
};
