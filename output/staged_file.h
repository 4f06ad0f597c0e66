// One version of a generated file on its way to the disk. The text goes to a
// temporary file beside the target, named ".<name>.quilltmp.<token>", which
// replaces the target by a rename only when the version is complete: a
// reader of the target sees the whole old or the whole new version, never a
// mix, and a failed or interrupted run leaves the old file as it was.
// Appending to an existing file is the exception, and so is the text that
// follows a version published on the way: the text goes onto the end of the
// file itself, and a version that fails or is dropped is cut off again, so
// that what the file held stays as it was. A copy per append would cost the
// size of the whole file each time, and a template that appends a line to
// one file for every element of a model pays that for every line.
// A target that does not exist yet has no old version to protect: it is
// created exclusively and written in place (see create), which spares a
// status query, the temporary name and the rename for every new file.
// Targets that exist but are no regular files (devices such as /dev/null or
// /dev/stdout) are written directly, since they cannot be replaced. In a
// check run the version is kept in memory and handed to the check run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/platform.h"

namespace quill {

class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Starts a new version of target: empty, or when appending the target's
  // current content with the new text after it. False (and nothing started)
  // when the target could not be written: its directory is missing or not
  // writable, or the target is a directory or a file that may not be written.
  bool open(const std::string& target, bool append);
  // The same for a caller that has just queried the target's status: no
  // further query is made.
  bool open(const std::string& target, bool append, const platform::FileStatus& status);
  // Starts the first version of a target that does not exist: the target
  // itself is created, only if nothing goes by its name (so a file that
  // appeared meanwhile is never replaced), and written in place. Dropping
  // the version removes the file again. False, with nothing started, when
  // the target exists, was listed in its directory when the run first
  // looked there, or cannot be created; open() then takes over. Not in a
  // check run.
  bool create(const std::string& target);
  // True from open until commit or discard.
  bool is_open() const { return mode_ != Mode::none; }
  // Whether the target had a version when this one was started.
  bool had_target() const { return had_target_; }
  // True when the file is written in place (a device or pipe), not staged.
  bool is_direct() const { return mode_ == Mode::direct; }
  // True when the version is the old content followed by the text written
  // (appended in place, or in a check run): it differs from the old one
  // exactly when text was written, and is not compared with it.
  bool appends() const { return mode_ == Mode::appended || (mode_ == Mode::memory && memory_appends_); }

  // Buffers the bytes; false once any write has failed.
  bool write(std::string_view bytes) {
    if (!writes_file()) return write_other(bytes);
    if (!writer_.write(bytes)) failed_ = true;
    return !failed_;
  }
  // Hands the buffer to the temporary file; false on any error so far.
  bool flush();
  // Makes what was written so far the target's content, so that other
  // programs see it; later writes are appended to it in place, and cut off
  // again if the version is dropped. False on any error.
  bool publish();
  // Writes out and closes the temporary file; false on any error so far.
  bool finish();
  // The complete new version (after finish). False when it cannot be read.
  bool new_content(std::string& content) const;
  // The same in pieces handed to take: a file is never held whole.
  bool new_content_pieces(const std::function<void(std::string_view)>& take) const;
  // Replaces the target by the new version (after finish). False when the
  // rename fails; the temporary file is removed then.
  bool commit();
  // Drops the new version; the target keeps its content.
  void discard();

  // The temporary name used for target. The first version written into a
  // directory removes the temporary files that other runs left there.
  static std::string temp_path(const std::string& target);

 private:
  // staged: into the temporary file; created: into a target that this
  // version created; direct: into a target that cannot be staged;
  // appended: onto the end of the target, which had kept_size_ bytes.
  enum class Mode { none, staged, created, direct, appended, published, memory };

  bool writes_file() const { return mode_ >= Mode::staged && mode_ <= Mode::appended; }

  void restart(const std::string& target);
  bool start_temp();
  bool write_other(std::string_view bytes);
  bool resume();
  bool start_append();

  Mode mode_ = Mode::none;
  std::string target_;
  std::string temp_;
  std::string memory_;  // the version of a check run
  // memory_ holds only the text appended to the current content of the
  // target, which is taken as it is kept at the commit.
  bool memory_appends_ = false;
  platform::FileWriter writer_;
  bool had_target_ = false;
  // The target's status when the version was started, whose permissions
  // the new version takes.
  platform::FileStatus target_status_;
  bool in_place_ = false;  // a regular file written directly (no room for the temporary name)
  std::uint64_t kept_size_ = 0;  // appended: the old version's size
  bool failed_ = false;
};

}  // namespace quill
