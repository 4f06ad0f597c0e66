// Pretty-printer of model text: one paragraph per object, one member per
// line, colons of attributes aligned, comments kept.
#pragma once

#include <string>
#include <string_view>

#include "model/lexer.h"

namespace quill {

class ModelTextFormatter {
 public:
  // Returns the formatted text; the input is lexed as one piece, comments kept.
  std::string format(std::string_view text);

  // Whether the formatter writes this keyword in its one lower-case spelling
  // (`CLASS` comes out as `object`) rather than as written.
  static bool respells(TokenKind kind);

  // Indentation deeper than this many levels is written at this depth, so
  // that absurdly nested input cannot make the output grow quadratically.
  static constexpr int kMaxIndentLevels = 64;

 private:
  void write_token(TokenKind kind, const std::string& text);
  void write_separator(TokenKind kind);
  void write_word_separator();
  void write_colon_separator();
  void write(std::string_view s);
  void new_line(int blank_lines, int level);
  void spaces(long n);

  std::string out_;
  long column_ = 1;
  int indent_ = 0;
  TokenKind previous_ = TokenKind::unknown;
  bool in_parens_ = false;
  long remembered_column_ = 0;
};

}  // namespace quill
