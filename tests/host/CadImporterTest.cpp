#include "CadImporter.h"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>
#include <gtest/gtest.h>

#include <cmath>

#include "ImportError.h"
#include "SceneBuilder.h"
#include "TemporaryDirectory.h"
#include "Zar3DPlanarFaceGP.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

std::string WriteBrep(const TemporaryDirectory& iDirectory, const TopoDS_Shape& iShape) {
  const std::string path = iDirectory.Path("shape.brep");
  EXPECT_TRUE(BRepTools::Write(iShape, path.c_str()));
  return path;
}

ImportedModel ImportShape(const TopoDS_Shape& iShape, const ImportOptions& iOptions = ImportOptions()) {
  TemporaryDirectory directory;
  return CadImporter(iOptions).Import(WriteBrep(directory, iShape), CadFormat::Brep);
}

std::vector<RecordedTriangle> Triangles(const ImportedModel& iModel) {
  RecordingRender render;
  render.Traverse(*iModel.root);
  return render.triangles;
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

// The first surfacic representation of the tree, depth first.
const ZarSurfacicRep* FirstSurface(const ZarRep& iRep) {
  if (const auto* surface = dynamic_cast<const ZarSurfacicRep*>(&iRep)) return surface;
  for (const ZarRep* child : *static_cast<const Zar3DBagRep&>(iRep).GetChildren())
    if (const ZarSurfacicRep* surface = FirstSurface(*child)) return surface;
  return nullptr;
}

int PlanarFaces(const ZarSurfacicRep& iSurface) {
  int planar = 0;
  for (int k = 0; k < iSurface.GetGeomElementCount(); ++k)
    planar += dynamic_cast<Zar3DPlanarFaceGP*>(iSurface.GetGeomElement(k)) != nullptr;
  return planar;
}

TEST(CadImporter, TrianglesAreWoundOutwardsWhateverTheFaceOrientation) {
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(1, 2, 3).Shape();
  EXPECT_NEAR(SignedVolume(Triangles(ImportShape(box))), 6.0, 1e-5);
  EXPECT_NEAR(SignedVolume(Triangles(ImportShape(box.Reversed()))), -6.0, 1e-5);
}

TEST(CadImporter, PlanarFacesBecomePlanarFacePrimitives) {
  const ImportedModel model = ImportShape(BRepPrimAPI_MakeCylinder(5, 20).Shape());
  const ZarSurfacicRep* surface = FirstSurface(*model.root);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->GetGeomElementCount(), 3);
  EXPECT_EQ(PlanarFaces(*surface), 2);  // the caps, not the side
  EXPECT_EQ(model.format, "BREP");
  EXPECT_TRUE(model.warnings.empty());
}

// The largest distance between a side triangle of the cylinder of radius 5 about z and the
// true surface, measured at the triangle's centroid (its vertices lie on the surface). Cap
// triangles, flat, are left out.
double SideDeviation(const std::vector<RecordedTriangle>& iTriangles) {
  double deviation = 0;
  for (const RecordedTriangle& t : iTriangles) {
    const auto radius = [](const ZarMathPointf& p) { return std::hypot(double(p.x), double(p.y)); };
    const bool flat = t.a.z == t.b.z && t.b.z == t.c.z;
    if (flat || std::fabs(radius(t.a) - 5) > 1e-4 || std::fabs(radius(t.b) - 5) > 1e-4 ||
        std::fabs(radius(t.c) - 5) > 1e-4)
      continue;
    const ZarMathPointf centroid((t.a.x + t.b.x + t.c.x) / 3, (t.a.y + t.b.y + t.c.y) / 3, 0);
    deviation = std::max(deviation, 5 - radius(centroid));
  }
  return deviation;
}

TEST(CadImporter, DeflectionBoundsTheDistanceToCurvedSurfaces) {
  const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(5, 20).Shape();
  const double diagonal = std::sqrt(10 * 10 + 10 * 10 + 20 * 20);

  const std::vector<RecordedTriangle> relative = Triangles(ImportShape(cylinder));
  EXPECT_GT(SideDeviation(relative), 0.0);
  EXPECT_LE(SideDeviation(relative), 0.001 * diagonal * 1.05);  // the bounding box is padded a little

  ImportOptions fine;
  fine.absoluteDeflection = 0.002;
  const std::vector<RecordedTriangle> absolute = Triangles(ImportShape(cylinder, fine));
  EXPECT_LE(SideDeviation(absolute), 0.002);
  EXPECT_GT(absolute.size(), 2 * relative.size());
}

