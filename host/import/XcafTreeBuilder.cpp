#include "XcafTreeBuilder.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRep_Tool.hxx>
#include <Poly_Triangulation.hxx>
#include <TDF_LabelSequence.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Face.hxx>
#include <stdexcept>

#include "PlatformChecks.h"
#include "Zar3DPlanarFaceGP.h"

static Zar4x4Matrix ToZarMatrix(const gp_Trsf& iTransformation) {
  Zar4x4Matrix matrix;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col)
      matrix.SetElement(row, col, iTransformation.Value(row + 1, col + 1), row == 2 && col == 3);
  return matrix;
}

template <class T>
static ZarRef<Zar3DRep> AsRep(ZarRef<T> iRep) {
  return ZarRef<Zar3DRep>(iRep.release());
}

XcafTreeBuilder::XcafTreeBuilder(const Handle(XCAFDoc_ShapeTool) & iShapes) : _shapes(iShapes) {}

ZarRef<Zar3DBagRep> XcafTreeBuilder::Build() {
  ZarRef<Zar3DBagRep> root = AdoptCreated(Zar3DBagRep::CreateRep());
  TDF_LabelSequence freeLabels;
  _shapes->GetFreeShapes(freeLabels);
  for (const TDF_Label& label : freeLabels) CheckStatus(root->AddChild(*LabelRep(label)));
  return root;
}

ZarRef<Zar3DRep> XcafTreeBuilder::LabelRep(const TDF_Label& iLabel) {
  if (const ZarRef<Zar3DRep>* built = _labelReps.Seek(iLabel)) return *built;
  ZarRef<Zar3DRep> rep = XCAFDoc_ShapeTool::IsAssembly(iLabel) ? AsRep(AssemblyRep(iLabel))
                                                               : AsRep(PartRep(XCAFDoc_ShapeTool::GetShape(iLabel)));
  _labelReps.Bind(iLabel, rep);
  return rep;
}

ZarRef<Zar3DBagRep> XcafTreeBuilder::AssemblyRep(const TDF_Label& iLabel) {
  ZarRef<Zar3DBagRep> assembly = AdoptCreated(Zar3DBagRep::CreateRep());
  TDF_LabelSequence components;
  XCAFDoc_ShapeTool::GetComponents(iLabel, components);
  for (const TDF_Label& component : components) {
    TDF_Label referred;
    if (!XCAFDoc_ShapeTool::GetReferredShape(component, referred)) continue;
    ZarRef<Zar3DBagRep> instance = AdoptCreated(Zar3DBagRep::CreateRep());
    const TopLoc_Location location = XCAFDoc_ShapeTool::GetLocation(component);
    if (!location.IsIdentity()) CheckStatus(instance->SetMatrix(ToZarMatrix(location.Transformation())));
    CheckStatus(instance->AddChild(*LabelRep(referred)));
    CheckStatus(assembly->AddChild(*instance));
  }
  return assembly;
}

ZarRef<ZarSurfacicRep> XcafTreeBuilder::PartRep(const TopoDS_Shape& iShape) {
  ZarRef<ZarSurfacicRep> part = AdoptCreated(ZarSurfacicRep::CreateRep());
  for (TopExp_Explorer faces(iShape, TopAbs_FACE); faces.More(); faces.Next())
    AddFace(TopoDS::Face(faces.Current()), *part);
  return part;
}

void XcafTreeBuilder::AddFace(const TopoDS_Face& iFace, ZarSurfacicRep& ioPart) {
  TopLoc_Location location;
  const Handle(Poly_Triangulation)& triangulation = BRep_Tool::Triangulation(iFace, location);
  if (triangulation.IsNull() || triangulation->NbTriangles() == 0) {
    ++_untessellatedFaces;
    return;
  }
  ++_tessellatedFaces;
  const gp_Trsf& placement = location.Transformation();
  ZarTessellation tessellation;
  tessellation.vertices.reserve(3 * static_cast<std::size_t>(triangulation->NbNodes()));
  for (Standard_Integer n = 1; n <= triangulation->NbNodes(); ++n) {
    const gp_Pnt node = triangulation->Node(n).Transformed(placement);
    tessellation.vertices.insert(
        tessellation.vertices.end(),
        {static_cast<float>(node.X()), static_cast<float>(node.Y()), static_cast<float>(node.Z())});
  }
  // A reversed face has its material on the other side of the surface's natural normal.
  const bool reversed = iFace.Orientation() == TopAbs_REVERSED;
  tessellation.triangles.reserve(3 * static_cast<std::size_t>(triangulation->NbTriangles()));
  for (Standard_Integer t = 1; t <= triangulation->NbTriangles(); ++t) {
    Standard_Integer a = 0, b = 0, c = 0;
    triangulation->Triangle(t).Get(a, b, c);
    if (reversed) std::swap(b, c);
    for (Standard_Integer node : {a, b, c}) tessellation.triangles.push_back(static_cast<unsigned int>(node - 1));
  }
  if (std::string reason = tessellation.Check(); !reason.empty())
    throw std::runtime_error("inconsistent face triangulation: " + reason);

  const bool planar = BRepAdaptor_Surface(iFace, Standard_False).GetType() == GeomAbs_Plane;
  const ZarRef<Zar3DFaceGP> face =
      AdoptCreated(planar ? new Zar3DPlanarFaceGP(tessellation) : new Zar3DFaceGP(tessellation));
  CheckStatus(ioPart.AddPrimitive(*face));
}
