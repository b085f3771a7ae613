#include "MeshWriters.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "ZarCodePage.h"

static std::ofstream OpenForWriting(const std::string& iPath) {
  std::ofstream file(iPath, std::ios::binary);
  if (!file) throw std::runtime_error("cannot write " + iPath);
  return file;
}

template <class T>
static void Put(std::ostream& ioStream, T iValue) {
  ioStream.write(reinterpret_cast<const char*>(&iValue), sizeof iValue);
}

static std::array<float, 3> Vertex(const ZarTessellation& iMesh, unsigned int iIndex) {
  const float* v = &iMesh.vertices[3 * static_cast<std::size_t>(iIndex)];
  return {v[0], v[1], v[2]};
}

void WriteBinaryStl(const std::string& iPath, const ZarTessellation& iMesh) {
  std::ofstream file = OpenForWriting(iPath);
  char header[80] = {};
  std::strncpy(header, "geosig sample", sizeof header);
  file.write(header, sizeof header);
  Put(file, static_cast<std::uint32_t>(iMesh.triangles.size() / 3));
  for (std::size_t t = 0; t < iMesh.triangles.size(); t += 3) {
    const auto a = Vertex(iMesh, iMesh.triangles[t]), b = Vertex(iMesh, iMesh.triangles[t + 1]),
               c = Vertex(iMesh, iMesh.triangles[t + 2]);
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    float normal[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    for (float& component : normal) component = length > 0 ? component / length : 0;
    for (float component : normal) Put(file, component);
    for (const auto& vertex : {a, b, c})
      for (float coordinate : vertex) Put(file, coordinate);
    Put(file, std::uint16_t{0});
  }
  if (!file) throw std::runtime_error("cannot write " + iPath);
}

void WriteObj(const std::string& iPath, const std::string& iObjectName, const ZarTessellation& iMesh) {
  std::ofstream file = OpenForWriting(iPath);
  file.precision(9);  // enough to give back every float exactly
  file << "o " << iObjectName << '\n';
  for (std::size_t v = 0; v < iMesh.vertices.size(); v += 3)
    file << "v " << iMesh.vertices[v] << ' ' << iMesh.vertices[v + 1] << ' ' << iMesh.vertices[v + 2] << '\n';
  for (std::size_t t = 0; t < iMesh.triangles.size(); t += 3)
    file << "f " << iMesh.triangles[t] + 1 << ' ' << iMesh.triangles[t + 1] + 1 << ' ' << iMesh.triangles[t + 2] + 1
         << '\n';
  if (!file) throw std::runtime_error("cannot write " + iPath);
}

void WriteBinaryPly(const std::string& iPath, const ZarTessellation& iMesh) {
  std::ofstream file = OpenForWriting(iPath);
  file << "ply\nformat binary_little_endian 1.0\nelement vertex " << iMesh.VertexCount()
       << "\nproperty float x\nproperty float y\nproperty float z\nelement face " << iMesh.triangles.size() / 3
       << "\nproperty list uchar uint vertex_indices\nend_header\n";
  for (float coordinate : iMesh.vertices) Put(file, coordinate);
  for (std::size_t t = 0; t < iMesh.triangles.size(); t += 3) {
    Put(file, std::uint8_t{3});
    for (std::size_t corner = t; corner < t + 3; ++corner)
      Put(file, static_cast<std::uint32_t>(iMesh.triangles[corner]));
  }
  if (!file) throw std::runtime_error("cannot write " + iPath);
}

// Appends raw values to the binary chunk, 4-byte aligned, and describes them as a buffer view.
static int AddBufferView(std::string& ioBinary, nlohmann::json& ioViews, const void* iData, std::size_t iSize,
                         int iTarget) {
  const std::size_t offset = ioBinary.size();
  ioBinary.append(static_cast<const char*>(iData), iSize);
  ioBinary.resize((ioBinary.size() + 3) / 4 * 4, '\0');
  ioViews.push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", iSize}, {"target", iTarget}});
  return static_cast<int>(ioViews.size()) - 1;
}

static void WriteChunk(std::ostream& ioStream, std::uint32_t iType, std::string iData, char iPadding) {
  iData.resize((iData.size() + 3) / 4 * 4, iPadding);
  Put(ioStream, static_cast<std::uint32_t>(iData.size()));
  Put(ioStream, iType);
  ioStream.write(iData.data(), static_cast<std::streamsize>(iData.size()));
}

// The glTF document of the scene, its buffer's bytes appended to oBinary; the caller adds the
// buffer itself, which the two forms of the format describe differently.
static nlohmann::json GltfDocument(const std::vector<ExportMesh>& iMeshes, const std::vector<ExportNode>& iNodes,
                                   std::string& oBinary) {
  const int arrayBuffer = 34962, elementArrayBuffer = 34963, floatType = 5126, unsignedIntType = 5125, triangles = 4;
  const std::array<double, 9> identityAxes = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  nlohmann::json views = nlohmann::json::array(), accessors = nlohmann::json::array(), meshes = nlohmann::json::array(),
                 nodes = nlohmann::json::array();
  for (const ExportMesh& mesh : iMeshes) {
    const std::vector<float>& vertices = mesh.tessellation.vertices;
    std::array<float, 3> low = Vertex(mesh.tessellation, 0), high = low;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
      low[v % 3] = std::min(low[v % 3], vertices[v]);
      high[v % 3] = std::max(high[v % 3], vertices[v]);
    }
    const int positions = AddBufferView(oBinary, views, vertices.data(), vertices.size() * sizeof(float), arrayBuffer);
    accessors.push_back({{"bufferView", positions},
                         {"componentType", floatType},
                         {"count", vertices.size() / 3},
                         {"type", "VEC3"},
                         {"min", low},
                         {"max", high}});
    const std::vector<unsigned int>& indices = mesh.tessellation.triangles;
    const int indexView =
        AddBufferView(oBinary, views, indices.data(), indices.size() * sizeof(unsigned int), elementArrayBuffer);
    accessors.push_back(
        {{"bufferView", indexView}, {"componentType", unsignedIntType}, {"count", indices.size()}, {"type", "SCALAR"}});
    const std::size_t accessor = accessors.size();
    meshes.push_back(
        {{"name", mesh.name},
         {"primitives",
          {{{"attributes", {{"POSITION", accessor - 2}}}, {"indices", accessor - 1}, {"mode", triangles}}}}});
  }
  for (const ExportNode& node : iNodes) {
    const auto& m = node.axesAndTranslation;
    nlohmann::json entry = nlohmann::json::object();
    if (!node.name.empty()) entry["name"] = node.name;
    // A translation alone is written as such (a voxel scene has one per voxel), anything else
    // as a column-major matrix: each axis image, then the translation.
    if (std::equal(m.begin(), m.begin() + 9, identityAxes.begin())) {
      if (m[9] != 0 || m[10] != 0 || m[11] != 0) entry["translation"] = {m[9], m[10], m[11]};
    } else {
      entry["matrix"] = {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, m[9], m[10], m[11], 1};
    }
    if (node.mesh >= 0) entry["mesh"] = node.mesh;
    if (!node.children.empty()) entry["children"] = node.children;
    nodes.push_back(entry);
  }
  return {{"asset", {{"version", "2.0"}, {"generator", "geosig"}}},
          {"scene", 0},
          {"scenes", {{{"nodes", {0}}}}},
          {"nodes", nodes},
          {"meshes", meshes},
          {"accessors", accessors},
          {"bufferViews", views}};
}

