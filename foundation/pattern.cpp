// The pattern dialect and its matcher.
//
// A pattern is read by recursive descent:
//   expression -> term { '|' term }
//   term       -> factor { factor }        (until the end, '|' or ')')
//   factor     -> atom [ '*' | '+' | '%' ] (a second quantifier is a literal)
//   atom       -> '(' expression ')' | '\' c | '?' | '#' | '@' | '$' | '[' class ']' | c
// and turned into a nondeterministic automaton (Thompson's construction):
// each state either accepts one character out of a CharSet and has one
// successor, or is an empty state with two successors followed without
// consuming input. State 0 is both the entry (its successor is the start of
// the pattern) and, as a target, the matched state.
//
// Matching simulates the automaton breadth-first: the list of character
// states alive at one input position is advanced over the next character.
// Each state is entered at most once per position (a generation stamp per
// state), so a loop that can match the empty text, such as `(a*)*`, ends
// and yields the same longest match. The work lists live in the Pattern and
// are sized at compile time, so matching does not allocate.
//
// Odd input is read soundly rather than rejected: an empty alternative or
// group matches the empty text; a ')' that closes no group ends the pattern;
// a '\' at the very end is a literal backslash; a '[' without its closing
// ']' is a literal '['; groups nested deeper than kMaxDepth read '(' as a
// literal, so no pattern can exhaust the stack.
#include "foundation/pattern.h"

#include <algorithm>

namespace quill {

class PatternCompiler {
 public:
  PatternCompiler(Pattern& pattern, std::string_view text) : p_(pattern), text_(text) {}

  void compile() {
    p_.states_.clear();
    p_.states_.push_back({});  // state 0: entry and matched state
    Fragment whole = expression();
    p_.states_[0].next1 = p_.states_[0].next2 = whole.start;
  }

 private:
  struct Fragment {
    int start;
    int end;  // its open successors are filled in by link()
  };
  static constexpr int kMaxDepth = 256;

  bool at_end() const { return pos_ >= text_.size(); }
  bool at(char c) const { return !at_end() && text_[pos_] == c; }

  int add_char_state(const CharSet& set) {
    Pattern::State s;
    s.is_char = true;
    s.set = set;
    p_.states_.push_back(s);
    return static_cast<int>(p_.states_.size() - 1);
  }
  int add_empty_state(int next1 = 0, int next2 = 0) {
    Pattern::State s;
    s.next1 = next1;
    s.next2 = next2;
    p_.states_.push_back(s);
    return static_cast<int>(p_.states_.size() - 1);
  }
  void set_next(int state, int next1, int next2) {
    p_.states_[state].next1 = next1;
    p_.states_[state].next2 = next2;
  }
  // Points the open successors of a fragment's end state at target.
  void link(int end, int target) {
    Pattern::State& s = p_.states_[end];
    s.next1 = target;
    if (!s.is_char) s.next2 = target;
  }

  Fragment empty() {
    int s = add_empty_state();
    return {s, s};
  }

  // expression -> term { '|' term }
  Fragment expression() {
    Fragment first = term();
    if (!at('|')) return first;
    int join = add_empty_state();
    link(first.end, join);
    int start = first.start;
    while (at('|')) {
      ++pos_;
      Fragment next = term();
      link(next.end, join);
      start = add_empty_state(next.start, start);
    }
    return {start, join};
  }

  // term -> factor { factor }
  Fragment term() {
    if (at_end() || at('|') || at(')')) return empty();
    Fragment whole = factor();
    while (!at_end() && !at('|') && !at(')')) {
      Fragment next = factor();
      link(whole.end, next.start);
      whole.end = next.end;
    }
    return whole;
  }

  // factor -> atom [ '*' | '+' | '%' ]
  Fragment factor() {
    Fragment f = atom();
    if (!at('*') && !at('+') && !at('%')) return f;
    char quantifier = text_[pos_++];
    int exit = add_empty_state();
    int loop = add_empty_state();
    int entry = add_empty_state();
    link(f.end, loop);
    switch (quantifier) {
      case '*':
        set_next(entry, exit, f.start);
        set_next(loop, exit, f.start);
        break;
      case '+':
        set_next(entry, f.start, f.start);
        set_next(loop, exit, f.start);
        break;
      default:  // '%'
        set_next(entry, exit, f.start);
        set_next(loop, exit, exit);
        break;
    }
    return {entry, exit};
  }

  Fragment single(const CharSet& set) {
    int s = add_char_state(set);
    return {s, s};
  }

  // atom -> '(' expression ')' | '\' c | '?' | '#' | '@' | '$' | '[' class ']' | c
  Fragment atom() {
    char c = text_[pos_++];
    switch (c) {
      case '(':
        if (depth_ >= kMaxDepth) break;
        return group();
      case '\\':
        if (!at_end()) c = text_[pos_++];
        break;
      case '?':
        return single(sets::all());
      case '#':
        return single(sets::digits());
      case '@': {
        static const CharSet kLetters = [] {
          CharSet set = sets::upper();
          set.unite(sets::lower());
          return set;
        }();
        return single(kLetters);
      }
      case '$':
        return single(sets::non_white());
      case '[': {
        CharSet set;
        if (char_class(set)) return single(set);
        break;
      }
      default:
        break;
    }
    CharSet literal;
    literal.add(static_cast<unsigned char>(c));
    return single(literal);
  }

  Fragment group() {
    ++depth_;
    Fragment inner = expression();
    --depth_;
    if (!at_end()) ++pos_;  // the closing ')'
    return inner;
  }

