// POSIX implementation of the platform layer. Every path is passed through
// os_path() before the operating system sees it: turned native, so paths
// written with backslashes (models and templates authored elsewhere) work
// unchanged, and only once the files handed to the second thread are
// written, so that the system shows the program its own files complete.
#include "foundation/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

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

// native_path for a call that the system answers: it first waits for the
// files being written in the background (settle_writes).
std::string os_path(std::string_view path) {
  settle_writes();
  return native_path(path);
}

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
  return ::open(os_path(path).c_str(), writing_flags(append), 0666);
}

bool write_or_append(const std::string& path, std::string_view content, bool append) {
  note_change();
  int fd = open_for_writing(path, append);
  if (fd < 0) return false;
  bool ok = write_all(fd, content);
  return ::close(fd) == 0 && ok;
}

constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;

// One turn of a spin loop: the processor's hint that the loop only waits.
inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// The second thread of write_in_background and what waits for it. Jobs are
// done one at a time, in the order handed; the bytes waiting in all jobs are
// bounded, so that a fast generation cannot pile up a large output in memory.
//
// A template that asks about a file for every file it writes makes the
// program wait for the thread once per file. Put to sleep and woken each
// time, the two would spend longer switching than the thread saves, so
// either side first spins a little (the thread for the next job, a waiter
// for the jobs to be done) before it sleeps.
class BackgroundWriter {
 public:
  ~BackgroundWriter() {
    {
      std::unique_lock lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // Called settled: the count of waits starts again with the handler.
  void set_failure_handler(std::function<void(const std::string&)> failed) {
    failed_ = std::move(failed);
    waits_ = 0;
    handed_before_ = handed_.load(std::memory_order_relaxed);
  }
  bool on() const { return static_cast<bool>(failed_); }

  // Queues the creation of path (shown as display in a failure) with bytes.
  void hand(std::string display, std::string native, std::string bytes) {
    Job job{std::move(display), std::move(native), std::move(bytes)};
    std::unique_lock lock(mutex_);
    if (!start_thread()) {
      // No thread to be had (a process limit): the file is written here.
      if (!write_job(job)) {
        failures_.push_back(std::move(job.display));
        has_failures_.store(true, std::memory_order_relaxed);
      }
      return;
    }
    if (queued_bytes_ >= kMaxQueuedBytes) {
      lock.unlock();
      wait_until_done(handed_.load(std::memory_order_relaxed));
      lock.lock();
    }
    queued_bytes_ += job.bytes.size();
    jobs_.push_back(std::move(job));
    handed_.fetch_add(1, std::memory_order_release);
    const bool asleep = asleep_;
    lock.unlock();
    if (asleep) wake_.notify_one();
  }

  // False once the program has settled after more than one new file in
  // four: it asks about files as fast as it writes them (a template that
  // tests a file or shows a message for every file), and handing each file
  // over and waiting for it costs more than writing it. New files are then
  // made at once until the handler is set again.
  bool pays() const {
    const std::uint64_t handed = handed_.load(std::memory_order_relaxed) - handed_before_;
    return handed < 64 || waits_ * 4 <= handed;
  }

  void settle() {
    const std::uint64_t handed = handed_.load(std::memory_order_relaxed);
    if (handed == reported_ && !has_failures_.load(std::memory_order_acquire)) return;
    if (handed != reported_) ++waits_;
    wait_until_done(handed);
    std::vector<std::string> failures;
    {
      std::unique_lock lock(mutex_);
      failures.swap(failures_);
      has_failures_.store(false, std::memory_order_relaxed);
    }
    reported_ = handed;
    // Reported after the wait, outside the lock: reporting is a message,
    // and a message settles first (finding nothing outstanding).
    for (const std::string& path : failures)
      if (failed_) failed_(path);
  }

 private:
  struct Job {
    std::string display;
    std::string native;
    std::string bytes;
  };
  static constexpr size_t kMaxQueuedBytes = size_t{16} << 20;
  static constexpr auto kSpin = std::chrono::microseconds(100);

  // True when the thread runs (started now if need be).
  bool start_thread() {
    if (thread_.joinable()) return true;
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

  // Spins for a moment, then sleeps, until test() holds.
  template <class Test>
  static bool spin_for(Test test) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    do {
      for (int i = 0; i < 64; ++i) {
        if (test()) return true;
        relax();
      }
    } while (std::chrono::steady_clock::now() < until);
    return false;
  }

  // Waits until the first `count` jobs handed are done.
  void wait_until_done(std::uint64_t count) {
    auto done = [this, count] { return done_count_.load(std::memory_order_acquire) >= count; };
    if (spin_for(done)) return;
    std::unique_lock lock(mutex_);
    ++waiting_;
    done_.wait(lock, done);
    --waiting_;
  }

  void run() {
    std::uint64_t taken = 0;
    for (;;) {
      spin_for([&] { return handed_.load(std::memory_order_acquire) > taken; });
      std::unique_lock lock(mutex_);
      asleep_ = true;
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      asleep_ = false;
      if (jobs_.empty()) return;
      Job job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      ++taken;
      const bool ok = write_job(job);
      lock.lock();
      queued_bytes_ -= job.bytes.size();
      if (!ok) {
        failures_.push_back(std::move(job.display));
        has_failures_.store(true, std::memory_order_relaxed);
      }
      done_count_.fetch_add(1, std::memory_order_release);
      if (waiting_ > 0) done_.notify_all();
    }
  }

  // Creates the file as FileWriter::create_new would and writes it whole; a
  // file that was made but not written whole is removed, as a dropped new
  // version is.
  static bool write_job(const Job& job) {
    int fd = ::open(job.native.c_str(), kCreateFlags, 0666);
    if (fd < 0) return false;
    bool ok = write_all(fd, job.bytes);
    if (::close(fd) != 0) ok = false;
    if (!ok) ::unlink(job.native.c_str());
    return ok;
  }

  std::mutex mutex_;
  std::condition_variable wake_;  // the thread sleeps for jobs
  std::condition_variable done_;  // waiters sleep for jobs to be done
  std::deque<Job> jobs_;
  size_t queued_bytes_ = 0;
  bool asleep_ = false;  // the thread waits on wake_
  int waiting_ = 0;      // callers wait on done_
  bool stopping_ = false;
  std::vector<std::string> failures_;
  // Counts of jobs handed and done; a job written by the calling thread
  // (no thread to be had) counts as neither. Settling compares them, and a
  // settle with nothing outstanding takes no lock.
  std::atomic<std::uint64_t> handed_{0};
  std::atomic<std::uint64_t> done_count_{0};
  std::atomic<bool> has_failures_{false};
  std::uint64_t reported_ = 0;       // handed_ at the last settle
  std::uint64_t waits_ = 0;          // settles that found files handed since the last
  std::uint64_t handed_before_ = 0;  // handed_ when the handler was set
  std::function<void(const std::string&)> failed_;
  std::thread thread_;
};

BackgroundWriter& background() {
  static BackgroundWriter writer;
  return writer;
}

}  // namespace

void write_in_background(std::function<void(const std::string& path)> failed) {
  settle_writes();
  background().set_failure_handler(std::move(failed));
}

bool writes_in_background() { return background().on(); }

void settle_writes() { background().settle(); }

bool read_file(const std::string& path, std::string& content) {
  content.clear();
  int fd = ::open(os_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = read_all(fd, content);
  ::close(fd);
  return ok;
}

bool read_file_pieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  int fd = ::open(os_path(path).c_str(), O_RDONLY | O_CLOEXEC);
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
  if (!open_with(path, kCreateFlags)) return false;
  made_ = true;
  note_change();  // only a file that was made is a change
  return true;
}

bool FileWriter::create_later(const std::string& path) {
  const std::string native = native_path(path);
  const size_t slash = native.rfind('/');
  const size_t name_size = native.size() - (slash == std::string::npos ? 0 : slash + 1);
  // A failure shows at the next message or file call instead of at once:
  // a name the system would refuse anyway is tried now, so that the caller
  // can fall back as for any file that cannot be made.
  if (!writes_in_background() || !background().pays() || name_size > NAME_MAX ||
      native.size() >= PATH_MAX)
    return create_new(path);
  close();
  failed_ = false;
  used_ = 0;
  open_error_ = 0;
  made_ = false;
  pending_ = true;
  pending_path_ = path;
  note_change();  // the file will be made
  return true;
}

bool FileWriter::create_pending() {
  pending_ = false;
  made_ = open_descriptor(pending_path_, kCreateFlags);
  if (!made_) failed_ = true;
  return made_;
}

void FileWriter::abandon() {
  if (pending_) {
    pending_ = false;
    used_ = 0;
    return;
  }
  used_ = 0;  // nothing buffered is written
  close();
}

bool FileWriter::disk_size(std::uint64_t& size) const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool FileWriter::abandon_at(std::uint64_t size) {
  used_ = 0;
  const bool cut = fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
  if (cut) note_change();
  close();
  return cut;
}

bool FileWriter::open_with(const std::string& path, int flags) {
  close();
  failed_ = false;
  made_ = false;
  used_ = 0;
  return open_descriptor(path, flags);
}

bool FileWriter::open_descriptor(const std::string& path, int flags) {
  fd_ = ::open(os_path(path).c_str(), flags, 0666);
  open_error_ = fd_ >= 0 ? 0 : errno;
  return fd_ >= 0;
}

bool FileWriter::name_too_long() const { return open_error_ == ENAMETOOLONG; }

bool FileWriter::write_through(std::string_view bytes) {
  if (pending_ && used_ + bytes.size() > kBufferSize && !create_pending()) return false;
  if (fd_ < 0 && !pending_) return false;
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
  if (pending_ && !create_pending()) return false;
  if (fd_ < 0) return false;
  if (used_ > 0 && !write_all(fd_, std::string_view(buffer_.get(), used_))) failed_ = true;
  used_ = 0;
  return !failed_;
}

bool FileWriter::take_permissions(const FileStatus& old) {
  if (!flush()) return false;
  note_change();
  // Owner and group first: changing them clears set-id bits, which the mode
  // below then restores. Only root may give a file away, and a user only to a
  // group of theirs; where that is not allowed the file stays the user's own.
  struct stat st;
  const bool known = ::fstat(fd_, &st) == 0;
  const bool given = known && (st.st_uid != old.owner || st.st_gid != old.group);
  if (given && ::fchown(fd_, old.owner, old.group) != 0)
    (void)::fchown(fd_, static_cast<uid_t>(-1), old.group);
  // Most new versions already have the old one's mode: a regenerated file is
  // made with the same umask as its old version was.
  if (known && !given && (st.st_mode & 07777) == old.mode) return true;
  return ::fchmod(fd_, old.mode) == 0;
}

bool FileWriter::close() {
  if (pending_) {
    pending_ = false;
    // A failure shows the path as the caller gave it.
    background().hand(pending_path_, native_path(pending_path_),
                      std::string(buffer_ ? buffer_.get() : "", used_));
    made_ = true;
    used_ = 0;
    return !failed_;
  }
  if (fd_ < 0) return !failed_;
  flush();
  if (::close(fd_) != 0) failed_ = true;
  fd_ = -1;
  return !failed_;
}

namespace {
FileKind kind_of(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return FileKind::regular;
  return S_ISDIR(st.st_mode) ? FileKind::directory : FileKind::other;
}
}  // namespace

FileKind file_kind(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(os_path(path).c_str(), &st) != 0) return FileKind::missing;
  return kind_of(st);
}

