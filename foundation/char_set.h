// Byte sets and the fixed sets shared by the whole engine, the case maps, and
// the small in-place string operations built on them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// Membership of the byte values 1 to 255; 0 is never a member.
class CharSet {
 public:
  CharSet() { flags_.fill(false); }
  explicit CharSet(std::string_view members);
  static CharSet full();

  bool contains(unsigned char c) const { return flags_[c]; }
  bool contains(char c) const { return flags_[static_cast<unsigned char>(c)]; }
  void add(unsigned char c) { if (c != 0) flags_[c] = true; }
  void unite(const CharSet& other);
  void complement();  // over 1..255

 private:
  std::array<bool, 256> flags_;
};

// The fixed sets, built once and shared read-only.
namespace sets {
const CharSet& upper();
const CharSet& lower();
const CharSet& digits();
const CharSet& white();
const CharSet& non_white();
const CharSet& name_chars();
const CharSet& separators();
const CharSet& all();
const CharSet& none();
const CharSet& truth_letters();
const CharSet& reference_name_chars();
}  // namespace sets

// Position of the first non-member (the text size at the latest).
size_t span(const CharSet& set, std::string_view text);
// Position of the first member, or the text size.
size_t find_member(const CharSet& set, std::string_view text);
// Scanning backwards from `from` (npos: the last character), the position of
// the last member / non-member, or -1 when there is none.
long last_member(const CharSet& set, std::string_view text, size_t from = std::string::npos);
long last_non_member(const CharSet& set, std::string_view text, size_t from = std::string::npos);

char to_upper(char c);
char to_lower(char c);
void make_upper(std::string& text);
void make_lower(std::string& text);
std::string lower_copy(std::string_view text);

void trim_left(std::string& text, const CharSet& set);
void trim_right(std::string& text, const CharSet& set);
void trim(std::string& text, const CharSet& set);
void strip(std::string& text, const CharSet& set);    // removes every member
void squeeze(std::string& text, const CharSet& set);  // keeps the first of each run
bool consists_of(std::string_view text, const CharSet& set);
void remove_first(std::string& text);
void remove_last(std::string& text);
// Keeps text[start, start+length); a negative start counts from the end.
void keep_range(std::string& text, long start, long length);
// The character at index i, after extending the text with blanks so i exists.
char char_at(std::string& text, size_t i);
std::string int_text(long long value);
const char* bool_text(bool value);

}  // namespace quill
