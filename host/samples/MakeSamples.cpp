// Writes the sample models of data/samples, whose descriptors are known analytically (see
// data/samples/README.md): an assembly of three boxes (one part placed twice) as STEP and as
// binary glTF, a cylindrical peg as STEP, IGES, BREP, STL, OBJ and as binary glTF whose node
// transformation places it, and a rotated brick as OBJ. With --step-catalog, a catalog of
// parts instead (StepCatalog.h).
#include <APIHeaderSection_MakeHeader.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepTools.hxx>
#include <IGESControl_Controller.hxx>
#include <IGESControl_Writer.hxx>
#include <IGESData_IGESModel.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_Writer.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>
#include <cmath>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "MeshWriters.h"
#include "StepCatalog.h"

namespace {

// Fixed header dates keep the written files identical from one run to the next.
const char* const fixedDate = "2024-01-01T00:00:00";
const char* const fixedIgesDate = "20240101.000000";

using Placement = std::array<double, 12>;  // images of the unit axes, then the translation

// The assembly: a plate and a block placed twice, the second time turned by 90 degrees.
const double plate[3] = {100, 60, 10};
const double block[3] = {20, 10, 30};
const Placement blockA = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 10, 10};
const Placement blockB = {0, 1, 0, -1, 0, 0, 0, 0, 1, 90, 30, 10};

// The peg: a cylinder of radius 5 from z = 0 to z = 20, in 64 sectors for the meshes.
const double pegRadius = 5, pegHeight = 20;
const unsigned int pegSectors = 64;
// Where the glTF peg's node puts its mesh: a quarter turn about x, then up by 10.
const Placement pegNode = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 10};

gp_Trsf ToTrsf(const Placement& iPlacement) {
  const Placement& m = iPlacement;
  gp_Trsf transformation;
  transformation.SetValues(m[0], m[3], m[6], m[9], m[1], m[4], m[7], m[10], m[2], m[5], m[8], m[11]);
  return transformation;
}

// The 12 triangles of the box [0, size], wound outwards.
ZarTessellation BoxMesh(const double iSize[3]) {
  ZarTessellation box;
  for (int k = 0; k < 8; ++k)
    for (int axis = 0; axis < 3; ++axis)
      box.vertices.push_back((k >> axis & 1) ? static_cast<float>(iSize[axis]) : 0.0f);
  box.triangles = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                   2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
  return box;
}

// Bottom ring, top ring, then the centres of the bottom and top caps; wound outwards.
ZarTessellation PegMesh() {
  ZarTessellation peg;
  for (double z : {0.0, pegHeight})
    for (unsigned int k = 0; k < pegSectors; ++k) {
      const double angle = 2 * M_PI * k / pegSectors;
      peg.vertices.insert(peg.vertices.end(), {static_cast<float>(pegRadius * std::cos(angle)),
                                               static_cast<float>(pegRadius * std::sin(angle)), static_cast<float>(z)});
    }
  peg.vertices.insert(peg.vertices.end(), {0, 0, 0, 0, 0, static_cast<float>(pegHeight)});
  const unsigned int bottomCentre = 2 * pegSectors, topCentre = bottomCentre + 1;
  for (unsigned int k = 0; k < pegSectors; ++k) {
    const unsigned int next = (k + 1) % pegSectors, top = pegSectors;
    peg.triangles.insert(peg.triangles.end(), {k, next, top + next, k, top + next, top + k, bottomCentre, next, k,
                                               topCentre, top + k, top + next});
  }
  return peg;
}

// The peg's mesh in its glTF node's frame: the inverse of pegNode, (x, y, z) -> (x, z - 10, -y).
ZarTessellation PegMeshInNodeFrame() {
  ZarTessellation peg = PegMesh();
  for (std::size_t v = 0; v < peg.vertices.size(); v += 3) {
    const float y = peg.vertices[v + 1], z = peg.vertices[v + 2];
    peg.vertices[v + 1] = z - static_cast<float>(pegNode[11]);
    peg.vertices[v + 2] = -y;
  }
  return peg;
}

// A 40 x 20 x 10 box centred on (5, 5, 5), turned by 30 degrees about z.
ZarTessellation BrickMesh() {
  const double size[3] = {40, 20, 10};
  ZarTessellation brick = BoxMesh(size);
  const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  for (std::size_t v = 0; v < brick.vertices.size(); v += 3) {
    const double x = brick.vertices[v] - 20.0, y = brick.vertices[v + 1] - 10.0, z = brick.vertices[v + 2] - 5.0;
    brick.vertices[v] = static_cast<float>(5 + c * x - s * y);
    brick.vertices[v + 1] = static_cast<float>(5 + s * x + c * y);
    brick.vertices[v + 2] = static_cast<float>(5 + z);
  }
  return brick;
}

void StampAndWrite(STEPControl_Writer& ioWriter, const std::string& iPath) {
  APIHeaderSection_MakeHeader header(ioWriter.Model());
  header.SetTimeStamp(new TCollection_HAsciiString(fixedDate));
  header.Apply(ioWriter.Model());
  if (ioWriter.Write(iPath.c_str()) != IFSelect_RetDone) throw std::runtime_error("cannot write " + iPath);
}

