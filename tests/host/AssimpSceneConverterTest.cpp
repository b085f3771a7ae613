#include "AssimpSceneConverter.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "SceneBuilder.h"

namespace {

aiMesh* NewMesh(const std::vector<aiVector3D>& iVertices, const std::vector<std::vector<unsigned int>>& iFaces) {
  aiMesh* mesh = new aiMesh();
  mesh->mName = "part";
  mesh->mNumVertices = static_cast<unsigned int>(iVertices.size());
  mesh->mVertices = new aiVector3D[iVertices.size()];
  std::copy(iVertices.begin(), iVertices.end(), mesh->mVertices);
  mesh->mNumFaces = static_cast<unsigned int>(iFaces.size());
  mesh->mFaces = iFaces.empty() ? nullptr : new aiFace[iFaces.size()];
  for (std::size_t f = 0; f < iFaces.size(); ++f) {
    mesh->mFaces[f].mNumIndices = static_cast<unsigned int>(iFaces[f].size());
    mesh->mFaces[f].mIndices = new unsigned int[iFaces[f].size()];
    std::copy(iFaces[f].begin(), iFaces[f].end(), mesh->mFaces[f].mIndices);
  }
  return mesh;
}

aiNode* NewNode(const char* iName, const aiMatrix4x4& iTransformation, const std::vector<unsigned int>& iMeshes,
                std::vector<aiNode*> iChildren = {}) {
  aiNode* node = new aiNode(iName);
  node->mTransformation = iTransformation;
  node->mNumMeshes = static_cast<unsigned int>(iMeshes.size());
  node->mMeshes = iMeshes.empty() ? nullptr : new unsigned int[iMeshes.size()];
  std::copy(iMeshes.begin(), iMeshes.end(), node->mMeshes);
  if (!iChildren.empty()) node->addChildren(static_cast<unsigned int>(iChildren.size()), iChildren.data());
  return node;
}

std::unique_ptr<aiScene> NewScene(std::vector<aiMesh*> iMeshes, aiNode* iRoot) {
  auto scene = std::make_unique<aiScene>();
  scene->mNumMeshes = static_cast<unsigned int>(iMeshes.size());
  scene->mMeshes = new aiMesh*[iMeshes.size()];
  std::copy(iMeshes.begin(), iMeshes.end(), scene->mMeshes);
  scene->mRootNode = iRoot;
  return scene;
}

const aiMatrix4x4 identity;

aiMatrix4x4 Translation(float iX, float iY, float iZ) {
  aiMatrix4x4 matrix;
  return aiMatrix4x4::Translation(aiVector3D(iX, iY, iZ), matrix);
}

aiMatrix4x4 QuarterTurnAboutZ() {
  aiMatrix4x4 matrix;
  return aiMatrix4x4::RotationZ(static_cast<float>(M_PI / 2), matrix);
}

std::unique_ptr<aiScene> OneTriangle() {
  return NewScene({NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}})},
                  NewNode("root", identity, {0}));
}

void ExpectNear(const ZarMathPointf& iActual, const ZarMathPointf& iExpected) {
  EXPECT_NEAR(iActual.x, iExpected.x, 1e-5f);
  EXPECT_NEAR(iActual.y, iExpected.y, 1e-5f);
  EXPECT_NEAR(iActual.z, iExpected.z, 1e-5f);
}

TEST(AssimpSceneConverter, KeepsTheNodeHierarchyAndAppliesTheInnermostTransformationFirst) {
  // The mesh is moved along x by its own node, then turned about z by its parent.
  aiNode* moved = NewNode("moved", Translation(10, 0, 0), {0});
  aiNode* turned = NewNode("turned", QuarterTurnAboutZ(), {}, {moved});
  std::unique_ptr<aiScene> scene =
      NewScene({NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}})}, NewNode("root", identity, {}, {turned}));
  AssimpSceneConverter converter(*scene);
  ASSERT_EQ(converter.Check(), "");
  ZarRef<Zar3DBagRep> root = converter.Convert();

  EXPECT_EQ(root->GetMatrix(), nullptr);
  ASSERT_EQ(root->GetChildren()->size(), 1u);
  auto* turnedBag = dynamic_cast<Zar3DBagRep*>(root->GetChildren()->front());
  ASSERT_NE(turnedBag, nullptr);
  ASSERT_NE(turnedBag->GetMatrix(), nullptr);

  RecordingRender render;
  render.Traverse(*root);
  ASSERT_EQ(render.triangles.size(), 1u);
  ExpectNear(render.triangles[0].a, {0, 11, 0});
  ExpectNear(render.triangles[0].b, {-1, 10, 0});
  ExpectNear(render.triangles[0].c, {0, 10, 1});
}

