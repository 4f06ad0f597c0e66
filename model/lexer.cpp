#include "model/lexer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "foundation/messages.h"
#include "foundation/platform.h"
#include "model/reserved_words.h"

namespace quill {

namespace {

constexpr const char* kKindNames[] = {
    "object",         "class",          "parent",       "state",
    "process",        "flow",           "from",         "to",
    "events",         "action",         "end",          "foreign",
    "literal",        "import",         "pragma",       "language_keyword",
    "mapping",        "identifier",     "colon",        "semi",
    "left_paren",     "right_paren",    "left_bracket", "right_bracket",
    "comma",          "equal",          "right_arrow",  "double_l_brace",
    "double_r_brace", "str_literal",    "eof",          "line_comment",
    "margin_comment", "multiline_text", "unknown",
};
static_assert(std::size(kKindNames) == static_cast<size_t>(TokenKind::count_),
              "one name per token kind");

struct Keyword {
  std::string_view word;
  TokenKind kind;
};

constexpr Keyword kKeywords[] = {
    {"object", TokenKind::object},   {"class", TokenKind::object},
    {"parent", TokenKind::parent},   {"state", TokenKind::state},
    {"process", TokenKind::process}, {"flow", TokenKind::flow},
    {"from", TokenKind::from},       {"to", TokenKind::to},
    {"events", TokenKind::events},   {"action", TokenKind::action},
    {"end", TokenKind::end},         {"foreign", TokenKind::foreign},
    {"literal", TokenKind::literal}, {"import", TokenKind::import},
    {"pragma", TokenKind::pragma},
};

// Character classes as bits of one table entry per byte, so that the
// scanning loops test a byte with one load.
constexpr unsigned char kWhite = 1;
constexpr unsigned char kLetter = 2;  // bytes above 127 too: UTF-8 names pass through whole
constexpr unsigned char kWordChar = 4;

constexpr std::array<unsigned char, 256> make_char_classes() {
  std::array<unsigned char, 256> classes{};
  for (unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f'}) classes[c] = kWhite;
  for (int c = 0; c < 256; ++c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c > 127)
      classes[c] = kLetter | kWordChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_') classes[c] = kWordChar;
  }
  return classes;
}
constexpr std::array<unsigned char, 256> kCharClasses = make_char_classes();

bool has_class(char c, unsigned char bits) {
  return (kCharClasses[static_cast<unsigned char>(c)] & bits) != 0;
}
bool is_white(char c) { return has_class(c, kWhite); }
bool is_word_char(char c) { return has_class(c, kWordChar); }

constexpr std::array<char, 256> make_lower() {
  std::array<char, 256> lower{};
  for (int c = 0; c < 256; ++c)
    lower[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}
constexpr std::array<char, 256> kLower = make_lower();

char lower_ascii(char c) { return kLower[static_cast<unsigned char>(c)]; }

constexpr unsigned kCxxWord = 1;
constexpr unsigned kAdaWord = 2;

// Keywords and reserved words in one open-addressed table of lower-case
// words. The lexer classifies nearly every word of a model, and most are
// ordinary names: a word is placed by a key made of its length and its first
// and last letters, lowered, and each slot holds that key, so that a name
// usually meets a free slot, or a slot of another key, without being read
// whole.
class WordTable {
 public:
  struct Entry {
    std::uint32_t key = 0;  // 0: a free slot
    std::string_view word;
    TokenKind keyword = TokenKind::identifier;  // identifier: no keyword
    unsigned reserved = 0;  // kCxxWord, kAdaWord
  };

  // No keyword or reserved word is longer.
  static constexpr size_t kLongestWord = kLongestReservedWord;

  // Not inlined into the lookup: the lookup then needs fewer registers.
  [[gnu::noinline]] WordTable() {
    for (const Keyword& k : kKeywords) slot(k.word).keyword = k.kind;
    for (std::string_view word : cxx_reserved_words()) slot(word).reserved |= kCxxWord;
    for (std::string_view word : ada_reserved_words()) slot(word).reserved |= kAdaWord;
    for (const Entry& e : slots_) {
      if (e.key != 0) filter_[filter_bit(e.key) / 64] |= std::uint64_t{1} << filter_bit(e.key) % 64;
    }
  }

  // False when the word of size n at p is surely not in the table; n > 0.
  bool may_hold(const char* p, size_t n) const {
    if (n > kLongestWord) return false;
    const size_t bit = filter_bit(key(p, n));
    return (filter_[bit / 64] >> bit % 64 & 1) != 0;
  }

  // The entry of the word of size n at p in any case, or nullptr; n > 0.
  const Entry* find(const char* p, size_t n) const {
    if (!may_hold(p, n)) return nullptr;
    const std::uint32_t k = key(p, n);
    for (size_t i = place(k);; i = (i + 1) & kMask) {
      const Entry& e = slots_[i];
      if (e.key == 0) return nullptr;
      if (e.key == k && equals_lowered(e.word, p)) return &e;
    }
  }

 private:
  static constexpr size_t kSlotBits = 9;
  static constexpr size_t kSlots = size_t{1} << kSlotBits;  // well above the ~110 words
  static constexpr size_t kMask = kSlots - 1;

  static std::uint32_t key(const char* p, size_t n) {
    return static_cast<std::uint32_t>(n) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(lower_ascii(p[0]))) << 8 |
           static_cast<unsigned char>(lower_ascii(p[n - 1]));
  }
  static size_t place(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kSlotBits); }

