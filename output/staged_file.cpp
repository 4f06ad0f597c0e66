#include "output/staged_file.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "output/check_run.h"

namespace quill {

namespace {

constexpr std::string_view kTempMarker = ".quilltmp.";

// Distinguishes this process's temporary files from those of other runs.
const std::string& process_token() {
  static const std::string token = [] {
    std::random_device device;
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(device()));
    return std::string(text);
  }();
  return token;
}

size_t name_start(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? 0 : sep + 1;
}

// The directory that holds path, "." when the path names none.
std::string directory_of_target(const std::string& path) {
  size_t start = name_start(path);
  if (start == 0) return ".";
  return start == 1 ? path.substr(0, 1) : path.substr(0, start - 1);
}

bool is_hex(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// True for ".<name>.quilltmp.<hex>" when the hex is not this process's token.
bool is_stale_temp(const std::string& name) {
  if (name.empty() || name[0] != '.') return false;
  size_t at = name.rfind(kTempMarker);
  if (at == std::string::npos || at < 2) return false;
  std::string_view token = std::string_view(name).substr(at + kTempMarker.size());
  return is_hex(token) && token != process_token();
}

// Whether a check run could write path: its directory exists (or was made by
// the run) and is writable, and an existing target may be written.
bool could_write(const std::string& path) {
  if (platform::is_directory(path)) return false;
  std::string dir = directory_of_target(path);
  if (!directory_exists_now(dir)) return false;
  if (platform::is_directory(dir) && !platform::is_writable_directory(dir)) return false;
  return !platform::is_regular_file(path) || platform::may_write_file(path);
}

// What the run knows of a directory it writes into: the names it held when
// the run first looked (that look also removes the temporary files that
// other runs left there, except in a check run, which changes nothing), the
// new files the run made there since, and whether one of them was made at
// once, which shows that the directory takes new files.
struct DirectoryLook {
  std::set<std::string> listed;
  std::set<std::string> made;
  bool took_new_file = false;
};

DirectoryLook& look_into(const std::string& dir) {
  static std::map<std::string, DirectoryLook> looks;
  auto [at, added] = looks.try_emplace(platform::absolute_path(dir));
  if (added) {
    for (std::string& name : platform::list_directory(dir)) {
      if (is_stale_temp(name) && !is_check_run()) {
        platform::remove_file(dir + "/" + name);
      } else {
        at->second.listed.insert(std::move(name));
      }
    }
  }
  return at->second;
}

const std::set<std::string>& names_in(const std::string& dir) { return look_into(dir).listed; }

// A target that is neither a regular file nor a directory but that its
// directory lists: a device, a pipe or a dangling link, which a rename must
// not replace. The listing is the one taken at the first look into the
// directory, so this costs no system call.
bool is_special_file(const std::string& path, platform::FileKind kind) {
  if (kind == platform::FileKind::regular || kind == platform::FileKind::directory) return false;
  return names_in(directory_of_target(path)).count(path.substr(name_start(path))) != 0;
}

}  // namespace

StagedFile::~StagedFile() { discard(); }

std::string StagedFile::temp_path(const std::string& target) {
  size_t start = name_start(target);
  std::string temp = target.substr(0, start);
  temp += '.';
  temp.append(target, start, std::string::npos);
  temp += kTempMarker;
  temp += process_token();
  return temp;
}

bool StagedFile::open(const std::string& target, bool append) {
  return open(target, append, is_check_run() ? platform::FileStatus() : platform::file_status(target));
}

// Drops any version in hand and starts over for target.
void StagedFile::restart(const std::string& target) {
  discard();
  target_ = target;
  failed_ = false;
  in_place_ = false;
  memory_.clear();
  memory_appends_ = false;
}

bool StagedFile::open(const std::string& target, bool append, const platform::FileStatus& status) {
  restart(target);
  if (is_check_run()) {
    if (!could_write(target)) return false;
    had_target_ = file_exists_now(target);
    memory_appends_ = append;
    mode_ = Mode::memory;
    return true;
  }
  const platform::FileKind kind = status.kind;
  had_target_ = kind == platform::FileKind::regular;
  target_status_ = status;
  // A link is kept: the file it names receives the new version, staged
  // beside that file so that the rename stays within its file system.
  if (had_target_ && status.link) target_ = platform::resolve_link(target);
  if (is_special_file(target, kind)) {
    if (!writer_.open(target, append)) return false;
    mode_ = Mode::direct;
    return true;
  }
  if (kind == platform::FileKind::directory || (had_target_ && !platform::may_write_file(target)))
    return false;
  if (append && had_target_) return start_append();
  if (start_temp()) return true;
  // No room for the temporary name (a name near the length limit): the file
  // is written in place, as it would be without staging. Any other failure
  // (no permission, no descriptor left, an I/O error) ends here: writing in
  // place would destroy the old version, and with it the hand-edited
  // sections that the new version may lack.
  if (!writer_.name_too_long() || !writer_.open(target, append)) return false;
  mode_ = Mode::direct;
  in_place_ = true;
  return true;
}

bool StagedFile::create(const std::string& target) {
  restart(target);
  // The first look into the directory clears other runs' temporary files,
  // and its listing must not yet hold the file made here. A name it holds
  // had a file then, and most likely still has one: a regeneration is
  // spared the attempt, and open() finds out what is there. So does a name
  // the run has made itself, which may still wait for the second thread.
  DirectoryLook& look = look_into(directory_of_target(target));
  std::string name = target.substr(name_start(target));
  if (look.listed.count(name) != 0 || look.made.count(name) != 0) return false;
  // The first new file of a directory is made at once: when the directory
  // cannot take it, open() reports that and falls back as always. Later
  // ones may be made by the second thread.
  if (!(look.took_new_file ? writer_.create_later(target) : writer_.create_new(target))) return false;
  look.took_new_file = true;
  look.made.insert(std::move(name));
  had_target_ = false;
  in_place_ = true;
  mode_ = Mode::created;
  return true;
}

bool StagedFile::start_temp() {
  names_in(directory_of_target(target_));
  temp_ = temp_path(target_);
  if (!writer_.open(temp_)) return false;
  mode_ = Mode::staged;
  return true;
}

bool StagedFile::start_append() {
  if (!writer_.open(target_, /*append=*/true) || !writer_.disk_size(kept_size_)) {
    writer_.abandon();
    return false;
  }
  mode_ = Mode::appended;
  return true;
}

// write() in the modes without a file of their own.
bool StagedFile::write_other(std::string_view bytes) {
  switch (mode_) {
    case Mode::none:
      return false;
    case Mode::memory:
      memory_.append(bytes);
      return true;
    case Mode::published:
      if (!resume()) return !(failed_ = true);
      return write(bytes);
    case Mode::staged:
    case Mode::created:
    case Mode::direct:
    case Mode::appended:
      if (!writer_.write(bytes)) failed_ = true;
      return !failed_;
  }
  return false;
}

bool StagedFile::flush() {
  if (writes_file() && !writer_.flush()) failed_ = true;
  return !failed_;
}

bool StagedFile::publish() {
  if (mode_ == Mode::direct) return flush();
  // What was appended so far stays. The file is let go: whoever reads it
  // now (a command, an insertion) may replace it, and later text goes onto
  // whatever the path names then.
  if (mode_ == Mode::appended) {
    if (!flush() || !writer_.close()) return !(failed_ = true);
    mode_ = Mode::published;
    return true;
  }
  // A created file published goes on like a staged one: later text is
  // appended to it, and cut off again after a failure.
  if (mode_ != Mode::staged && mode_ != Mode::created && mode_ != Mode::memory) return !failed_;
  if (!finish() || !commit()) return false;
  mode_ = Mode::published;
  return true;
}

// Continues a published version: later text is appended to it in place,
// and cut off again if the version is dropped. (A copy of it for every
// continuation would cost a template that runs a command for every element,
// while it writes one large file, the square of that file.)
bool StagedFile::resume() {
  if (!is_check_run()) {
    target_status_ = platform::file_status(target_);
    if (target_status_.kind == platform::FileKind::regular) return start_append();
    return start_temp();
  }
  memory_.clear();
  memory_appends_ = true;
  mode_ = Mode::memory;
  return true;
}

// The new version keeps the old one's permissions (an executable script
// stays executable, a file kept private stays private). They are given to
// the temporary file through its descriptor, once all of it is written.
bool StagedFile::finish() {
  // Kept open: a version dropped after all is cut off through it.
  if (mode_ == Mode::appended) {
    if (!writer_.flush()) failed_ = true;
    return !failed_;
  }
  if (mode_ == Mode::staged && had_target_) (void)writer_.take_permissions(target_status_);
  if (writes_file() && !writer_.close()) failed_ = true;
  return !failed_;
}

bool StagedFile::new_content(std::string& content) const {
  content.clear();
  return new_content_pieces([&content](std::string_view piece) { content.append(piece); });
}

bool StagedFile::new_content_pieces(const std::function<void(std::string_view)>& take) const {
  switch (mode_) {
    case Mode::memory:
      if (memory_appends_ && file_exists_now(target_) && !read_current_pieces(target_, take)) return false;
      take(memory_);
      return true;
    case Mode::staged:
      return platform::read_file_pieces(temp_, take);
    case Mode::published:  // the regular file this version's commit made
      return read_current_pieces(target_, take);
    case Mode::created:
    case Mode::appended:
      return platform::read_file_pieces(target_, take);
    case Mode::direct:
      // A regular file written in place can be read back; a device cannot.
      return in_place_ && platform::read_file_pieces(target_, take);
    default:
      return false;
  }
}

bool StagedFile::commit() {
  Mode mode = mode_;
  mode_ = Mode::none;
  if (mode == Mode::memory) {
    if (memory_appends_)
      append_version(target_, memory_);
    else
      keep_version(target_, std::move(memory_));
  }
  if (mode == Mode::appended) return writer_.close();
  if (mode != Mode::staged) return true;
  if (platform::rename_file(temp_, target_)) return true;
  platform::remove_file(temp_);
  return false;
}

void StagedFile::discard() {
  if (mode_ == Mode::staged) {
    writer_.close();
    platform::remove_file(temp_);
  } else if (mode_ == Mode::created) {
    // A file still waiting to be made is simply not made, and a name that
    // could not be taken is someone else's file.
    writer_.abandon();
    if (writer_.made_file()) platform::remove_file(target_);
  } else if (mode_ == Mode::direct) {
    writer_.close();
  } else if (mode_ == Mode::appended) {
    writer_.abandon_at(kept_size_);
  }
  mode_ = Mode::none;
  memory_.clear();
}

}  // namespace quill
