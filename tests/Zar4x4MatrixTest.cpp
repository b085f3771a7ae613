#include "Zar4x4Matrix.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"

namespace {

TEST(Zar4x4Matrix, ProductAppliesLeftOperandFirstAndAxesAreColumns) {
  const Zar4x4Matrix rotate = scene::Rotation(0, 0, 1, 1.5707963267948966);  // (1,0,0) -> (0,1,0)
  const Zar4x4Matrix translate = scene::Translation(10, 0, 0);
  EXPECT_LT(ZarMathVector((rotate * translate) * ZarMathPoint(1, 0, 0), ZarMathPoint(10, 1, 0)).Norm(), 1e-12);
  EXPECT_LT(ZarMathVector((translate * rotate) * ZarMathPoint(1, 0, 0), ZarMathPoint(0, 11, 0)).Norm(), 1e-12);

  EXPECT_TRUE(Zar4x4Matrix().IsIdentity());
  const Zar4x4Matrix m(ZarMathVectorf(0, 1, 0), ZarMathVectorf(-1, 0, 0), ZarMathVectorf(0, 0, 2),
                       ZarMathVectorf(5, 6, 7));
  EXPECT_EQ(m * ZarMathPointf(1, 1, 1), ZarMathPointf(4, 7, 9));
  EXPECT_EQ(m.GetElement(1, 0), 1.0);
  EXPECT_EQ(m.GetScaling(), 2.0);
  // A single-precision image is computed in double and rounded once: 0.1f + 0.2f in float differs.
  const ZarMathPointf image = scene::Translation(0.2f, 0, 0) * ZarMathPointf(0.1f, 0, 0);
  EXPECT_EQ(image.x, static_cast<float>(static_cast<double>(0.1f) + static_cast<double>(0.2f)));
}

TEST(Zar4x4MatrixDeathTest, IndicesOutOfRangeAreFatal) {
  Zar4x4Matrix m;
  m.SetElement(3, 3, 1.0, 1);  // the affine row may be written with its own value
  EXPECT_DEATH(m.GetElement(4, 0), "AssertionFailed:0<=iRow");
  EXPECT_DEATH(m.SetElement(0, -1, 1.0, 1), "AssertionFailed:0<=iRow");
  EXPECT_DEATH(m.SetElement(3, 0, 2.0, 1), "row 3 of an affine matrix");
}

}  // namespace
