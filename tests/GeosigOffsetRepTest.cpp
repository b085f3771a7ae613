#include "GeosigOffsetRep.h"

#include <gtest/gtest.h>

#include <cmath>

#include "GeosigBBRender.h"
#include "SceneBuilder.h"
#include "Zar3DCuboidRep.h"

namespace {

ZarRef<GeosigOffsetRep> OffsetRep(float iSize) { return ZarRef<GeosigOffsetRep>(new GeosigOffsetRep(iSize)); }

TEST(GeosigOffsetRep, OffsetScalesTheChildrenUniformlyWhenOffsetAndSizeArePositive) {
  ZarRef<GeosigOffsetRep> rep = OffsetRep(1);
  rep->SetOffset(0.1f);
  ASSERT_NE(rep->GetMatrix(), nullptr);
  const Zar4x4Matrix& m = *rep->GetMatrix();
  const double factor = static_cast<double>(1.1f);  // computed in single precision
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) EXPECT_EQ(m.GetElement(row, col), row == col ? factor : 0.0) << row << col;
  EXPECT_EQ(m.GetScaling(), factor);

  for (float offset : {0.0f, -0.5f, std::nanf("")}) {
    ZarRef<GeosigOffsetRep> unscaled = OffsetRep(1);
    unscaled->SetOffset(offset);
    EXPECT_EQ(unscaled->GetMatrix(), nullptr) << offset;
  }
  ZarRef<GeosigOffsetRep> empty = OffsetRep(-3);
  EXPECT_EQ(empty->GetSize(), 0.0f);
  empty->SetOffset(1);
  EXPECT_EQ(empty->GetMatrix(), nullptr);
}

TEST(GeosigOffsetRep, CubeUnderTheRepIsDrawnGrownByTheOffset) {
  ZarRef<GeosigOffsetRep> rep = OffsetRep(2);
  ZarRef<Zar3DCuboidRep> cube(Zar3DCuboidRep::CreateRep(ZarMathPointf(-1, -1, -1), ZarMathVectorf(2, 0, 0),
                                                        ZarMathVectorf(0, 2, 0), ZarMathVectorf(0, 0, 2), 2));
  ASSERT_EQ(rep->AddChild(*cube), S_OK);
  rep->SetOffset(0.5f);
  ZarRef<Zar3DBagRep> voxel = scene::Bag(scene::Translation(10, 0, 0), {rep.get()});
  GeosigBBRender render;
  render.Traverse(*voxel);
  ZarMathPointf low, high;
  ASSERT_EQ(render.GetBoundingBox(low, high), S_OK);
  EXPECT_EQ(low, ZarMathPointf(8.75f, -1.25f, -1.25f));
  EXPECT_EQ(high, ZarMathPointf(11.25f, 1.25f, 1.25f));
}

TEST(GeosigOffsetRep, ClassIdentityDerivesFromTheFinalBag) {
  ZarRef<GeosigOffsetRep> rep = OffsetRep(1);
  EXPECT_STREQ(GeosigOffsetRep::ClassName(), "GeosigOffsetRep");
  EXPECT_STREQ(rep->IsA(), "GeosigOffsetRep");
  const ZarMetaClass* meta = GeosigOffsetRep::MetaObject();
  EXPECT_EQ(rep->GetMetaObject(), meta);
  EXPECT_EQ(meta->Base(), Zar3DFinalBagRep::MetaObject());
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(GeosigOffsetRep::ClassId(), meta->ClassId());
  for (const char* kind : {"GeosigOffsetRep", "Zar3DFinalBagRep", "Zar3DBagRep", "ZarRep"})
    EXPECT_TRUE(rep->IsAKindOf(kind)) << kind;
  EXPECT_FALSE(rep->IsAKindOf("ZarSurfacicRep"));
  EXPECT_EQ(GeosigOffsetRep::CreateItself(), nullptr);
}

}  // namespace
