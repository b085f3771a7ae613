#include "PitchRender.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "SceneBuilder.h"

namespace {

constexpr float Reach = 1.01f;
constexpr double Slice = 2.0 * Reach / PitchRender::Bins;

// The boxes' surfaces as one tessellation.
ZarTessellation Joined(const std::vector<ZarTessellation>& iParts) {
  ZarTessellation joined;
  for (const ZarTessellation& part : iParts) {
    const auto offset = static_cast<unsigned int>(joined.vertices.size() / 3);
    joined.vertices.insert(joined.vertices.end(), part.vertices.begin(), part.vertices.end());
    for (const auto index : part.triangles) joined.triangles.push_back(index + offset);
  }
  return joined;
}

// A header: iCount pins iPitch apart along x, standing in a bar that runs along the row.
ZarTessellation Header(int iCount, float iPitch) {
  const float start = -0.5f * iPitch * static_cast<float>(iCount - 1);
  std::vector<ZarTessellation> parts = {
      scene::Box({start - 0.5f * iPitch, -0.05f, 0.0f}, {-start + 0.5f * iPitch, 0.05f, 0.1f})};
  for (int pin = 0; pin < iCount; ++pin) {
    const float x = start + iPitch * static_cast<float>(pin);
    parts.push_back(scene::Box({x - 0.015f, -0.015f, -0.1f}, {x + 0.015f, 0.015f, 0.3f}));
  }
  return Joined(parts);
}

double PitchOf(const ZarTessellation& iSurface) {
  PitchRender render(Reach);
  scene::TraverseSurface(render, iSurface);
  return render.Pitch();
}

}  // namespace

TEST(PitchRender, FindsTheSpacingOfARowOfPinsAndNotAMultipleOfIt) {
  // Pitches of a fractional number of slices, which a multiple might fit better.
  for (const auto& [count, pitch] : {std::pair{10, 0.18f}, std::pair{24, 0.0731f}, std::pair{3, 0.5f}}) {
    const double found = PitchOf(Header(count, pitch));
    EXPECT_NEAR(found, pitch, Slice) << count << " pins " << pitch << " apart";
  }
}

TEST(PitchRender, FindsNoPitchWhereNothingRepeats) {
  EXPECT_EQ(PitchOf(scene::Box({-0.8f, -0.2f, -0.1f}, {0.8f, 0.2f, 0.1f})), 0.0);
  EXPECT_EQ(PitchOf(scene::Sphere({0, 0, 0}, 0.9f, 48, 24)), 0.0);
  // Two pins: a period must fit twice in the part's span.
  EXPECT_EQ(PitchOf(Header(2, 0.5f)), 0.0);
  // A surface within a few slices along x.
  EXPECT_EQ(PitchOf(scene::Triangle({0, -0.5f, 0}, {0.002f, 0.5f, 0}, {0, 0.5f, 0.5f})), 0.0);
}