  // A bit per key hash, set for the keys in the table: most names are
  // turned away by one bit test, before any slot is read.
  static constexpr size_t kFilterBits = 12;
  static size_t filter_bit(std::uint32_t key) { return (key * 0x85EBCA6Bu) >> (32 - kFilterBits); }

  // lower is lower-case; p holds as many bytes.
  static bool equals_lowered(std::string_view lower, const char* p) {
    for (size_t i = 0; i < lower.size(); ++i) {
      if (lower[i] != lower_ascii(p[i])) return false;
    }
    return true;
  }

  Entry& slot(std::string_view word) {
    const std::uint32_t k = key(word.data(), word.size());
    size_t i = place(k);
    while (slots_[i].key != 0 && slots_[i].word != word) i = (i + 1) & kMask;
    slots_[i].key = k;
    slots_[i].word = word;
    return slots_[i];
  }

  std::array<Entry, kSlots> slots_{};
  std::array<std::uint64_t, (size_t{1} << kFilterBits) / 64> filter_{};
};

const WordTable& word_table() {
  static const WordTable table;
  return table;
}

// The table for the scanning loop, set when the first lexer is made, so
// that the loop does not test for the table's construction at every word.
const WordTable* made_word_table = nullptr;

// A word longer than three characters that ends in `_of` or `_to`, in any case.
bool is_mapping_word(const char* p, size_t n) {
  if (n <= 3) return false;
  const char* tail = p + n - 3;
  const char a = lower_ascii(tail[1]);
  const char b = lower_ascii(tail[2]);
  return tail[0] == '_' && ((a == 'o' && b == 'f') || (a == 't' && b == 'o'));
}

// The length of the word that starts at p (a word's first byte), within
// the size bytes left.
size_t word_length(const char* p, size_t size) {
  size_t n = 1;
  while (n < size && is_word_char(p[n])) ++n;
  return n;
}

// How a token starting with a byte is scanned.
enum class Start : unsigned char { other, word, single, dash, quote, equal, left_brace, right_brace };

constexpr std::array<Start, 256> make_starts() {
  std::array<Start, 256> starts{};
  for (int c = 0; c < 256; ++c) {
    if ((kCharClasses[c] & kLetter) != 0 || c == '_') starts[c] = Start::word;
  }
  for (unsigned char c : {'(', ')', ',', ':', ';', '[', ']'}) starts[c] = Start::single;
  starts['-'] = Start::dash;
  starts['"'] = Start::quote;
  starts['='] = Start::equal;
  starts['{'] = Start::left_brace;
  starts['}'] = Start::right_brace;
  return starts;
}
constexpr std::array<Start, 256> kStarts = make_starts();

TokenKind single_char_kind(char c) {
  switch (c) {
    case '(':
      return TokenKind::left_paren;
    case ')':
      return TokenKind::right_paren;
    case ',':
      return TokenKind::comma;
    case ':':
      return TokenKind::colon;
    case ';':
      return TokenKind::semi;
    case '[':
      return TokenKind::left_bracket;
    case ']':
      return TokenKind::right_bracket;
    default:
      return TokenKind::unknown;
  }
}

}  // namespace

