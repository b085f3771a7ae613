#include "MeshWriters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

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

void WriteGlb(const std::string& iPath, const std::vector<GltfMesh>& iMeshes, const std::vector<GltfNode>& iNodes) {
  const int arrayBuffer = 34962, elementArrayBuffer = 34963, floatType = 5126, unsignedIntType = 5125, triangles = 4;
  std::string binary;
  nlohmann::json views = nlohmann::json::array(), accessors = nlohmann::json::array(), meshes = nlohmann::json::array(),
                 nodes = nlohmann::json::array();
  for (const GltfMesh& mesh : iMeshes) {
    const std::vector<float>& vertices = mesh.tessellation.vertices;
    std::array<float, 3> low = Vertex(mesh.tessellation, 0), high = low;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
      low[v % 3] = std::min(low[v % 3], vertices[v]);
      high[v % 3] = std::max(high[v % 3], vertices[v]);
    }
    const int positions = AddBufferView(binary, views, vertices.data(), vertices.size() * sizeof(float), arrayBuffer);
    accessors.push_back({{"bufferView", positions},
                         {"componentType", floatType},
                         {"count", vertices.size() / 3},
                         {"type", "VEC3"},
                         {"min", low},
                         {"max", high}});
    const std::vector<unsigned int>& indices = mesh.tessellation.triangles;
    const int indexView =
        AddBufferView(binary, views, indices.data(), indices.size() * sizeof(unsigned int), elementArrayBuffer);
    accessors.push_back(
        {{"bufferView", indexView}, {"componentType", unsignedIntType}, {"count", indices.size()}, {"type", "SCALAR"}});
    const std::size_t accessor = accessors.size();
    meshes.push_back(
        {{"name", mesh.name},
         {"primitives",
          {{{"attributes", {{"POSITION", accessor - 2}}}, {"indices", accessor - 1}, {"mode", triangles}}}}});
  }
  for (const GltfNode& node : iNodes) {
    const auto& m = node.axesAndTranslation;
    // glTF matrices are column-major: each axis image, then the translation.
    nlohmann::json entry = {
        {"name", node.name},
        {"matrix", {m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, m[9], m[10], m[11], 1}}};
    if (node.mesh >= 0) entry["mesh"] = node.mesh;
    if (!node.children.empty()) entry["children"] = node.children;
    nodes.push_back(entry);
  }
  const nlohmann::json document = {{"asset", {{"version", "2.0"}, {"generator", "geosig_make_samples"}}},
                                   {"scene", 0},
                                   {"scenes", {{{"nodes", {0}}}}},
                                   {"nodes", nodes},
                                   {"meshes", meshes},
                                   {"accessors", accessors},
                                   {"bufferViews", views},
                                   {"buffers", {{{"byteLength", binary.size()}}}}};

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
