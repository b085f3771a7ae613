// The platform's own choice of a level of detail.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "ZarRender.h"
#include "ZarSupport.h"

namespace {

TEST(ZarRenderLevelOfDetail, CoarsestLevelWithinTheModelSag) {
  struct PlatformRender : ZarRender {
    PlatformRender() : ZarRender(*new ZarSupport(1, 1, nullptr)) { GetSupport().Release(); }
  } render;
  const Zar3DBoundingSphere sphere;
  const float sags[4] = {0.0f, 0.1f, 0.4f, 2.0f}, unknown[2] = {0.0f, std::numeric_limits<float>::infinity()};
  const auto level = [&](float iModelSag, int iCount, const float* iSags) {
    render.SetModelSag(iModelSag);
    return render.Get3DLODNumber(sphere, iCount, iSags);
  };
  // A sag equal to the model's is within it; an unknown (infinite) sag never is.
  EXPECT_EQ((std::vector<int>{level(0, 4, sags), level(1, 4, nullptr), level(0.1f, 4, sags), level(1, 4, sags),
                              level(1, 2, sags), level(std::numeric_limits<float>::max(), 2, unknown)}),
            (std::vector<int>{0, 0, 1, 2, 1, 0}));
}

}  // namespace
