#include "template/text_line.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/settings.h"
#include "output/output_file.h"
#include "template/builder.h"
#include "template/generation_run.h"
#include "template/statements.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

TEST(TextLineParse, Dumps) {
  struct Row {
    const char* text;
    bool strip;
    const char* dump;
  } rows[] = {
      {"", false, ""},
      {"abc", false, R"("abc")"},
      {"  x ", false, R"("  x ")"},
      {"  x y ", true, R"("xy")"},
      {"a < b", false, R"("a < b")"},
      {"#include <stdio.h>", false, R"("#include " ref(stdio.h))"},
      {"<a<b>c>", false, R"(cref("a" ref(b) "c"))"},
      {"<<kind>.name>", false, R"(cref(ref(kind) ".name"))"},
      {"x<20>y", false, R"("x" #20 "y")"},
      {"<0>x", false, R"(#0 "x")"},
      {"<>", false, "#0"},
      {"<99999999999999999999999>", false, "#32767"},
      {R"(\<tag\>)", false, R"("<tag>")"},
      {R"(a\\b)", false, R"("a\b")"},
      {R"(abc\)", false, R"("abc\")"},
      {"<!@name=v|d=x>", false, "ref(name !@ =v |d=x)"},
      {"<@!name>", false, "ref(!name @)"},
      {"<name=>", false, "ref(name =)"},
      {"<name|>", false, "ref(name)"},
      {"<arr{k}>", false, "key(arr{k})"},
      {"<a> || <b>", true, R"(ref(a) "||" ref(b))"},
      // Not references: no closing bracket, a blank, a bracket that is not valid.
      {"x<a|", false, R"("x<a|")"},
      {"<a b>", false, R"("<a b>")"},
      {"<a<b>", false, R"("<a" ref(b))"},
      {"if (a<b && c>d)", false, R"x("if (a<b && c>d)")x"},
      {"<a\\>b>", false, R"("<a>b>")"},
      // Valid, but the bracket count runs off the end: a column stop of 0.
      {"x<a=<>", false, R"("x" #0)"},
      {"<a>x<b>", false, R"(ref(a) "x" ref(b))"},
  };
  for (const Row& row : rows) {
    TextLine line(row.text, row.strip);
    EXPECT_EQ(line.dump(), row.dump) << "text: " << row.text;
    EXPECT_EQ(line.strip(), row.strip);
  }
}

TEST(TextLineParse, ReparsingDiscardsTheOldElements) {
  TextLine line("<a> b", false);
  parse_text(line, "", true);
  EXPECT_TRUE(line.empty());
  EXPECT_TRUE(line.strip());
}

TEST(TextLineParse, HostileNestingStaysBounded) {
  std::string deep = std::string(5000, '<') + "a" + std::string(5000, '>');
  TextLine nested(deep, false);
  std::string dump = nested.dump();
  size_t crefs = 0;
  for (size_t at = dump.find("cref("); at != std::string::npos; at = dump.find("cref(", at + 1)) {
    ++crefs;
  }
  EXPECT_EQ(crefs, 16u);

  TextLine open(std::string(200000, '<'), false);  // never closed: all literal
  EXPECT_EQ(open.elements().size(), 1u);
  TextLine alternating(std::string(100000, '<') + std::string(100000, '>'), false);
  EXPECT_FALSE(alternating.empty());
}

class TextLineEvaluation : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    run_.symbols.set("t", "true");
    run_.symbols.set("f", "false");
    run_.symbols.set("s", "abc");
    run_.symbols.set("e", "");
    run_.symbols.set("tree", "tree");
    run_.symbols.set("kind", "obj");
    run_.symbols.set("obj.name", "Account");
    run_.keyed.get("arr").value("k") = "v";
  }
  void TearDown() override {
    reset_output_file();
    EngineTest::TearDown();
  }

  std::string text(const char* source) {
    std::string out = "stale";
    evaluate(TextLine(source, false), out, run_, false);
    return out;
  }
  std::string condition(const char* source) {
    TextLine line(source, true);
    std::string out;
    evaluate(line, out, run_, true);
    EXPECT_EQ(is_true(line, run_), out == "true") << source;
    return out;
  }

  GenerationRun run_;
};

TEST_F(TextLineEvaluation, Text) {
  struct Row {
    const char* source;
    const char* expected;
  } rows[] = {
      {"", ""},
      {"<s>", "abc"},
      {"<zz>", "<zz>"},
      {"<!@zz=1|>", "false"},
      {"<zz|none>", "none"},
      {"<!zz|d>", "d"},
      {"<@s>", "true"},
      {"<@zz>", "false"},
      {"<!@zz>", "false"},
      {"<s=abc>", "true"},
      {"<s=abd>", "false"},
      {"<e=>", "true"},
      {"<e|default>", ""},
      {"<zz=abc>", "<zz>"},
      {"<NEWLINE>", "\r\n"},
      {"a<NEWLINE|x>", "ax"},
      {"#include <stdio.h>", "#include <stdio.h>"},
      {"<arr{k}>", "v"},
      {"<arr{k}tail>", "v"},
      {"<@arr{k}>", "true"},
      {"<arr{q}>", "<arr{q}>"},
      {"<arr{k>", "<arr{k>"},
      {"<none{k}|d>", "d"},
      {"<<kind>.name>", "Account"},
      {"<<kind>.missing>", "<obj.missing>"},
      {"x<20>y", "x                  y"},
      {"<0>x", "x"},
      {"abc<2>d", "abcd"},
      {"<NEWLINE>ab<5>c", "\r\nab  c"},
      {R"(\<tag\>)", "<tag>"},
  };
  for (const Row& row : rows) EXPECT_EQ(text(row.source), row.expected) << row.source;
}

