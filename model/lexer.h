// Tokens of the model language. ModelLexer splits one chunk of text into
// tokens; ModelFileLexer reads a model file, takes it line by line, joins the
// lines of a `{{ ... }}` block into one chunk and keeps the line count across
// chunks. Keywords are matched without regard to case, word by word, so the
// text is never copied in another case.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// The kinds of token; their names appear in syntax error messages.
enum class TokenKind : int {
  object,
  class_,  // never produced: the keyword `class` yields object
  parent,
  state,
  process,
  flow,
  from,
  to,
  events,
  action,
  end,
  foreign,
  literal,
  import,
  pragma,
  language_keyword,
  mapping,
  identifier,
  colon,
  semi,
  left_paren,
  right_paren,
  left_bracket,
  right_bracket,
  comma,
  equal,
  right_arrow,
  double_l_brace,
  double_r_brace,
  str_literal,
  eof,
  line_comment,
  margin_comment,
  multiline_text,
  unknown,
  count_  // number of kinds, not a kind
};

// The printed name of a kind ("unknown" for a value outside the table).
const char* token_kind_name(TokenKind kind);

// The switches fixed when a lexer is made.
struct LexerOptions {
  bool skip_comments = true;
  bool allow_ada_words = true;  // false: Ada reserved words are language_keyword
  bool allow_cxx_words = true;  // false: C++ reserved words are language_keyword
};

class ModelLexer {
 public:
  explicit ModelLexer(std::string_view text = {}, LexerOptions options = {});

  // Replaces the text with a copy of text; keeps the switches and starts
  // before the first token.
  void reset(std::string_view text);
  // The same without the copy: the caller keeps text alive and unchanged
  // until the next reset or view.
  void view(std::string_view text);
  // Scans the next token and returns its kind.
  TokenKind next();

  TokenKind kind() const { return kind_; }
  size_t length() const { return length_; }
  // Start of the current token, counted from the beginning of the text.
  size_t offset() const { return start_; }
  // 1 plus the number of line feeds before the current token.
  long line();
  // The current token as written, without one trailing carriage return.
  // For a str_literal, unescape drops each backslash and keeps what follows
  // it, and strip_quotes drops the first and last character.
  std::string text(bool strip_quotes, bool unescape) const;
  // The same into out, whose buffer is reused.
  void assign_text(std::string& out, bool strip_quotes, bool unescape) const;
  // The same without a copy where none is needed: a view of the text, or of
  // scratch when unescaping changed it. Valid until the next reset or view,
  // and until scratch changes.
  // Inline: the parser takes the text of most tokens, nearly all of them plain.
  std::string_view view_text(std::string& scratch, bool strip_quotes, bool unescape) const {
    if (kind_ == TokenKind::str_literal) return literal_text(scratch, strip_quotes, unescape);
    if (kind_ == TokenKind::eof) return "<eof>";
    return raw_text();
  }
  // Number of line feeds in the whole text.
  long line_feeds() const;
  // The whole text being scanned.
  std::string_view source() const { return text_; }

 private:
  void set(TokenKind kind, size_t length);
  TokenKind take_word(size_t length);
  [[gnu::noinline]] TokenKind take_listed_word(size_t length);
  TokenKind next_general(size_t from);
  std::string_view raw_text() const {
    return std::string_view(text_.data() + start_, std::min(length_, text_.size() - start_));
  }
  std::string_view literal_text(std::string& scratch, bool strip_quotes, bool unescape) const;
  void scan_string();
  void scan_comment();
  void scan_to_white();
  void scan_multiline();
  bool comment_starts_line() const;
  TokenKind word_kind(const char* word, size_t size) const;

  std::string owned_;      // the copy that reset makes
  std::string_view text_;  // as written; owned_ or the caller's text
  LexerOptions options_;
  size_t start_ = 0;
  size_t length_ = 0;
  TokenKind kind_ = TokenKind::unknown;
  bool after_braces_ = false;  // the last token was `{{`
  size_t counted_to_ = 0;      // line feeds before this position are in lines_
  long lines_ = 0;
};

class ModelFileLexer {
 public:
  // The reader appends "\n" instead of "\r\n" to each line when strip_returns.
  ModelFileLexer(LexerOptions options, bool strip_returns);

  // Reads the file; reports "The file '%s' cannot be loaded." and returns
  // false when it cannot be read.
  bool open(const std::string& file_name);
  // The next token's kind, across chunks; eof for good at the end. Inline:
  // the parser asks for every token, and nearly all are in the current chunk.
  TokenKind next() {
    if (has_chunk_ && lexer_.next() != TokenKind::eof) return lexer_.kind();
    return next_from_new_chunk();
  }

  TokenKind kind() const { return has_chunk_ ? lexer_.kind() : TokenKind::eof; }
  // The current token, unescaped; "<eof>" at the end.
  std::string text(bool strip_quotes) const;
  // The same into out, whose buffer is reused.
  void assign_text(std::string& out, bool strip_quotes) const;
  // The same as a view, valid only until the next token is read (see
  // ModelLexer::view_text).
  std::string_view view_text(std::string& scratch, bool strip_quotes) const {
    return has_chunk_ ? lexer_.view_text(scratch, strip_quotes, true) : "<eof>";
  }
  // Start of the current token, counted from the beginning of its chunk.
  size_t offset() const;
  size_t length() const { return lexer_.length(); }
  // 1-based line of the current token in the file.
  long line();
  const std::string& file_name() const { return file_name_; }

 private:
  TokenKind next_from_new_chunk();
  bool load_next_chunk();
  bool take_plain_lines();
  size_t next_of(char c, size_t from, size_t& at) const;
  std::string_view take_line();
  void append_line(std::string_view line);

  std::string file_name_;
  std::string content_;     // the whole file as read
  size_t next_line_ = 0;    // offset in content_ of the first line not yet taken
  static constexpr size_t kUnknown = static_cast<size_t>(-1);
  size_t next_brace_ = kUnknown;  // the next `{` in content_ as last found (see next_of)
  size_t next_quote_ = kUnknown;  // the same for `"`
  bool lines_in_place_ = false;   // the chunk is a run of lines read in place
  std::string chunk_;       // the current chunk; its buffer is reused
  long lines_in_chunk_ = 0;
  ModelLexer lexer_;        // views chunk_, or a line of content_ in place
  bool has_chunk_ = false;
  long lines_before_chunk_ = 0;
  bool strip_returns_;
};

// Counts the occurrences of pair in text that do not overlap (none for an
// empty pair).
size_t count_pairs(std::string_view text, std::string_view pair);

}  // namespace quill
