#include "ZarSupport.h"

#include <atomic>

static std::atomic<int> liveSupports{0};
static std::atomic<void (*)()> destructionObserver{nullptr};

ZarSupport::ZarSupport(int iWidth, int iHeight, const void* iDevice)
    : _width(iWidth), _height(iHeight), _device(iDevice) {
  ++liveSupports;
}

ZarSupport::~ZarSupport() {
  --liveSupports;
  if (void (*observer)() = destructionObserver.load()) observer();
}

void ZarSupport::SetDestructionObserver(void (*iObserver)()) { destructionObserver.store(iObserver); }

int ZarSupport::LiveCount() { return liveSupports.load(); }

void ZarSupport::Clear() {
  _device = nullptr;
  ++_clearCount;
}
