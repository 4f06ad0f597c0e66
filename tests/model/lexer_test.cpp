#include "model/lexer.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>

#include "foundation/settings.h"
#include "model/reserved_words.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

// Every token of the text as "kind:text" (text unquoted and unescaped), space separated.
std::string tokens(const std::string& text, LexerOptions options = {}) {
  ModelLexer lexer(text, options);
  std::string out;
  while (lexer.next() != TokenKind::eof) {
    if (!out.empty()) out += ' ';
    out += std::string(token_kind_name(lexer.kind())) + ":" + lexer.text(true, true);
  }
  return out;
}

TEST(ModelLexerTest, TokenKindsAndTexts) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"OBJECT Account", "object:OBJECT identifier:Account"},
      {"Class cLaSs", "object:Class object:cLaSs"},
      {"parent state process flow from to events action end foreign literal import pragma",
       "parent:parent state:state process:process flow:flow from:from to:to events:events "
       "action:action end:end foreign:foreign literal:literal import:import pragma:pragma"},
      {"list_of List_To of _of _to list_of_x",
       "mapping:list_of mapping:List_To identifier:of identifier:_of identifier:_to "
       "identifier:list_of_x"},
      {"a.b-c_d", "identifier:a.b-c_d"},
      {"=> = > =", "right_arrow:=> equal:= unknown:> equal:="},
      {"( ) , : ; [ ]",
       "left_paren:( right_paren:) comma:, colon:: semi:; left_bracket:[ right_bracket:]"},
      {"{ } x", "unknown:{ unknown:} identifier:x"},
      {"\"a\\\"b\" x", "str_literal:a\"b identifier:x"},
      {"\"a\\\\\" x", "str_literal:a\\ identifier:x"},
      {"\"\" \"x y\"", "str_literal: str_literal:x y"},
      {"\"open x y", "unknown:\"open x y"},
      {"-x y -- gone\nz", "unknown:-x identifier:y identifier:z"},
      {"12ab x 3", "unknown:12ab identifier:x unknown:3"},
      {"caf\xc3\xa9 \xc3\xa9t\xc3\xa9", "identifier:caf\xc3\xa9 identifier:\xc3\xa9t\xc3\xa9"},
      {"a\x01\x02 b", "identifier:a unknown:\x01\x02 identifier:b"},
      {"x\r\n", "identifier:x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tokens(c.input), c.expected) << "input: " << c.input;
  }
}

TEST(ModelLexerTest, BracesMakeOneMultilineToken) {
  EXPECT_EQ(tokens("{{ a\nb }} x"),
            "double_l_brace:{{ multiline_text: a\nb  double_r_brace:}} identifier:x");
  EXPECT_EQ(tokens("{{}}"), "double_l_brace:{{ multiline_text: double_r_brace:}}");
  // Without a closing pair the rest of the text is the end.
  EXPECT_EQ(tokens("{{ never closed ; x"), "double_l_brace:{{");
}

TEST(ModelLexerTest, CommentsKeptWhenAsked) {
  LexerOptions keep{false, true, true};
  EXPECT_EQ(tokens("-- head\n  -- indented\nx ; -- tail\r\ny", keep),
            "line_comment:-- head line_comment:-- indented identifier:x semi:; "
            "margin_comment:-- tail identifier:y");
}

TEST(ModelLexerTest, ReservedWordsOnlyWhenForbidden) {
  struct Case {
    LexerOptions options;
    const char* expected;
  } cases[] = {
      {{true, true, true}, "object:class identifier:virtual identifier:Entry mapping:record_of"},
      {{true, true, false},
       "object:class language_keyword:virtual identifier:Entry mapping:record_of"},
      {{true, false, true},
       "object:class identifier:virtual language_keyword:Entry mapping:record_of"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tokens("class virtual Entry record_of", c.options), c.expected)
        << "ada allowed " << c.options.allow_ada_words << ", c++ allowed "
        << c.options.allow_cxx_words;
  }
}

// Every reserved word, in mixed case, is refused exactly when its language
// is forbidden; a keyword stays a keyword whatever the switches say.
TEST(ModelLexerTest, EveryReservedWordInAnyCase) {
  struct Case {
    std::span<const std::string_view> words;
    LexerOptions options;
  } cases[] = {
      {cxx_reserved_words(), {true, true, false}},
      {ada_reserved_words(), {true, false, true}},
  };
  for (const Case& c : cases) {
    for (std::string_view word : c.words) {
      std::string mixed(word);
      mixed[0] = static_cast<char>(mixed[0] - 'a' + 'A');
      const std::string kind = tokens(mixed, c.options);
      const std::string allowed = tokens(mixed);
      if (allowed.starts_with("identifier:")) {
        EXPECT_EQ(kind, "language_keyword:" + mixed) << word;
      } else {
        EXPECT_EQ(kind, allowed) << word;
      }
      // One letter more is an ordinary name.
      EXPECT_EQ(tokens(mixed + "x", c.options), "identifier:" + mixed + "x") << word;
    }
  }
  EXPECT_EQ(tokens("PROCESS Literal fOREIGN Import", {true, false, false}),
            "process:PROCESS literal:Literal foreign:fOREIGN import:Import");
  EXPECT_EQ(tokens("terminates procedure_x", {true, false, false}),
            "identifier:terminates identifier:procedure_x");
}

