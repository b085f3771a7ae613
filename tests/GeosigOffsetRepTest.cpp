#include "GeosigOffsetRep.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ClassIdentity.h"
#include "GeosigBBRender.h"
#include "SceneBuilder.h"
#include "Zar3DCuboidRep.h"

namespace {

ZarRef<GeosigOffsetRep> OffsetRep(float iSize) { return ZarRef<GeosigOffsetRep>(new GeosigOffsetRep(iSize)); }

TEST(GeosigOffsetRep, OffsetScalesTheChildrenUniformlyWhenOffsetAndSizeArePositive) {
  ZarRef<GeosigOffsetRep> rep = OffsetRep(1);
  rep->SetOffset(0.1f);
  ASSERT_NE(rep->GetMatrix(), nullptr);
  const double factor = static_cast<double>(1.1f);  // computed in single precision
  EXPECT_EQ(*rep->GetMatrix(), scene::Scaling(factor));
  EXPECT_EQ(rep->GetMatrix()->GetScaling(), factor);
  for (float offset : {0.0f, -0.5f, std::nanf("")}) {
    ZarRef<GeosigOffsetRep> unscaled = OffsetRep(1);
    unscaled->SetOffset(offset);
    EXPECT_EQ(unscaled->GetMatrix(), nullptr) << offset;
  }
  ZarRef<GeosigOffsetRep> empty = OffsetRep(-3);
  EXPECT_EQ(empty->GetSize(), 0.0f);
  empty->SetOffset(1);
  EXPECT_EQ(empty->GetMatrix(), nullptr);

  // A cube of the rep's size under it is drawn grown by the offset.
  rep = OffsetRep(2);
  rep->AddChild(*ZarRef<Zar3DCuboidRep>(Zar3DCuboidRep::CreateRep({-1, -1, -1}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}, 2)));
  rep->SetOffset(0.5f);
  GeosigBBRender render;
  render.Traverse(*scene::Bag(scene::Translation(10, 0, 0), {rep.get()}));
  ZarMathPointf low, high;
  ASSERT_EQ(render.GetBoundingBox(low, high), S_OK);
  EXPECT_EQ(low, ZarMathPointf(8.75f, -1.25f, -1.25f));
  EXPECT_EQ(high, ZarMathPointf(11.25f, 1.25f, 1.25f));
}

TEST(GeosigOffsetRep, ClassIdentityDerivesFromTheFinalBag) {
  ZarRef<GeosigOffsetRep> rep = OffsetRep(1);
  ExpectOwnClassIdentity<GeosigOffsetRep>(*rep, "GeosigOffsetRep", Zar3DFinalBagRep::MetaObject());
  EXPECT_TRUE(rep->IsAKindOf("Zar3DBagRep"));
  EXPECT_FALSE(rep->IsAKindOf("ZarSurfacicRep"));
}

}  // namespace
