#include "ImportFuzzing.h"

#include <new>

#include "FuzzInputFile.h"
#include "ImportError.h"
#include "ModelImporter.h"

void ImportAsFile(const std::vector<std::string>& iExtensions, const std::uint8_t* iData, std::size_t iSize) {
  if (iSize == 0) return;
  const FuzzInputFile file("model" + iExtensions[iData[0] % iExtensions.size()], iData + 1, iSize - 1);
  try {
    ModelImporter().Import(file.Path());
  } catch (const ImportError&) {
    // A clear refusal is what bad input should get.
  } catch (const std::bad_alloc&) {
    // So is running out of memory on a file that claims more than there is.
  }
}
