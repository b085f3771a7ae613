#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>

#include "SceneBuilder.h"
#include "Zar3DFinalBagRep.h"
#include "ZarSupport.h"

namespace {

// Records the order in which representations are reached, and culls the first iCulled spheres.
class NotingRender : public ZarRender {
 public:
  explicit NotingRender(int iCulled) : ZarRender(*new ZarSupport(1, 1, nullptr)), culled(iCulled) {
    GetSupport().Release();
  }
  using ZarRender::IsDrawable;
  std::vector<const ZarRep*> reached;
  int sphereQuestions = 0, culled;
  int IsDrawable(const ZarGraphicAttributeSet&, const Zar3DBoundingSphere&, const ZarRep&,
                 ZarGraphicMaterial*) override {
    return ++sphereQuestions > culled ? 1 : 0;
  }
  void DrawRepresentation(ZarRep& iRep) override { reached.push_back(&iRep); }
};

TEST(ZarSceneGraph, TraversalIsDepthFirstInChildOrderAndSkipsEmptyAndCulledReps) {
  ZarRef<ZarSurfacicRep> a = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  ZarRef<ZarSurfacicRep> b = scene::Surface(scene::Triangle({0, 0, 5}, {1, 0, 5}, {0, 1, 5}));
  ZarRef<Zar3DBagRep> empty = scene::Bag({});
  ZarRef<Zar3DBagRep> inner = scene::Bag({b.get()});
  ZarRef<Zar3DBagRep> root = scene::Bag({a.get(), empty.get(), inner.get()});
  NotingRender render(0);
  render.Traverse(*root);
  EXPECT_EQ(render.reached, (std::vector<const ZarRep*>{root.get(), a.get(), inner.get(), b.get()}));
  EXPECT_EQ(render.sphereQuestions, 4);  // the empty bag is skipped without a question
  NotingRender culling(1);
  culling.Traverse(*root);
  EXPECT_TRUE(culling.reached.empty());
}

TEST(ZarSceneGraph, BoundingSphereHoldsEveryTransformedVertexAndFollowsChangesBelow) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(-50, 50), angle(-3, 3), scale(0.01, 20);
  for (int trial = 0; trial < 20; ++trial) {
    const ZarTessellation box = scene::Box({float(coordinate(random)), 0, -1}, {60, float(scale(random)), 3});
    const Zar4x4Matrix inner = scene::Rotation(0, 0.6, 0.8, angle(random)) * scene::Scaling(scale(random));
    const Zar4x4Matrix outer = scene::Translation(coordinate(random), coordinate(random), 1e3);
    ZarRef<ZarSurfacicRep> surface = scene::Surface(box);
    ZarRef<Zar3DBagRep> placed = scene::Bag(inner, {surface.get()});
    ZarRef<Zar3DBagRep> root = scene::Bag(outer, {placed.get(), surface.get()});
    const Zar3DBoundingSphere& sphere = root->GetBoundingSphere();
    ASSERT_EQ(sphere.State(), Zar3DBoundingSphere::StateValid);
    for (const Zar4x4Matrix& m : {inner * outer, outer})
      for (std::size_t i = 0; i < box.vertices.size(); i += 3)
        EXPECT_LE((m * ZarMathPointf(&box.vertices[i])).DistanceTo(ZarMathPointf(sphere.center)), sphere.radius);
  }
  ZarRef<ZarSurfacicRep> surface = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  ZarRef<Zar3DBagRep> root = scene::Bag({surface.get()});
  const float before = root->GetBoundingSphere().radius;
  surface->AddPrimitive(*scene::Face(scene::Triangle({100, 0, 0}, {101, 0, 0}, {100, 1, 0})));
  EXPECT_GT(root->GetBoundingSphere().radius, 40 * before);
}

