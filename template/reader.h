// Reads one template file statement line by statement line: comments and
// blank lines are skipped and every other line is classified by its leading
// keyword.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "template/statement_kind.h"

namespace quill {

class TemplateReader {
 public:
  // Opens the file and reads up to its first statement line. Reports a file
  // that cannot be opened and a file that holds no statement line.
  explicit TemplateReader(std::string file_name);

  // True when the file could be opened.
  bool opened() const { return opened_; }
  // The kind of the first statement line (stmt_eof when there is none).
  StatementKind first_kind() const { return first_kind_; }
  // Advances to the next statement line and returns its kind.
  StatementKind next_kind();
  // The current statement line without its leading white space ("" at the end).
  const std::string& current_text() const { return current_; }
  // The number of the current line, counting every line read.
  int line_number() const { return line_number_; }
  const std::string& file_name() const { return file_name_; }

 private:
  std::string file_name_;
  std::vector<std::string> lines_;
  size_t next_line_ = 0;
  int line_number_ = 0;
  bool opened_ = false;
  bool at_end_ = false;
  StatementKind first_kind_ = stmt_eof;
  std::string current_;
};

// The kind of a statement line whose leading white space was already removed.
StatementKind classify_line(std::string_view line);

}  // namespace quill
