#include "convert/text_rules.h"

#include <gtest/gtest.h>

#include "convert/utf.h"

#include <limits>

namespace {

TEST(TextRules, SearchesNeverOverlapAndTheLeftmostWins) {
  EXPECT_EQ(CountOf(u"aaa", u"aa"), 1);
  EXPECT_EQ(CountOf(u"aaaa", u"aa"), 2);
  EXPECT_EQ(CountOf(u"\",\",\"", u"\",\""), 1);
  EXPECT_EQ(CountOf(u"\"a\",\"\",\"b\"", u"\",\""), 2);
  EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
  EXPECT_EQ(ReplaceAll(u"aa", u"a", u"aa"), u"aaaa");  // the replacement is never searched
  EXPECT_EQ(FindIn(u"xaaa", u"aa"), 2);
  EXPECT_EQ(FindIn(u"abc", u""), 0);
  EXPECT_EQ(FindIn(u"", u"a"), 0);
  EXPECT_EQ(CountOf(u"abc", u""), 0);
  EXPECT_EQ(FindIn(u"12:00", u":"), 3);
}

TEST(TextRules, ReplaceAndRemove) {
  EXPECT_EQ(ReplaceFirst(u"AFR;AFR", u"AFR", u"Lambda"), u"Lambda;AFR");
  EXPECT_EQ(ReplaceAll(u"Afr", u"AFR", u"Lambda"), u"Afr");
  EXPECT_EQ(RemoveAll(u"a--b-", u"-"), u"ab");
  EXPECT_EQ(ReplaceAll(u"Air Temp", u" ", u"_"), u"Air_Temp");
  EXPECT_EQ(ReplaceFirst(u"none", u"x", u"y"), u"none");
}

struct FieldCase {
  std::u16string text;
  int64_t index;
  std::u16string delimiter;
  std::u16string field;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << Utf16ToUtf8(c.text) << " #" << c.index; }

class FieldAtTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldAtTest, CutsAtEveryOccurrence) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(FieldAt(c.text, c.index, c.delimiter), c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldAtTest,
    testing::Values(FieldCase{u"a,b,", 1, u",", u"a"}, FieldCase{u"a,b,", 2, u",", u"b"},
                    FieldCase{u"a,b,", 3, u",", u""}, FieldCase{u"a,b,", 4, u",", u""},
                    FieldCase{u"a,b,", 0, u",", u""}, FieldCase{u"a,b,", -5, u",", u""},
                    FieldCase{u"", 1, u",", u""}, FieldCase{u",x", 1, u",", u""},
                    FieldCase{u"a,,b", 3, u",", u"b"},
                    FieldCase{u"\"a\",\"\",\"b\"", 2, u"\",\"", u""},
                    FieldCase{u"\"a\",\"\",\"b\"", 3, u"\",\"", u"b\""},
                    FieldCase{u"\",\",\"", 2, u"\",\"", u",\""}));

TEST(TextRules, FieldCountAgreesWithCountOf) {
  for (const std::u16string text : {u"", u",", u",,,", u"a,b", u"\",\",\",\""}) {
    const int64_t fields = CountOf(text, u",") + 1;
    EXPECT_EQ(FieldAt(text + u"x", fields, u","), FieldAt(text, fields, u",") + u"x");
  }
}

TEST(TextRules, TrimAndClamp) {
  EXPECT_EQ(TrimChar(u"\"\"", u'"'), u"");
  EXPECT_EQ(TrimChar(u"\"x\"y\"", u'"'), u"x\"y");
  EXPECT_EQ(TrimChar(u"\"\"Time\"", u'"'), u"Time");
  EXPECT_EQ(TrimChar(u"", u'"'), u"");
  EXPECT_EQ(LeftOf(u"abc", -1), u"");
  EXPECT_EQ(LeftOf(u"abc", 2), u"ab");
  EXPECT_EQ(LeftOf(u"abc", 9), u"abc");
  EXPECT_EQ(RightOf(u"abc", 2), u"bc");
  EXPECT_EQ(RightOf(u"abc", 9), u"abc");
  EXPECT_EQ(RightOf(u"abc", -3), u"");
  EXPECT_TRUE(TextEquals(u"", u""));
  EXPECT_FALSE(TextEquals(u"abc", u"ABC"));
  EXPECT_FALSE(TextEquals(u"ab", u"abc"));
}

