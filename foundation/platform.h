// The one layer that touches the operating system: files and directories,
// the current directory, environment, the executable's own directory,
// running a command, the local clock. Paths given to these functions may use
// either separator; they are turned into the host's form before the OS sees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill::platform {

// The host's own directory separator, used whenever the system builds a path.
extern const char kSeparator;

// Returns the path with every foreign separator turned into the native one.
std::string native_path(std::string_view path);

// Reads a whole file as text lines: split at LF, one CR before each LF dropped,
// no length limit. A final line without LF is kept. Returns false when the
// file cannot be opened.
bool read_lines(const std::string& path, std::vector<std::string>& lines);

// Reads the raw bytes of a file. Returns false when it cannot be opened.
bool read_file(const std::string& path, std::string& content);
// The same in pieces handed to take in order, for a file too large to be
// held whole by a reader that needs only a pass over it. False when it
// cannot be opened or a read fails (take may have had some pieces then).
bool read_file_pieces(const std::string& path, const std::function<void(std::string_view)>& take);

// Writes the bytes as the whole new content of the file. False on any error.
bool write_file(const std::string& path, std::string_view content);
// Appends the bytes to the file, creating it when needed. False on any error.
bool append_file(const std::string& path, std::string_view content);

// What a path names.
enum class FileKind { missing, regular, directory, other };

// What a path names, whether the path itself is a symbolic link, and for an
// existing file the permission bits, owner and group of the file (links
// followed). One status query for a path that is no link.
struct FileStatus {
  FileKind kind = FileKind::missing;
  bool link = false;
  unsigned mode = 0;  // the permission bits, 07777
  unsigned owner = 0;
  unsigned group = 0;
};

// A file written byte for byte through a large buffer: one system call per
// buffer, not per line. Closed (and flushed) by close() or the destructor.
class FileWriter {
 public:
  FileWriter() = default;
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Opens for writing (truncating) or appending. False when it cannot be opened.
  bool open(const std::string& path, bool append = false);
  // Creates path and opens it for writing, only when nothing at all goes by
  // that name (not even a dangling link): it never replaces a file that
  // appeared since anyone looked. False when it exists or cannot be made.
  bool create_new(const std::string& path);
  // The same, but while files are written in the background the file is
  // only made when the writer is closed: the second thread creates it, just
  // as create_new would, and writes the bytes that waited in the buffer.
  // Text that outgrows the buffer, or a flush, has the file created at once
  // (and a failure then fails that write). Without background writing, or
  // for a name too long to be sure of, this is create_new.
  bool create_later(const std::string& path);
  bool is_open() const { return fd_ >= 0 || pending_; }
  // Gives the open file the permission bits of `old`, and its owner and
  // group as far as the process may; writes what is buffered first, since
  // a write after a mode change may clear set-id bits. False when the file
  // is not open or the bits cannot be read or set.
  bool take_permissions(const FileStatus& old);
  // Closes without writing what is buffered; a creation still pending is
  // not made at all.
  void abandon();
  // The size of the open file as it stands on the disk (what is buffered
  // not counted); false when it cannot be read.
  bool disk_size(std::uint64_t& size) const;
  // Closes without writing what is buffered, after cutting the file back
  // to size bytes; false when the cut fails.
  bool abandon_at(std::uint64_t size);
  // Whether this writer made its file since it was last opened: create_new
  // succeeded, or create_later's file was made or handed to the second
  // thread (which removes it again when it cannot write it whole).
  bool made_file() const { return made_; }
  // True when the last open failed because the path (or a part of it) is
  // longer than the system allows.
  bool name_too_long() const;
  // Buffers the bytes; false once any write has failed.
  bool write(std::string_view bytes) {
    if (bytes.size() <= kBufferSize - used_ && buffer_ && (fd_ >= 0 || pending_)) {
      std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return !failed_;
    }
    return write_through(bytes);
  }
  // Writes out the buffer; false on any error so far.
  bool flush();
  // Flushes and closes; false on any error so far. Harmless when not open.
  bool close();

 private:
  // Closes any file and opens path with the open(2) flags.
  bool open_with(const std::string& path, int flags);
  // Opens path with the flags into fd_, keeping what is buffered.
  bool open_descriptor(const std::string& path, int flags);
  // Makes the file of a pending creation now; false (and the writer failed)
  // when it cannot be made.
  bool create_pending();
  // write() when the bytes do not fit the buffer (or there is none yet).
  bool write_through(std::string_view bytes);

