#include "output/lost_sections.h"

#include "foundation/messages.h"
#include "foundation/platform.h"
#include "output/check_run.h"

namespace quill {

namespace {

constexpr std::string_view kLostSuffix = ".lost";
constexpr std::string_view kSectionLost =
    "The uid tagged section '%s' is missing from the new version of file '%s'.\n"
    "Its text has been appended to '%s'.";
constexpr std::string_view kSectionWouldBeLost =
    "The uid tagged section '%s' would be missing from the new version of file '%s'.";
constexpr std::string_view kLostNotSaved =
    "The uid tagged sections missing from the new version of file '%s'\n"
    "cannot be saved in '%s'.  The file is left unchanged.";

// The block with each line feed turned into line_end.
std::string with_line_ends(std::string_view block, std::string_view line_end) {
  std::string out;
  out.reserve(block.size() + block.size() / 16);
  for (char c : block) {
    if (c == '\n')
      out.append(line_end);
    else
      out += c;
  }
  return out;
}

}  // namespace

std::vector<const SectionBlock*> lost_sections(const PreservedSections& old,
                                               const std::set<std::string>& new_uids) {
  std::vector<const SectionBlock*> lost;
  for (const SectionBlock& block : old.blocks) {
    if (new_uids.count(block.uid) == 0) lost.push_back(&block);
  }
  return lost;
}

bool keep_lost_sections(const PreservedSections& old, const std::set<std::string>& new_uids,
                        const std::string& path, std::string_view line_end) {
  std::vector<const SectionBlock*> lost = lost_sections(old, new_uids);
  if (lost.empty()) return true;
  std::string lost_path = path + std::string(kLostSuffix);
  if (is_check_run()) {
    for (const SectionBlock* block : lost) warning(kSectionWouldBeLost, block->uid, path);
    return true;
  }
  std::string text;
  for (const SectionBlock* block : lost) text += with_line_ends(block->lines, line_end);
  if (!platform::append_file(lost_path, text)) {
    error(kLostNotSaved, path, lost_path);
    return false;
  }
  for (const SectionBlock* block : lost)
    warning(format_message(kSectionLost, {block->uid, path, lost_path}));
  return true;
}

}  // namespace quill