  // Reads one class member at i (a '\' escapes the next character).
  unsigned char class_item(size_t& i, size_t close) const {
    if (text_[i] == '\\' && i + 1 < close) ++i;
    return static_cast<unsigned char>(text_[i++]);
  }

  // Reads "[...]" or "[^...]" (pos_ is just past the '['). Returns false,
  // consuming nothing, when the class is not closed.
  bool char_class(CharSet& set) {
    size_t first = pos_;
    bool negate = first < text_.size() && text_[first] == '^';
    if (negate) ++first;
    size_t close = first;
    while (close < text_.size() && text_[close] != ']') close += text_[close] == '\\' ? 2 : 1;
    if (close >= text_.size()) return false;
    size_t i = first;
    while (i < close) {
      unsigned char x = class_item(i, close);
      set.add(x);
      if (i + 1 < close && text_[i] == '-') {
        size_t after = i + 1;
        unsigned char y = class_item(after, close);
        if (y >= x) {
          for (unsigned v = x; v <= y; ++v) set.add(static_cast<unsigned char>(v));
          i = after;
        }
      }
    }
    if (negate) set.complement();
    pos_ = close + 1;
    return true;
  }

  Pattern& p_;
  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

Pattern::Pattern(std::string_view pattern) {
  PatternCompiler(*this, pattern).compile();
  size_t n = states_.size();
  stamp_.assign(n, 0);
  current_.reserve(n);
  next_.reserve(n);
  stack_.reserve(2 * n + 2);
  std::vector<int> initial;
  generation_ = 1;
  enter(states_[0].next1, initial);
  for (int s : initial) first_.unite(states_[s].set);
}

void Pattern::enter(int state, std::vector<int>& list) const {
  stack_.clear();
  stack_.push_back(state);
  while (!stack_.empty()) {
    int s = stack_.back();
    stack_.pop_back();
    if (stamp_[s] == generation_) continue;
    stamp_[s] = generation_;
    if (s == 0) {
      matched_ = true;
      continue;
    }
    const State& st = states_[s];
    if (st.is_char) {
      list.push_back(s);
    } else {
      if (st.next2 != st.next1) stack_.push_back(st.next2);
      stack_.push_back(st.next1);
    }
  }
}

namespace {
void next_generation(unsigned& generation, std::vector<unsigned>& stamps) {
  if (++generation == 0) {
    std::fill(stamps.begin(), stamps.end(), 0);
    generation = 1;
  }
}
}  // namespace

long Pattern::match_at(std::string_view text, long start) const {
  if (start < 0 || start > static_cast<long>(text.size())) return start - 1;
  long last = start - 1;
  current_.clear();
  next_generation(generation_, stamp_);
  enter(states_[0].next1, current_);
  for (size_t p = static_cast<size_t>(start); !current_.empty() && p < text.size(); ++p) {
    unsigned char c = static_cast<unsigned char>(text[p]);
    next_.clear();
    matched_ = false;
    next_generation(generation_, stamp_);
    for (int s : current_) {
      if (states_[s].set.contains(c)) enter(states_[s].next1, next_);
    }
    if (matched_) last = static_cast<long>(p);
    current_.swap(next_);
  }
  return last;
}

Pattern::Found Pattern::search(std::string_view text, long from, long to) const {
  long last_index = static_cast<long>(text.size()) - 1;
  if (to < 0 || to > last_index) to = last_index;
  for (long p = from < 0 ? 0 : from; p <= to; ++p) {
    if (!first_.contains(text[static_cast<size_t>(p)])) continue;
    long end = match_at(text, p);
    if (end >= p) return {p, end - p + 1};
  }
  return {};
}

std::vector<std::string> Pattern::all_matches(std::string_view text) const {
  std::vector<std::string> matches;
  long from = 0;
  for (;;) {
    Found f = search(text, from);
    if (f.length == 0) break;
    matches.emplace_back(text.substr(static_cast<size_t>(f.start), static_cast<size_t>(f.length)));
    from = f.start + f.length;
  }
  return matches;
}

namespace {
void dump_char(std::string& out, unsigned c) {
  static const char kHex[] = "0123456789abcdef";
  if (c > 32 && c < 127) {
    out += static_cast<char>(c);
  } else {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
}

// Members as runs: "a-c-", "0-9"; a set of more than half the bytes is
// written as "^" and its complement.
std::string dump_set(const CharSet& set) {
  int members = 0;
  for (unsigned c = 1; c < 256; ++c) members += set.contains(static_cast<unsigned char>(c));
  if (members == 255) return "?";
  if (members > 127) {
    CharSet rest = set;
    rest.complement();
    return "^" + dump_set(rest);
  }
  std::string out;
  for (unsigned c = 1; c < 256; ++c) {
    if (!set.contains(static_cast<unsigned char>(c))) continue;
    unsigned end = c;
    while (end + 1 < 256 && set.contains(static_cast<unsigned char>(end + 1))) ++end;
    dump_char(out, c);
    if (end > c + 1) out += '-';
    if (end > c) dump_char(out, end);
    c = end;
  }
  return out;
}
}  // namespace

// One entry per state: "n:[set]>next" or "n:>next1,next2" (">next" when both agree).
std::string Pattern::dump() const {
  std::string out;
  for (size_t i = 0; i < states_.size(); ++i) {
    const State& s = states_[i];
    if (i > 0) out += ' ';
    out += std::to_string(i) + ":";
    if (s.is_char) out += "[" + dump_set(s.set) + "]";
    out += ">" + std::to_string(s.next1);
    if (!s.is_char && s.next2 != s.next1) out += "," + std::to_string(s.next2);
  }
  return out;
}

}  // namespace quill