  static constexpr size_t kBufferSize = 1 << 16;
  int fd_ = -1;
  int open_error_ = 0;  // the system's error number of the last failed open
  bool failed_ = false;
  bool pending_ = false;  // create_later: the file is made at the close
  bool made_ = false;
  std::string pending_path_;  // as the caller gave it
  // A plain block rather than a growing string: a write is one bounds test
  // and one copy. Made at the first write and kept for the next file.
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
};

// New files written by a second thread. While it is on, the files that
// FileWriter::create_later prepared are created and written by that thread,
// in the order their writers were closed, and the program goes on meanwhile:
// a generation into thousands of small files spends about as long in the
// system's file calls as in everything else. Every other call of this layer
// that reads or changes the file system, runs a command or changes the
// working directory, and every message (see sink()), first waits until the
// thread has written all it was handed (settle_writes), so that nothing the
// program or a command it runs can see differs from writing at once. A file
// that cannot be created (say, something took its name meanwhile) or written
// whole (it is then removed) is passed to `failed` by settle_writes, on the
// calling thread: the failure shows at that point instead of at the close.
// write_in_background(nullptr) settles and turns it off again.
void write_in_background(std::function<void(const std::string& path)> failed);
bool writes_in_background();
// Waits until every file handed to the second thread is written, then
// reports each failure; returns at once when nothing is outstanding.
void settle_writes();

// What a path names, found with one status query (links followed).
// missing also stands for a path whose status cannot be read.
FileKind file_kind(const std::string& path);
// The status of path (see FileStatus).
FileStatus file_status(const std::string& path);
// Whether the process may write the existing file at path: the permission
// check that opening it for writing makes, without opening it.
bool may_write_file(const std::string& path);

// Counts the calls of this layer that create, change, rename or remove a
// file, so that a reader keeping a file's content in memory can tell that
// the program itself may have changed it since.
std::uint64_t change_count();

// The file a symbolic link finally names (absolute); a path that is no link,
// or whose link cannot be resolved, is returned unchanged.
std::string resolve_link(const std::string& path);

bool is_regular_file(const std::string& path);
// The size in bytes of a regular file; 0 for anything else.
std::uint64_t regular_file_size(const std::string& path);
bool is_directory(const std::string& path);
// Creates one directory (not its parents). False when it cannot be created.
bool create_directory(const std::string& path);
bool remove_file(const std::string& path);
// Renames, replacing an existing target. False on any error.
bool rename_file(const std::string& from, const std::string& to);
// True when a file can be created in the directory.
bool is_writable_directory(const std::string& path);
// Names (not paths) of the entries of a directory, without "." and "..".
std::vector<std::string> list_directory(const std::string& path);

std::string current_directory();
bool change_directory(const std::string& path);
// The absolute, lexically normalised path in native form.
std::string absolute_path(const std::string& path);

// Environment. get_env returns "" for an unset variable; has_env tells them apart.
bool has_env(const std::string& name);
std::string get_env(const std::string& name);
void set_env(const std::string& name, const std::string& value);

// Restarts the running program once, with the same arguments, so that the
// C library's allocator backs the heap with transparent huge pages. Large
// models hold hundreds of megabytes in small objects: with ordinary pages
// most of the time goes to page faults and address translation misses.
// Returns (and the program goes on as it is) when `worth_it` is false, when
// the restart cannot be made, when it was made already, or when the user
// chose the allocator's huge page setting (the variable GLIBC_TUNABLES names
// it). The restarted program removes its marks from the environment (whatever
// `worth_it` says then), so that commands it runs see the environment it was
// started with.
void restart_with_huge_pages(char** argv, bool worth_it);

// Makes room for about `bytes` of small objects before they are made: the
// heap grows by that much at once and its pages are made present in one
// call. A run that builds a model of a few megabytes otherwise takes a page
// fault for every 4 KiB it touches, and on a virtual machine each costs
// several microseconds: a tenth of a small run. Nothing is done for less
// than half a megabyte, or for more than 32 MiB (a heap that large is
// backed by huge pages, see restart_with_huge_pages). Large blocks then
// stay in the heap up to 32 MiB instead of being mapped one by one, and the
// heap keeps up to 64 MiB of free room.
void prepare_heap(std::size_t bytes);

// The directory holding the running executable.
std::string executable_directory();

// Runs a command line through the host's command interpreter and waits.
// Returns the exit status, or -1 when the command could not be started.
int run_command(const std::string& command_line);

struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime local_time();

}  // namespace quill::platform
