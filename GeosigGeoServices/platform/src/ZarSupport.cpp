#include "ZarSupport.h"

ZarSupport::ZarSupport(int iWidth, int iHeight, const void* iDevice)
    : _width(iWidth), _height(iHeight), _device(iDevice) {}

void ZarSupport::Clear() {
  _device = nullptr;
  ++_clearCount;
}
