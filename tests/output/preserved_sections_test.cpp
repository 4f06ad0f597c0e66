// Old versions are scanned for their sections, and new versions for their
// section uids, a piece at a time: a line or a marker may be split anywhere
// between two pieces and must read as in the whole text.
#include "output/preserved_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/support/test_support.h"

namespace quill {
namespace {

class PreservedSectionsTest : public testing::EngineTest {};

// Every uid with its text, then every block, as one text for comparisons.
std::string dump(const PreservedSections& sections, bool ok) {
  std::string out = ok ? "ok\n" : "faulty\n";
  for (size_t i = 0; i < sections.uids.count(); ++i) {
    const std::string& uid = sections.uids.item(i);
    out += uid + "=[" + sections.texts.text(uid) + "]\n";
  }
  for (const SectionBlock& block : sections.blocks) out += block.uid + ":[" + block.lines + "]\n";
  return out;
}

// Scans text given as the pieces [0, split) and [split, end) in turn, or in
// pieces of one byte when split is npos.
std::string scan_split(std::string_view text, size_t split) {
  PreservedSections sections;
  SectionScanner scanner("old.h", sections, "\n");
  if (split == std::string_view::npos) {
    for (char c : text) scanner.add_text(std::string_view(&c, 1));
  } else {
    scanner.add_text(text.substr(0, split));
    scanner.add_text(text.substr(split));
  }
  const bool ok = scanner.finish();
  return dump(sections, ok);
}

TEST_F(PreservedSectionsTest, PiecesReadAsTheWholeText) {
  // CR LF and LF line ends, trailing blanks, a begin marker inside a section
  // (text, not a new section), and a last line without a line end.
  const std::string text =
      "head\r\n// BEGIN-UID.a \r\n  one  \r\n// BEGIN-UID.x\n\r\n// END-UID. a\r\n"
      "mid\n/* BEGIN-UID.b */\n/* END-UID.b */";
  const std::string expected =
      "ok\n"
      "a=[  one\n// BEGIN-UID.x\n]\n"
      "b*/=[]\n"
      "a:[// BEGIN-UID.a \n  one  \n// BEGIN-UID.x\n\n// END-UID. a\n]\n"
      "b*/:[/* BEGIN-UID.b */\n/* END-UID.b */\n]\n";
  PreservedSections whole;
  EXPECT_EQ(dump(whole, scan_sections(text, "old.h", whole, "\n")), expected);
  EXPECT_EQ(scan_split(text, std::string_view::npos), expected);
  for (size_t split = 0; split <= text.size(); ++split)
    EXPECT_EQ(scan_split(text, split), expected) << "split at " << split;
}

TEST_F(PreservedSectionsTest, FaultySectionInPiecesIsReportedOnceAndEndsTheScan) {
  struct Row {
    std::string text;
    std::string kept;
    std::string message;
  } rows[] = {
      {"BEGIN-UID.a\nEND-UID.a\nBEGIN-UID.b\nx\nEND-UID.c\nBEGIN-UID.d\nEND-UID.d\n", "a",
       "Inconsistent end-tag on the uid tagged section 'b' within file 'old.h'."},
      {"BEGIN-UID.a\nEND-UID.a\nBEGIN-UID.a\nEND-UID.a\nBEGIN-UID.d\nEND-UID.d\n", "a",
       "The uid 'a' is not unique in the file 'old.h'."},
      {"BEGIN-UID.a\nEND-UID.a\nBEGIN-UID.b\nx", "a",
       "The end of the uid tagged section 'b' within file 'old.h' was not found."},
  };
  for (const Row& row : rows) {
    for (size_t piece : {size_t{1}, size_t{4}, row.text.size()}) {
      clear_output();
      PreservedSections sections;
      SectionScanner scanner("old.h", sections);
      for (size_t at = 0; at < row.text.size(); at += piece)
        scanner.add_text(std::string_view(row.text).substr(at, piece));
      EXPECT_FALSE(scanner.finish()) << row.text;
      ASSERT_EQ(sink_->entries.size(), 1u) << row.text << output();
      EXPECT_EQ(sink_->entries[0].text, row.message);
      ASSERT_EQ(sections.uids.count(), 1u) << row.text;
      EXPECT_EQ(sections.uids.item(0), row.kept);
    }
  }
}

TEST_F(PreservedSectionsTest, SectionUidsInPiecesAreThoseOfTheWholeText) {
  const std::string text = "// BEGIN-UID.a\r\nx\n// BEGIN-UID. b \n// END-UID.b\nBEGIN-UID.last";
  const std::set<std::string> expected{"a", "b", "last"};
  EXPECT_EQ(section_uids(text), expected);
  for (size_t split = 0; split <= text.size(); ++split) {
    SectionUids uids;
    uids.add_text(std::string_view(text).substr(0, split));
    uids.add_text(std::string_view(text).substr(split));
    EXPECT_EQ(uids.finish(), expected) << "split at " << split;
  }
}

}  // namespace
}  // namespace quill