void WriteGlb(const std::string& iPath, const std::vector<ExportMesh>& iMeshes, const std::vector<ExportNode>& iNodes) {
  std::string binary;
  nlohmann::json document = GltfDocument(iMeshes, iNodes, binary);
  document["buffers"] = {{{"byteLength", binary.size()}}};

  std::ofstream file = OpenForWriting(iPath);
  std::string json = document.dump();
  const std::size_t padded = [](std::size_t n) { return (n + 3) / 4 * 4; }(json.size());
  Put(file, std::uint32_t{0x46546C67});  // "glTF"
  Put(file, std::uint32_t{2});
  Put(file, static_cast<std::uint32_t>(12 + 8 + padded + 8 + binary.size()));
  WriteChunk(file, 0x4E4F534A, std::move(json), ' ');     // "JSON"
  WriteChunk(file, 0x004E4942, std::move(binary), '\0');  // "BIN"
  if (!file) throw std::runtime_error("cannot write " + iPath);
}

void WriteGltf(const std::string& iPath, const std::vector<ExportMesh>& iMeshes,
               const std::vector<ExportNode>& iNodes) {
  std::string binary;
  nlohmann::json document = GltfDocument(iMeshes, iNodes, binary);
  if (binary.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::runtime_error("too much geometry to embed in " + iPath + ": write binary glTF instead");
  char* text = nullptr;
  ZarCodePage::ConvertToBase64(reinterpret_cast<const unsigned char*>(binary.data()), static_cast<int>(binary.size()),
                               text);
  if (!text) throw std::bad_alloc();
  const std::unique_ptr<char, void (*)(void*)> released(text, [](void* iText) { ::operator delete(iText); });
  const std::string uri = std::string("data:application/octet-stream;base64,") + text;
  document["buffers"] = {{{"byteLength", binary.size()}, {"uri", uri}}};

  std::ofstream file = OpenForWriting(iPath);
  file << document.dump() << '\n';
  if (!file) throw std::runtime_error("cannot write " + iPath);
}
