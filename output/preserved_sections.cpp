#include "output/preserved_sections.h"

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

}  // namespace

bool scan_sections(const std::vector<std::string_view>& lines, std::string_view path,
                   PreservedSections& sections, std::string_view line_end) {
  std::string uid, end_uid;
  size_t i = 0;
  while (i < lines.size()) {
    size_t begin = i;
    if (!tagged_uid(lines[i++], kBeginTag, uid)) continue;
    std::string text;
    bool closed = false, first = true;
    for (; i < lines.size(); ++i) {
      if (tagged_uid(lines[i], kEndTag, end_uid)) {
        closed = true;
        ++i;
        break;
      }
      if (!first) text += line_end;
      text += trimmed_right(lines[i]);
      first = false;
    }
    if (!closed) {
      error(kNoEndTag, uid, path);
      return false;
    }
    if (end_uid != uid) {
      error(kBadEndTag, uid, path);
      return false;
    }
    if (sections.texts.contains(uid)) {
      error(kRepeatedUid, uid, path);
      return false;
    }
    sections.texts.set(uid, text);
    sections.uids.add(uid);
    SectionBlock block{uid, {}};
    for (size_t line = begin; line < i; ++line) block.lines.append(lines[line]) += '\n';
    sections.blocks.push_back(std::move(block));
  }
  return true;
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
  for (std::string_view& line : lines) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
  }
  return lines;
}

std::set<std::string> section_uids(std::string_view content) {
  std::set<std::string> uids;
  std::string uid;
  while (!content.empty()) {
    size_t end = content.find('\n');
    if (tagged_uid(content.substr(0, end), kBeginTag, uid)) uids.insert(uid);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
  }
  return uids;
}

}  // namespace quill
