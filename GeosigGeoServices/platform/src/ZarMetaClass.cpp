#include "ZarMetaClass.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>

static char* CopyText(const char* iText) {
  const char* text = iText ? iText : "";
  const std::size_t length = std::strlen(text);
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  return copy;
}

// FNV-1a over the name, spread over the GUID fields.
static _GUID IdentifierOf(const char* iName) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char* c = iName; *c; ++c) {
    hash ^= static_cast<unsigned char>(*c);
    hash *= 1099511628211ull;
  }
  std::uint64_t second = hash * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
  _GUID id{};
  id.Data1 = static_cast<std::uint32_t>(hash >> 32);
  id.Data2 = static_cast<std::uint16_t>(hash >> 16);
  id.Data3 = static_cast<std::uint16_t>(hash);
  for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<std::uint8_t>(second >> (8 * i));
  return id;
}

ZarMetaClass::ZarMetaClass(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase, const char* iFramework,
                           std::size_t iObjectSize)
    : _classId(IdentifierOf(iClassName)),
      _className(CopyText(iClassName)),
      _framework(CopyText(iFramework)),
      _base(iBase),
      _typeOfClass(iTypeOfClass),
      _objectSize(iObjectSize) {}

ZarMetaClass::~ZarMetaClass() {
  delete[] _className;
  delete[] _framework;
}

int ZarMetaClass::IsAKindOf(const char* iName) const {
  if (!iName) return 0;
  for (const ZarMetaClass* meta = this; meta; meta = meta->_base)
    if (std::strcmp(meta->_className, iName) == 0) return 1;
  return 0;
}

std::recursive_mutex& ZarObjectModelGuard() {
  static std::recursive_mutex guard;
  return guard;
}

const ZarMetaClass* ZarRetrieveMetaClass(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase,
                                         const char* /*iNullName*/, const char* iFramework, std::size_t iObjectSize) {
  // Meta classes live as long as the process: renders cache raw pointers to them.
  static auto* registry = new std::map<std::string, std::unique_ptr<ZarMetaClass>>();
  std::lock_guard<std::recursive_mutex> lock(ZarObjectModelGuard());
  std::unique_ptr<ZarMetaClass>& slot = (*registry)[iClassName ? iClassName : ""];
  if (!slot) slot = std::make_unique<ZarMetaClass>(iClassName, iTypeOfClass, iBase, iFramework, iObjectSize);
  return slot.get();
}

const ZarMetaClass* ZarRetrieveMetaClassLegacy(const char* iClassName, int iTypeOfClass, const ZarMetaClass* iBase,
                                               const char* iNullName, const char* iFramework, std::size_t iObjectSize) {
  return ZarRetrieveMetaClass(iClassName, iTypeOfClass, iBase, iNullName, iFramework, iObjectSize);
}
