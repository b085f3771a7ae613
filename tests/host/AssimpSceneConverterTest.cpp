#include "AssimpSceneConverter.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "SceneBuilder.h"

namespace {

// An array of the items, which the scene will own.
template <typename T>
T* NewArray(const std::vector<T>& iItems) {
  T* items = new T[iItems.size()];
  std::copy(iItems.begin(), iItems.end(), items);
  return items;
}

aiMesh* NewMesh(const std::vector<aiVector3D>& iVertices, const std::vector<std::vector<unsigned int>>& iFaces) {
  aiMesh* mesh = new aiMesh();
  mesh->mName = "part";
  mesh->mNumVertices = static_cast<unsigned int>(iVertices.size());
  mesh->mVertices = NewArray(iVertices);
  mesh->mNumFaces = static_cast<unsigned int>(iFaces.size());
  mesh->mFaces = new aiFace[iFaces.size()];
  for (std::size_t f = 0; f < iFaces.size(); ++f) {
    mesh->mFaces[f].mNumIndices = static_cast<unsigned int>(iFaces[f].size());
    mesh->mFaces[f].mIndices = NewArray(iFaces[f]);
  }
  return mesh;
}

aiNode* NewNode(const char* iName, const aiMatrix4x4& iTransformation, const std::vector<unsigned int>& iMeshes,
                std::vector<aiNode*> iChildren = {}) {
  aiNode* node = new aiNode(iName);
  node->mTransformation = iTransformation;
  node->mNumMeshes = static_cast<unsigned int>(iMeshes.size());
  node->mMeshes = NewArray(iMeshes);
  if (!iChildren.empty()) node->addChildren(static_cast<unsigned int>(iChildren.size()), iChildren.data());
  return node;
}

std::unique_ptr<aiScene> NewScene(const std::vector<aiMesh*>& iMeshes, aiNode* iRoot) {
  auto scene = std::make_unique<aiScene>();
  scene->mNumMeshes = static_cast<unsigned int>(iMeshes.size());
  scene->mMeshes = NewArray(iMeshes);
  scene->mRootNode = iRoot;
  return scene;
}

TEST(AssimpSceneConverter, NestedNodesPlaceFacesSegmentsAndPointsInnermostTransformationFirst) {
  // The mesh is moved along x by its own node, then turned a quarter turn about z by its parent;
  // a point cloud (no face at all) sits beside them.
  aiMatrix4x4 move, turn;
  aiMatrix4x4::Translation(aiVector3D(10, 0, 0), move);
  aiMatrix4x4::RotationZ(static_cast<float>(M_PI / 2), turn);
  aiNode* moved = NewNode("moved", move, {0});
  std::unique_ptr<aiScene> scene =
      NewScene({NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}}, {{0, 1, 2}, {0, 1, 3, 2}, {0, 3}, {1}}),
                NewMesh({{4, 5, 6}}, {})},
               NewNode("root", aiMatrix4x4(), {1}, {NewNode("turned", turn, {}, {moved})}));
  AssimpSceneConverter converter(*scene);
  ASSERT_EQ(converter.Check(), "");
  ZarRef<Zar3DBagRep> root = converter.Convert();

  RecordingRender render;
  render.Traverse(*root);
  ASSERT_EQ(render.triangles.size(), 3u);  // one triangle, and the quadrangle as two
  ASSERT_EQ(render.lines.size(), 1u);
  ASSERT_EQ(render.points.size(), 2u);
  const RecordedTriangle& t = render.triangles[0];
  const std::pair<ZarMathPointf, ZarMathPointf> placed[] = {{t.a, {0, 11, 0}},
                                                            {t.b, {-1, 10, 0}},
                                                            {t.c, {0, 10, 1}},
                                                            {render.lines[0].b, {-1, 11, 0}},
                                                            {render.points[0], {4, 5, 6}},
                                                            {render.points[1], {-1, 10, 0}}};
  for (const auto& [actual, expected] : placed) EXPECT_LT((actual - expected).Norm(), 1e-5f) << expected.x;
}

TEST(AssimpSceneConverter, AMeshWithoutAVertexArrayBesideAnotherAddsNothing) {
  aiMesh* empty = NewMesh({}, {});  // as an empty STL solid reads
  delete[] empty->mVertices;
  empty->mVertices = nullptr;
  std::unique_ptr<aiScene> scene = NewScene({empty, NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}})},
                                            NewNode("root", aiMatrix4x4(), {0, 1}));
  AssimpSceneConverter converter(*scene);
  ASSERT_EQ(converter.Check(), "");
  RecordingRender render;
  render.Traverse(*converter.Convert());
  EXPECT_EQ(render.triangles.size(), 1u);
  EXPECT_TRUE(render.points.empty());
}

TEST(AssimpSceneConverter, CheckNamesWhatIsWrong) {
  const float infinity = std::numeric_limits<float>::infinity();
  const std::vector<std::pair<std::function<void(aiScene&)>, std::string>> cases = {
      {[&](aiScene& s) { s.mMeshes[0]->mVertices[2].z = -infinity; }, "mesh 0 'part': vertex 2 has a non-finite"},
      {[](aiScene& s) { s.mMeshes[0]->mFaces[0].mNumIndices = 0; }, "face 0 has no vertex"},
      {[&](aiScene& s) { s.mRootNode->mTransformation.b4 = infinity; }, "node 'root' has a non-finite transformation"},
      {[](aiScene& s) { s.mRootNode->mTransformation.d3 = 0.5f; }, "node 'root' has a projective transformation"},
      {[](aiScene& s) { s.mRootNode->mMeshes[0] = 5; }, "node 'root' refers to mesh 5 of 1"},
      {[](aiScene& s) { s.mRootNode->mNumMeshes = 0; }, "the file holds no geometry"},
  };
  for (const auto& [spoil, reason] : cases) {
    std::unique_ptr<aiScene> scene =
        NewScene({NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}})}, NewNode("root", aiMatrix4x4(), {0}));
    ASSERT_EQ(AssimpSceneConverter(*scene).Check(), "");
    spoil(*scene);
    const std::string found = AssimpSceneConverter(*scene).Check();
    EXPECT_NE(found.find(reason), std::string::npos) << "got: " << found << "\nexpected: " << reason;
  }
}

}  // namespace
