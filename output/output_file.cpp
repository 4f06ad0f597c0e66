#include "output/output_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "output/backup.h"
#include "output/check_run.h"
#include "output/file_record.h"
#include "output/lost_sections.h"
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

bool begins_with(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

// The line end that closes line ("" when it has none).
std::string_view line_end_of(std::string_view line) {
  if (line.ends_with("\r\n")) return "\r\n";
  if (line.ends_with("\n")) return "\n";
  return {};
}

// Gives path the content as one new version; a check run only keeps it.
bool replace_file(const std::string& path, std::string_view content) {
  StagedFile file;
  return file.open(path, false) && file.write(content) && file.finish() && file.commit();
}

// Announces a file that the run writes; a check run reports its files at the end instead.
void announce(const std::string& path) {
  note_file_written(path);
  if (!is_check_run()) notify_file_created(path);
}

}  // namespace

OutputFile::OutputFile() = default;

OutputFile::~OutputFile() = default;

OutputFile& output_file() {
  static OutputFile file;
  return file;
}

void reset_output_file() {
  output_file().reset();
  clear_file_record();
  set_file_record(true);
  set_check_run(false);
}

void OutputFile::reset() {
  close();
  file_name_.clear();
  strip_returns_ = trace_lines_ = only_changed_ = false;
  reset_counts();
}

void write_new_files_in_background() {
  platform::write_in_background([](const std::string& path) { error(kWriteFailed, path); });
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
  close_stream();
  column_ = 1;
  strip_returns_ = settings().is_true("StripReturns");
  trace_lines_ = settings().is_true("TraceTemLines");
  only_changed_ = settings().is_true("WriteOnlyChanged");
  file_name_ = path;
}

void OutputFile::open(std::string_view name) {
  if (disabled_) return;
  std::string path = join_outdir(name);
  if (stream_.is_open() && path == file_name_) return;
  start_file(path);
  if (start_version(path)) {
    ++file_count_;
    announce(path);
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
    announce(path);
    return;
  }
  if (name == kFallbackName) exit_after_error(kFallbackCannotAppend, path);
  warning(kCannotOpen, path);
  settings().set("CGenOutdir", ".");
  open_append(kFallbackName);
}

// Starts the new version of path, after capturing the old version's
// sections. A new file is simply created: there is no old version to read.
// Anything else (an old version, a link, a device, a failure) is looked at
// first.
bool OutputFile::start_version(const std::string& path) {
  if (is_check_run()) {
    if (file_exists_now(path)) capture_and_backup(path);
    return stream_.open(path, /*append=*/false);
  }
  if (stream_.create(path)) return true;
  // One status query answers both whether there is an old version to read
  // and what the staged file needs to know about its target.
  const platform::FileStatus status = platform::file_status(path);
  if (status.kind == platform::FileKind::regular) capture_and_backup(path);
  return stream_.open(path, /*append=*/false, status);
}

// The old version's sections go to the model; its backup is made now, or,
// when an unchanged file is to be left alone, once the new version is known
// to differ. A faulty section ends the process with the old file untouched.
void OutputFile::capture_and_backup(const std::string& path) {
  PreservedSections sections;
  // An old version that exists but cannot be read may hold hand-edited
  // sections nobody can capture: it is not overwritten. It is read in
  // pieces: a file generated into one may hold the whole model's text.
  SectionScanner scanner(path, sections, strip_returns_ ? "\n" : "\r\n");
  bool ok = read_current_pieces(path, [&](std::string_view piece) { scanner.add_text(piece); }) &&
            scanner.finish();
  Model* model = current_model();
  if (model != nullptr && sections.uids.count() > 0) {
    capture_preserved_texts(*model, sections.texts, sections.uids);
    if (settings().is_true("MakeBackupFiles") && !is_check_run()) {
      if (only_changed_ && ok)
        backup_pending_ = true;
      else
        make_backup(path);
    }
  }
  if (!ok) exit_after_error(kUnsafeOverwrite, path);
  previous_ = std::move(sections);
}

void OutputFile::write(std::string_view text, bool line_end, int template_line) {
  if (disabled_) return;
  if (!stream_.is_open()) open(kFallbackName);
  if (!stream_.is_open() || disabled_) return;
  count_text(text, line_end);
  if (trace_lines_ && template_line != 0) {
    append(" ( ");
    append(int_text(template_line));
    append(" ) ");
  }
  if (disabled_) return;  // the trace text could not be written
  if (!stream_.write(text) || (line_end && !stream_.write(strip_returns_ ? "\n" : "\r\n")))
    report_write_failure();
}

