#include "model/formatter.h"

#include <gtest/gtest.h>

#include <string>

namespace quill {
namespace {

std::string format(const std::string& text) {
  return ModelTextFormatter().format(text);
}

TEST(ModelTextFormatterTest, ObjectLayout) {
  // The colon of a member stands in column 20.
  EXPECT_EQ(format("object A x : integer ; end ;"),
            "\r\n\r\nobject A\r\n    x              : integer ;\r\nend ;");
}

TEST(ModelTextFormatterTest, Layouts) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"CLASS a END;", "\r\n\r\nobject a\r\nend ;"},
      {"object A state S action : go ; e => T ; end ; end ;",
       "\r\n\r\nobject A\r\n    state S\r\n        action : go ;\r\n        e => T ;"
       "\r\n    end ;\r\nend ;"},
      {"object A\n  a_very_long_member_name : t ; end;",
       "\r\n\r\nobject A\r\n    a_very_long_member_name : t ;\r\nend ;"},
      {"f(a : t, b : u) ; g() ;", "\r\nf (a : t, b : u) ;\r\ng () ;"},
      {"object A end [k, v = \"x\\\"y\"] ;", "\r\n\r\nobject A\r\nend [k, v = \"x\\\"y\"] ;"},
      {"x = \"s\" -- margin\n-- whole line\nend end end",
       "\r\nx = \"s\"    -- margin\r\n-- whole line\r\n\r\nend\r\nend\r\nend"},
      {"literal L {{ keep\n  this }} ;", " literal L {{ keep\n  this }} ;"},
      {"pragma p ; foreign t ; events : a ;", "\r\npragma p ;\r\nforeign t ;\r\nevents : a ;"},
      {"} \"open", "\r\n}\r\n\"open"},
      {"literal L {{ never closed ; x", " literal L {{ never closed ; x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format(c.input), c.expected) << "input: " << c.input;
  }
}

// Comments and tokens that run to the end of their line or to the next
// white space must not swallow what the formatter writes after them.
TEST(ModelTextFormatterTest, CommentsStayOnTheirOwnLines) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"object A\n-- members\nx : t;\nend;",
       "\r\n\r\nobject A\r\n-- members\r\n\r\n    x              : t ;\r\nend ;"},
      {"object A\nend\n-- trailing\n;", "\r\n\r\nobject A\r\nend\r\n-- trailing\r\n ;"},
      {"f(a : t, -- first\n  b : u) -- last\n;",
       "\r\nf (a : t,    -- first\r\nb : u)    -- last\r\n;"},
      {"object A x : t -- c\n; end;",
       "\r\n\r\nobject A\r\n    x              : t    -- c\r\n    ;\r\nend ;"},
      {"-x ) 12 ,", "\r\n-x )\r\n\r\n12 ,"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format(c.input), c.expected) << "input: " << c.input;
  }
}

// Every token of the text as kind and text, comments included.
std::string token_list(const std::string& text) {
  ModelLexer lexer(text, LexerOptions{false, true, true});
  std::string out;
  while (lexer.next() != TokenKind::eof) {
    out += token_kind_name(lexer.kind());
    out += ':';
    if (lexer.kind() != TokenKind::object) out += lexer.text(false, false);  // class -> object
    out += '\n';
  }
  return out;
}

// Formatting may change the layout and the spelling of keywords, never the tokens.
TEST(ModelTextFormatterTest, KeepsTheTokens) {
  const std::string alphabet = "ab-x1 \n\n--;:,()[]=>\"{}";
  const char* words[] = {"object ", "end ", "state ", "action ", "pragma ", "list_of "};
  unsigned seed = 11;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int i = 0; i < 60; ++i) {
      seed = seed * 1103515245u + 12345u;
      unsigned pick = (seed >> 8) % (alphabet.size() + std::size(words));
      text += pick < alphabet.size() ? std::string(1, alphabet[pick])
                                     : std::string(words[pick - alphabet.size()]);
    }
    EXPECT_EQ(token_list(format(text)), token_list(text)) << text;
  }
}

TEST(ModelTextFormatterTest, LongArgumentListsWrapUnderTheFirstArgument) {
  std::string args;
  for (int i = 0; i < 12; ++i) args += (i ? ", p" : "p") + std::to_string(i) + " : integer";
  std::string out = format("f(" + args + ") ;");
  size_t wrap = out.find("\r\n", 2);
  ASSERT_NE(wrap, std::string::npos);
  size_t first = out.find("p0") - out.rfind('\n', out.find("p0")) - 1;
  size_t next = out.find_first_not_of(' ', wrap + 2) - (wrap + 2);
  EXPECT_EQ(next, first) << out;
}

// Without letters there are no keywords to respell, so formatting may only
// add or drop white space: every other byte must come out in order.
TEST(ModelTextFormatterTest, KeepsEveryByteButWhiteSpace) {
  const std::string alphabet = std::string("{}[]()\"\\;:,=>-_.0 \t\n\x80\xff") + '\0';
  auto non_white = [](const std::string& s) {
    std::string out;
    for (char c : s) {
      if (std::string(" \t\n\r\v\f").find(c) == std::string::npos) out += c;
    }
    return out;
  };
  unsigned seed = 7;
  for (int round = 0; round < 500; ++round) {
    std::string text;
    for (int i = 0; i < 120; ++i) {
      seed = seed * 1103515245u + 12345u;
      text += alphabet[(seed >> 8) % alphabet.size()];
    }
    EXPECT_EQ(non_white(format(text)), non_white(text)) << text;
  }
}

// A comment's carriage return is part of its line end and is not doubled;
// an unterminated string runs to the end of the file and keeps every byte,
// carriage returns included, however often the text is formatted.
TEST(ModelTextFormatterTest, CarriageReturnsOfCommentsAndUnterminatedStrings) {
  EXPECT_EQ(format("object A\r\n-- note\r\nend;\r\n").find("\r\r"), std::string::npos);
  const std::string tail = std::string("\",\x0e\r\x0e\r\r", 7);
  std::string once = format("nn" + tail);
  EXPECT_NE(once.find(tail), std::string::npos);
  EXPECT_EQ(format(once), once);
  // A comment that ends the file has no line end to give its carriage returns to.
  once = format("a -- c\r\r");
  EXPECT_NE(once.find("-- c\r\r"), std::string::npos);
  EXPECT_EQ(format(once), once);
}

TEST(ModelTextFormatterTest, DeepNestingStaysBounded) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "object a ";
  std::string out = format(text);
  EXPECT_LT(out.size(), 5000u * (ModelTextFormatter::kMaxIndentLevels * 4 + 20));
  EXPECT_EQ(out.substr(out.size() - 10), "  object a");
}

}  // namespace
}  // namespace quill
