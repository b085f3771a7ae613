#include "StepCatalog.h"

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_Writer.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

// Draws the dimensions of one part.
class PartDraw {
 public:
  explicit PartDraw(std::uint32_t iSeed) : _random(iSeed) {}
  double Real(double iLow, double iHigh) { return std::uniform_real_distribution<double>(iLow, iHigh)(_random); }
  int Integer(int iLow, int iHigh) { return std::uniform_int_distribution<int>(iLow, iHigh)(_random); }

 private:
  std::mt19937 _random;
};

TopoDS_Shape Checked(BRepBuilderAPI_MakeShape& ioMaker, const char* iWhat) {
  ioMaker.Build();
  if (!ioMaker.IsDone()) throw std::runtime_error(std::string("cannot build ") + iWhat);
  return ioMaker.Shape();
}

// Every edge of iShape rounded with radius iRadius.
TopoDS_Shape Filleted(const TopoDS_Shape& iShape, double iRadius) {
  BRepFilletAPI_MakeFillet fillet(iShape);
  for (TopExp_Explorer edges(iShape, TopAbs_EDGE); edges.More(); edges.Next())
    fillet.Add(iRadius, TopoDS::Edge(edges.Current()));
  return Checked(fillet, "a fillet");
}

// Vertical holes of radius iRadius at iCentres, through a part whose bottom is at z = 0 and
// top below z = iHeight.
TopoDS_Shape Drilled(const TopoDS_Shape& iShape, const std::vector<gp_Pnt2d>& iCentres, double iRadius,
                     double iHeight) {
  if (iCentres.empty()) return iShape;
  BRep_Builder builder;
  TopoDS_Compound drills;
  builder.MakeCompound(drills);
  for (const gp_Pnt2d& centre : iCentres)
    builder.Add(
        drills,
        BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(centre.X(), centre.Y(), -1), gp::DZ()), iRadius, iHeight + 2).Shape());
  BRepAlgoAPI_Cut cut(iShape, drills);
  return Checked(cut, "the holes");
}

// A plate with a grid of holes, its edges rounded or not.
TopoDS_Shape Plate(PartDraw& ioDraw) {
  const double length = ioDraw.Real(20, 200), width = ioDraw.Real(20, 120), thickness = ioDraw.Real(2, 12);
  TopoDS_Shape plate = BRepPrimAPI_MakeBox(length, width, thickness).Shape();
  if (ioDraw.Integer(0, 1) == 1) plate = Filleted(plate, thickness / 4);
  const int columns = ioDraw.Integer(1, 6), rows = ioDraw.Integer(1, 4);
  const double pitch = std::min(length / (columns + 1), width / (rows + 1));
  std::vector<gp_Pnt2d> centres;
  for (int column = 1; column <= columns; ++column)
    for (int row = 1; row <= rows; ++row)
      centres.emplace_back(length * column / (columns + 1), width * row / (rows + 1));
  return Drilled(plate, centres, pitch * ioDraw.Real(0.1, 0.35), thickness);
}

// A bushing: a tube on a flange that has a circle of bolt holes.
TopoDS_Shape Bushing(PartDraw& ioDraw) {
  const double bore = ioDraw.Real(2, 20), wall = ioDraw.Real(1, 10), height = ioDraw.Real(5, 80);
  const double flangeRadius = bore + wall + ioDraw.Real(5, 30), flangeThickness = ioDraw.Real(2, 8);
  BRepAlgoAPI_Fuse body(BRepPrimAPI_MakeCylinder(bore + wall, height).Shape(),
                        BRepPrimAPI_MakeCylinder(flangeRadius, flangeThickness).Shape());
  const int bolts = ioDraw.Integer(0, 12);
  const double boltCircle = (bore + wall + flangeRadius) / 2;
  std::vector<gp_Pnt2d> centres = {gp_Pnt2d(0, 0)};
  for (int bolt = 0; bolt < bolts; ++bolt) {
    const double angle = 2 * M_PI * bolt / bolts;
    centres.emplace_back(boltCircle * std::cos(angle), boltCircle * std::sin(angle));
  }
  const TopoDS_Shape drilled = Drilled(Checked(body, "a bushing"), {centres.front()}, bore, height);
  const std::vector<gp_Pnt2d> boltCentres(centres.begin() + 1, centres.end());
  return Drilled(drilled, boltCentres, std::min(wall, flangeRadius - bore - wall) * 0.3, flangeThickness);
}

