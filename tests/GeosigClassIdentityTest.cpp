// The library classes that declare a class identity of their own: each is registered once
// under its own name, with the library's framework, below the meta class of its base.
#include <gtest/gtest.h>

#include <memory>

#include "GeosigBarycenterRender.h"
#include "GeosigNormRender.h"
#include "GeosigOctreeRender.h"
#include "GeosigOffsetRep.h"
#include "GeosigRepIntersectRender.h"
#include "Zar3DFinalBagRep.h"
#include "ZarMetaClass.h"

namespace {

// An instance of each class, and the name its identity must bear.
struct Subject {
  std::shared_ptr<ZarBaseUnknown> object;
  const char* name;
};

Subject Make(GeosigNormRender*) { return {std::make_shared<GeosigNormRender>(), "GeosigNormRender"}; }
Subject Make(GeosigOctreeRender*) {
  return {std::make_shared<GeosigOctreeRender>(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1), 3u),
          "GeosigOctreeRender"};
}
Subject Make(GeosigRepIntersectRender*) {
  ZarMathLine line(ZarMathPoint(0, 0, 0), ZarMathVector(1, 0, 0));
  return {std::make_shared<GeosigRepIntersectRender>(line), "GeosigRepIntersectRender"};
}
Subject Make(GeosigOffsetRep*) {
  return {std::shared_ptr<ZarBaseUnknown>(new GeosigOffsetRep(1), [](ZarBaseUnknown* iRep) { iRep->Release(); }),
          "GeosigOffsetRep"};
}

// The meta class the identity must sit below: the platform's class that each derives from.
const ZarMetaClass* BaseMeta(const ZarRender*) { return ZarRender::MetaObject(); }
const ZarMetaClass* BaseMeta(const Zar3DFinalBagRep*) { return Zar3DFinalBagRep::MetaObject(); }

template <class Class>
class ClassIdentity : public ::testing::Test {};

using ClassesWithAnIdentity =
    ::testing::Types<GeosigNormRender, GeosigRepIntersectRender, GeosigOctreeRender, GeosigOffsetRep>;
TYPED_TEST_SUITE(ClassIdentity, ClassesWithAnIdentity);

TYPED_TEST(ClassIdentity, IsRegisteredOnceUnderItsOwnNameBelowItsBase) {
  using Class = TypeParam;
  const Subject subject = Make(static_cast<Class*>(nullptr));
  const ZarMetaClass* base = BaseMeta(static_cast<Class*>(nullptr));
  const ZarMetaClass* meta = Class::MetaObject();
  ASSERT_NE(meta, nullptr);
  EXPECT_EQ(Class::MetaObject(), meta);
  EXPECT_STREQ(Class::ClassName(), subject.name);
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(meta->Base(), base);
  EXPECT_NE(Class::ClassId(), base->ClassId());
  EXPECT_EQ(subject.object->GetMetaObject(), meta);
  EXPECT_STREQ(subject.object->IsA(), subject.name);
  EXPECT_TRUE(subject.object->IsAKindOf(base->ClassName()));
  EXPECT_FALSE(subject.object->IsAKindOf("GeosigRender"));  // the renders' abstract base has no identity
}

TEST(PlatformIdentity, RendersWithoutAnIdentityOfTheirOwnAnswerAsThePlatformRender) {
  GeosigBarycenterRender render;
  EXPECT_STREQ(static_cast<const ZarBaseUnknown&>(render).IsA(), "ZarRender");
}

}  // namespace
