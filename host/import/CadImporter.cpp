#include "CadImporter.h"

#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <Bnd_Box.hxx>
#include <IGESCAFControl_Reader.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_PrinterOStream.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <Standard_Failure.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDocStd_Document.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>
#include <stdexcept>

#include "ImportError.h"
#include "XcafTreeBuilder.h"

namespace {

// An XCAF document, closed when it goes.
class XcafDocument {
 public:
  XcafDocument() : _application(XCAFApp_Application::GetApplication()) {
    _application->NewDocument("MDTV-XCAF", _document);
  }
  ~XcafDocument() { _application->Close(_document); }
  XcafDocument(const XcafDocument&) = delete;
  XcafDocument& operator=(const XcafDocument&) = delete;

  Handle(TDocStd_Document) & Document() { return _document; }
  Handle(XCAFDoc_ShapeTool) Shapes() const { return XCAFDoc_DocumentTool::ShapeTool(_document->Main()); }

 private:
  Handle(XCAFApp_Application) _application;
  Handle(TDocStd_Document) _document;
};

const char* FormatName(CadFormat iFormat) {
  switch (iFormat) {
    case CadFormat::Step: return "STEP";
    case CadFormat::Iges: return "IGES";
    case CadFormat::Brep: return "BREP";
  }
  return "CAD";
}

// The kernel's messenger prints on standard output, where the tool writes its results; the
// readers' statuses carry what the importer needs.
void SilenceKernelMessages() {
  static const bool silenced = [] {
    Message::DefaultMessenger()->RemovePrinters(STANDARD_TYPE(Message_PrinterOStream));
    return true;
  }();
  (void)silenced;
}

void ReadStep(const std::string& iPath, XcafDocument& ioDocument) {
  STEPCAFControl_Reader reader;
  reader.SetNameMode(Standard_True);
  if (reader.ReadFile(iPath.c_str()) != IFSelect_RetDone) throw std::runtime_error("not a readable STEP file");
  if (!reader.Transfer(ioDocument.Document())) throw std::runtime_error("its STEP entities make no shape");
}

void ReadIges(const std::string& iPath, XcafDocument& ioDocument) {
  IGESCAFControl_Reader reader;
  reader.SetNameMode(Standard_True);
  if (reader.ReadFile(iPath.c_str()) != IFSelect_RetDone) throw std::runtime_error("not a readable IGES file");
  if (!reader.Transfer(ioDocument.Document())) throw std::runtime_error("its IGES entities make no shape");
}

void ReadBrep(const std::string& iPath, XcafDocument& ioDocument) {
  TopoDS_Shape shape;
  BRep_Builder builder;
  if (!BRepTools::Read(shape, iPath.c_str(), builder) || shape.IsNull())
    throw std::runtime_error("not a readable BREP file");
  // Compounds become assemblies, and sub-shapes placed more than once become shared parts.
  ioDocument.Shapes()->AddShape(shape);
}

// Fills the document; the kernel's exceptions while reading mean a malformed file.
void Read(const std::string& iPath, CadFormat iFormat, XcafDocument& ioDocument) {
  try {
    switch (iFormat) {
      case CadFormat::Step: return ReadStep(iPath, ioDocument);
      case CadFormat::Iges: return ReadIges(iPath, ioDocument);
      case CadFormat::Brep: return ReadBrep(iPath, ioDocument);
    }
  } catch (const Standard_Failure& failure) {
    throw std::runtime_error(std::string("not a readable ") + FormatName(iFormat) + " file (" +
                             failure.GetMessageString() + ")");
  }
}

TopoDS_Compound FreeShapes(const Handle(XCAFDoc_ShapeTool) & iShapes) {
  TopoDS_Compound compound;
  BRep_Builder builder;
  builder.MakeCompound(compound);
  TDF_LabelSequence labels;
  iShapes->GetFreeShapes(labels);
  for (const TDF_Label& label : labels) builder.Add(compound, XCAFDoc_ShapeTool::GetShape(label));
  return compound;
}

}  // namespace