// An L bracket: a base and an upright, with holes in the base.
TopoDS_Shape Bracket(PartDraw& ioDraw) {
  const double length = ioDraw.Real(20, 150), width = ioDraw.Real(15, 80), thickness = ioDraw.Real(2, 10);
  const double height = ioDraw.Real(15, 100);
  BRepAlgoAPI_Fuse bracket(BRepPrimAPI_MakeBox(length, width, thickness).Shape(),
                           BRepPrimAPI_MakeBox(thickness, width, height).Shape());
  const int holes = ioDraw.Integer(0, 5);
  std::vector<gp_Pnt2d> centres;
  for (int hole = 1; hole <= holes; ++hole)
    centres.emplace_back(thickness + (length - thickness) * hole / (holes + 1), width / 2);
  return Drilled(Checked(bracket, "a bracket"), centres, std::min(width / 5, (length - thickness) / (2 * holes + 2)),
                 thickness);
}

// A block with every edge rounded.
TopoDS_Shape Block(PartDraw& ioDraw) {
  const double sizes[3] = {ioDraw.Real(5, 100), ioDraw.Real(5, 100), ioDraw.Real(5, 100)};
  const double radius = std::min({sizes[0], sizes[1], sizes[2]}) * ioDraw.Real(0.05, 0.3);
  return Filleted(BRepPrimAPI_MakeBox(sizes[0], sizes[1], sizes[2]).Shape(), radius);
}

TopoDS_Shape SinglePart(PartDraw& ioDraw) {
  switch (ioDraw.Integer(0, 3)) {
    case 0: return Plate(ioDraw);
    case 1: return Bushing(ioDraw);
    case 2: return Bracket(ioDraw);
    default: return Block(ioDraw);
  }
}

void Write(const Handle(TDocStd_Document) & iDocument, const std::string& iPath) {
  STEPCAFControl_Writer writer;
  if (!writer.Transfer(iDocument, STEPControl_AsIs) || writer.Write(iPath.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("cannot write " + iPath);
}

// One part, or an assembly of up to four distinct parts placed up to three times each.
void WritePart(PartDraw& ioDraw, const std::string& iPath) {
  Handle(TDocStd_Document) document;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", document);
  const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
  if (ioDraw.Integer(0, 3) > 0) {
    shapes->AddShape(SinglePart(ioDraw), false);
  } else {
    const TDF_Label assembly = shapes->NewShape();
    const int parts = ioDraw.Integer(2, 4);
    for (int part = 0; part < parts; ++part) {
      const TDF_Label label = shapes->AddShape(SinglePart(ioDraw), false);
      for (int placement = ioDraw.Integer(1, 3); placement > 0; --placement) {
        gp_Trsf location;
        location.SetRotation(gp_Ax1(gp::Origin(), gp::DZ()), ioDraw.Real(0, 2 * M_PI));
        location.SetTranslationPart(gp_Vec(ioDraw.Real(-300, 300), ioDraw.Real(-300, 300), ioDraw.Real(0, 100)));
        shapes->AddComponent(assembly, label, TopLoc_Location(location));
      }
    }
    shapes->UpdateAssemblies();
  }
  Write(document, iPath);
  XCAFApp_Application::GetApplication()->Close(document);
}

}  // namespace

void WriteStepCatalog(const std::string& iDirectory, unsigned int iCount, std::uint32_t iSeed) {
  for (unsigned int k = 0; k < iCount; ++k) {
    PartDraw draw(iSeed * 1000003u + k);
    char name[32];
    std::snprintf(name, sizeof name, "/part-%04u.step", k);
    WritePart(draw, iDirectory + name);
  }
}
