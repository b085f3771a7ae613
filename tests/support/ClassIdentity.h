#pragma once
// The check shared by the library classes that declare a class identity of their own.
#include <gtest/gtest.h>

#include "ZarBaseUnknown.h"
#include "ZarMetaClass.h"

// iObject is an instance of Class, whose identity bears iName, the library's framework and
// the meta class of iBase.
template <class Class>
void ExpectOwnClassIdentity(const ZarBaseUnknown& iObject, const char* iName, const ZarMetaClass* iBase) {
  const ZarMetaClass* meta = Class::MetaObject();
  ASSERT_NE(meta, nullptr);
  EXPECT_STREQ(Class::ClassName(), iName);
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(meta->Base(), iBase);
  EXPECT_NE(Class::ClassId(), iBase->ClassId());
  EXPECT_EQ(iObject.GetMetaObject(), meta);
  EXPECT_STREQ(iObject.IsA(), iName);
  EXPECT_TRUE(iObject.IsAKindOf(iBase->ClassName()));
  EXPECT_FALSE(iObject.IsAKindOf("GeosigRender"));  // the renders' abstract base has no identity
}