const char* token_kind_name(TokenKind kind) {
  auto i = static_cast<size_t>(kind);
  return i < std::size(kKindNames) ? kKindNames[i] : "unknown";
}

// A match is searched by its first byte, which the library finds with
// vector instructions: the general substring search costs far more on the
// short lines of a model. After a match the search moves on by two bytes
// (the pairs counted are two bytes long).
size_t count_pairs(std::string_view text, std::string_view pair) {
  if (pair.empty()) return 0;
  size_t n = 0;
  for (size_t at = 0; at + pair.size() <= text.size();) {
    const void* hit = std::memchr(text.data() + at, pair[0], text.size() - pair.size() + 1 - at);
    if (hit == nullptr) break;
    at = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    if (text.compare(at, pair.size(), pair) == 0) {
      ++n;
      at += 2;
    } else {
      ++at;
    }
  }
  return n;
}

namespace {

// The `{{` of the line less its `}}`; open is the place of the first `{`
// (npos: none). Most lines have no brace at all, and vectorised searches for
// a single byte settle that quickly; pairs are counted from the first brace.
long brace_balance(std::string_view line, size_t open) {
  const size_t close = line.find('}');
  long balance = 0;
  if (open != std::string_view::npos)
    balance += static_cast<long>(count_pairs(line.substr(open), "{{"));
  if (close != std::string_view::npos)
    balance -= static_cast<long>(count_pairs(line.substr(close), "}}"));
  return balance;
}

// Line feeds counted a line at a time: the library's byte search is
// vectorised, a counting loop is not.
long count_line_feeds(std::string_view text) {
  long n = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (p == nullptr) break;
    ++n;
    ++p;
  }
  return n;
}

}  // namespace

// --- ModelLexer -------------------------------------------------------------

ModelLexer::ModelLexer(std::string_view text, LexerOptions options) : options_(options) {
  if (made_word_table == nullptr) made_word_table = &word_table();
  reset(text);
}

void ModelLexer::reset(std::string_view text) {
  owned_.assign(text);
  view(owned_);
}

void ModelLexer::view(std::string_view text) {
  text_ = text;
  start_ = 0;
  length_ = 0;
  kind_ = TokenKind::unknown;
  after_braces_ = false;
  counted_to_ = 0;
  lines_ = 0;
}

void ModelLexer::set(TokenKind kind, size_t length) {
  kind_ = kind;
  length_ = length;
}

// The common tokens, words and single characters, are taken here; every
// other case goes to next_general(). Both exits are tail calls, so that this
// part saves no registers.
TokenKind ModelLexer::next() {
  size_t i = start_ + length_;
  length_ = 0;
  if (!after_braces_) {
    const char* const text = text_.data();
    const size_t size = text_.size();
    while (i < size && is_white(text[i])) ++i;
    if (i < size) {
      const char c = text[i];
      const Start start = kStarts[static_cast<unsigned char>(c)];
      if (start == Start::word) {
        start_ = i;
        return take_word(word_length(text + i, size - i));
      }
      if (start == Start::single) {
        start_ = i;
        set(single_char_kind(c), 1);
        return kind_;
      }
    }
  }
  return next_general(i);
}

// Most words are names that the table's filter turns away at once; only
// the others are looked up, in a tail call.
TokenKind ModelLexer::take_word(size_t length) {
  const char* word = text_.data() + start_;
  if (made_word_table->may_hold(word, length)) return take_listed_word(length);
  set(is_mapping_word(word, length) ? TokenKind::mapping : TokenKind::identifier, length);
  return kind_;
}

