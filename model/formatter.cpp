// The formatter writes every token as: a separator chosen by the token's kind
// (and, for words, by the previous token's kind), the token's text, and a
// line end after whole-line comments. Keywords that shape the layout come
// out in lower case; everything else is copied as written. It tracks the
// column to align attribute colons at column 20 and to wrap long argument
// lists under the first argument.
#include "model/formatter.h"

#include <algorithm>

namespace quill {

namespace {

constexpr long kColonColumn = 20;
constexpr long kWrapColumn = 99;
constexpr int kIndentWidth = 4;

enum class Separator {
  space,         // " "
  nothing,       // ""
  paragraph,     // blank line, then the indent
  line,          // line end, then the indent
  outdent_line,  // line end, then one level less
  colon,         // aligned at column 20 in an object's members
  line_comment,  // a line end after a `;`
  margin,        // four spaces
  word,          // decided by the previous token
};

struct SeparatorRow {
  TokenKind kind;
  Separator separator;
};

constexpr SeparatorRow kSeparators[] = {
    {TokenKind::object, Separator::paragraph},
    {TokenKind::state, Separator::line},
    {TokenKind::events, Separator::line},
    {TokenKind::action, Separator::line},
    {TokenKind::end, Separator::outdent_line},
    {TokenKind::foreign, Separator::line},
    {TokenKind::pragma, Separator::line},
    {TokenKind::colon, Separator::colon},
    {TokenKind::right_paren, Separator::nothing},
    {TokenKind::right_bracket, Separator::nothing},
    {TokenKind::comma, Separator::nothing},
    {TokenKind::double_r_brace, Separator::nothing},
    {TokenKind::multiline_text, Separator::nothing},
    {TokenKind::line_comment, Separator::line_comment},
    {TokenKind::margin_comment, Separator::margin},
    {TokenKind::identifier, Separator::word},
    {TokenKind::unknown, Separator::word},
};

Separator separator_of(TokenKind kind) {
  for (const SeparatorRow& row : kSeparators) {
    if (row.kind == kind) return row.separator;
  }
  return Separator::space;
}

// Whether the separator starts a new line after a margin comment (a word
// after a comment does, a line comment does when the line is open).
bool begins_line(Separator separator) {
  return separator == Separator::paragraph || separator == Separator::line ||
         separator == Separator::outdent_line || separator == Separator::word ||
         separator == Separator::line_comment;
}

// Keywords written in their canonical lower-case spelling (`class` becomes `object`).
constexpr TokenKind kCanonicalKeywords[] = {
    TokenKind::object, TokenKind::parent, TokenKind::state,   TokenKind::events,
    TokenKind::action, TokenKind::end,    TokenKind::foreign, TokenKind::pragma,
};

bool is_canonical_keyword(TokenKind kind) {
  return std::find(std::begin(kCanonicalKeywords), std::end(kCanonicalKeywords), kind) !=
         std::end(kCanonicalKeywords);
}

// Previous kinds after which a word starts a new line.
constexpr TokenKind kWordBreakers[] = {
    TokenKind::end,          TokenKind::identifier,     TokenKind::semi,    TokenKind::str_literal,
    TokenKind::line_comment, TokenKind::margin_comment, TokenKind::unknown,
};

bool breaks_before_word(TokenKind previous) {
  return std::find(std::begin(kWordBreakers), std::end(kWordBreakers), previous) !=
         std::end(kWordBreakers);
}

}  // namespace

bool ModelTextFormatter::respells(TokenKind kind) { return is_canonical_keyword(kind); }

std::string ModelTextFormatter::format(std::string_view text) {
  out_.clear();
  column_ = 1;
  indent_ = 0;
  previous_ = TokenKind::unknown;
  in_parens_ = false;
  remembered_column_ = 0;
  ModelLexer lexer(text, LexerOptions{false, true, true});
  while (lexer.next() != TokenKind::eof) {
    TokenKind kind = lexer.kind();
    write_token(kind,
                is_canonical_keyword(kind) ? token_kind_name(kind) : lexer.text(false, false));
    previous_ = kind;
  }
  // A `{{` that is never closed ends the tokens, but the text after it is
  // the user's and is kept as written.
  if (lexer.length() > 0) write(text.substr(lexer.offset()));
  return std::move(out_);
}

void ModelTextFormatter::write_token(TokenKind kind, const std::string& text) {
  write_separator(kind);
  write(text);
  if (kind == TokenKind::line_comment) write("\r\n");
  switch (kind) {
    case TokenKind::end:
      indent_ = std::max(0, indent_ - 1);
      break;
    case TokenKind::object:
    case TokenKind::state:
      ++indent_;
      break;
    case TokenKind::left_paren:
      in_parens_ = true;
      break;
    case TokenKind::right_paren:
      in_parens_ = false;
      break;
    default:
      break;
  }
}

void ModelTextFormatter::write_separator(TokenKind kind) {
  const Separator separator = separator_of(kind);
  // A margin comment runs to the end of its line: a token written after it
  // on the same line would become part of the comment.
  if (previous_ == TokenKind::margin_comment && !begins_line(separator)) {
    return new_line(0, indent_);
  }
  // An unknown token runs to the next white space, so nothing may be glued to it.
  if (previous_ == TokenKind::unknown && separator == Separator::nothing) return write(" ");
  switch (separator) {
    case Separator::space:
      write(" ");
      break;
    case Separator::nothing:
      break;
    case Separator::paragraph:
      new_line(1, indent_);
      break;
    case Separator::line:
      new_line(0, indent_);
      break;
    case Separator::outdent_line:
      new_line(0, std::max(0, indent_ - 1));
      break;
    case Separator::colon:
      write_colon_separator();
      break;
    case Separator::line_comment:
      // After a `;`, and after anything else that leaves the line open: a
      // comment written behind a word would join the word or hide the text.
      if (previous_ == TokenKind::semi || column_ > 1) write("\r\n");
      break;
    case Separator::margin:
      write("    ");
      break;
    case Separator::word:
      write_word_separator();
      break;
  }
}

void ModelTextFormatter::write_colon_separator() {
  if (indent_ == 1 && !in_parens_ && column_ < kColonColumn) {
    spaces(kColonColumn - column_);
  } else {
    write(" ");
  }
}

void ModelTextFormatter::write_word_separator() {
  if (breaks_before_word(previous_)) {
    new_line(0, indent_);
  } else if (previous_ == TokenKind::right_paren) {
    new_line(1, indent_);
  } else if (previous_ == TokenKind::left_paren || previous_ == TokenKind::left_bracket) {
    remembered_column_ = column_ + 1;
  } else if (previous_ == TokenKind::comma && column_ > kWrapColumn) {
    write("\r\n");
    spaces(remembered_column_ - 2);
  } else {
    write(" ");
  }
}

void ModelTextFormatter::new_line(int blank_lines, int level) {
  for (int i = 0; i <= blank_lines; ++i) write("\r\n");
  spaces(static_cast<long>(std::min(level, kMaxIndentLevels)) * kIndentWidth);
}

void ModelTextFormatter::spaces(long n) {
  if (n <= 0) return;
  out_.append(static_cast<size_t>(n), ' ');
  column_ += n;
}

void ModelTextFormatter::write(std::string_view s) {
  out_.append(s);
  size_t lf = s.rfind('\n');
  column_ = lf == std::string_view::npos ? column_ + static_cast<long>(s.size())
                                         : static_cast<long>(s.size() - lf);
}

}  // namespace quill