TEST(ModelLexerTest, PositionsAndLines) {
  ModelLexer lexer("ab  \"c\"\n\n  d");
  lexer.next();
  EXPECT_EQ(lexer.offset(), 0u);
  EXPECT_EQ(lexer.length(), 2u);
  EXPECT_EQ(lexer.line(), 1);
  lexer.next();
  EXPECT_EQ(lexer.offset(), 4u);
  EXPECT_EQ(lexer.length(), 3u);
  EXPECT_EQ(lexer.text(false, false), "\"c\"");
  lexer.next();
  EXPECT_EQ(lexer.offset(), 11u);
  EXPECT_EQ(lexer.line(), 3);
  EXPECT_EQ(lexer.next(), TokenKind::eof);
  EXPECT_EQ(lexer.text(true, true), "<eof>");
}

// A view of the token where the text needs no change, the scratch string
// only where escapes were dropped.
TEST(ModelLexerTest, TextViewsUseTheScratchOnlyToUnescape) {
  struct Case {
    const char* input;
    bool strip_quotes;
    bool unescape;
    const char* expected;
    bool in_scratch;
  } cases[] = {
      {"name", true, true, "name", false},
      {"\"a b\"", true, true, "a b", false},
      {"\"a b\"", false, true, "\"a b\"", false},
      {"\"a\\\"b\"", true, true, "a\"b", true},
      {"\"a\\\"b\"", true, false, "a\\\"b", false},
      {"\"\\\\\"", true, true, "\\", true},
      {"\"open", true, true, "\"open", false},
      {"", true, true, "<eof>", false},
  };
  for (const Case& c : cases) {
    ModelLexer lexer(c.input);
    lexer.next();
    std::string scratch = "old";
    const std::string_view text = lexer.view_text(scratch, c.strip_quotes, c.unescape);
    EXPECT_EQ(text, c.expected) << "input: " << c.input;
    EXPECT_EQ(text.data() == scratch.data(), c.in_scratch) << "input: " << c.input;
    EXPECT_EQ(lexer.text(c.strip_quotes, c.unescape), c.expected) << "input: " << c.input;
  }
}

TEST(ModelLexerTest, KindNamesFollowTheTable) {
  EXPECT_STREQ(token_kind_name(TokenKind::object), "object");
  EXPECT_STREQ(token_kind_name(TokenKind::class_), "class");
  EXPECT_STREQ(token_kind_name(TokenKind::language_keyword), "language_keyword");
  EXPECT_STREQ(token_kind_name(TokenKind::str_literal), "str_literal");
  EXPECT_STREQ(token_kind_name(TokenKind::eof), "eof");
  EXPECT_STREQ(token_kind_name(TokenKind::unknown), "unknown");
  EXPECT_EQ(static_cast<int>(TokenKind::unknown), 34);
}

class ModelFileLexerTest : public testing::EngineTest {
 protected:
  // Every token of the file as "line:kind:text".
  std::string file_tokens(const std::string& content, bool strip_returns = false) {
    std::string path = write("m.dsm", content);
    ModelFileLexer lexer(LexerOptions{}, strip_returns);
    EXPECT_TRUE(lexer.open(path));
    std::string out;
    while (lexer.next() != TokenKind::eof) {
      out += std::to_string(lexer.line()) + ":" + token_kind_name(lexer.kind()) + ":" +
             lexer.text(true) + " ";
    }
    return out + std::to_string(lexer.line()) + ":" + lexer.text(true);
  }
};

TEST_F(ModelFileLexerTest, LinesAcrossChunks) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {"", "1:<eof>"},
      {"a\n\nb", "1:identifier:a 3:identifier:b 4:<eof>"},
      {"a \t\r\nb\r\n", "1:identifier:a 2:identifier:b 3:<eof>"},
      {"x {{ one\ntwo\nthree }} y\nz",
       "1:identifier:x 1:double_l_brace:{{ 1:multiline_text: one\r\ntwo\r\nthree  "
       "3:double_r_brace:}} 3:identifier:y 4:identifier:z 5:<eof>"},
      {"x {{ open\nrest", "1:identifier:x 1:double_l_brace:{{ 3:<eof>"},
      {"\"{{\" x\ny }}",
       "1:str_literal:{{ 1:identifier:x 2:identifier:y 2:double_r_brace:}} 3:<eof>"},
      {"a -- {{\nb", "1:identifier:a 2:identifier:b 3:<eof>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(file_tokens(c.content), c.expected) << "content: " << c.content;
  }
}