TEST(ZarSceneGraph, SharedChildLivesAsLongAsAParentHoldsItAndDestroyDetaches) {
  ZarRef<ZarSurfacicRep> shared = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> left = scene::Bag({shared.get()});
  ZarRef<Zar3DBagRep> right = scene::Bag({shared.get(), shared.get()});
  EXPECT_EQ(shared->GetParents().size(), 3u);
  EXPECT_EQ(shared->RefCount(), 4u);
  left.get()->AddRef();
  left->Destroy();  // detaches from nothing, drops the extra reference
  EXPECT_EQ(left->RefCount(), 1u);
  shared.release()->Destroy();  // leaves both bags and drops the caller's reference: gone
  EXPECT_TRUE(right->GetChildren()->empty());
  EXPECT_TRUE(left->GetChildren()->empty());
}

// Every parent a representation lists holds it as often as it lists that parent.
void ExpectParentsMatchChildren(const ZarRep& iChild, const std::vector<ZarRef<Zar3DBagRep>>& iBags) {
  std::map<const Zar3DBagRep*, int> listed;
  for (const Zar3DBagRep* parent : iChild.GetParents()) ++listed[parent];
  for (const ZarRef<Zar3DBagRep>& bag : iBags) {
    if (!bag) continue;
    const std::vector<ZarRep*>& children = *bag->GetChildren();
    EXPECT_EQ(listed[bag.get()], std::count(children.begin(), children.end(), &iChild));
    listed.erase(bag.get());
  }
  EXPECT_TRUE(listed.empty());  // no parent that is gone
}

TEST(ZarSceneGraph, ParentLinksFollowEveryAdditionRemovalAndReleaseInAnyOrder) {
  ZarRef<ZarSurfacicRep> shared = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ZarRef<ZarSurfacicRep> other = scene::Surface(scene::Box({0, 0, 0}, {2, 2, 2}));
  std::mt19937 random(7);
  std::vector<ZarRef<Zar3DBagRep>> bags;
  for (int k = 0; k < 40; ++k) {
    bags.emplace_back(Zar3DBagRep::CreateRep());
    for (unsigned int n = random() % 5; n > 0; --n) bags.back()->AddChild(random() % 2 ? *shared : *other);
  }
  for (int step = 0; step < 120; ++step) {
    ZarRef<Zar3DBagRep>& bag = bags[random() % bags.size()];
    if (!bag) continue;
    if (step % 7 == 0)
      bag = ZarRef<Zar3DBagRep>();
    else if (step % 3 == 0)
      bag->AddChild(*shared);
    else
      bag->RemoveChild(random() % 2 ? *shared : *other);
    ExpectParentsMatchChildren(*shared, bags);
    ExpectParentsMatchChildren(*other, bags);
  }
  shared.get()->AddRef();
  shared->Destroy();
  EXPECT_TRUE(shared->GetParents().empty());
  EXPECT_EQ(shared->RefCount(), 1u);
  ExpectParentsMatchChildren(*other, bags);
}

TEST(ZarMetaClass, RegistryKeepsOneMetaClassPerNameAndWalksBases) {
  const ZarMetaClass* bag = Zar3DBagRep::MetaObject();
  EXPECT_EQ(ZarRetrieveMetaClassLegacy("Zar3DBagRep", 1, nullptr, "ZarNull", "Other", 1), bag);
  EXPECT_TRUE(Zar3DFinalBagRep::MetaObject()->IsAKindOf("ZarBaseUnknown"));
  EXPECT_FALSE(bag->IsAKindOf("Zar3DFinalBagRep"));
  EXPECT_FALSE(bag->IsAKindOf(nullptr));
}

TEST(ZarTessellation, CheckNamesWhatIsWrong) {
  ZarTessellation t = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  EXPECT_EQ(t.Check(), "");
  t.stripCounts = {4};
  t.strips = {0, 1, 3};
  EXPECT_NE(t.Check().find("strip counts add up to 4"), std::string::npos);
  t.stripCounts = {3};
  EXPECT_NE(t.Check().find("index 3 out of range"), std::string::npos);
  t.strips[2] = 2;
  t.vertices[4] = std::nanf("");
  EXPECT_NE(t.Check().find("non-finite"), std::string::npos);
  EXPECT_THROW(scene::Face(t), std::invalid_argument);
}

}  // namespace
