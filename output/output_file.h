// The one process-wide writer of generated files. When a file replaces an
// earlier version, that version is read once first for its preserved
// sections, which go to the model, and for its backup. The new version is
// staged beside the file and replaces it whole when the file is closed
// (StagedFile), so that a failed write or an interrupted run leaves the old
// version as it was. At the close, sections of the old version that the new
// one lacks are kept in "<file>.lost", and with WriteOnlyChanged a version
// equal to the old one leaves the file untouched. Text goes through the
// large buffer of a FileWriter: one system call per buffer, not per line.
#pragma once

#include <string>
#include <string_view>

#include "output/preserved_sections.h"
#include "output/staged_file.h"

namespace quill {

class OutputFile {
 public:
  OutputFile();
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Makes name (joined to the output directory) the current file, truncated.
  // Nothing happens when that file is already open. An existing file has its
  // preserved sections handed to the model and is backed up first; a faulty
  // section ends the process. A file that cannot be opened is replaced by
  // "noname.xxx" in the working directory.
  void open(std::string_view name);
  // Makes name (joined) the current file, opened for appending; no capture,
  // no backup, not counted.
  void open_append(std::string_view name);
  // Writes text (plus the line end when line_end is set), counting columns
  // and lines; opens "noname.xxx" when no file is open. template_line is the
  // producing template line for tracing, 0 for none.
  void write(std::string_view text, bool line_end, int template_line);
  // Closes the current file (the name is kept) and enables output again: the
  // new version replaces the old one unless a write failed.
  void close();
  // Makes the text written so far the file's content, so that other
  // programs see it; writing goes on after it.
  void flush();
  // Writes every line of the file (joined), each with a line end.
  void copy_in(std::string_view name);
  // Replaces the lines of target between its first two lines that begin with
  // section by the lines of source. Does nothing when ok is false on entry;
  // clears ok when a file is missing or a marker line is not found.
  void insert_between(std::string_view target, std::string_view source,
                      std::string_view section, bool& ok);

  // 1-based column at which the next character lands.
  int column() const { return column_; }
  long file_count() const { return file_count_; }
  long line_count() const { return line_count_; }
  void reset_counts() { file_count_ = 0; line_count_ = 0; }
  // Closes and forgets the file name, the flags and the counts.
  void reset();

  const std::string& file_name() const { return file_name_; }
  bool is_open() const { return stream_.is_open(); }
  bool output_disabled() const { return disabled_; }

 private:
  void start_file(const std::string& path);
  void close_stream();
  bool replaces_old_version();
  // Whether the new version is compared with the old one (only changed
  // files are written): not for a version that appends, which differs from
  // the old one exactly when text was appended.
  bool compares_with_old() const {
    return only_changed_ && stream_.had_target() && !stream_.appends();
  }
  bool publish();
  bool current_content(const std::string& path, std::string& content);
  void count_text(std::string_view text, bool line_end);
  void append(std::string_view text);
  void report_write_failure();
  bool start_version(const std::string& path);
  void capture_and_backup(const std::string& path);

  std::string file_name_;
  StagedFile stream_;
  PreservedSections previous_;  // the sections of the version being replaced
  bool disabled_ = false;
  bool strip_returns_ = false;
  bool trace_lines_ = false;
  bool only_changed_ = false;
  bool backup_pending_ = false;  // made when the new version replaces the old
  int column_ = 1;
  long file_count_ = 0;
  long line_count_ = 0;
};

// The output file of the process.
OutputFile& output_file();
// Returns the output file, the record of files read and written and the
// check run to their state at process start (for tests).
void reset_output_file();

// Has new files created and written by a second thread while the run goes
// on (see platform::write_in_background); a file that fails there is
// reported as a failed write, when the run next shows a message or touches
// the file system. For the console program: a library user that reads the
// files by other means than this system's own calls would have to settle
// the writes first.
void write_new_files_in_background();

// name under the setting CGenOutdir when that is set and name holds no
// directory separator (either kind); otherwise name unchanged.
std::string join_outdir(std::string_view name);

}  // namespace quill
