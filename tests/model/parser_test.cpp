#include "model/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/settings.h"
#include "model/elements.h"
#include "tests/model/model_dump.h"
#include "tests/support/test_support.h"

namespace quill {
namespace {

class ModelParserTest : public testing::EngineTest {
 protected:
  // Parses the text as the file m.dsm and returns the dump, or "" on failure.
  std::string parse_text(const std::string& text) {
    result_ = ModelParser().parse(write("m.dsm", text));
    return result_.model ? testing::dump_model(*result_.model) : "";
  }
  // The raw text of the only error message, "" when there is none.
  std::string error_text() const {
    std::string found;
    for (const auto& e : sink_->entries) {
      if (e.severity == static_cast<int>(Severity::error)) found += e.text;
    }
    return found;
  }

  ModelParser::Result result_;
};

TEST_F(ModelParserTest, AcceptsEveryRule) {
  struct Case {
    const char* input;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"-- only a comment\n", ""},
      {"object A end;", "object A{}"},
      {"OBJECT A END;", "object A{}"},
      {"class A end [k, v = \"x y\"];", "object A{}[k=true,v=x y]"},
      {"object A parent B, D x : integer; end;", "object A parent B,D{attr x:integer[obj=A]}"},
      {"object A parent B [p] end;", "object A parent B[p=true]{}"},
      {"object A x : integer;; end;", "object A{attr x:integer[obj=A]}"},
      {"object A \"a b\" : list_of A = {{ v\n}} [k = {{ b }}]; end;",
       "object A{attr a b:list_of A= v\r\n[k= b ,obj=A,is_self=true]}"},
      {"object A x : t = \"q\\\"x\" [a = b, c,]; end;",
       "object A{attr x:t=q\"x[a=b,c=true,obj=A]}"},
      {"object A f(a : integer, ) ; end;", "object A{ftn f(a:integer)}"},
      {"object A f(\"p\" : ref_to T = {{d}} [c], q : U = name, r : V = \"s\") "
       ": list_of R [k] {{ body }}; end;",
       "object A{ftn f(p:ref_to T=d[c=true],q:U=name,r:V=s)->list_of R[k=true]{ body }}"},
      {"object A f() {{b}}; g() : t; h() [] ; end;", "object A{ftn f(){b}; ftn g()->t; ftn h()}"},
      {"object A state S action : a; action : b [k] {{ go }}; e => T [t]; any => S; end [s]; "
       "end;",
       "object A{state S(action b[k=true]{ go }; e=>T[t=true]; any=>S)[s=true]}"},
      {"object A process P flow f from a; flow g to b [k]; end; end;",
       "object A{process P(f from a; g to b[k=true])}"},
      {"object A literal L [k] {{ text }}; pragma p; end;",
       "object A{pragma p; literal L[k=true]{ text }}"},
      {"object A object B object C end; end; y : t; end;",
       "object A{attr y:t[obj=A]; object B@1{object C@2{}}}"},
      {"pragma p (a b, \"c\",) [k];", "pragma p(a,b,c)[k=true]"},
      {"pragma p ();", "pragma p"},
      {"events : e1, e2 e3; events : ;", "event e1; event e2; event e3"},
      {"money = \"double\" empty = \"\" foreign thing [k];",
       "subst money=double[type_decl=double]; subst empty=empty; subst thing=thing[k=true]"},
      {"acc : Account (balance = \"3\", x = y) [q]; b : B (); c : C;",
       "inst acc:Account(balance=3,x=y)[q=true]; inst b:B; inst c:C"},
      {"g(x : t) : r; state S end; literal L {{}}; process P end;",
       "ftn g(x:t)->r; state S(); literal L; process P()"},
  };
  for (const Case& c : cases) {
    clear_output();
    EXPECT_EQ(parse_text(c.input), c.expected) << "input: " << c.input;
    EXPECT_EQ(result_.status, ModelParser::Status::ok) << "input: " << c.input;
    EXPECT_EQ(output(), "") << "input: " << c.input;
  }
}

TEST_F(ModelParserTest, RejectsWithTheExpectation) {
  struct Case {
    const char* input;
    const char* message;
  } cases[] = {
      // top level
      {"x = \"long\";",
       "Expecting one of [object, pragma, identifier, events, state, process,\n"
       "foreign, literal, import], but found ';' (type = semi) on line 1."},
      {"\"x\" : t;",
       "Expecting one of [object, pragma, identifier, events, state, process,\n"
       "foreign, literal, import], but found 'x' (type = str_literal) on line 1."},
      {"a ;",
       "Expecting one of [equal, colon, left_paren], but found ';' (type = semi) on line 1."},
      // objects and members
      {"object 1 end;", "Expecting identifier, but found '1' (type = unknown) on line 1."},
      {"object A ;",
       "Expecting one of [parent, identifier, str_literal, state, process, literal,\n"
       "pragma, object, end], but found ';' (type = semi) on line 1."},
      {"object A parent B ;",
       "Expecting one of [identifier, str_literal, state, process, literal, pragma,\n"
       "object, end], but found ';' (type = semi) on line 1."},
      {"object A x : integer;; ; end;",
       "Expecting one of [identifier, str_literal, state, process, literal, pragma,\n"
       "object, end], but found ';' (type = semi) on line 1."},
      {"object A end",
       "Expecting one of [left_bracket, semi], but found '<eof>' (type = eof) on line 2."},
      {"object A end [k] x", "Expecting semi, but found 'x' (type = identifier) on line 1."},
      // attributes
      {"object A x integer; end;",
       "Expecting one of [colon, left_paren], but found 'integer' (type = identifier) on line 1."},
      {"object A x : ; end;",
       "Expecting one of [identifier, mapping], but found ';' (type = semi) on line 1."},
      {"object A x : list_of ; end;",
       "Expecting identifier, but found ';' (type = semi) on line 1."},
      {"object A\n\n x : integer\n\n\n\nend;",
       "Expecting one of [equal, left_bracket, semi], but found 'end' (type = end) on line 7."},
      {"object A x : t = y; end;",
       "Expecting one of [str_literal, double_l_brace], but found 'y' (type = identifier) on line "
       "1."},
      {"object A x : t = \"\" x; end;",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      {"object A x : t = \"\"\"\"; end;",
       "Expecting one of [left_bracket, semi], but found '' (type = str_literal) on line 1."},
      // characteristics
      {"object A end [= x];", "Expecting identifier, but found '=' (type = equal) on line 1."},
      {"object A end [a b];",
       "Expecting one of [equal, comma, right_bracket], but found 'b' (type = identifier) on line "
       "1."},
      {"object A end [a = ;];",
       "Expecting one of [identifier, str_literal, double_l_brace], but found ';' (type = semi) on "
       "line 1."},
      {"object A end [a = b c];",
       "Expecting one of [comma, right_bracket], but found 'c' (type = identifier) on line 1."},
      {"object A end [a,,];", "Expecting identifier, but found ',' (type = comma) on line 1."},
      {"object A end [a", "Expecting semi, but found '<eof>' (type = eof) on line 2."},
      // functions
      {"object A f(,) ; end;",
       "Expecting one of [identifier, str_literal, right_paren], but found ',' (type = comma) on "
       "line 1."},
      {"object A f(a b); end;", "Expecting colon, but found 'b' (type = identifier) on line 1."},
      {"object A f(a : t x); end;",
       "Expecting one of [equal, left_bracket, comma, right_paren], but found 'x' (type = "
       "identifier) on line 1."},
      {"object A f(a : t = ;); end;",
       "Expecting one of [str_literal, identifier, double_l_brace], but found ';' (type = semi) on "
       "line 1."},
      {"object A f(a : t = b c); end;",
       "Expecting one of [comma, right_paren], but found 'c' (type = identifier) on line 1."},
      {"object A f() x; end;",
       "Expecting one of [colon, left_bracket, double_l_brace, semi], but found 'x' (type = "
       "identifier) on line 1."},
      {"object A f() : t x; end;",
       "Expecting one of [left_bracket, double_l_brace, semi], but found 'x' (type = identifier) "
       "on line 1."},
      {"object A f() [k] x; end;",
       "Expecting one of [double_l_brace, semi], but found 'x' (type = identifier) on line 1."},
      {"object A f() {{ b }} x; end;",
       "Expecting semi, but found 'x' (type = identifier) on line 1."},
      {"f() {{ never closed\n\n",
       "Expecting multiline_text, but found '<eof>' (type = eof) on line 3."},
      // states
      {"state S ; end;",
       "Expecting one of [identifier, action, end], but found ';' (type = semi) on line 1."},
      {"state S action x; end;", "Expecting colon, but found 'x' (type = identifier) on line 1."},
      {"state S action : ; end;", "Expecting identifier, but found ';' (type = semi) on line 1."},
      {"state S action : a x end;",
       "Expecting one of [left_bracket, double_l_brace, semi], but found 'x' (type = identifier) "
       "on line 1."},
      {"state S action : a [k] x end;",
       "Expecting one of [double_l_brace, semi], but found 'x' (type = identifier) on line 1."},
      {"state S e ; end;", "Expecting right_arrow, but found ';' (type = semi) on line 1."},
      {"state S e => ; end;", "Expecting identifier, but found ';' (type = semi) on line 1."},
      {"state S e => t x end;",
       "Expecting one of [semi, left_bracket], but found 'x' (type = identifier) on line 1."},
      {"state S end x",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      // processes, literals, pragmas, events, foreign types
      {"process P x end;",
       "Expecting one of [flow, end], but found 'x' (type = identifier) on line 1."},
      {"process P flow f x a; end;",
       "Expecting one of [from, to], but found 'x' (type = identifier) on line 1."},
      {"process P flow f to a x end;",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      {"literal L ;",
       "Expecting one of [left_bracket, double_l_brace], but found ';' (type = semi) on line 1."},
      {"literal L [k] ;", "Expecting double_l_brace, but found ';' (type = semi) on line 1."},
      {"literal L {{x}} x", "Expecting semi, but found 'x' (type = identifier) on line 1."},
      {"pragma p x",
       "Expecting one of [left_paren, left_bracket, semi], but found 'x' (type = "
       "identifier) on line 1."},
      {"pragma p (a,,b);",
       "Expecting one of [identifier, str_literal], but found ',' (type = comma) on line 1."},
      {"pragma p (a) x",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      {"events x;", "Expecting colon, but found 'x' (type = identifier) on line 1."},
      {"events : a,, b;",
       "Expecting one of [identifier, semi], but found ',' (type = comma) on line 1."},
      {"foreign ;", "Expecting identifier, but found ';' (type = semi) on line 1."},
      {"foreign t x",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      // substitutions and instances
      {"a = b", "Expecting str_literal, but found 'b' (type = identifier) on line 1."},
      {"a : ;", "Expecting identifier, but found ';' (type = semi) on line 1."},
      {"a : B x",
       "Expecting one of [left_paren, left_bracket, semi], but found 'x' (type = "
       "identifier) on line 1."},
      {"a : B (;",
       "Expecting one of [identifier, right_paren], but found ';' (type = semi) on line 1."},
      {"a : B (x y", "Expecting equal, but found 'y' (type = identifier) on line 1."},
      {"a : B (x = ;",
       "Expecting one of [identifier, str_literal], but found ';' (type = semi) on line 1."},
      {"a : B (x = y z",
       "Expecting one of [comma, right_paren], but found 'z' (type = identifier) on line 1."},
      {"a : B (x = y, );", "Expecting identifier, but found ')' (type = right_paren) on line 1."},
      {"a : B () x",
       "Expecting one of [left_bracket, semi], but found 'x' (type = identifier) on line 1."},
      // imports
      {"import x;", "Expecting str_literal, but found 'x' (type = identifier) on line 1."},
      {"import \"f.dsm\" x", "Expecting semi, but found 'x' (type = identifier) on line 1."},
  };
  for (const Case& c : cases) {
    clear_output();
    EXPECT_EQ(parse_text(c.input), "") << "input: " << c.input;
    EXPECT_EQ(result_.status, ModelParser::Status::syntax_error) << "input: " << c.input;
    EXPECT_EQ(error_text(), c.message) << "input: " << c.input;
  }
}

TEST_F(ModelParserTest, SyntaxErrorPosition) {
  parse_text("object A\n  x : integer\n  end;");
  EXPECT_EQ(result_.offset, 2);
  EXPECT_EQ(result_.length, 3);
  EXPECT_EQ(result_.line, 3);
  EXPECT_EQ(result_.bad_file, dir_ + "/m.dsm");
  // At the end of the file the error is on the line after the last one.
  parse_text("object A end\n");
  EXPECT_EQ(result_.line, 2);
  EXPECT_EQ(result_.length, 0);
}

TEST_F(ModelParserTest, StateKeepsTheLastAction) {
  EXPECT_EQ(parse_text("state S action : a; action : b; end;"), "state S(action b)");
}

TEST_F(ModelParserTest, RedundantCharacteristicWarnsOnce) {
  EXPECT_EQ(parse_text("object A\nend [a, a = x];"), "object A{}[a=true]");
  EXPECT_EQ(output(),
            " **WARNING  The characteristic 'a' is redundantly defined (line 2 of obj "
            "model).\n");
}

// Repeats are found however long the list, before and after it grows past
// the names searched one by one; the first value stays.
TEST_F(ModelParserTest, RedundantCharacteristicsInListsOfAnyLength) {
  struct Case {
    int names;                 // c0 .. c<names-1>, each = its index
    std::vector<int> repeats;  // then these again, = "again"
  } cases[] = {
      {3, {1}}, {7, {0, 6}}, {8, {7}}, {9, {0, 8}}, {20, {3, 19, 3}},
  };
  for (const Case& c : cases) {
    clear_output();
    std::string text = "object A\nend [";
    std::string kept;
    for (int i = 0; i < c.names; ++i) {
      const std::string n = std::string("c").append(std::to_string(i));
      text += n + " = \"" + std::to_string(i) + "\", ";
      kept += (i > 0 ? "," : "") + n + "=" + std::to_string(i);
    }
    std::string warnings;
    for (int r : c.repeats) {
      text.append("c").append(std::to_string(r)).append(" = \"again\", ");
      warnings += " **WARNING  The characteristic 'c" + std::to_string(r) +
                  "' is redundantly defined (line 2 of obj model).\n";
    }
    text += "last];";
    EXPECT_EQ(parse_text(text), "object A{}[" + kept + ",last=true]") << c.names;
    EXPECT_EQ(output(), warnings) << c.names;
  }
}

TEST_F(ModelParserTest, UidCharacteristicMarksTheModel) {
  struct Case {
    const char* input;
    const char* has_uids;
  } cases[] = {
      {"object A end;", "false"},
      {"object A end [uid = \"1\"];", "true"},
      {"object A x : t [uid]; end;", "true"},
      {"object A end [UID];", "false"},
  };
  for (const Case& c : cases) {
    settings().set("DSMHasUIDs", "stale");
    parse_text(c.input);
    EXPECT_EQ(settings().get("DSMHasUIDs"), c.has_uids) << "input: " << c.input;
  }
}

TEST_F(ModelParserTest, ReservedWordsFollowTheSettings) {
  settings().set("NoCxxKeywords", "true");
  EXPECT_EQ(parse_text("class A end;"), "object A{}");
  EXPECT_EQ(parse_text("object virtual end;"), "");
  EXPECT_EQ(error_text(),
            "Expecting identifier, but found 'virtual' (type = language_keyword) on "
            "line 1.");
  settings().set("NoCxxKeywords", "TRUE");
  EXPECT_EQ(parse_text("object virtual end;"), "object virtual{}");
}

TEST_F(ModelParserTest, DeepNestingIsRefused) {
  auto nested = [](int depth) {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "object o" + std::to_string(i) + "\n";
    for (int i = 0; i < depth; ++i) s += "end;\n";
    return s;
  };
  EXPECT_NE(parse_text(nested(ModelParser::kMaxObjectDepth)), "");
  parse_text(nested(ModelParser::kMaxObjectDepth + 1));
  EXPECT_EQ(result_.status, ModelParser::Status::syntax_error);
  EXPECT_EQ(result_.line, ModelParser::kMaxObjectDepth + 1);
  clear_output();
  parse_text(nested(20000));
  EXPECT_EQ(error_text(),
            "Objects may be nested at most 200 deep, but found 'object' (type = "
            "object) on line 201.");
}

TEST_F(ModelParserTest, ImportsAreReadOnceEach) {
  write("lib/b.dsm", "import \"../main.dsm\"; import \"c.dsm\"; object B end;");
  write("lib/c.dsm", "import \"b.dsm\"; import \"C.DSM\"; object C end;");
  std::string main = write("main.dsm", "import \"lib/b.dsm\"; import \"main.dsm\"; object A end;");
  result_ = ModelParser().parse(main);
  ASSERT_TRUE(result_.model);
  EXPECT_EQ(testing::dump_model(*result_.model), "object A{}; object B{}; object C{}");
}

TEST_F(ModelParserTest, ImportsKeepTheirCaseAndUseTheSearchPath) {
  write("Mixed/Lib.dsm", "object L end;");
  write("path/Found.dsm", "object F end;");
  settings().set("DsmSearchPath", dir_ + "/nowhere;" + dir_ + "/path");
  std::string main = write("m.dsm",
                           "import \"Mixed/Lib.dsm\"; import \"mixed/lib.dsm\";"
                           "import \"Found.dsm\"; object A end;");
  result_ = ModelParser().parse(main);
  ASSERT_TRUE(result_.model) << output();
  EXPECT_EQ(testing::dump_model(*result_.model), "object A{}; object L{}; object F{}");
}

TEST_F(ModelParserTest, MissingImportIsAFileError) {
  parse_text("import \"gone.dsm\"; object A end;");
  EXPECT_EQ(result_.status, ModelParser::Status::file_error);
  EXPECT_EQ(result_.bad_file, dir_ + "/gone.dsm");
  EXPECT_EQ(output(), "***ERROR    The file '" + dir_ + "/gone.dsm' cannot be loaded.\n");
  EXPECT_FALSE(result_.model);
}

TEST_F(ModelParserTest, ErrorInAnImportNamesThatFile) {
  write("b.dsm", "\nobject B x end;");
  parse_text("import \"b.dsm\";");
  EXPECT_EQ(result_.status, ModelParser::Status::syntax_error);
  EXPECT_EQ(result_.bad_file, dir_ + "/b.dsm");
  EXPECT_EQ(result_.line, 2);
}

// Mutations of a model that uses every rule: whatever comes out, the parser
// must end with a verdict and a consistent result.
TEST_F(ModelParserTest, MutatedInputAlwaysEnds) {
  const std::string base =
      "import \"m.dsm\"; pragma p (a, \"b\") [k]; events : e1, e2; money = \"double\"\n"
      "foreign f [k]; i : A (x = \"1\") [q]; g(p : t) : r [k] {{ b }};\n"
      "literal L {{ text\n}}; process P flow f from a [k]; end;\n"
      "object A parent B [v], C \"x\" : list_of B = {{ i }} [uid = {{ u }}, z];\n"
      "  f(a : t = \"d\" [c], ) : r [k] {{ body }};\n"
      "  state S action : go [k] {{ run }}; e => T [k]; end [s];\n"
      "  object N end; literal M {{ }}; pragma q;\nend [o];\n";
  const std::string pieces[] = {"{{",
                                "}}",
                                "\"",
                                "\\",
                                "[",
                                "]",
                                "(",
                                ")",
                                ";",
                                ",",
                                ":",
                                "=",
                                "=>",
                                "--",
                                "\n",
                                "object ",
                                "end ",
                                "\xff",
                                std::string(1, '\0')};
  unsigned seed = 12345;
  auto rnd = [&seed](size_t n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<size_t>((seed >> 8) % n);
  };
  for (int round = 0; round < 400; ++round) {
    std::string text = base;
    for (int edits = 1 + rnd(4); edits > 0; --edits) {
      size_t at = rnd(text.size());
      switch (rnd(3)) {
        case 0:
          text.erase(at, 1 + rnd(8));
          break;
        case 1:
          text.insert(at, pieces[rnd(std::size(pieces))]);
          break;
        default:
          text[at] = static_cast<char>(rnd(256));
          break;
      }
    }
    clear_output();
    parse_text(text);
    EXPECT_EQ(result_.model != nullptr, result_.status == ModelParser::Status::ok) << text;
    if (result_.status == ModelParser::Status::syntax_error) {
      EXPECT_NE(error_text(), "") << text;
    }
  }
}

TEST(ExpectationMessageTest, ListsBreakAfterSixKindsFromEightOn) {
  using K = TokenKind;
  EXPECT_EQ(expectation_message({K::semi, K::comma, K::colon, K::equal}, "x", K::identifier, 3),
            "Expecting one of [semi, comma, colon, equal], but found 'x' (type = identifier) on "
            "line 3.");
  EXPECT_EQ(expectation_message(
                {K::object, K::parent, K::state, K::process, K::flow, K::from, K::to, K::events},
                "", K::str_literal, 12),
            "Expecting one of [object, parent, state, process, flow, from,\nto, events], but found "
            "'' (type = str_literal) on line 12.");
}

}  // namespace
}  // namespace quill
