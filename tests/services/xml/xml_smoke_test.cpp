#include <gtest/gtest.h>
#include "services/XmlDocument.h"
TEST(XmlSmoke, Parses) {
  XmlDocument d;
  EXPECT_TRUE(d.SetDocumentText(L"<a><b x=\"1\"/></a>"));
  EXPECT_TRUE(d.FindElement(L"a"));
  EXPECT_TRUE(d.EnterElement());
  EXPECT_TRUE(d.FindElement(L"b"));
  EXPECT_EQ(d.GetAttribute(L"x"), L"1");
}
