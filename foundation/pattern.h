// The system's own small regular-expression dialect, compiled into a
// nondeterministic automaton and run by a breadth-first simulation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "foundation/char_set.h"

namespace quill {

class Pattern {
 public:
  // Every pattern compiles; odd input is read as described in pattern.cpp.
  explicit Pattern(std::string_view pattern);

  // Index of the last character of the longest match starting at start;
  // start - 1 when that match is empty or there is none.
  long match_at(std::string_view text, long start) const;

  struct Found {
    long start = 0;
    long length = 0;  // 0: not found
  };
  // The first position in [from, to] (to == -1: the last index) where a
  // non-empty match begins, with its longest length.
  Found search(std::string_view text, long from = 0, long to = -1) const;

  // The non-overlapping matches, left to right.
  std::vector<std::string> all_matches(std::string_view text) const;

  // Compact dump of the state table, for tests.
  std::string dump() const;

 private:
  struct State {
    bool is_char = false;
    CharSet set;
    int next1 = 0;
    int next2 = 0;
  };
  // Adds the state's closure over empty states to list; reaching state 0
  // (the matched state) sets matched_.
  void enter(int state, std::vector<int>& list) const;

  std::vector<State> states_;
  CharSet first_;  // the characters a non-empty match can start with
  // Work space of match_at, kept between calls so matching does not allocate.
  mutable std::vector<int> current_, next_, stack_;
  mutable std::vector<unsigned> stamp_;
  mutable unsigned generation_ = 0;
  mutable bool matched_ = false;
  friend class PatternCompiler;
};

}  // namespace quill
