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
  // Supports alive in the process.
  static int LiveCount();
  // Called from the destructor of every support, for instance to see one go at exit.
  static void SetDestructionObserver(void (*iObserver)());

 protected:
  ~ZarSupport() override;

 private:
  int _width;
  int _height;
  const void* _device;
  int _clearCount = 0;
};