// Most text holds no line feed: one search settles it, and the column then
// moves by the length of the text.
void OutputFile::count_text(std::string_view text, bool line_end) {
  const char* first = static_cast<const char*>(std::memchr(text.data(), '\n', text.size()));
  if (first == nullptr) {
    column_ += static_cast<int>(text.size());
  } else {
    column_ = static_cast<int>(text.size() - text.rfind('\n'));
    line_count_ += static_cast<long>(std::count(first, text.data() + text.size(), '\n'));
  }
  if (line_end) {
    column_ = 1;
    ++line_count_;
  }
}

void OutputFile::append(std::string_view text) {
  if (!disabled_ && !stream_.write(text)) report_write_failure();
}

void OutputFile::report_write_failure() {
  error(kWriteFailed, file_name_);
  disabled_ = true;
}

// When only changed files are written and the file already holds exactly the
// text so far, it is left alone and the version goes on being staged.
void OutputFile::flush() {
  if (disabled_ || !stream_.is_open()) return;
  if (compares_with_old()) {
    std::string so_far, old;
    if (stream_.flush() && stream_.new_content(so_far) && read_current(file_name_, old) &&
        so_far == old)
      return;
  }
  if (!publish()) report_write_failure();
}

// Puts what was written so far in place of the old version, backup first.
bool OutputFile::publish() {
  if (backup_pending_) make_backup(file_name_);
  backup_pending_ = false;
  return stream_.publish();
}

// Ends the current version: after a failed write it is dropped and the old
// file stays; otherwise it replaces the old one (see replaces_old_version).
// A failure found only now is reported but does not disable the output,
// which may already be meant for the next file.
void OutputFile::close_stream() {
  if (!stream_.is_open()) return;
  bool failed = disabled_;
  if (!stream_.finish() && !failed) {
    error(kWriteFailed, file_name_);
    failed = true;
  }
  if (failed || !replaces_old_version()) {
    stream_.discard();
  } else {
    if (backup_pending_) make_backup(file_name_);
    if (!stream_.commit()) error(kWriteFailed, file_name_);
  }
  backup_pending_ = false;
  previous_ = PreservedSections();
}

// False when the old version is to stay: it equals the new one and only
// changed files are written, or sections that the new version lacks cannot
// be kept in the .lost file.
bool OutputFile::replaces_old_version() {
  const bool compare = compares_with_old();
  if (!compare && previous_.blocks.empty()) return true;
  // The new version is read back in pieces, for the uids of its sections;
  // it is held whole only to be compared with the old one.
  SectionUids uids;
  std::string fresh;
  const bool read = stream_.new_content_pieces([&](std::string_view piece) {
    if (!previous_.blocks.empty()) uids.add_text(piece);
    if (compare) fresh.append(piece);
  });
  if (!read) {
    if (stream_.is_direct()) return true;  // a device: nothing to compare
    // The new version cannot be read back, so nobody can tell whether it
    // still holds the hand-edited sections: the old version stays.
    error(kWriteFailed, file_name_);
    return false;
  }
  if (!keep_lost_sections(previous_, uids.finish(), file_name_, strip_returns_ ? "\n" : "\r\n"))
    return false;
  std::string old;
  return !(compare && read_current(file_name_, old) && old == fresh);
}

void OutputFile::close() {
  close_stream();
  disabled_ = false;
  column_ = 1;
}

// The content of path as the run sees it; for the current file, what has
// been written so far.
bool OutputFile::current_content(const std::string& path, std::string& content) {
  if (stream_.is_open() && path == file_name_) return stream_.flush() && stream_.new_content(content);
  return read_current(path, content);
}

void OutputFile::copy_in(std::string_view name) {
  std::string path = join_outdir(name);
  std::string content;
  if (!current_content(path, content)) return;
  note_file_read(path);
  for (std::string_view line : text_lines(content)) write(line, true, 0);
}

void OutputFile::insert_between(std::string_view target, std::string_view source,
                                std::string_view section, bool& ok) {
  if (!ok) return;
  std::string target_path = join_outdir(target), source_path = join_outdir(source);
  std::string target_text, source_text;
  if (!current_content(target_path, target_text) || !current_content(source_path, source_text)) {
    ok = false;
    return;
  }
  note_file_read(source_path);
  // The current file is closed for the insertion and then written on at its
  // end: its text so far goes in place now, and later writes continue it.
  if (stream_.is_open() && !disabled_ && !publish()) report_write_failure();
  if (disabled_) stream_.discard();
  disabled_ = false;
  column_ = 1;
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
    if (replace_file(target_path, result))
      note_file_written(target_path);
    else
      ok = false;
  }
  if (!stream_.is_open() && !file_name_.empty()) stream_.open(file_name_, /*append=*/true);
  if (!is_check_run()) notify_file_created(target_path);
}

}  // namespace quill
