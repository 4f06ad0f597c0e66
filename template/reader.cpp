#include "template/reader.h"

#include <utility>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"

namespace quill {
namespace {

// A dot keyword matches a line on its first `compared` characters only, so
// abbreviations and suffixes (".each_attr", ".endif") are accepted. The order
// matters: the first row that matches wins.
struct KeywordRow {
  std::string_view keyword;
  size_t compared;
  StatementKind kind;
};

constexpr KeywordRow kDotKeywords[] = {
    {".block", 6, stmt_block},
    {".default", 8, stmt_default},
    {".file", 5, stmt_file},
    {".end", 4, stmt_end},
    {".each_ancestor", 8, stmt_each_ancestor},
    {".each_assignment", 8, stmt_each_attr_assignment},
    {".each_attribute", 8, stmt_each_attr},
    {".each_characteristic", 8, stmt_each_ctic},
    {".each_event", 8, stmt_each_event},
    {".each_foreign_type", 10, stmt_each_substitution},
    {".each_flow", 10, stmt_each_flow},
    {".each_function", 10, stmt_each_function},
    {".each_instance", 8, stmt_each_obj_instance},
    {".each_literal", 8, stmt_each_literal_text_block},
    {".each_object", 8, stmt_each_obj},
    {".each_parameter", 10, stmt_each_param},
    {".each_parent", 10, stmt_each_parent},
    {".each_pragma_value", 10, stmt_each_pragma_value},
    {".each_process", 10, stmt_each_process},
    {".refd_obj", 8, stmt_refd_obj},
    {".each_state", 10, stmt_each_state},
    {".each_substitution", 8, stmt_each_substitution},
    {".each_token", 9, stmt_each_token},
    {".each_transition", 9, stmt_each_transition},
    {".each_used_object", 9, stmt_each_used_obj},
    {".each_using_attr", 9, stmt_each_using_attr},
    {".each_var_item", 9, stmt_each_var_item},
    {".module", 7, stmt_module},
    {".select", 7, stmt_multiblock},
    {".separator", 10, stmt_separator},
};

constexpr std::string_view kImport = "$$IMPORT";

bool starts_with_prefix(std::string_view line, std::string_view keyword, size_t compared) {
  return line.size() >= compared && line.substr(0, compared) == keyword.substr(0, compared);
}

}  // namespace

StatementKind classify_line(std::string_view line) {
  if (!line.empty() && line[0] == '.') {
    for (const KeywordRow& row : kDotKeywords) {
      if (starts_with_prefix(line, row.keyword, row.compared)) return row.kind;
    }
  } else if (line.starts_with(kImport)) {
    return stmt_import;
  }
  return line.find(':') != std::string_view::npos ? stmt_simple : stmt_unknown;
}

TemplateReader::TemplateReader(std::string file_name) : file_name_(std::move(file_name)) {
  opened_ = platform::read_lines(file_name_, lines_);
  if (!opened_) {
    at_end_ = true;
    error("Error opening file '%s'.  Check that the file exists.", file_name_);
    return;
  }
  first_kind_ = next_kind();
  if (first_kind_ == stmt_eof) error("The template file '%s' is empty.", file_name_);
}

StatementKind TemplateReader::next_kind() {
  while (!at_end_) {
    if (next_line_ >= lines_.size()) break;
    ++line_number_;
    std::string& line = lines_[next_line_++];
    size_t start = span(sets::white(), line);
    if (start == line.size() || line[start] == '#') continue;
    current_.assign(line, start);
    line.clear();
    line.shrink_to_fit();
    return classify_line(current_);
  }
  at_end_ = true;
  current_.clear();
  lines_.clear();
  return stmt_eof;
}

}  // namespace quill
