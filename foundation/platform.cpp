// POSIX implementation of the platform layer. Every path is passed through
// native_path() before the operating system sees it, so paths written with
// backslashes (models and templates authored elsewhere) work unchanged.
#include "foundation/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

extern char** environ;

namespace quill::platform {

const char kSeparator = '/';

std::string native_path(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

namespace {

std::uint64_t& changes() {
  static std::uint64_t count = 0;
  return count;
}

void note_change() { ++changes(); }

// Reads an open descriptor to its end, handing each piece to take; false on
// a read error (a directory opens for reading, but its first read fails).
bool read_pieces(int fd, const std::function<void(std::string_view)>& take) {
  char piece[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, piece, sizeof piece);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    take(std::string_view(piece, static_cast<size_t>(n)));
  }
}

// Reads everything from an open descriptor, room made for it first; false on
// a read error and for a directory (which opens for reading but holds no text).
bool read_all(int fd, std::string& content) {
  content.clear();
  struct stat st;
  if (fstat(fd, &st) == 0) {
    if (S_ISDIR(st.st_mode)) return false;
    if (S_ISREG(st.st_mode) && st.st_size > 0) content.reserve(static_cast<size_t>(st.st_size));
  }
  return read_pieces(fd, [&content](std::string_view piece) { content.append(piece); });
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

int writing_flags(bool append) { return O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC); }

int open_for_writing(const std::string& path, bool append) {
  return ::open(native_path(path).c_str(), writing_flags(append), 0666);
}

bool write_or_append(const std::string& path, std::string_view content, bool append) {
  note_change();
  int fd = open_for_writing(path, append);
  if (fd < 0) return false;
  bool ok = write_all(fd, content);
  return ::close(fd) == 0 && ok;
}

}  // namespace

bool read_file(const std::string& path, std::string& content) {
  content.clear();
  int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = read_all(fd, content);
  ::close(fd);
  return ok;
}

bool read_file_pieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = read_pieces(fd, take);
  ::close(fd);
  return ok;
}

bool read_lines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string content;
  if (!read_file(path, content)) return false;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t lf = content.find('\n', pos);
    size_t end = lf == std::string::npos ? content.size() : lf;
    size_t stop = (lf != std::string::npos && end > pos && content[end - 1] == '\r') ? end - 1 : end;
    lines.emplace_back(content, pos, stop - pos);
    pos = lf == std::string::npos ? content.size() : lf + 1;
  }
  return true;
}

bool write_file(const std::string& path, std::string_view content) {
  return write_or_append(path, content, false);
}

bool append_file(const std::string& path, std::string_view content) {
  return write_or_append(path, content, true);
}

FileWriter::~FileWriter() { close(); }

bool FileWriter::open(const std::string& path, bool append) {
  note_change();
  return open_with(path, writing_flags(append));
}

bool FileWriter::create_new(const std::string& path) {
  if (!open_with(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC)) return false;
  note_change();  // only a file that was made is a change
  return true;
}

bool FileWriter::open_with(const std::string& path, int flags) {
  close();
  failed_ = false;
  used_ = 0;
  fd_ = ::open(native_path(path).c_str(), flags, 0666);
  open_error_ = fd_ >= 0 ? 0 : errno;
  return fd_ >= 0;
}

bool FileWriter::name_too_long() const { return open_error_ == ENAMETOOLONG; }

bool FileWriter::write_through(std::string_view bytes) {
  if (fd_ < 0) return false;
  if (used_ + bytes.size() > kBufferSize) {
    flush();
    if (bytes.size() >= kBufferSize) {
      if (!write_all(fd_, bytes)) failed_ = true;
      return !failed_;
    }
  }
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
  std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
  return !failed_;
}

bool FileWriter::flush() {
  if (fd_ < 0) return false;
  if (used_ > 0 && !write_all(fd_, std::string_view(buffer_.get(), used_))) failed_ = true;
  used_ = 0;
  return !failed_;
}

bool FileWriter::close() {
  if (fd_ < 0) return !failed_;
  flush();
  if (::close(fd_) != 0) failed_ = true;
  fd_ = -1;
  return !failed_;
}

FileKind file_kind(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(native_path(path).c_str(), &st) != 0) return FileKind::missing;
  if (S_ISREG(st.st_mode)) return FileKind::regular;
  return S_ISDIR(st.st_mode) ? FileKind::directory : FileKind::other;
}

std::uint64_t change_count() { return changes(); }

