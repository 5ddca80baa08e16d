#include "store/TextForms.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace kestrum {
namespace {

TEST(TextFormsTest, CountTakesTheLeadingNumberAfterWhiteSpace) {
  EXPECT_EQ(ParseCount64("  42abc"), 42);
  EXPECT_EQ(ParseCount64(" \t\n\v\f\r7"), 7);
  EXPECT_EQ(ParseCount64("+5"), 5);
  EXPECT_EQ(ParseCount64("-5"), -5);
  EXPECT_EQ(ParseCount64("007"), 7);
  EXPECT_EQ(ParseCount64("12 34"), 12);
  EXPECT_EQ(ParseCount64("5000000000"), 5000000000);
}

TEST(TextFormsTest, TextWithoutLeadingDigitsIsZero) {
  EXPECT_EQ(ParseCount64(""), 0);
  EXPECT_EQ(ParseCount64("abc"), 0);
  EXPECT_EQ(ParseCount64("+-5"), 0);
  EXPECT_EQ(ParseCount64("- 5"), 0);
  EXPECT_EQ(ParseCount64("x42"), 0);
  EXPECT_EQ(ParseNumber32("   "), 0);
}

// No saturation: digits beyond the range wrap as unsigned arithmetic does.
TEST(TextFormsTest, CountsWrapModulo2To64) {
  EXPECT_EQ(ParseCount64("9223372036854775807"), std::numeric_limits<Count64>::max());
  EXPECT_EQ(ParseCount64("9223372036854775808"), std::numeric_limits<Count64>::min());
  EXPECT_EQ(ParseCount64("-9223372036854775808"), std::numeric_limits<Count64>::min());
  EXPECT_EQ(ParseCount64("18446744073709551617"), 1);
  EXPECT_EQ(ParseCount64("99999999999999999999"), 7766279631452241919);
  EXPECT_EQ(ParseCount64("-18446744073709551615"), 1);
}

TEST(TextFormsTest, NumbersWrapModulo2To32) {
  EXPECT_EQ(ParseNumber32(" 500ms"), 500);
  EXPECT_EQ(ParseNumber32("-1"), -1);
  EXPECT_EQ(ParseNumber32("2147483648"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ParseNumber32("4294967297"), 1);
  EXPECT_EQ(ParseNumber32("5000000000"), 705032704);
}

TEST(TextFormsTest, FlagIsOnOnlyForTheNumberOne) {
  EXPECT_TRUE(ParseFlag("1"));
  EXPECT_TRUE(ParseFlag(" 1"));
  EXPECT_TRUE(ParseFlag("01"));
  EXPECT_TRUE(ParseFlag("1.0"));
  EXPECT_TRUE(ParseFlag("4294967297"));  // wraps to 1 like any number
  EXPECT_FALSE(ParseFlag("2"));
  EXPECT_FALSE(ParseFlag("-1"));
  EXPECT_FALSE(ParseFlag("0"));
  EXPECT_FALSE(ParseFlag("yes"));
  EXPECT_FALSE(ParseFlag(""));
}

TEST(TextFormsTest, WrittenAsPlainDecimal) {
  EXPECT_EQ(CountText(0), "0");
  EXPECT_EQ(CountText(5000000000), "5000000000");
  EXPECT_EQ(CountText(std::numeric_limits<Count64>::max()), "9223372036854775807");
  EXPECT_EQ(NumberText(-5), "-5");
  EXPECT_EQ(NumberText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(FlagText(true), "1");
  EXPECT_EQ(FlagText(false), "0");
}

}  // namespace
}  // namespace kestrum
