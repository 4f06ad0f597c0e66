#include "project/project_archive.h"

#include <limits>
#include <utility>

namespace quill {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text as it stands in the file: a line feed becomes a backslash and n,
// a carriage return is left out, so that the text always fits on one line.
std::string encode(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 8);
  for (char c : value) {
    if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

// Leading sign and digits of the word as a decimal number, saturating
// instead of overflowing; anything else yields what was read so far (0).
long long to_integer(std::string_view word) {
  constexpr long long kMax = std::numeric_limits<long long>::max();
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
  long long value = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    int digit = word[i] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace

ProjectArchive ProjectArchive::writer() { return ProjectArchive(true); }

ProjectArchive ProjectArchive::reader(std::string content) {
  ProjectArchive archive(false);
  archive.text_ = std::move(content);
  return archive;
}

void ProjectArchive::write_integer(long long value, std::string_view key) {
  text_ += key;
  text_ += '=';
  text_ += std::to_string(value);
  text_ += ' ';
  text_ += kLineEnd;
}

// The length line counts the characters of the text as written, so that a
// reader taking that many characters gets the whole line back whatever line
// ends the text held (for CR LF texts this equals the text's own length).
void ProjectArchive::write_text(std::string_view value, std::string_view key) {
  std::string encoded = encode(value);
  std::string length_key(key);
  length_key += "Length";
  write_integer(static_cast<long long>(encoded.size()), length_key);
  if (encoded.empty()) return;
  text_ += key;
  text_ += '=';
  text_ += encoded;
  text_ += kLineEnd;
}

bool ProjectArchive::skip_past(char c) {
  if (failed_) return false;
  size_t found = text_.find(c, pos_);
  if (found == std::string::npos) {
    failed_ = true;
    pos_ = text_.size();
    return false;
  }
  pos_ = found + 1;
  return true;
}

void ProjectArchive::skip_line() {
  size_t found = text_.find('\n', pos_);
  pos_ = found == std::string::npos ? text_.size() : found + 1;
}

long long ProjectArchive::read_integer() {
  if (!skip_past('=')) return 0;
  size_t start = pos_;
  while (pos_ < text_.size() && !is_space(text_[pos_])) ++pos_;
  return to_integer(std::string_view(text_).substr(start, pos_ - start));
}

std::string ProjectArchive::read_text() {
  long long length = read_integer();
  if (length < 1 || !skip_past('=')) return {};
  std::string value;
  while (pos_ < text_.size() && text_[pos_] != '\n' && static_cast<long long>(value.size()) < length) {
    char c = text_[pos_++];
    if (c != '\r') value += c;
  }
  skip_line();
  return value;
}

void ProjectArchive::transfer(std::string& value, std::string_view key) {
  if (writing_) {
    write_text(value, key);
  } else {
    value = read_text();
  }
}

void ProjectArchive::transfer(bool& flag, std::string_view key) {
  if (writing_) {
    write_integer(flag ? 1 : 0, key);
  } else {
    flag = read_integer() != 0;
  }
}

bool ProjectArchive::enter() {
  if (++depth_ > kMaxDepth && !writing_) failed_ = true;
  return !failed_;
}

}  // namespace quill
