#include "foundation/char_set.h"

namespace quill {

CharSet::CharSet(std::string_view members) {
  flags_.fill(false);
  for (char c : members) add(static_cast<unsigned char>(c));
}

CharSet CharSet::full() {
  CharSet set;
  set.complement();
  return set;
}

void CharSet::unite(const CharSet& other) {
  for (size_t i = 1; i < flags_.size(); ++i) flags_[i] = flags_[i] || other.flags_[i];
}

void CharSet::complement() {
  for (size_t i = 1; i < flags_.size(); ++i) flags_[i] = !flags_[i];
  flags_[0] = false;
}

namespace sets {
namespace {
CharSet united(std::initializer_list<CharSet> parts) {
  CharSet set;
  for (const CharSet& part : parts) set.unite(part);
  return set;
}
CharSet complemented(CharSet set) {
  set.complement();
  return set;
}
}  // namespace

const CharSet& upper() {
  static const CharSet set("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  return set;
}
const CharSet& lower() {
  static const CharSet set("abcdefghijklmnopqrstuvwxyz");
  return set;
}
const CharSet& digits() {
  static const CharSet set("0123456789");
  return set;
}
// Bytes above 127 are never white space, so UTF-8 texts pass through intact.
const CharSet& white() {
  static const CharSet set(" \n\t\v\b\r\f");
  return set;
}
const CharSet& non_white() {
  static const CharSet set = complemented(white());
  return set;
}
const CharSet& name_chars() {
  static const CharSet set = united({upper(), lower(), digits(), CharSet("._")});
  return set;
}
const CharSet& separators() {
  static const CharSet set("\\/");
  return set;
}
const CharSet& all() {
  static const CharSet set = CharSet::full();
  return set;
}
const CharSet& none() {
  static const CharSet set;
  return set;
}
const CharSet& truth_letters() {
  static const CharSet set("true");
  return set;
}
const CharSet& reference_name_chars() {
  static const CharSet set("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._{}!@");
  return set;
}
}  // namespace sets

size_t span(const CharSet& set, std::string_view text) {
  size_t i = 0;
  while (i < text.size() && set.contains(text[i])) ++i;
  return i;
}

size_t find_member(const CharSet& set, std::string_view text) {
  size_t i = 0;
  while (i < text.size() && !set.contains(text[i])) ++i;
  return i;
}

namespace {
long last_with(const CharSet& set, std::string_view text, size_t from, bool member) {
  if (text.empty()) return -1;
  long i = static_cast<long>(from >= text.size() ? text.size() - 1 : from);
  while (i >= 0 && set.contains(text[static_cast<size_t>(i)]) != member) --i;
  return i;
}
}  // namespace

long last_member(const CharSet& set, std::string_view text, size_t from) {
  return last_with(set, text, from, true);
}

long last_non_member(const CharSet& set, std::string_view text, size_t from) {
  return last_with(set, text, from, false);
}

// Only the ASCII letters change case; every other byte maps to itself.
char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char to_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void make_upper(std::string& text) {
  for (char& c : text) c = to_upper(c);
}

void make_lower(std::string& text) {
  for (char& c : text) c = to_lower(c);
}

std::string lower_copy(std::string_view text) {
  std::string out(text);
  make_lower(out);
  return out;
}

void trim_left(std::string& text, const CharSet& set) { text.erase(0, span(set, text)); }

void trim_right(std::string& text, const CharSet& set) {
  text.resize(static_cast<size_t>(last_non_member(set, text) + 1));
}

void trim(std::string& text, const CharSet& set) {
  trim_right(text, set);
  trim_left(text, set);
}

void strip(std::string& text, const CharSet& set) {
  size_t out = 0;
  for (char c : text) {
    if (!set.contains(c)) text[out++] = c;
  }
  text.resize(out);
}

void squeeze(std::string& text, const CharSet& set) {
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (out > 0 && set.contains(text[i]) && set.contains(text[out - 1])) continue;
    text[out++] = text[i];
  }
  text.resize(out);
}

bool consists_of(std::string_view text, const CharSet& set) { return span(set, text) == text.size(); }

void remove_first(std::string& text) {
  if (!text.empty()) text.erase(0, 1);
}

void remove_last(std::string& text) {
  if (!text.empty()) text.pop_back();
}

void keep_range(std::string& text, long start, long length) {
  long size = static_cast<long>(text.size());
  if (start < 0) start += size;
  if (start < 0) start = 0;
  if (start >= size || length <= 0) {
    text.clear();
    return;
  }
  if (length > size - start) length = size - start;
  text = text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

char char_at(std::string& text, size_t i) {
  if (i >= text.size()) text.resize(i + 1, ' ');
  return text[i];
}

std::string int_text(long long value) { return std::to_string(value); }

const char* bool_text(bool value) { return value ? "true" : "false"; }

}  // namespace quill