TokenKind ModelLexer::take_listed_word(size_t length) {
  set(word_kind(text_.data() + start_, length), length);
  return kind_;
}

TokenKind ModelLexer::next_general(size_t i) {
  if (after_braces_) {
    start_ = i;
    after_braces_ = false;
    scan_multiline();
    return kind_;
  }
  const char* const text = text_.data();
  const size_t size = text_.size();
  for (;;) {
    while (i < size && is_white(text[i])) ++i;
    start_ = i;
    if (i >= size) {
      set(TokenKind::eof, 0);
      return kind_;
    }
    const char c = text[i];
    const char after = i + 1 < size ? text[i + 1] : '\0';
    switch (kStarts[static_cast<unsigned char>(c)]) {
      case Start::word:  // after a comment
        return take_word(word_length(text + i, size - i));
      case Start::single:
        set(single_char_kind(c), 1);
        return kind_;
      case Start::dash:
        if (after != '-') break;
        scan_comment();
        if (!options_.skip_comments) return kind_;
        i = start_ + length_;
        length_ = 0;
        continue;
      case Start::quote:
        scan_string();
        return kind_;
      case Start::equal:
        after == '>' ? set(TokenKind::right_arrow, 2) : set(TokenKind::equal, 1);
        return kind_;
      case Start::left_brace:
        if (after == '{') {
          set(TokenKind::double_l_brace, 2);
          after_braces_ = true;
        } else {
          set(TokenKind::unknown, 1);
        }
        return kind_;
      case Start::right_brace:
        after == '}' ? set(TokenKind::double_r_brace, 2) : set(TokenKind::unknown, 1);
        return kind_;
      case Start::other:
        break;
    }
    scan_to_white();
    return kind_;
  }
}

// The raw text up to the first `}}`; without one the rest of the text is eof.
void ModelLexer::scan_multiline() {
  size_t close = text_.find("}}", start_);
  if (close == std::string_view::npos) {
    set(TokenKind::eof, text_.size() - start_);
  } else {
    set(TokenKind::multiline_text, close - start_);
  }
}

// A backslash escapes the character after it, so a quote closes the string
// exactly when an even number of backslashes precedes it.
void ModelLexer::scan_string() {
  size_t i = start_ + 1;
  while (i < text_.size() && text_[i] != '"') {
    i += text_[i] == '\\' ? 2 : 1;
  }
  if (i >= text_.size()) {
    set(TokenKind::unknown, text_.size() - start_);
  } else {
    set(TokenKind::str_literal, i + 1 - start_);
  }
}

// A comment runs to its line end, which is the line feed and a carriage
// return before it; a comment that ends the text without a line feed keeps
// every byte.
void ModelLexer::scan_comment() {
  size_t lf = text_.find('\n', start_);
  size_t stop = lf == std::string_view::npos ? text_.size() : lf;
  if (lf != std::string_view::npos && text_[stop - 1] == '\r') --stop;
  set(comment_starts_line() ? TokenKind::line_comment : TokenKind::margin_comment, stop - start_);
}

bool ModelLexer::comment_starts_line() const {
  for (size_t i = start_; i > 0; --i) {
    char c = text_[i - 1];
    if (c == '\n') return true;
    if (!is_white(c)) return false;
  }
  return true;
}

// Keywords, mappings and reserved words are recognised in any case.
TokenKind ModelLexer::word_kind(const char* word, size_t size) const {
  unsigned reserved = 0;
  if (const WordTable::Entry* entry = word_table().find(word, size)) {
    if (entry->keyword != TokenKind::identifier) return entry->keyword;
    reserved = entry->reserved;
  }
  if (is_mapping_word(word, size)) return TokenKind::mapping;
  if ((!options_.allow_cxx_words && (reserved & kCxxWord) != 0) ||
      (!options_.allow_ada_words && (reserved & kAdaWord) != 0))
    return TokenKind::language_keyword;
  return TokenKind::identifier;
}

void ModelLexer::scan_to_white() {
  size_t i = start_;
  while (i < text_.size() && !is_white(text_[i])) ++i;
  set(TokenKind::unknown, i - start_);
}

