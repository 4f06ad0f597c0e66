#include "template/reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace quill {
namespace {

TEST(ClassifyLine, KeywordsMatchOnTheirComparedPrefix) {
  struct Row {
    const char* line;
    StatementKind kind;
  } rows[] = {
      {".block", stmt_block},
      {".block <a>", stmt_block},
      {".default", stmt_default},
      {".file x.c", stmt_file},
      {".filename", stmt_file},
      {".end", stmt_end},
      {".endif", stmt_end},
      {".end_of_block", stmt_end},
      {".each_attr", stmt_each_attr},
      {".each_attribute a <a.is_key>", stmt_each_attr},
      {".each_ancestor", stmt_each_ancestor},
      {".each_assignment", stmt_each_attr_assignment},
      {".each_characteristic", stmt_each_ctic},
      {".each_event", stmt_each_event},
      {".each_foreign_type", stmt_each_substitution},
      {".each_substitution", stmt_each_substitution},
      {".each_flow", stmt_each_flow},
      {".each_function", stmt_each_function},
      {".each_instance", stmt_each_obj_instance},
      {".each_literal", stmt_each_literal_text_block},
      {".each_object", stmt_each_obj},
      {".each_parameter", stmt_each_param},
      {".each_parent", stmt_each_parent},
      {".each_pragma", stmt_each_pragma_value},
      {".each_pragma_value options", stmt_each_pragma_value},
      {".each_process", stmt_each_process},
      {".refd_obj", stmt_refd_obj},
      {".each_state", stmt_each_state},
      {".each_token", stmt_each_token},
      {".each_transition", stmt_each_transition},
      {".each_used_object", stmt_each_used_obj},
      {".each_using_attr", stmt_each_using_attr},
      {".each_var_item", stmt_each_var_item},
      {".module m", stmt_module},
      {".select", stmt_multiblock},
      {".separator", stmt_separator},
      {"$$IMPORT lib.tem", stmt_import},
      // Too short to reach the compared length, wrong case, or unknown.
      {".each_pa", stmt_unknown},
      {".each_p: x", stmt_simple},
      {".Block", stmt_unknown},
      {".foo", stmt_unknown},
      {".foo: x", stmt_simple},
      {"$$IMPORTED", stmt_import},
      {"$$import x", stmt_unknown},
      {"$$SETVAR: x", stmt_simple},
      {"x # note", stmt_unknown},
      {": a::b", stmt_simple},
      {":", stmt_simple},
      {"", stmt_unknown},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(statement_kind_name(classify_line(row.line)), statement_kind_name(row.kind))
        << "line: " << row.line;
  }
}

TEST(StatementKindNames, FollowTheEnumerators) {
  EXPECT_EQ(statement_kind_name(stmt_unknown), "stmt_unknown");
  EXPECT_EQ(statement_kind_name(stmt_each_attr_assignment), "stmt_each_attr_assignment");
  EXPECT_EQ(statement_kind_name(stmt_eof), "stmt_eof");
  EXPECT_EQ(statement_kind_name(99), "stmt_unknown");
}

class ReaderTest : public testing::EngineTest {};

TEST_F(ReaderTest, SkipsCommentsAndBlankLinesButCountsThem) {
  std::string path = write("t.tem",
                           "# heading\r\n"
                           "\r\n"
                           "   # indented comment\n"
                           " \t\v\f\b\n"
                           "  .each_object o  \r\n"
                           "\t: text  \n"
                           ".end");
  TemplateReader reader(path);
  ASSERT_TRUE(reader.opened());
  EXPECT_EQ(reader.first_kind(), stmt_each_obj);
  EXPECT_EQ(reader.line_number(), 5);
  EXPECT_EQ(reader.current_text(), ".each_object o  ");
  EXPECT_EQ(reader.next_kind(), stmt_simple);
  EXPECT_EQ(reader.current_text(), ": text  ");
  EXPECT_EQ(reader.line_number(), 6);
  EXPECT_EQ(reader.next_kind(), stmt_end);
  EXPECT_EQ(reader.line_number(), 7);
  EXPECT_EQ(reader.next_kind(), stmt_eof);
  EXPECT_EQ(reader.current_text(), "");
  EXPECT_EQ(reader.next_kind(), stmt_eof);
  EXPECT_EQ(output(), "");
}

TEST_F(ReaderTest, LongLinesAreNotSplit) {
  std::string long_text(70000, 'x');
  TemplateReader reader(write("t.tem", ":" + long_text + "\n:y\n"));
  EXPECT_EQ(reader.first_kind(), stmt_simple);
  EXPECT_EQ(reader.current_text().size(), 70001u);
  EXPECT_EQ(reader.next_kind(), stmt_simple);
  EXPECT_EQ(reader.line_number(), 2);
}

TEST_F(ReaderTest, ReportsMissingAndEmptyFiles) {
  std::string missing = dir_ + "/none.tem";
  TemplateReader absent(missing);
  EXPECT_FALSE(absent.opened());
  EXPECT_EQ(absent.first_kind(), stmt_eof);
  EXPECT_EQ(absent.next_kind(), stmt_eof);
  ASSERT_EQ(sink_->entries.size(), 1u);
  EXPECT_EQ(sink_->entries[0].text,
            "Error opening file '" + missing + "'.  Check that the file exists.");

  clear_output();
  std::string empty = write("empty.tem", "# only a comment\n\n");
  TemplateReader reader(empty);
  EXPECT_TRUE(reader.opened());
  EXPECT_EQ(reader.first_kind(), stmt_eof);
  EXPECT_EQ(reader.line_number(), 2);
  ASSERT_EQ(sink_->entries.size(), 1u);
  EXPECT_EQ(sink_->entries[0].severity, static_cast<int>(Severity::error));
  EXPECT_EQ(sink_->entries[0].text, "The template file '" + empty + "' is empty.");
}

}  // namespace
}  // namespace quill