void WriteBlocksStep(const std::string& iPath) {
  Handle(TDocStd_Document) document;
  XCAFApp_Application::GetApplication()->NewDocument("MDTV-XCAF", document);
  const Handle(XCAFDoc_ShapeTool) shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
  const TDF_Label plateLabel = shapes->AddShape(BRepPrimAPI_MakeBox(plate[0], plate[1], plate[2]).Shape(), false);
  const TDF_Label blockLabel = shapes->AddShape(BRepPrimAPI_MakeBox(block[0], block[1], block[2]).Shape(), false);
  const TDF_Label assembly = shapes->NewShape();
  TDataStd_Name::Set(plateLabel, "plate");
  TDataStd_Name::Set(blockLabel, "block");
  TDataStd_Name::Set(assembly, "blocks");
  shapes->AddComponent(assembly, plateLabel, TopLoc_Location());
  shapes->AddComponent(assembly, blockLabel, TopLoc_Location(ToTrsf(blockA)));
  shapes->AddComponent(assembly, blockLabel, TopLoc_Location(ToTrsf(blockB)));
  shapes->UpdateAssemblies();

  STEPCAFControl_Writer writer;
  if (!writer.Transfer(document, STEPControl_AsIs)) throw std::runtime_error("cannot translate the blocks to STEP");
  StampAndWrite(writer.ChangeWriter(), iPath);
  XCAFApp_Application::GetApplication()->Close(document);
}

void WriteBlocksGlb(const std::string& iPath) {
  std::vector<ExportMesh> meshes = {{"plate", BoxMesh(plate)}, {"block", BoxMesh(block)}};
  std::vector<ExportNode> nodes(4);
  nodes[0].name = "blocks";
  nodes[0].children = {1, 2, 3};
  nodes[1].name = "plate";
  nodes[1].mesh = 0;
  nodes[2] = {"block A", 1, blockA, {}};
  nodes[3] = {"block B", 1, blockB, {}};
  WriteGlb(iPath, meshes, nodes);
}

void WritePegCad(const std::string& iDirectory) {
  const TopoDS_Shape peg = BRepPrimAPI_MakeCylinder(pegRadius, pegHeight).Shape();
  STEPControl_Writer step;
  if (step.Transfer(peg, STEPControl_AsIs) != IFSelect_RetDone) throw std::runtime_error("cannot translate the peg");
  StampAndWrite(step, iDirectory + "/peg.step");

  IGESControl_Controller::Init();
  IGESControl_Writer iges("MM", 1);  // faces as trimmed surfaces of a B-rep solid
  iges.AddShape(peg);
  iges.ComputeModel();
  IGESData_GlobalSection& header = iges.Model()->ChangeGlobalSection();
  header.SetDate(new TCollection_HAsciiString(fixedIgesDate));
  header.SetLastChangeDate(new TCollection_HAsciiString(fixedIgesDate));
  if (!iges.Write((iDirectory + "/peg.igs").c_str())) throw std::runtime_error("cannot write peg.igs");

  if (!BRepTools::Write(peg, (iDirectory + "/peg.brep").c_str())) throw std::runtime_error("cannot write peg.brep");
}

void WritePegMeshes(const std::string& iDirectory) {
  const ZarTessellation peg = PegMesh();
  WriteBinaryStl(iDirectory + "/peg.stl", peg);
  WriteObj(iDirectory + "/peg.obj", "peg", peg);
  std::vector<ExportNode> nodes(2);
  nodes[0] = {"peg scene", -1, ExportNode().axesAndTranslation, {1}};
  nodes[1] = {"peg", 0, pegNode, {}};
  WriteGlb(iDirectory + "/peg.glb", {{"peg", PegMeshInNodeFrame()}}, nodes);
}

}  // namespace

// The samples, or with --step-catalog a catalog of parts for measuring batch speed.
int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const bool catalog = !arguments.empty() && arguments[0] == "--step-catalog";
  if (arguments.size() != (catalog ? 2u : 1u) && !(catalog && arguments.size() == 4 && arguments[2] == "--count")) {
    std::cerr << "usage: geosig_make_samples DIRECTORY\n"
                 "       geosig_make_samples --step-catalog DIRECTORY [--count N]\n";
    return 2;
  }
  const std::string directory = arguments[catalog ? 1 : 0];
  Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));  // translation statistics
  try {
    if (catalog) {
      WriteStepCatalog(directory, arguments.size() == 4 ? std::stoul(arguments[3]) : 200u, 1);
      return 0;
    }
    WriteBlocksStep(directory + "/blocks.step");
    WriteBlocksGlb(directory + "/blocks.glb");
    WritePegCad(directory);
    WritePegMeshes(directory);
    WriteObj(directory + "/brick.obj", "brick", BrickMesh());
  } catch (const std::exception& error) {
    std::cerr << "geosig_make_samples: " << error.what() << '\n';
    return 1;
  } catch (const Standard_Failure& failure) {
    std::cerr << "geosig_make_samples: " << failure.GetMessageString() << '\n';
    return 1;
  }
  return 0;
}