long ModelLexer::line() {
  size_t upto = std::min(start_, text_.size());
  if (upto < counted_to_) {  // never happens while tokens only advance
    counted_to_ = 0;
    lines_ = 0;
  }
  lines_ += std::count(text_.begin() + counted_to_, text_.begin() + upto, '\n');
  counted_to_ = upto;
  return lines_ + 1;
}

long ModelLexer::line_feeds() const { return count_line_feeds(text_); }

std::string ModelLexer::text(bool strip_quotes, bool unescape) const {
  std::string out;
  assign_text(out, strip_quotes, unescape);
  return out;
}

void ModelLexer::assign_text(std::string& out, bool strip_quotes, bool unescape) const {
  const std::string_view text = view_text(out, strip_quotes, unescape);
  if (text.data() == out.data()) return;  // unescaped into out already
  // clear and append: cheaper than the general assign for short texts
  out.clear();
  out.append(text);
}

std::string_view ModelLexer::literal_text(std::string& scratch, bool strip_quotes,
                                          bool unescape) const {
  std::string_view raw = raw_text();
  if (strip_quotes && raw.size() >= 2) raw = raw.substr(1, raw.size() - 2);
  const size_t backslash = unescape ? raw.find('\\') : std::string_view::npos;
  if (backslash == std::string_view::npos) return raw;
  scratch.assign(raw.substr(0, backslash));
  for (size_t i = backslash; i < raw.size(); ++i) {
    if (raw[i] == '\\') {
      if (++i >= raw.size()) break;
    }
    scratch += raw[i];
  }
  return scratch;
}

// --- ModelFileLexer ---------------------------------------------------------

ModelFileLexer::ModelFileLexer(LexerOptions options, bool strip_returns)
    : lexer_({}, options), strip_returns_(strip_returns) {}

bool ModelFileLexer::open(const std::string& file_name) {
  file_name_ = file_name;
  content_.clear();
  next_line_ = 0;
  next_brace_ = next_quote_ = kUnknown;
  lines_in_place_ = false;
  has_chunk_ = false;
  lines_before_chunk_ = 0;
  lexer_.view({});
  if (file_name.empty() || !platform::is_regular_file(file_name) ||
      !platform::read_file(file_name, content_)) {
    // Built by hand: an empty name must still show as ''.
    error("The file '" + file_name + "' cannot be loaded.");
    return false;
  }
  return true;
}

// Kept apart from next() so that the common call, a token within the
// current chunk, stays short.
TokenKind ModelFileLexer::next_from_new_chunk() {
  for (;;) {
    if (has_chunk_) lines_before_chunk_ += lines_in_chunk_;
    if (!load_next_chunk()) {
      has_chunk_ = false;
      lexer_.view({});
      // The text is no longer needed; give its memory back.
      std::string().swap(content_);
      std::string().swap(chunk_);
      return TokenKind::eof;
    }
    if (lexer_.next() != TokenKind::eof) return lexer_.kind();
  }
}

// A line whose `{{` outnumber its `}}` opens a chunk that runs until the
// `}}` catch up or the file ends. A line that closes more than it opened
// ends the chunk as well: waiting for exact balance would join the rest of
// the file into one chunk, and every later error would then be placed from
// the start of that far-away line.
bool ModelFileLexer::load_next_chunk() {
  if (next_line_ >= content_.size()) return false;
  has_chunk_ = true;
  if (take_plain_lines()) return true;
  lines_in_place_ = false;
  std::string_view line = take_line();
  // Only the sign counts here, and a line without `{` cannot open.
  const size_t open = line.find('{');
  long opened = open == std::string_view::npos ? 0 : brace_balance(line, open);
  if (opened <= 0 || next_line_ >= content_.size()) {
    // Nearly every chunk is one line. When the file already holds that line
    // followed by exactly the line end a chunk gets, the lexer reads it in
    // place instead of from a copy.
    const char* after = line.data() + line.size();
    const size_t left = static_cast<size_t>(content_.data() + content_.size() - after);
    const size_t eol = strip_returns_ ? 1 : 2;
    if (left >= eol && after[eol - 1] == '\n' && (eol == 1 || after[0] == '\r')) {
      lines_in_chunk_ = 1;
      lexer_.view(std::string_view(line.data(), line.size() + eol));
      return true;
    }
  }
  chunk_.clear();
  lines_in_chunk_ = 0;
  for (;;) {
    append_line(line);
    if (opened <= 0 || next_line_ >= content_.size()) break;
    line = take_line();
    opened += brace_balance(line, line.find('{'));
  }
  lexer_.view(chunk_);
  return true;
}

