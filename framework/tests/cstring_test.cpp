#include "framework/cstring.h"
#include "testing/framework_resources.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CStringLoadString, LoadsAPresentString) {
  CString text;
  EXPECT_TRUE(text.LoadString(IDS_GREETING));
  EXPECT_STREQ(static_cast<LPCTSTR>(text), "&Greetings...");
  EXPECT_EQ(text.GetLength(), 13);
  EXPECT_FALSE(text.IsEmpty());
}

TEST(CStringLoadString, LoadsALongStringWhole) {
  CString text;
  EXPECT_TRUE(text.LoadString(IDS_LONG));
  ASSERT_EQ(text.GetLength(), 300);
  EXPECT_EQ(std::strncmp(text, "000-001-", 8), 0);
  EXPECT_STREQ(static_cast<LPCTSTR>(text) + 296, "074-");
}

TEST(CStringLoadString, LeavesTheTextEmptyWhenTheStringIsMissing) {
  CString text("previous");
  EXPECT_FALSE(text.LoadString(IDS_MISSING));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_STREQ(static_cast<LPCTSTR>(text), "");
}

TEST(CString, FormatsLikePrintf) {
  CString text;
  text.Format("cancel %d", 1590);
  EXPECT_EQ(text, "cancel 1590");
  text.Format("%.3f|%s", 0.25, "x");
  EXPECT_EQ(text, "0.250|x");
}

TEST(CString, KeepsItsOwnCopy) {
  char buffer[] = "abc";
  CString text(buffer);
  CString copy = text;
  buffer[0] = 'z';
  text += "def";
  EXPECT_EQ(text, "abcdef");
  EXPECT_EQ(copy, "abc");
  EXPECT_TRUE(CString(nullptr).IsEmpty());
}
