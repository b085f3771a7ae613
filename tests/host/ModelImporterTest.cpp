#include "ModelImporter.h"

#include <gtest/gtest.h>

#include <set>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

TEST(ModelImporter, ChoosesTheReaderByExtensionWhateverItsCaseOrElseByContent) {
  TemporaryDirectory directory;
  const char* const cases[][3] = {{"PEG.STP", "peg.step", "STEP"},
                                  {"PEG.STL", "peg.stl", "STL"},
                                  {"peg.dat1", "peg.step", "STEP"},
                                  {"peg.dat2", "peg.brep", "BREP"},
                                  {"peg.dat3", "peg.igs", "IGES"}};
  for (const auto& [name, sample, format] : cases)
    EXPECT_EQ(ModelImporter().Import(directory.Write(name, FileContents(Sample(sample)))).format, format) << name;
}

// Every leaf representation reachable from iRep, once per instance.
void CollectLeaves(const ZarRep& iRep, std::multiset<const ZarRep*>& ioLeaves) {
  if (const auto* bag = dynamic_cast<const Zar3DBagRep*>(&iRep)) {
    for (const ZarRep* child : *bag->GetChildren()) CollectLeaves(*child, ioLeaves);
  } else {
    ioLeaves.insert(&iRep);
  }
}

TEST(ModelImporter, PartPlacedTwiceIsOneRepresentationInMeshAndCadFiles) {
  for (const char* name : {"blocks.glb", "blocks.step"}) {
    std::multiset<const ZarRep*> leaves;
    CollectLeaves(*ModelImporter().Import(Sample(name)).root, leaves);
    EXPECT_EQ(leaves.size(), 3u) << name;  // the plate, and the block twice
    EXPECT_EQ(std::set<const ZarRep*>(leaves.begin(), leaves.end()).size(), 2u) << name;
  }
}

}  // namespace