// The place of the first byte c at or after from, or the end of the content:
// remembered in at, so that searches over a long stretch without c are not
// repeated chunk after chunk.
size_t ModelFileLexer::next_of(char c, size_t from, size_t& at) const {
  if (at == kUnknown || at < from) {
    const void* found = std::memchr(content_.data() + from, c, content_.size() - from);
    at = found == nullptr ? content_.size()
                          : static_cast<size_t>(static_cast<const char*>(found) - content_.data());
  }
  return at;
}

// Most lines hold neither `{` nor `"`, and no token of such a line reaches
// past its line feed (only a block or an unclosed string could), nor does
// its trailing white space or line end change any token: a line chunk of
// its own and the file's text read the same. So every line up to the next
// line holding one of them is read in place as one chunk; offsets are then
// counted from the start of the token's line, as a chunk of one line would
// count them. False when the next line holds one.
bool ModelFileLexer::take_plain_lines() {
  const size_t begin = next_line_;
  const size_t special =
      std::min(next_of('{', begin, next_brace_), next_of('"', begin, next_quote_));
  const char* const first = content_.data() + begin;
  size_t stop = content_.size();
  if (special < content_.size()) {
    const void* lf = ::memrchr(first, '\n', special - begin);
    if (lf == nullptr) return false;
    stop = static_cast<size_t>(static_cast<const char*>(lf) - content_.data()) + 1;
  }
  if (stop <= begin) return false;
  const std::string_view lines(first, stop - begin);
  lines_in_chunk_ = count_line_feeds(lines);
  if (lines.back() != '\n') ++lines_in_chunk_;  // the last line of a file without a final line feed
  next_line_ = stop;
  lines_in_place_ = true;
  lexer_.view(lines);
  return true;
}

size_t ModelFileLexer::offset() const {
  const size_t at = lexer_.offset();
  if (!lines_in_place_ || !has_chunk_ || at == 0) return at;
  const char* const text = lexer_.source().data();
  const void* lf = ::memrchr(text, '\n', at);
  return lf == nullptr ? at : at - static_cast<size_t>(static_cast<const char*>(lf) - text + 1);
}

// The next line of the file without its line feed, and without trailing
// white space (which includes the carriage return of a CR LF line end).
std::string_view ModelFileLexer::take_line() {
  const size_t begin = next_line_;
  size_t end = content_.find('\n', begin);
  next_line_ = end == std::string::npos ? content_.size() : end + 1;
  if (end == std::string::npos) end = content_.size();
  while (end > begin && is_white(content_[end - 1])) --end;
  return std::string_view(content_).substr(begin, end - begin);
}

// Each line of a chunk, however it ended in the file, ends in the one line
// end the switch asks for, so every line adds exactly one line feed.
void ModelFileLexer::append_line(std::string_view line) {
  chunk_.append(line);
  if (!strip_returns_) chunk_.push_back('\r');
  chunk_.push_back('\n');
  ++lines_in_chunk_;
}
std::string ModelFileLexer::text(bool strip_quotes) const {
  std::string out;
  assign_text(out, strip_quotes);
  return out;
}

void ModelFileLexer::assign_text(std::string& out, bool strip_quotes) const {
  if (has_chunk_) {
    lexer_.assign_text(out, strip_quotes, true);
  } else {
    out.assign("<eof>");
  }
}

long ModelFileLexer::line() {
  if (!has_chunk_) return lines_before_chunk_ + 1;
  return lines_before_chunk_ + lexer_.line();
}

}  // namespace quill