CadImporter::CadImporter(const ImportOptions& iOptions) : _options(iOptions) {
  const bool deflectionValid =
      iOptions.absoluteDeflection > 0.0 || (iOptions.absoluteDeflection == 0.0 && iOptions.relativeDeflection > 0.0);
  if (!deflectionValid || !std::isfinite(iOptions.absoluteDeflection) || !std::isfinite(iOptions.relativeDeflection) ||
      !(iOptions.angularDeflection > 0.0))
    throw std::invalid_argument("deflections must be positive and finite");
  SilenceKernelMessages();
}

static std::string Lowercase(std::string iText) {
  std::transform(iText.begin(), iText.end(), iText.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return iText;
}

std::optional<CadFormat> CadImporter::FormatOfExtension(const std::string& iExtension) {
  const std::string extension = Lowercase(iExtension);
  if (extension == ".step" || extension == ".stp") return CadFormat::Step;
  if (extension == ".iges" || extension == ".igs") return CadFormat::Iges;
  if (extension == ".brep" || extension == ".brp") return CadFormat::Brep;
  return std::nullopt;
}

std::optional<CadFormat> CadImporter::FormatOfContent(const std::string& iHead) {
  const std::size_t start = iHead.find_first_not_of(" \t\r\n");
  if (start != std::string::npos && iHead.compare(start, 12, "ISO-10303-21") == 0) return CadFormat::Step;
  if (iHead.find("DBRep_DrawableShape") != std::string::npos || iHead.find("CASCADE Topology V") != std::string::npos)
    return CadFormat::Brep;
  // IGES: records of 80 columns, the section letter in column 73, starting with the start section.
  if (iHead.find_first_of("\r\n") == 80 && iHead[72] == 'S') return CadFormat::Iges;
  return std::nullopt;
}

ImportedModel CadImporter::Import(const std::string& iPath, CadFormat iFormat) const {
  // The kernel's XCAF application and its readers' parameters are process-wide and unguarded:
  // one CAD import at a time, whatever the number of threads importing.
  static std::mutex oneImportAtATime;
  const std::lock_guard<std::mutex> lock(oneImportAtATime);
  try {
    XcafDocument document;
    Read(iPath, iFormat, document);
    const Handle(XCAFDoc_ShapeTool) shapes = document.Shapes();
    const TopoDS_Compound model = FreeShapes(shapes);
    Bnd_Box bounds;
    BRepBndLib::Add(model, bounds, Standard_False);
    if (bounds.IsVoid()) throw ImportError(iPath, "the file holds no geometry");
    const double deflection = _options.absoluteDeflection > 0.0
                                  ? _options.absoluteDeflection
                                  : _options.relativeDeflection * std::sqrt(bounds.SquareExtent());
    // Each face is meshed once, however many instances of its part there are.
    BRepMesh_IncrementalMesh(model, deflection, Standard_False, _options.angularDeflection,
                             _options.parallelTessellation);

    XcafTreeBuilder builder(shapes);
    ImportedModel imported;
    imported.root = builder.Build();
    imported.format = FormatName(iFormat);
    if (builder.TessellatedFaces() == 0) throw ImportError(iPath, "the file holds no face that can be tessellated");
    if (builder.UntessellatedFaces() > 0)
      imported.warnings.push_back(std::to_string(builder.UntessellatedFaces()) + " of " +
                                  std::to_string(builder.UntessellatedFaces() + builder.TessellatedFaces()) +
                                  " faces could not be tessellated and were left out");
    return imported;
  } catch (const ImportError&) {
    throw;
  } catch (const Standard_Failure& failure) {
    throw ImportError(iPath, std::string("the CAD kernel failed while tessellating: ") + failure.GetMessageString());
  } catch (const std::runtime_error& error) {
    throw ImportError(iPath, error.what());
  }
}