std::string resolve_link(const std::string& path) {
  struct stat st;
  std::string native = native_path(path);
  if (path.empty() || ::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(native.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool copy_permissions(const std::string& from, const std::string& to) {
  struct stat old_st, new_st;
  std::string native_to = native_path(to);
  if (::stat(native_path(from).c_str(), &old_st) != 0) return false;
  note_change();
  // Owner and group first: changing them clears set-id bits, which the mode
  // below then restores. Only root may give a file away, and a user only to a
  // group of theirs; where that is not allowed the file stays the user's own.
  const bool known = ::stat(native_to.c_str(), &new_st) == 0;
  const bool given = known && (new_st.st_uid != old_st.st_uid || new_st.st_gid != old_st.st_gid);
  if (given && ::chown(native_to.c_str(), old_st.st_uid, old_st.st_gid) != 0)
    (void)::chown(native_to.c_str(), static_cast<uid_t>(-1), old_st.st_gid);
  // Most new versions already have the old one's mode: a regenerated file is
  // made with the same umask as its old version was.
  if (known && !given && (new_st.st_mode & 07777) == (old_st.st_mode & 07777)) return true;
  return ::chmod(native_to.c_str(), old_st.st_mode & 07777) == 0;
}

bool is_regular_file(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(native_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t regular_file_size(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(native_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool is_directory(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(native_path(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool create_directory(const std::string& path) {
  return !path.empty() && ::mkdir(native_path(path).c_str(), 0777) == 0;
}

bool remove_file(const std::string& path) {
  note_change();
  return ::unlink(native_path(path).c_str()) == 0;
}

bool rename_file(const std::string& from, const std::string& to) {
  note_change();
  return ::rename(native_path(from).c_str(), native_path(to).c_str()) == 0;
}

bool is_writable_directory(const std::string& path) {
  return is_directory(path) && ::access(native_path(path).c_str(), W_OK | X_OK) == 0;
}

std::vector<std::string> list_directory(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(native_path(path).c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(dir);
  return names;
}

namespace {

// The working directory as the system reports it, read once and again after
// each change_directory (the process changes it nowhere else): absolute
// paths are made for every generated file, and asking the system each time
// would cost a call per path. Empty when it cannot be read.
std::string& working_directory() {
  static std::string dir = [] {
    std::error_code ec;
    std::string d = std::filesystem::current_path(ec).string();
    return ec ? std::string() : d;
  }();
  return dir;
}

void refresh_working_directory() {
  std::error_code ec;
  std::string d = std::filesystem::current_path(ec).string();
  working_directory() = ec ? std::string() : d;
}

// True when lexical normalisation leaves the path as it is (but for
// trailing separators): no empty, "." or ".." component before its end.
bool is_plain_path(std::string_view p) {
  size_t start = 0;
  if (!p.empty() && p[0] == '/') start = 1;
  while (start < p.size()) {
    size_t end = p.find('/', start);
    if (end == std::string_view::npos) end = p.size();
    std::string_view part = p.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string current_directory() {
  const std::string& dir = working_directory();
  return dir.empty() ? std::string(".") : dir;
}

bool change_directory(const std::string& path) {
  bool ok = ::chdir(native_path(path).c_str()) == 0;
  refresh_working_directory();
  return ok;
}

std::string absolute_path(const std::string& path) {
  std::string native = native_path(path);
  const std::string& cwd = working_directory();
  if (!native.empty() && !cwd.empty() && is_plain_path(native)) {
    std::string out;
    if (native[0] != '/') {
      out.reserve(cwd.size() + 1 + native.size());
      out = cwd;
      if (out.back() != '/') out += '/';
    }
    out += native;
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
  }
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(native_path(path), ec);
  if (ec) return native_path(path);
  std::string out = p.lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool has_env(const std::string& name) { return std::getenv(name.c_str()) != nullptr; }

std::string get_env(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

void set_env(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

namespace {

constexpr const char* kTunables = "GLIBC_TUNABLES";
constexpr const char* kHugePages = "glibc.malloc.hugetlb";
// Set for the restarted program: the tunables it was started with, after a
// leading '=', or "-" when the variable was not set.
constexpr const char* kSavedTunables = "QUILL_SAVED_TUNABLES";

// Puts GLIBC_TUNABLES back as a saved mark says and removes the mark.
void restore_tunables(const std::string& saved) {
  ::unsetenv(kSavedTunables);
  if (!saved.empty() && saved[0] == '=')
    ::setenv(kTunables, saved.c_str() + 1, 1);
  else
    ::unsetenv(kTunables);
}

}  // namespace

void restart_with_huge_pages(char** argv, bool worth_it) {
  if (const char* saved = std::getenv(kSavedTunables)) {
    restore_tunables(saved);
    return;
  }
  if (!worth_it) return;
  const char* current = std::getenv(kTunables);
  std::string original = current ? current : "";
  if (original.find(kHugePages) != std::string::npos || argv == nullptr || argv[0] == nullptr)
    return;
  std::string saved = current ? "=" + original : "-";
  std::string tunables = original.empty() ? "" : original + ":";
  tunables += kHugePages;
  tunables += "=1";
  ::setenv(kSavedTunables, saved.c_str(), 1);
  ::setenv(kTunables, tunables.c_str(), 1);
  ::execv("/proc/self/exe", argv);
  restore_tunables(saved);  // not restarted: the environment as it was found
}

std::string executable_directory() {
  std::string buf(256, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return current_directory();
    if (static_cast<size_t>(n) < buf.size()) {
      buf.resize(static_cast<size_t>(n));
      break;
    }
    buf.resize(buf.size() * 2);
  }
  size_t slash = buf.rfind('/');
  if (slash == std::string::npos) return current_directory();
  return slash == 0 ? std::string("/") : buf.substr(0, slash);
}

int run_command(const std::string& command_line) {
  std::fflush(nullptr);  // keep our own output ahead of the child's
  const char* argv[] = {"/bin/sh", "-c", command_line.c_str(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
    return -1;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

LocalTime local_time() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  ::localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace quill::platform
