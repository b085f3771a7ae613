// The platform's own choice of a level of detail.
#include <gtest/gtest.h>

#include <limits>

#include "ZarRender.h"
#include "ZarSupport.h"

namespace {

TEST(ZarRenderLevelOfDetail, CoarsestLevelWithinTheModelSag) {
  struct PlatformRender : ZarRender {
    PlatformRender() : ZarRender(*new ZarSupport(1, 1, nullptr)) { GetSupport().Release(); }
  } render;
  const Zar3DBoundingSphere sphere;
  const float sags[4] = {0.0f, 0.1f, 0.4f, 2.0f}, unknown[2] = {0.0f, std::numeric_limits<float>::infinity()};
  EXPECT_EQ(render.Get3DLODNumber(sphere, 4, nullptr), 0);
  EXPECT_EQ(render.Get3DLODNumber(sphere, 4, sags), 0);
  render.SetModelSag(0.1f);  // a sag equal to the model's is within it
  EXPECT_EQ(render.Get3DLODNumber(sphere, 4, sags), 1);
  render.SetModelSag(1.0f);
  EXPECT_EQ(render.Get3DLODNumber(sphere, 4, sags), 2);
  EXPECT_EQ(render.Get3DLODNumber(sphere, 2, sags), 1);
  render.SetModelSag(std::numeric_limits<float>::max());
  EXPECT_EQ(render.Get3DLODNumber(sphere, 2, unknown), 0);
}

}  // namespace
