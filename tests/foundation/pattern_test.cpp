#include "foundation/pattern.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>

namespace quill {
namespace {

struct SearchCase {
  const char* pattern;
  const char* text;
  long start;
  long length;
};

TEST(PatternTest, SearchFindsFirstLongestNonEmptyMatch) {
  const SearchCase cases[] = {
      {"#+", "ab12c345", 2, 2},
      {"a|bc", "xbc", 1, 2},
      {"colou%r", "color", 0, 5},
      {"colou%r", "a colour", 2, 6},
      {"a*", "bbb", 0, 0},
      {"a*", "baa", 1, 2},
      {"\\?", "ab?", 2, 1},
      {"\\?", "ab", 0, 0},
      {"?", "ab", 0, 1},
      {"@$*", "  x1.y z", 2, 4},
      {"[a-c\\-]+", "x-cab-d", 1, 5},
      {"[-a]+", "b-a-", 1, 3},
      {"[^;]+", ";;a;", 2, 1},
      {"a.b", "axb a.b", 4, 3},
      {"a**", "aaa*", 0, 4},          // the second quantifier is a literal
      {"(ab)+", "xababa", 1, 4},
      {"(a*)*b", "aab", 0, 3},         // a loop that can match empty ends
      {"(a%)+", "aaac", 0, 3},
      {"a|", "ba", 1, 1},              // an empty alternative
      {"[abc", "x[abc", 1, 4},          // an unclosed class is a literal '['
      {"ab)c", "abc", 0, 2},           // a stray ')' ends the pattern
      {"a\\", "a\\", 0, 2},            // a trailing '\' is a literal
      {"[c-a]+", "b-ac", 1, 3},        // a descending range lists its ends
      {"", "abc", 0, 0},
      {"#", "", 0, 0},
  };
  for (const SearchCase& c : cases) {
    Pattern::Found f = Pattern(c.pattern).search(c.text);
    EXPECT_EQ(f.start, c.start) << c.pattern << " over " << c.text;
    EXPECT_EQ(f.length, c.length) << c.pattern << " over " << c.text;
  }
}

TEST(PatternTest, SearchHonoursRange) {
  Pattern digits("#+");
  EXPECT_EQ(digits.search("12a34", 1).start, 1);
  EXPECT_EQ(digits.search("12a34", 2).start, 3);
  EXPECT_EQ(digits.search("12a34", 2, 2).length, 0);
  EXPECT_EQ(digits.match_at("12a34", 0), 1);
  EXPECT_EQ(digits.match_at("12a34", 2), 1);  // no match: start - 1
}

TEST(PatternTest, AllMatches) {
  using Strings = std::vector<std::string>;
  EXPECT_EQ(Pattern("[^;]+").all_matches(";;a;bc;"), (Strings{"a", "bc"}));
  EXPECT_EQ(Pattern("#+").all_matches("ab12c345"), (Strings{"12", "345"}));
  EXPECT_EQ(Pattern("$+").all_matches(" one\ttwo \xc3\xa9 "), (Strings{"one", "two", "\xc3\xa9"}));
  EXPECT_TRUE(Pattern("x").all_matches("").empty());
}

TEST(PatternTest, DumpShowsTheAutomaton) {
  EXPECT_EQ(Pattern("ab").dump(), "0:>1 1:[a]>2 2:[b]>0");
  EXPECT_EQ(Pattern("a*").dump(), "0:>4 1:[a]>3 2:>0 3:>2,1 4:>2,1");
  EXPECT_EQ(Pattern("[^;]").dump(), "0:>1 1:[^;]>0");
}

TEST(PatternTest, DeepNestingDoesNotExhaustTheStack) {
  // Past the nesting limit '(' is read as a literal.
  std::string deep(10000, '(');
  deep += "a";
  Pattern p(deep);
  std::string text = "x" + std::string(10000 - 256, '(') + "a";
  Pattern::Found f = p.search(text);
  EXPECT_EQ(f.start, 1);
  EXPECT_EQ(f.length, static_cast<long>(text.size()) - 1);
}

// A deliberately simple reference: patterns are built as trees, printed in
// the dialect, and matched by computing the set of end positions directly.
struct Node {
  enum Kind { kLiteral, kConcat, kAlternative, kStar, kPlus, kOptional, kEmpty } kind;
  std::string text;  // the atom as written, for kLiteral
  CharSet set;
  std::vector<std::unique_ptr<Node>> children;
};

struct Atom {
  const char* text;
  const char* members;
};
const Atom kAtoms[] = {{"a", "a"}, {"b", "b"}, {"?", nullptr}, {"#", "0123456789"},
                       {"[ab]", "ab"}, {"[a-c]", "abc"}, {"\\*", "*"}, {"\\(", "("}};

std::unique_ptr<Node> generate(std::mt19937& rng, int depth) {
  auto node = std::make_unique<Node>();
  int pick = depth <= 0 ? 0 : static_cast<int>(rng() % 7);
  node->kind = static_cast<Node::Kind>(pick);
  if (pick == Node::kLiteral) {
    const Atom& atom = kAtoms[rng() % std::size(kAtoms)];
    node->text = atom.text;
    node->set = atom.members ? CharSet(atom.members) : CharSet::full();
  } else if (pick == Node::kConcat || pick == Node::kAlternative) {
    size_t n = 2 + rng() % 2;
    for (size_t i = 0; i < n; ++i) node->children.push_back(generate(rng, depth - 1));
  } else if (pick != Node::kEmpty) {
    node->children.push_back(generate(rng, depth - 1));
  }
  return node;
}

std::string print(const Node& n) {
  auto grouped = [](const Node& c) {
    return c.kind == Node::kLiteral ? print(c) : "(" + print(c) + ")";
  };
  switch (n.kind) {
    case Node::kLiteral: return n.text;
    case Node::kEmpty: return "()";
    case Node::kStar: return grouped(*n.children[0]) + "*";
    case Node::kPlus: return grouped(*n.children[0]) + "+";
    case Node::kOptional: return grouped(*n.children[0]) + "%";
    case Node::kConcat: {
      std::string out;
      for (const auto& c : n.children) out += c->kind == Node::kAlternative ? grouped(*c) : print(*c);
      return out;
    }
    case Node::kAlternative: {
      std::string out;
      for (const auto& c : n.children) out += (out.empty() ? "" : "|") + print(*c);
      return out;
    }
  }
  return "";
}

std::set<size_t> ends(const Node& n, std::string_view text, size_t pos);

// Every position reachable from `from` by repeating the node.
std::set<size_t> repeat(const Node& n, std::string_view text, std::set<size_t> from) {
  std::vector<size_t> todo(from.begin(), from.end());
  while (!todo.empty()) {
    size_t q = todo.back();
    todo.pop_back();
    for (size_t e : ends(n, text, q)) {
      if (from.insert(e).second) todo.push_back(e);
    }
  }
  return from;
}

std::set<size_t> ends(const Node& n, std::string_view text, size_t pos) {
  switch (n.kind) {
    case Node::kLiteral:
      if (pos < text.size() && n.set.contains(text[pos])) return {pos + 1};
      return {};
    case Node::kEmpty: return {pos};
    case Node::kStar: return repeat(*n.children[0], text, {pos});
    case Node::kPlus: return repeat(*n.children[0], text, ends(*n.children[0], text, pos));
    case Node::kOptional: {
      std::set<size_t> out = ends(*n.children[0], text, pos);
      out.insert(pos);
      return out;
    }
    case Node::kConcat: {
      std::set<size_t> at = {pos};
      for (const auto& c : n.children) {
        std::set<size_t> next;
        for (size_t q : at) next.merge(ends(*c, text, q));
        at = std::move(next);
      }
      return at;
    }
    case Node::kAlternative: {
      std::set<size_t> out;
      for (const auto& c : n.children) out.merge(ends(*c, text, pos));
      return out;
    }
  }
  return {};
}

TEST(PatternTest, AgreesWithReferenceOnGeneratedPatterns) {
  std::mt19937 rng(12345);
  const char kAlphabet[] = "ab1*(c";
  for (int round = 0; round < 3000; ++round) {
    std::unique_ptr<Node> tree = generate(rng, 1 + round % 4);
    std::string source = print(*tree);
    Pattern pattern(source);
    for (int t = 0; t < 5; ++t) {
      std::string text;
      for (size_t len = rng() % 9; len > 0; --len) text += kAlphabet[rng() % (sizeof kAlphabet - 1)];
      long first = -1, first_length = 0;
      for (size_t start = 0; start <= text.size(); ++start) {
        std::set<size_t> e = ends(*tree, text, start);
        long longest = e.empty() ? -1 : static_cast<long>(*e.rbegin());
        long expected = longest > static_cast<long>(start) ? longest - 1 : static_cast<long>(start) - 1;
        ASSERT_EQ(pattern.match_at(text, static_cast<long>(start)), expected)
            << "pattern " << source << " text '" << text << "' start " << start;
        if (first < 0 && start < text.size() && expected >= static_cast<long>(start)) {
          first = static_cast<long>(start);
          first_length = expected - first + 1;
        }
      }
      Pattern::Found f = pattern.search(text);
      ASSERT_EQ(f.length, first_length) << "pattern " << source << " text '" << text << "'";
      if (first_length > 0) {
        ASSERT_EQ(f.start, first) << "pattern " << source << " text '" << text << "'";
      }
    }
  }
}

}  // namespace
}  // namespace quill
