#include "output/output_file.h"

#include <vector>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "output/backup.h"
#include "output/preserved_sections.h"
#include "output/process_exit.h"

namespace quill {

namespace {

constexpr std::string_view kFallbackName = "noname.xxx";

constexpr std::string_view kUnsafeOverwrite =
    "The file '%s' cannot be safely overwritten.  Exiting ...";
constexpr std::string_view kCannotOpen =
    "The file '%s' cannot be opened for output.\nUsing 'noname.xxx' instead.";
constexpr std::string_view kFallbackCannotOpen =
    "The file '%s' also cannot be opened for output.  Exiting...";
constexpr std::string_view kFallbackCannotAppend = "The file '%s' also cannot be opened.  Exiting...";
constexpr std::string_view kWriteFailed =
    "An output error occurred when writing to\nfile '%s'.  Possible disk full or line-length problem.";

bool is_separator(char c) { return c == '\\' || c == '/'; }


// Splits raw bytes into lines that keep their own line ends.
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

bool begins_with(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// The line end that closes line ("" when it has none).
std::string_view line_end_of(std::string_view line) {
  if (line.ends_with("\r\n")) return "\r\n";
  if (line.ends_with("\n")) return "\n";
  return {};
}

}  // namespace

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() = default;

OutputFile& output_file() {
  static OutputFile file;
  return file;
}

void reset_output_file() { output_file().reset(); }

void OutputFile::reset() {
  close();
  file_name_.clear();
  strip_returns_ = trace_lines_ = false;
  reset_counts();
}

std::string join_outdir(std::string_view name) {
  const std::string& outdir = settings().get("CGenOutdir");
  if (outdir.empty() || name.find_first_of("\\/") != std::string_view::npos) return std::string(name);
  std::string path = outdir;
  if (!is_separator(path.back())) path += platform::kSeparator;
  path.append(name);
  return path;
}

void OutputFile::start_file(const std::string& path) {
  column_ = 1;
  strip_returns_ = settings().is_true("StripReturns");
  trace_lines_ = settings().is_true("TraceTemLines");
  close_stream();
  file_name_ = path;
}

void OutputFile::open(std::string_view name) {
  if (disabled_) return;
  std::string path = join_outdir(name);
  if (stream_.is_open() && path == file_name_) return;
  start_file(path);
  if (platform::is_regular_file(path)) capture_and_backup(path);
  if (stream_.open(path)) {
    ++file_count_;
    notify_file_created(path);
    return;
  }
  if (name == kFallbackName) exit_after_error(kFallbackCannotOpen, path);
  warning(kCannotOpen, path);
  settings().set("CGenOutdir", ".");
  open(kFallbackName);
}

void OutputFile::open_append(std::string_view name) {
  if (disabled_) return;
  std::string path = join_outdir(name);
  if (stream_.is_open() && path == file_name_) return;
  start_file(path);
  if (stream_.open(path, /*append=*/true)) {
    notify_file_created(path);
    return;
  }
  if (name == kFallbackName) exit_after_error(kFallbackCannotAppend, path);
  warning(kCannotOpen, path);
  settings().set("CGenOutdir", ".");
  open_append(kFallbackName);
}

void OutputFile::capture_and_backup(const std::string& path) {
  std::vector<std::string> lines;
  PreservedSections sections;
  bool ok = !platform::read_lines(path, lines) || scan_sections(lines, path, sections);
  Model* model = current_model();
  if (model != nullptr && sections.uids.count() > 0) {
    capture_preserved_texts(*model, sections.texts, sections.uids);
    if (settings().is_true("MakeBackupFiles")) make_backup(path);
  }
  if (!ok) exit_after_error(kUnsafeOverwrite, path);
}

void OutputFile::write(std::string_view text, bool line_end, int template_line) {
  if (disabled_) return;
  if (!stream_.is_open()) open(kFallbackName);
  if (!stream_.is_open() || disabled_) return;
  long lines = 0;
  for (char c : text) {
    ++column_;
    if (c == '\n') {
      column_ = 1;
      ++lines;
    }
  }
  if (line_end) {
    column_ = 1;
    ++lines;
  }
  line_count_ += lines;
  if (trace_lines_ && template_line != 0) {
    append(" ( ");
    append(int_text(template_line));
    append(" ) ");
  }
  append(text);
  if (line_end) append(strip_returns_ ? "\n" : "\r\n");
}

void OutputFile::append(std::string_view text) {
  if (!disabled_ && !stream_.write(text)) report_write_failure();
}

void OutputFile::report_write_failure() {
  error(kWriteFailed, file_name_);
  disabled_ = true;
}

void OutputFile::flush() {
  if (!disabled_ && stream_.is_open() && !stream_.flush()) report_write_failure();
}

// Writes out what is buffered and closes; a failure that only shows now is
// reported like any failed write.
void OutputFile::close_stream() {
  if (!stream_.is_open()) return;
  if (!stream_.close() && !disabled_) report_write_failure();
}

void OutputFile::close() {
  close_stream();
  disabled_ = false;
  column_ = 1;
}

void OutputFile::copy_in(std::string_view name) {
  std::string path = join_outdir(name);
  flush();
  std::vector<std::string> lines;
  if (!platform::read_lines(path, lines)) return;
  for (const std::string& line : lines) write(line, true, 0);
}

void OutputFile::insert_between(std::string_view target, std::string_view source,
                                std::string_view section, bool& ok) {
  if (!ok) return;
  std::string target_path = join_outdir(target), source_path = join_outdir(source);
  std::string target_text, source_text;
  flush();
  if (!platform::is_regular_file(target_path) || !platform::is_regular_file(source_path) ||
      !platform::read_file(target_path, target_text) ||
      !platform::read_file(source_path, source_text)) {
    ok = false;
    return;
  }
  close();
  std::vector<std::string_view> lines = raw_lines(target_text);
  size_t first = 0;
  while (first < lines.size() && !begins_with(lines[first], section)) ++first;
  size_t second = first + 1;
  while (second < lines.size() && !begins_with(lines[second], section)) ++second;
  if (second >= lines.size()) {
    ok = false;
  } else {
    std::string result;
    for (size_t i = 0; i <= first; ++i) result.append(lines[i]);
    result.append(source_text);
    // A source without a final line end must not run into the closing marker.
    if (!source_text.empty() && source_text.back() != '\n') result.append(line_end_of(lines[first]));
    for (size_t i = second; i < lines.size(); ++i) result.append(lines[i]);
    if (!platform::write_file(target_path, result)) ok = false;
  }
  reopen_for_append();
  notify_file_created(target_path);
}

void OutputFile::reopen_for_append() {
  if (!file_name_.empty()) stream_.open(file_name_, /*append=*/true);
}

}  // namespace quill
