#pragma once
// Turns the shapes of an XCAF document, already tessellated, into a representation tree.
// An assembly becomes a bag holding one bag per component, which carries the component's
// location; a part becomes one surfacic representation with one face primitive per B-rep
// face (planar faces as planar face primitives), shared by all the part's instances.
#include <NCollection_DataMap.hxx>
#include <TDF_Label.hxx>
#include <TDF_LabelMapHasher.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include "Zar3DBagRep.h"
#include "Zar3DRep.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"

class TopoDS_Face;
class TopoDS_Shape;

class XcafTreeBuilder {
 public:
  explicit XcafTreeBuilder(const Handle(XCAFDoc_ShapeTool) & iShapes);

  // The root bag holds the document's free shapes. Throws std::runtime_error when a face's
  // triangulation is inconsistent.
  ZarRef<Zar3DBagRep> Build();
  // Faces met so far that had no triangulation, and faces that had one.
  int UntessellatedFaces() const { return _untessellatedFaces; }
  int TessellatedFaces() const { return _tessellatedFaces; }

 private:
  ZarRef<Zar3DRep> LabelRep(const TDF_Label& iLabel);
  ZarRef<Zar3DBagRep> AssemblyRep(const TDF_Label& iLabel);
  ZarRef<ZarSurfacicRep> PartRep(const TopoDS_Shape& iShape);
  void AddFace(const TopoDS_Face& iFace, ZarSurfacicRep& ioPart);

  Handle(XCAFDoc_ShapeTool) _shapes;
  // One representation per assembly or part label, whatever the number of its instances.
  NCollection_DataMap<TDF_Label, ZarRef<Zar3DRep>, TDF_LabelMapHasher> _labelReps;
  int _untessellatedFaces = 0;
  int _tessellatedFaces = 0;
};
