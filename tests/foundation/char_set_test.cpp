#include "foundation/char_set.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(CharSetTest, ZeroIsNeverAMember) {
  CharSet set = CharSet::full();
  EXPECT_FALSE(set.contains('\0'));
  set.complement();
  EXPECT_FALSE(set.contains('\0'));
  EXPECT_FALSE(set.contains('a'));
  set.add(static_cast<unsigned char>(0));
  EXPECT_FALSE(set.contains('\0'));
}

TEST(CharSetTest, FixedSets) {
  struct Row {
    const CharSet& set;
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {sets::white(), " \n\t\v\b\r\f", "a\xa0\xc3"},
      {sets::non_white(), "a~\xa0\xff", " \t"},
      {sets::name_chars(), "aZ09._", "-/ $"},
      {sets::separators(), "\\/", ":."},
      {sets::truth_letters(), "true", "fals"},
      {sets::reference_name_chars(), "aZ9._{}!@", "#$ <>"},
  };
  for (const Row& r : rows) {
    for (const char* c = r.in; *c; ++c) EXPECT_TRUE(r.set.contains(*c)) << "'" << *c << "' of " << r.in;
    for (const char* c = r.out; *c; ++c) EXPECT_FALSE(r.set.contains(*c)) << "'" << *c << "' of " << r.out;
  }
}

TEST(CharSetTest, ScansForwardAndBackward) {
  const CharSet& white = sets::white();
  EXPECT_EQ(span(white, "  ab "), 2u);
  EXPECT_EQ(span(white, "   "), 3u);
  EXPECT_EQ(find_member(white, "ab c"), 2u);
  EXPECT_EQ(find_member(white, "abc"), 3u);
  EXPECT_EQ(last_member(white, "a b c"), 3);
  EXPECT_EQ(last_member(white, "a b c", 2), 1);
  EXPECT_EQ(last_member(white, "abc"), -1);
  EXPECT_EQ(last_non_member(white, "ab  "), 1);
  EXPECT_EQ(last_non_member(white, ""), -1);
}

TEST(CharSetTest, InPlaceStringOperations) {
  using Op = void (*)(std::string&, const CharSet&);
  struct Row {
    Op op;
    const char* name;
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {trim_left, "trim_left", "  a b  ", "a b  "},
      {trim_right, "trim_right", "  a b  ", "  a b"},
      {trim, "trim", " \t\r\n ", ""},
      {strip, "strip", " a b\tc ", "abc"},
      {squeeze, "squeeze", "a   b \t c  ", "a b c "},
      {squeeze, "squeeze", "", ""},
  };
  for (const Row& r : rows) {
    std::string text = r.in;
    r.op(text, sets::white());
    EXPECT_EQ(text, r.out) << r.name << "('" << r.in << "')";
  }
}

TEST(CharSetTest, SmallHelpers) {
  EXPECT_TRUE(consists_of("", sets::none()));
  EXPECT_TRUE(consists_of("123", sets::digits()));
  EXPECT_FALSE(consists_of("12a", sets::digits()));

  std::string text = "ab";
  EXPECT_EQ(char_at(text, 4), ' ');
  EXPECT_EQ(text, "ab   ");

  struct Range {
    long start, length;
    const char* out;
  };
  for (const Range& r : {Range{1, 2, "bc"}, Range{-2, 5, "de"}, Range{-9, 1, "a"}, Range{7, 1, ""}}) {
    std::string s = "abcde";
    keep_range(s, r.start, r.length);
    EXPECT_EQ(s, r.out) << r.start << "," << r.length;
  }

  std::string mixed = "aZ\xc3\xa9-";
  make_upper(mixed);
  EXPECT_EQ(mixed, "AZ\xc3\xa9-");
  EXPECT_EQ(lower_copy("AbC\xc3\x89"), "abc\xc3\x89");
  EXPECT_EQ(int_text(-42), "-42");
  EXPECT_STREQ(bool_text(false), "false");
}

}  // namespace
}  // namespace quill
