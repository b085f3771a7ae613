#pragma once
// The drawing support on which every render is built.
#include "ZarBaseUnknown.h"

class ZarSupport : public ZarBaseUnknown {
 public:
  ZarSupport(int iWidth, int iHeight, const void* iDevice);
  // Releases what the support holds for drawing; the support stays usable.
  virtual void Clear();
  int Width() const { return _width; }
  int Height() const { return _height; }
  int ClearCount() const { return _clearCount; }

 protected:
  ~ZarSupport() override = default;

 private:
  int _width;
  int _height;
  const void* _device;
  int _clearCount = 0;
};