TEST(AssimpSceneConverter, MeshUsedByTwoNodesIsOneRepresentationUnderTwoBags) {
  aiNode* first = NewNode("first", identity, {0});
  aiNode* second = NewNode("second", Translation(0, 0, 5), {0});
  std::unique_ptr<aiScene> scene =
      NewScene({NewMesh({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 1, 2}})}, NewNode("root", identity, {}, {first, second}));
  ZarRef<Zar3DBagRep> root = AssimpSceneConverter(*scene).Convert();

  const auto& bags = *root->GetChildren();
  ASSERT_EQ(bags.size(), 2u);
  const ZarRep* firstMesh = static_cast<Zar3DBagRep*>(bags[0])->GetChildren()->front();
  const ZarRep* secondMesh = static_cast<Zar3DBagRep*>(bags[1])->GetChildren()->front();
  EXPECT_EQ(firstMesh, secondMesh);
  EXPECT_EQ(firstMesh->GetParents().size(), 2u);

  RecordingRender render;
  render.Traverse(*root);
  ASSERT_EQ(render.triangles.size(), 2u);
  EXPECT_EQ(render.triangles[1].c.z, 6.0f);
}

TEST(AssimpSceneConverter, FacesBecomeTrianglesPolygonFansSegmentsAndPoints) {
  std::unique_ptr<aiScene> scene = NewScene(
      {NewMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 2, 3}, {0, 2}, {3}}),
       NewMesh({{1, 2, 3}, {4, 5, 6}}, {})},  // a point cloud: no face at all
      NewNode("root", identity, {0, 1}));
  ZarRef<Zar3DBagRep> root = AssimpSceneConverter(*scene).Convert();

  RecordingRender render;
  render.Traverse(*root);
  EXPECT_EQ(render.triangles.size(), 3u);  // one triangle, and the quadrangle as two
  ASSERT_EQ(render.lines.size(), 1u);
  ExpectNear(render.lines[0].b, {1, 1, 0});
  ASSERT_EQ(render.points.size(), 3u);
  ExpectNear(render.points[0], {0, 1, 0});
  ExpectNear(render.points[2], {4, 5, 6});
}

TEST(AssimpSceneConverter, CheckNamesWhatIsWrong) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), infinity = std::numeric_limits<float>::infinity();
  const std::vector<std::pair<std::function<void(aiScene&)>, std::string>> cases = {
      {[](aiScene& s) { s.mMeshes[0]->mFaces[0].mIndices[2] = 7; }, "mesh 0 'part': face 0 refers to vertex 7 of 3"},
      {[&](aiScene& s) { s.mMeshes[0]->mVertices[1].y = nan; }, "vertex 1 has a non-finite coordinate"},
      {[&](aiScene& s) { s.mMeshes[0]->mVertices[2].z = -infinity; }, "vertex 2 has a non-finite coordinate"},
      {[](aiScene& s) { s.mMeshes[0]->mFaces[0].mNumIndices = 0; }, "face 0 has no vertex"},
      {[&](aiScene& s) { s.mRootNode->mTransformation.b4 = infinity; }, "node 'root' has a non-finite transformation"},
      {[](aiScene& s) { s.mRootNode->mTransformation.d3 = 0.5f; }, "node 'root' has a projective transformation"},
      {[](aiScene& s) { s.mRootNode->mMeshes[0] = 5; }, "node 'root' refers to mesh 5 of 1"},
      {[](aiScene& s) { s.mMeshes[0]->mNumVertices = 0; }, "face 0 refers to vertex 0 of 0"},
      {[](aiScene& s) { s.mRootNode->mNumMeshes = 0; }, "the file holds no geometry"},
  };
  for (const auto& [spoil, reason] : cases) {
    std::unique_ptr<aiScene> scene = OneTriangle();
    ASSERT_EQ(AssimpSceneConverter(*scene).Check(), "");
    spoil(*scene);
    EXPECT_NE(AssimpSceneConverter(*scene).Check().find(reason), std::string::npos)
        << "got: " << AssimpSceneConverter(*scene).Check() << "\nexpected: " << reason;
  }
}

}  // namespace
