// The same part met again, as catalogs meet it: tessellated anew, turned and moved, converted
// to a mesh format, scaled by 25.4, mirrored. Each copy must find its original first among
// a few parts, closer than `geosig duplicates` links parts, with the size ratio right and
// marked as a mirror image exactly when it is one of a part without a mirror symmetry.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>
#include <gp_Ax2.hxx>

#include "PerturbedCopies.h"
#include "SimilaritySearch.h"
#include "TemporaryDirectory.h"

namespace {

// An angle bracket with a boss off its middle plane: no plane maps it onto itself, so its
// mirror image is another part.
std::string WriteHandedBracket(const TemporaryDirectory& iDirectory) {
  BRep_Builder builder;
  TopoDS_Compound bracket;
  builder.MakeCompound(bracket);
  builder.Add(bracket, BRepPrimAPI_MakeBox(40, 20, 3).Shape());
  builder.Add(bracket, BRepPrimAPI_MakeBox(3, 20, 25).Shape());
  builder.Add(bracket, BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(30, 5, 3), gp_Dir(0, 0, 1)), 3, 6).Shape());
  const std::string path = iDirectory.Path("handed-bracket.brep");
  EXPECT_TRUE(BRepTools::Write(bracket, path.c_str()));
  return path;
}

// The largest distance at which `geosig duplicates` links parts unless told otherwise.
constexpr double DuplicatesDistance = 0.05;

struct Original {
  std::string path;
  bool handed;  // has no mirror symmetry
};

}  // namespace

TEST(SearchPerturbation, EveryCopyFindsItsOriginalFirstWithItsScaleAndHandedness) {
  const TemporaryDirectory directory;
  const std::vector<Original> originals = {{GEOSIG_SAMPLES_DIR "/peg.step", false},
                                           // Two blocks on a plate, neither placed as the other's mirror image.
                                           {GEOSIG_SAMPLES_DIR "/blocks.step", true},
                                           {WriteHandedBracket(directory), true}};
  std::vector<ShapeSignature> signatures;
  std::vector<SignatureSummary> summaries;
  for (const Original& original : originals) {
    signatures.push_back(FileSignature(original.path));
    summaries.push_back(SignatureSummary::Of(static_cast<std::int64_t>(summaries.size()), signatures.back()));
  }
  const SimilaritySearch search(summaries, [&](std::int64_t iId) { return signatures.at(iId).Occupancy(); });
  for (std::size_t part = 0; part < originals.size(); ++part)
    for (const PerturbedCopy& copy : PerturbedCopies(originals[part].path, directory.Path(""))) {
      SCOPED_TRACE(originals[part].path + ", " + copy.name);
      // A scaled copy is the same shape, not the same part: it is looked for by shape alone.
      const SignatureMetric metric(copy.scale != 1.0);
      const std::vector<SignatureMatch> found = search.Nearest(copy.signature, 1, metric);
      ASSERT_EQ(found.size(), 1u);
      EXPECT_EQ(found[0].id, static_cast<std::int64_t>(part));
      // The search answers how large the match is beside the query: the original beside the copy.
      EXPECT_NEAR(found[0].scale * copy.scale, 1.0, 0.005);
      EXPECT_EQ(found[0].distance.mirrored, copy.mirrored && originals[part].handed);
      EXPECT_LT(found[0].distance.combined, DuplicatesDistance);
      if (found[0].distance.mirrored) {
        for (const SignatureMatch& kept : search.Nearest(copy.signature, 3, metric, -1, MirrorPolicy::Exclude))
          EXPECT_NE(kept.id, static_cast<std::int64_t>(part));
      }
    }
}
