#include "support/TestStrings.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace EKCommonNS;

namespace {

TEST(StringSingletons, EmptyAndBogus) {
  EXPECT_TRUE(EKEmptyString::getEmptyString().isEmpty());
  EXPECT_FALSE(EKEmptyString::getEmptyString().isBogus());
  EXPECT_TRUE(EKBogusString::getBogusString().isBogus());
}

TEST(EKCStr, NarrowFormIsCachedUntilTextOrCodePageChanges) {
  // Latin-1 bytes for "café".
  const char latin1[] = "caf\xE9";
  EKCStr s(latin1, "ISO-8859-1");
  EXPECT_EQ(s, UnicodeString(u"caf\u00E9"));
  const char* first = s.c_str("ISO-8859-1");
  EXPECT_STREQ(first, latin1);
  EXPECT_EQ(s.c_str("ISO-8859-1"), first) << "same code page, same text: no new conversion";

  EXPECT_STREQ(s.c_str(nullptr), "caf\xC3\xA9") << "null code page means UTF-8";
  EXPECT_STREQ(s.c_str("ISO-8859-1"), latin1);

  s.append(u'!');
  EXPECT_STREQ(s.c_str("ISO-8859-1"), "caf\xE9!") << "a changed text converts again";
  EXPECT_EQ(s.narrowLength(), 5u);

  EKCStr fromNull(nullptr, nullptr);
  EXPECT_TRUE(fromNull.isEmpty());
  EXPECT_STREQ(fromNull.c_str(nullptr), "");

  EKCStr wide(UnicodeString(u"\u65E5\u672C"));
  EXPECT_STREQ(wide.c_str("UTF-8"), "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_STREQ(wide.c_str("Shift_JIS"), "\x93\xFA\x96\x7B");

  EKUtfStr utf(UnicodeString(u"\u00E9t\u00E9"));
  EXPECT_STREQ(utf.c_str(), "\xC3\xA9t\xC3\xA9");
}

TEST(EKBool, TriState) {
  struct Row {
    EKBool a, b;
    bool equal;
  };
  const Row rows[] = {{EKBool(), EKBool(), true},          {EKBool(), EKBool(false), false},
                      {EKBool(true), EKBool(true), true},  {EKBool(true), EKBool(false), false},
                      {EKBool(false), EKBool(), false}};
  for (const Row& row : rows)
    EXPECT_EQ(row.a == row.b, row.equal);

  EKBool undef;
  EXPECT_FALSE(undef == false);
  EXPECT_FALSE(undef == true);
  EXPECT_TRUE(undef.isTrue(true));
  EXPECT_FALSE(undef.isTrue(false));
  EXPECT_FALSE(static_cast<bool>(undef));

  EKBool b;
  b = false;
  EXPECT_FALSE(b.isUndef());
  EXPECT_TRUE(b == false);
  EXPECT_FALSE(b.isTrue(true));
}

TEST(EKInt, UndefinedAndArithmetic) {
  EKInt undef;
  EXPECT_TRUE(undef.isUndef());
  EXPECT_EQ(static_cast<int>(undef), -2147483647 - 1);

  EXPECT_EQ(static_cast<int>(EKInt(5) / 2), 2);
  EXPECT_EQ(static_cast<int>(EKInt(5) + 3 - 1), 7);
  EXPECT_EQ(static_cast<int>(-EKInt(4) * 3), -12);
  EKInt i(10);
  EXPECT_EQ(static_cast<int>(i++), 10);
  EXPECT_EQ(static_cast<int>(++i), 12);
  EXPECT_EQ(static_cast<int>(i--), 12);
  EXPECT_EQ(static_cast<int>(--i), 10);
  i += 5;
  i -= 1;
  i *= 2;
  i /= 4;
  EXPECT_EQ(static_cast<int>(i), 7);
}

} // namespace