TEST_F(ModelFileLexerTest, LineEndsFollowStripReturns) {
  EXPECT_EQ(file_tokens("{{a\r\nb}}", true),
            "1:double_l_brace:{{ 1:multiline_text:a\nb 2:double_r_brace:}} 3:<eof>");
}

// A one-line chunk ends in the line end the switch asks for, whether it is
// read in place or copied: an unclosed string runs to the end of its chunk,
// so its length shows that line end.
TEST_F(ModelFileLexerTest, OneLineChunksEndInTheChosenLineEnd) {
  struct Case {
    const char* content;
    bool strip_returns;
    size_t length;
  } cases[] = {
      {"\"ab\nx", false, 5},   {"\"ab\nx", true, 4},   {"\"ab\r\nx", false, 5},
      {"\"ab\r\nx", true, 4}, {"\"ab  \nx", false, 5}, {"\"ab \t\r\nx", true, 4},
      {"\"ab", false, 5},      {"\"ab", true, 4},
  };
  for (const Case& c : cases) {
    std::string path = write("m.dsm", c.content);
    ModelFileLexer lexer(LexerOptions{}, c.strip_returns);
    ASSERT_TRUE(lexer.open(path));
    EXPECT_EQ(lexer.next(), TokenKind::unknown) << "content: " << c.content;
    EXPECT_EQ(lexer.offset(), 0u) << "content: " << c.content;
    EXPECT_EQ(lexer.length(), c.length) << "content: " << c.content << " strip: " << c.strip_returns;
    const bool more = std::string_view(c.content).ends_with("x");
    EXPECT_EQ(lexer.next(), more ? TokenKind::identifier : TokenKind::eof) << c.content;
    EXPECT_EQ(lexer.line(), 2) << "content: " << c.content;
  }
}

TEST_F(ModelFileLexerTest, OffsetsCountFromTheChunk) {
  std::string path = write("m.dsm", "first\n  second x");
  ModelFileLexer lexer(LexerOptions{}, false);
  ASSERT_TRUE(lexer.open(path));
  lexer.next();
  lexer.next();
  EXPECT_EQ(lexer.offset(), 2u);
  EXPECT_EQ(lexer.length(), 6u);
  lexer.next();
  EXPECT_EQ(lexer.offset(), 9u);
}

TEST_F(ModelFileLexerTest, SurplusClosingBracesEndTheChunk) {
  std::string path = write("m.dsm", "x {{ a\nb }} }}\n  y");
  ModelFileLexer lexer(LexerOptions{}, false);
  ASSERT_TRUE(lexer.open(path));
  while (lexer.next() != TokenKind::identifier || lexer.text(true) != "y") {
    ASSERT_NE(lexer.kind(), TokenKind::eof);
  }
  EXPECT_EQ(lexer.line(), 3);
  EXPECT_EQ(lexer.offset(), 2u);
}

TEST_F(ModelFileLexerTest, MissingFileIsReported) {
  ModelFileLexer lexer(LexerOptions{}, false);
  EXPECT_FALSE(lexer.open(dir_ + "/none.dsm"));
  EXPECT_EQ(output(), "***ERROR    The file '" + dir_ + "/none.dsm' cannot be loaded.\n");
  EXPECT_EQ(lexer.next(), TokenKind::eof);
  EXPECT_EQ(lexer.text(true), "<eof>");
  clear_output();
  EXPECT_FALSE(lexer.open(""));
  EXPECT_EQ(output(), "***ERROR    The file '' cannot be loaded.\n");
}

TEST_F(ModelFileLexerTest, HugeAndBinaryInputEnds) {
  using namespace std::string_literals;
  std::string line(10 * 1024 * 1024, 'a');
  line += " \"unclosed {{ \xff\x00\x01"s;
  std::string path = write("big.dsm", line + "\n}}\n\x80\x81 x");
  ModelFileLexer lexer(LexerOptions{}, false);
  ASSERT_TRUE(lexer.open(path));
  int count = 0;
  while (lexer.next() != TokenKind::eof && count < 100) ++count;
  // The word, the unclosed string up to the end of its chunk, the UTF-8 word and x.
  EXPECT_EQ(count, 4);
}

}  // namespace
}  // namespace quill
