#include "CadImporter.h"

#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>
#include <cmath>

#include "ImportError.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"
#include "Zar3DPlanarFaceGP.h"

namespace {

ImportedModel ImportShape(const TopoDS_Shape& iShape, const ImportOptions& iOptions = ImportOptions()) {
  TemporaryDirectory directory;
  const std::string path = directory.Path("shape.brep");
  EXPECT_TRUE(BRepTools::Write(iShape, path.c_str()));
  return CadImporter(iOptions).Import(path, CadFormat::Brep);
}

std::vector<RecordedTriangle> Triangles(const ImportedModel& iModel) {
  RecordingRender render;
  render.Traverse(*iModel.root);
  return render.triangles;
}

// The first surfacic representation of the tree, depth first.
const ZarSurfacicRep& FirstSurface(const ZarRep& iRep) {
  if (const auto* surface = dynamic_cast<const ZarSurfacicRep*>(&iRep)) return *surface;
  return FirstSurface(*static_cast<const Zar3DBagRep&>(iRep).GetChildren()->front());
}

// The volume enclosed by the triangles: positive when they are wound outwards.
double SignedVolume(const std::vector<RecordedTriangle>& iTriangles) {
  double volume = 0;
  for (const RecordedTriangle& t : iTriangles) {
    const ZarMathVector a(t.a.x, t.a.y, t.a.z), b(t.b.x, t.b.y, t.b.z), c(t.c.x, t.c.y, t.c.z);
    volume += a.Dot(b ^ c) / 6;
  }
  return volume;
}

TEST(CadImporter, TrianglesAreWoundOutwardsWhateverTheFaceOrientationAndASolidPlacedTwiceIsShared) {
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(1, 2, 3).Shape();
  gp_Trsf shift;
  shift.SetTranslation(gp_Vec(5, 0, 0));
  TopoDS_Compound pair;
  BRep_Builder builder;
  builder.MakeCompound(pair);
  builder.Add(pair, box.Reversed());
  builder.Add(pair, box.Reversed().Moved(TopLoc_Location(shift)));
  const ImportedModel model = ImportShape(pair);
  EXPECT_EQ(FirstSurface(*model.root).GetParents().size(), 2u);
  EXPECT_EQ(Triangles(model).size(), 24u);
  EXPECT_NEAR(SignedVolume(Triangles(model)), -12.0, 1e-5);
}

// The largest distance between a side triangle of the cylinder of radius 5 about z and the
// true surface, measured at the triangle's centroid (its vertices lie on the surface).
double SideDeviation(const std::vector<RecordedTriangle>& iTriangles) {
  double deviation = 0;
  for (const RecordedTriangle& t : iTriangles)
    if (t.a.z != t.b.z || t.b.z != t.c.z)  // not a cap
      deviation = std::max(deviation, 5 - std::hypot((t.a.x + t.b.x + t.c.x) / 3.0, (t.a.y + t.b.y + t.c.y) / 3.0));
  return deviation;
}

TEST(CadImporter, CapsArePlanarFacesAndDeflectionBoundsTheDistanceToTheSide) {
  const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(5, 20).Shape();
  const ImportedModel relative = ImportShape(cylinder);
  const ZarSurfacicRep& surface = FirstSurface(*relative.root);
  ASSERT_EQ(surface.GetGeomElementCount(), 3);
  int planar = 0;
  for (int k = 0; k < 3; ++k) planar += dynamic_cast<Zar3DPlanarFaceGP*>(surface.GetGeomElement(k)) != nullptr;
  EXPECT_EQ(planar, 2);  // the caps, not the side
  EXPECT_GT(SideDeviation(Triangles(relative)), 0.0);
  // A thousandth of the diagonal, sqrt(600), and the bounding box is padded a little.
  EXPECT_LE(SideDeviation(Triangles(relative)), 0.001 * std::sqrt(600) * 1.05);

  const std::vector<RecordedTriangle> absolute = Triangles(ImportShape(cylinder, ImportOptions{1e-3, 0.002, 0.5}));
  EXPECT_LE(SideDeviation(absolute), 0.002);
  EXPECT_GT(absolute.size(), 2 * Triangles(relative).size());

  // Relative, absolute and angular deflections that are not positive.
  for (const ImportOptions& options :
       {ImportOptions{0, 0, 0.5}, ImportOptions{1e-3, -1, 0.5}, ImportOptions{1e-3, 0, 0}})
    EXPECT_THROW(CadImporter{options}, std::invalid_argument);
}

TEST(CadImporter, ShapeWithoutFacesIsAnImportError) {
  try {
    ImportShape(BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 0), gp_Pnt(1, 0, 0)).Shape());
    FAIL() << "imported";
  } catch (const ImportError& error) {
    EXPECT_EQ(error.Reason(), "the file holds no face that can be tessellated");
  }
}

}  // namespace