TEST_F(TextLineEvaluation, ColumnStopsContinueTheOutputLine) {
  settings().set("CGenOutdir", dir_);
  output_file().open("col.txt");
  output_file().write("abc", false, 0);
  EXPECT_EQ(text("<10>x"), "      x");
  EXPECT_EQ(text("ab<10>x"), "ab    x");
  EXPECT_EQ(text("<NEWLINE><3>x"), "\r\n  x");
}

TEST_F(TextLineEvaluation, Conditions) {
  struct Row {
    const char* source;
    const char* expected;
  } rows[] = {
      {"", "true"},
      {"<t>", "true"},
      {"<f>", "false"},
      {"<zz>", "false"},
      {"<!zz>", "true"},
      {"<!t>", "false"},
      {"<!s>", "true"},
      {"<t><t>", "true"},
      {"<t> <f>", "false"},
      {"<f> || <t>", "true"},
      {"<t> || <f>", "true"},
      {"<f> || <f>", "false"},
      {"<f> ||", "false"},
      {"|| <f>", "true"},
      {"<tree>", "true"},
      {"<s>", "false"},
      {"abc", "false"},
      {"true", "true"},
      {".foo", "false"},
      {"<@s>", "true"},
      {"<s=abc>", "true"},
      {"<!s=abc>", "false"},
      {"<zz|true>", "true"},
      {"<!zz|true>", "false"},
      {"<NEWLINE>", "false"},
      {"<<kind>.name=Account>", "true"},
      {"<!<kind>.name>", "true"},
  };
  for (const Row& row : rows) EXPECT_EQ(condition(row.source), row.expected) << row.source;
}

class TextStatementTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    reset_output_file();
    settings().set("CGenOutdir", dir_);
    saved_handler_ = directive_handler();
    directive_handler() = nullptr;
  }
  void TearDown() override {
    directive_handler() = saved_handler_;
    reset_output_file();
    EngineTest::TearDown();
  }

  // Loads and runs the template text; returns what out.txt received.
  std::string run(const std::string& source) {
    Template loaded = load_template(write("t.tem", source));
    EXPECT_TRUE(loaded.root) << output();
    if (!loaded.root) return {};
    run_.symbols.set("t", "true");
    run_.root = loaded.root.get();
    loaded.root->execute(run_);
    output_file().close();
    return read(dir_ + "/out.txt");
  }

  GenerationRun run_;
  DirectiveHandler saved_handler_ = nullptr;
};

TEST_F(TextStatementTest, WritesLinesWithConditionsAndLineEnds) {
  EXPECT_EQ(run(".file out.txt\n"
                ": a::b\n"
                ":\n"
                ":abc\\\n"
                ":def\n"
                "<t>:yes\n"
                "<f> || <zz>:no\n"
                ":  x  \n"
                ":$$SETVAR q\n"
                ".block <t>\n"
                ":in block\n"
                ".end\n"
                ".block <f>\n"
                ":skipped\n"
                ".end\n"),
            " a::b\r\n\r\nabcdef\r\nyes\r\n  x  \r\n$$SETVAR q\r\nin block\r\n");
  EXPECT_EQ(run_.symbols.find_global(InternedName("dsm.outfile"))->value(), "out.txt");
  EXPECT_EQ(run_.symbols.find_global(InternedName("dsm.outdir"))->value(), dir_);
  EXPECT_EQ(output(), "");
}

TEST_F(TextStatementTest, HandsDirectivesToTheInstalledHandler) {
  static std::string seen;
  seen.clear();
  directive_handler() = [](GenerationRun&, std::string& text) {
    seen += text + "|";
    return text[0] == '*';
  };
  EXPECT_EQ(run(".file out.txt\n:$$SETVAR <t>\n:*note\n:plain\n"), "*note\r\nplain\r\n");
  EXPECT_EQ(seen, "$$SETVAR true|*note|");
}

TEST_F(TextStatementTest, BackslashDropsTheLineEndForGood) {
  Template loaded = load_template(write("t.tem", ".file out.txt\n.each_object\n.end\n:a\\\n"));
  ASSERT_TRUE(loaded.root);
  auto& line = static_cast<TextStatement&>(*loaded.root->children()[2]);
  EXPECT_TRUE(line.line_end());
  loaded.root->execute(run_);
  EXPECT_FALSE(line.line_end());
}

TEST_F(TextStatementTest, RejectsAnInvalidFileName) {
  EXPECT_EQ(run(".file out.txt\n:one\n.file <zz>\n:two\n"), "one\r\ntwo\r\n");
  EXPECT_EQ(sink_->entries.at(0).text,
            ".file statement translated '<zz>' to '<zz>' (which\n"
            "is not a valid file name).  File not opened.\n"
            "Please ensure you are treating filenames\n"
            "separately from directory names.");
}

}  // namespace
}  // namespace quill