TEST(CadImporter, SharedPartOfAStepAssemblyIsOneRepresentationPlacedByItsComponents) {
  const ImportedModel model = CadImporter().Import(samples + "/blocks.step", CadFormat::Step);
  ASSERT_EQ(model.root->GetChildren()->size(), 1u);
  const auto* assembly = static_cast<const Zar3DBagRep*>(model.root->GetChildren()->front());
  const std::vector<ZarRep*>& components = *assembly->GetChildren();
  ASSERT_EQ(components.size(), 3u);
  const auto part = [&](int k) { return static_cast<const Zar3DBagRep*>(components[k])->GetChildren()->front(); };
  EXPECT_NE(part(0), part(1));
  EXPECT_EQ(part(1), part(2));
  EXPECT_EQ(PlanarFaces(*static_cast<const ZarSurfacicRep*>(part(1))), 6);

  // The second block is turned by a quarter turn about z and moved to (90, 30, 10).
  const Zar4x4Matrix* placement = static_cast<const Zar3DBagRep*>(components[2])->GetMatrix();
  ASSERT_NE(placement, nullptr);
  const ZarMathPoint corner = *placement * ZarMathPoint(20, 10, 30);
  EXPECT_NEAR(corner.x, 80, 1e-12);
  EXPECT_NEAR(corner.y, 50, 1e-12);
  EXPECT_NEAR(corner.z, 40, 1e-12);
}

TEST(CadImporter, BrepCompoundPlacingOneSolidTwiceSharesIt) {
  const TopoDS_Shape box = BRepPrimAPI_MakeBox(1, 1, 1).Shape();
  gp_Trsf shift;
  shift.SetTranslation(gp_Vec(5, 0, 0));
  TopoDS_Compound pair;
  BRep_Builder builder;
  builder.MakeCompound(pair);
  builder.Add(pair, box);
  builder.Add(pair, box.Moved(TopLoc_Location(shift)));

  const ImportedModel model = ImportShape(pair);
  const std::vector<RecordedTriangle> triangles = Triangles(model);
  EXPECT_EQ(triangles.size(), 24u);
  EXPECT_NEAR(SignedVolume(triangles), 2.0, 1e-5);
  const ZarSurfacicRep* first = FirstSurface(*model.root);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetParents().size(), 2u);
}

TEST(CadImporter, ShapeWithoutFacesIsAnImportError) {
  const TopoDS_Shape edge = BRepBuilderAPI_MakeEdge(gp_Pnt(0, 0, 0), gp_Pnt(1, 0, 0)).Shape();
  try {
    ImportShape(edge);
    FAIL() << "imported";
  } catch (const ImportError& error) {
    EXPECT_EQ(error.Reason(), "the file holds no face that can be tessellated");
  }
}

TEST(CadImporter, RecognisesFormatsByExtensionAndByContent) {
  EXPECT_EQ(CadImporter::FormatOfExtension(".STP"), CadFormat::Step);
  EXPECT_EQ(CadImporter::FormatOfExtension(".igs"), CadFormat::Iges);
  EXPECT_EQ(CadImporter::FormatOfExtension(".brep"), CadFormat::Brep);
  EXPECT_EQ(CadImporter::FormatOfExtension(".stl"), std::nullopt);

  EXPECT_EQ(CadImporter::FormatOfContent("\n  ISO-10303-21;\nHEADER;"), CadFormat::Step);
  EXPECT_EQ(CadImporter::FormatOfContent("\nCASCADE Topology V1, (c) Matra-Datavision\n"), CadFormat::Brep);
  const std::string igesStart = std::string(72, ' ') + "S0000001\n";
  EXPECT_EQ(CadImporter::FormatOfContent(igesStart), CadFormat::Iges);
  EXPECT_EQ(CadImporter::FormatOfContent(std::string(72, ' ') + "G0000001\n"), std::nullopt);
  EXPECT_EQ(CadImporter::FormatOfContent("solid part\n"), std::nullopt);
  EXPECT_EQ(CadImporter::FormatOfContent(""), std::nullopt);
}

TEST(CadImporter, RejectsDeflectionsThatAreNotPositive) {
  ImportOptions zero, negative, flat;
  zero.relativeDeflection = 0;
  negative.absoluteDeflection = -1;
  flat.angularDeflection = 0;
  for (const ImportOptions& options : {zero, negative, flat}) EXPECT_THROW(CadImporter{options}, std::invalid_argument);
}

}  // namespace
