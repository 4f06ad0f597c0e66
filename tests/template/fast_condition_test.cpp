// Conditions are answered without building their text: these cases pin the
// results that only the whole concatenated text used to decide (values that
// together spell "true", empty alternatives, a value that is itself "||",
// padding, computed names).
#include <gtest/gtest.h>

#include "foundation/settings.h"
#include "output/output_file.h"
#include "template/generation_run.h"
#include "template/text_line.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class FastConditionTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    run_.symbols.set("t", "true");
    run_.symbols.set("f", "false");
    run_.symbols.set("e", "");
    run_.symbols.set("tr", "tr");
    run_.symbols.set("ue", "ue");
    run_.symbols.set("bar", "||");
    run_.symbols.set("kind", "obj");
    run_.symbols.set("obj.flag", "true");
    run_.symbols.set("long", std::string(40, 'e'));
  }
  void TearDown() override {
    reset_output_file();
    EngineTest::TearDown();
  }

  GenerationRun run_;
};

TEST_F(FastConditionTest, ResultsMatchTheConcatenatedText) {
  struct Row {
    const char* source;
    bool expected;
  } rows[] = {
      {"<tr><ue>", true},          // pieces that spell "true" only together
      {"<tr>x<ue>", false},        // a literal letter outside "true"
      {"tr<e>ue", true},
      {"<e>", true},               // an empty value counts as true
      {"<e><e>", true},
      {"<long>", true},            // any run of the letters t, r, u, e
      {"<e> || <f>", true},        // an empty first alternative holds
      {"<f> || <e>", false},       // ... but not after a failed one
      {"<f> ||<e>|| <t>", false},  // an empty alternative after a failed one
      {"<t> ||<e>|| <f>", true},
      {"<t> || || <f>", false},    // the literal "|| ||" is no separator
      {"<f> <bar> <t>", true},     // a value of exactly "||" separates
      {"<f><bar><f>", false},
      {"<bar>", true},
      {"||", true},
      {"<f> ||", false},
      {"<1>", true},               // no padding needed: nothing added
      {"<3>", false},              // blanks are no letters of "true"
      {"<<kind>.flag>", true},     // computed names
      {"<!<kind>.flag>", false},
      {"<<kind>.none|true>", true},
      {"<<kind>.none> || <t>", true},
      {"<f> || <<kind>.flag>", true},
  };
  for (const Row& row : rows) {
    TextLine line(row.source, true);
    EXPECT_EQ(is_true(line, run_), row.expected) << row.source;
    std::string text = "stale";
    evaluate(line, text, run_, true);
    EXPECT_EQ(text, row.expected ? "true" : "false") << row.source;
  }
}

TEST_F(FastConditionTest, ColumnStopsCountFromTheOutputColumn) {
  settings().set("CGenOutdir", dir_);
  output_file().open("col.txt");
  output_file().write("abcd", false, 0);  // the next character lands in column 5
  struct Row {
    const char* source;
    bool expected;
  } rows[] = {{"<5>", true}, {"<3>", true}, {"<6>", false}, {"<6> || <t>", true}};
  for (const Row& row : rows)
    EXPECT_EQ(is_true(TextLine(row.source, true), run_), row.expected) << row.source;
}

}  // namespace
}  // namespace quill