FileStatus file_status(const std::string& path) {
  FileStatus status;
  struct stat st;
  const std::string native = os_path(path);
  if (path.empty() || ::lstat(native.c_str(), &st) != 0) return status;
  if (S_ISLNK(st.st_mode)) {
    status.link = true;
    if (::stat(native.c_str(), &st) != 0) return status;
  }
  status.kind = kind_of(st);
  status.mode = st.st_mode & 07777;
  status.owner = st.st_uid;
  status.group = st.st_gid;
  return status;
}

// access() answers for the real user and group; where they are the effective
// ones too (any program not installed set-id) its answer is the one opening
// would give, in one query. Otherwise the file is opened for appending,
// which changes nothing.
bool may_write_file(const std::string& path) {
  static const bool same_ids = ::getuid() == ::geteuid() && ::getgid() == ::getegid();
  if (same_ids) return ::access(os_path(path).c_str(), W_OK) == 0;
  const int fd = ::open(os_path(path).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  return fd >= 0 && ::close(fd) == 0;
}

std::uint64_t change_count() { return changes(); }

std::string resolve_link(const std::string& path) {
  struct stat st;
  std::string native = os_path(path);
  if (path.empty() || ::lstat(native.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = ::realpath(native.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool is_regular_file(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(os_path(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::uint64_t regular_file_size(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(os_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

bool is_directory(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(os_path(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool create_directory(const std::string& path) {
  return !path.empty() && ::mkdir(os_path(path).c_str(), 0777) == 0;
}

bool remove_file(const std::string& path) {
  note_change();
  return ::unlink(os_path(path).c_str()) == 0;
}

bool rename_file(const std::string& from, const std::string& to) {
  note_change();
  return ::rename(os_path(from).c_str(), os_path(to).c_str()) == 0;
}

bool is_writable_directory(const std::string& path) {
  return is_directory(path) && ::access(os_path(path).c_str(), W_OK | X_OK) == 0;
}

std::vector<std::string> list_directory(const std::string& path) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(os_path(path).c_str());
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
  bool ok = ::chdir(os_path(path).c_str()) == 0;  // a waiting file's path may be relative
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

void prepare_heap(std::size_t bytes) {
  constexpr std::size_t kLeast = std::size_t{1} << 19;
  constexpr std::size_t kMost = std::size_t{32} << 20;  // the allocator's own limit for mapping
  if (bytes < kLeast || bytes > kMost) return;
  // Taken from the heap, not mapped on its own, and kept there when freed.
  ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMost));
  ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kMost));
  char* block = static_cast<char*>(std::malloc(bytes));
  if (block == nullptr) return;
  const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
  // Present but unused: freeing the block gives its room back to the heap's
  // top, where the next allocations come from.
  if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
  std::free(block);
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
  settle_writes();
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