TEST(TextRules, PaddingAlwaysGivesTheWidth) {
  EXPECT_EQ(PadLeft(u"100", 2, u'0'), u"10");
  EXPECT_EQ(PadLeft(u"", 2, u'0'), u"00");
  EXPECT_EQ(PadLeft(u"7", 2, u'0'), u"07");
  EXPECT_EQ(PadRight(u"7", 2, u'0'), u"70");
  EXPECT_EQ(PadRight(u"1222", 6, u'0'), u"122200");
  EXPECT_EQ(PadRight(u"abc", -1, u'0'), u"");
  EXPECT_EQ(PadRight(u"1", 97, u'0').size(), 97u);
}

TEST(TextRules, IntTextCoversTheWholeRange) {
  EXPECT_EQ(IntText(0), u"0");
  EXPECT_EQ(IntText(-700), u"-700");
  EXPECT_EQ(IntText(14418139), u"14418139");
  EXPECT_EQ(IntText(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
  EXPECT_EQ(IntText(std::numeric_limits<int64_t>::max()), u"9223372036854775807");
}

struct IntCase {
  std::u16string text;
  int64_t value;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << Utf16ToUtf8(c.text); }

class IntValueTest : public testing::TestWithParam<IntCase> {};

TEST_P(IntValueTest, ReadsTheNumberAtTheStart) {
  EXPECT_EQ(IntValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntValueTest,
    testing::Values(IntCase{u"12.5", 12}, IntCase{u" -7x", -7}, IntCase{u"+42", 42},
                    IntCase{u"$1F", 31}, IntCase{u"-$ff", -255}, IntCase{u"%101", 5},
                    IntCase{u"%102", 2}, IntCase{u"1e3", 1}, IntCase{u":56", 0}, IntCase{u"", 0},
                    IntCase{u"  +42abc", 42}, IntCase{u"-", 0}, IntCase{u"\t9", 9},
                    IntCase{u"$", 0}, IntCase{u"+-1", 0}, IntCase{u"$g", 0},
                    IntCase{u"250", 250},
                    // 10^20 - 1 modulo 2^64
                    IntCase{u"99999999999999999999", static_cast<int64_t>(7766279631452241919)},
                    IntCase{u"-9223372036854775808", std::numeric_limits<int64_t>::min()}));

TEST(TextRules, FixedTextIsExact) {
  EXPECT_EQ(FixedText(1.5, 3), u"1.500");
  EXPECT_EQ(FixedText(-0.25, 3), u"-0.250");
  EXPECT_EQ(FixedText(3723.042, 3), u"3723.042");
  EXPECT_EQ(FixedText(0.001, 3), u"0.001");
  EXPECT_EQ(FixedText(86399.999, 3), u"86399.999");
  EXPECT_EQ(FixedText(-0.0, 3), u"0.000");
  EXPECT_EQ(FixedText(-86399.8, 3), u"-86399.800");
  EXPECT_EQ(FixedText(2.5, 0), u"2");  // halfway: either neighbour is allowed; to_chars rounds to even
  EXPECT_EQ(FixedText(1e20, 1), u"100000000000000000000.0");
  EXPECT_EQ(FixedText(0.1, 600).size(), 514u);  // decimals above 512 count as 512
  EXPECT_EQ(FixedText(7.0, -2), u"7");
}

struct TimeCase {
  std::u16string text;
  int32_t seconds;
};

void PrintTo(const TimeCase& c, std::ostream* os) { *os << Utf16ToUtf8(c.text); }

class TimeOfDayTest : public testing::TestWithParam<TimeCase> {};

TEST_P(TimeOfDayTest, ReadsHoursMinutesSeconds) {
  EXPECT_EQ(TimeOfDaySeconds(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimeOfDayTest,
    testing::Values(TimeCase{u"12:34:56", 45296}, TimeCase{u"00:00:00", 0},
                    TimeCase{u"23:59:59", 86399}, TimeCase{u"7:05:09", 25509},
                    TimeCase{u"1:2:3", 3723}, TimeCase{u"24:00:00", -1},
                    TimeCase{u"12:60:00", -1}, TimeCase{u"12:34:60", -1},
                    TimeCase{u"12:34:56.", -1}, TimeCase{u" 2:34:56", -1},
                    TimeCase{u"12-34-56", -1}, TimeCase{u"12:34", -1}, TimeCase{u"12:34:", -1},
                    TimeCase{u"", -1}, TimeCase{u"123:00:00", -1}, TimeCase{u":00:00", -1}));

}  // namespace
