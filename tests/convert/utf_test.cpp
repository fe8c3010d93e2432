#include "convert/utf.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
  std::string bytes;
  std::u16string text;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << testing::PrintToString(c.bytes); }

class Utf8DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8DecodeTest, Decodes) { EXPECT_EQ(Utf8ToUtf16(GetParam().bytes), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8DecodeTest,
    testing::Values(DecodeCase{"abc", u"abc"}, DecodeCase{"\xC2\xB0" "C", u"\u00B0C"},
                    DecodeCase{"\xE2\x82\xAC", u"\u20AC"},
                    DecodeCase{"\xF0\x9F\x98\x80", u"\U0001F600"},  // a surrogate pair
                    DecodeCase{"\xEF\xBB\xBF\"", u"\uFEFF\""},
                    DecodeCase{"\xB0", u"\uFFFD"}, DecodeCase{"a\xC3", u"a\uFFFD"},
                    DecodeCase{"\xC0\xAF", u"\uFFFD\uFFFD"},          // overlong
                    DecodeCase{"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
                    DecodeCase{"\xE2\x82x", u"\uFFFDx"},  // one U+FFFD for the cut piece
                    DecodeCase{"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    DecodeCase{"\xF8\x88", u"\uFFFD\uFFFD"}));

TEST(Utf8, EncodingRoundTripsAndReplacesLoneSurrogates) {
  const std::u16string text = u"a\u00B0\u20AC\U0001F600z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\u00B0"), "\xC2\xB0");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
}

}  // namespace
