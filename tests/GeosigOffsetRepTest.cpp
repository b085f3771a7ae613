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
  const double factor = static_cast<double>(1.1f);  // computed in single precision
  EXPECT_EQ(*rep->GetMatrix(), scene::Scaling(factor));
  EXPECT_EQ(rep->GetMatrix()->GetScaling(), factor);
  EXPECT_EQ(OffsetRep(-3)->GetSize(), 0.0f);
  for (const auto& [size, offset] : {std::pair<float, float>{1, 0}, {1, -0.5f}, {1, std::nanf("")}, {-3, 1}}) {
    ZarRef<GeosigOffsetRep> unscaled = OffsetRep(size);
    unscaled->SetOffset(offset);
    EXPECT_EQ(unscaled->GetMatrix(), nullptr) << size << ", " << offset;
  }

  // A cube of the rep's size under it is drawn grown by the offset.
  rep = OffsetRep(2);
  rep->AddChild(*ZarRef<Zar3DCuboidRep>(Zar3DCuboidRep::CreateRep({-1, -1, -1}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}, 2)));
  rep->SetOffset(0.5f);
  GeosigBBRender render;
  render.Traverse(*scene::Bag(scene::Translation(10, 0, 0), {rep.get()}));
  ZarMathPointf low, high;
  ASSERT_EQ(render.GetBoundingBox(low, high), S_OK);
  EXPECT_EQ(std::make_pair(low, high),
            std::make_pair(ZarMathPointf(8.75f, -1.25f, -1.25f), ZarMathPointf(11.25f, 1.25f, 1.25f)));
}

}  // namespace
