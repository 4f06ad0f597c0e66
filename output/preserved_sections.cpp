#include "output/preserved_sections.h"

#include <utility>

#include "foundation/char_set.h"
#include "foundation/messages.h"

namespace quill {

namespace {

constexpr std::string_view kBeginTag = "BEGIN-UID.";
constexpr std::string_view kEndTag = "END-UID.";
constexpr std::string_view kBadEndTag =
    "Inconsistent end-tag on the uid tagged section '%s' within file '%s'.";
constexpr std::string_view kNoEndTag =
    "The end of the uid tagged section '%s' within file '%s' was not found.";
constexpr std::string_view kRepeatedUid = "The uid '%s' is not unique in the file '%s'.";

// The uid after the tag when the line holds the tag.
bool tagged_uid(std::string_view line, std::string_view tag, std::string& uid) {
  size_t at = line.find(tag);
  if (at == std::string_view::npos) return false;
  uid.assign(line.substr(at + tag.size()));
  strip(uid, sets::white());
  return true;
}

// The line without its trailing white space.
std::string_view trimmed_right(std::string_view line) {
  long last = last_non_member(sets::white(), line);
  return line.substr(0, static_cast<size_t>(last + 1));
}

// A line without its line feed and a carriage return before it.
std::string_view without_line_end(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

SectionScanner::SectionScanner(std::string_view path, PreservedSections& sections,
                               std::string_view line_end)
    : path_(path), line_end_(line_end), sections_(sections) {}

void SectionScanner::add_text(std::string_view piece) {
  if (!failed_) lines_.add(piece, [this](std::string_view line) { add_line(without_line_end(line)); });
}

bool SectionScanner::finish() {
  if (!failed_) lines_.finish([this](std::string_view line) { add_line(without_line_end(line)); });
  if (in_section_ && !failed_) {
    error(kNoEndTag, uid_, path_);
    failed_ = true;
  }
  in_section_ = false;
  return !failed_;
}

// The block keeps every line as a text reader gives it, each ended by a
// line feed, the marker lines included.
void SectionScanner::add_line(std::string_view line) {
  if (failed_) return;
  if (!in_section_) {
    if (!tagged_uid(line, kBeginTag, uid_)) return;
    in_section_ = true;
    first_ = true;
    text_.clear();
    block_.assign(line) += '\n';
    return;
  }
  block_.append(line) += '\n';
  if (!tagged_uid(line, kEndTag, end_uid_)) {
    if (!first_) text_ += line_end_;
    text_ += trimmed_right(line);
    first_ = false;
    return;
  }
  in_section_ = false;
  if (end_uid_ != uid_) {
    error(kBadEndTag, uid_, path_);
    failed_ = true;
  } else if (sections_.texts.contains(uid_)) {
    error(kRepeatedUid, uid_, path_);
    failed_ = true;
  } else {
    sections_.texts.set(uid_, text_);
    sections_.uids.add(uid_);
    sections_.blocks.push_back(SectionBlock{uid_, block_});
  }
}

bool scan_sections(std::string_view content, std::string_view path, PreservedSections& sections,
                   std::string_view line_end) {
  SectionScanner scanner(path, sections, line_end);
  scanner.add_text(content);
  return scanner.finish();
}

std::vector<std::string_view> raw_lines(std::string_view content) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t lf = content.find('\n', start);
    size_t end = lf == std::string_view::npos ? content.size() : lf + 1;
    lines.push_back(content.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::vector<std::string_view> text_lines(std::string_view content) {
  std::vector<std::string_view> lines = raw_lines(content);
  for (std::string_view& line : lines) line = without_line_end(line);
  return lines;
}

// A line is taken up to its line feed: a carriage return before it is
// white space to the uid.
void SectionUids::add_line(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (tagged_uid(line, kBeginTag, uid_)) uids_.insert(uid_);
}

void SectionUids::add_text(std::string_view piece) {
  lines_.add(piece, [this](std::string_view line) { add_line(line); });
}

std::set<std::string> SectionUids::finish() {
  lines_.finish([this](std::string_view line) { add_line(line); });
  return std::move(uids_);
}

std::set<std::string> section_uids(std::string_view content) {
  SectionUids uids;
  uids.add_text(content);
  return uids.finish();
}

}  // namespace quill
