#include "output/file_record.h"

#include <algorithm>
#include <set>

#include "foundation/messages.h"
#include "foundation/platform.h"

namespace quill {

namespace {

constexpr std::string_view kDepfileFailed = "The dependency file '%s' cannot be written.";

// Paths in the order first noted, with a set of their absolute forms so that
// two spellings of one file are noted once.
struct NotedFiles {
  std::vector<std::string> paths;
  std::set<std::string> keys;

  void add(const std::string& path) {
    if (path.empty()) return;
    if (keys.insert(platform::absolute_path(path)).second) paths.push_back(path);
  }
  bool contains(const std::string& path) const {
    return keys.count(platform::absolute_path(path)) != 0;
  }
  void clear() {
    paths.clear();
    keys.clear();
  }
};

NotedFiles& read_files() {
  static NotedFiles files;
  return files;
}

NotedFiles& written_files() {
  static NotedFiles files;
  return files;
}

bool needs_escape(char c) { return c == ' ' || c == '\t' || c == '#'; }

// The path as the dependency file names it: relative to the working
// directory when it lies below it, else absolute; normalised either way, so
// that a build tool matches it with its own spelling of the file.
std::string depfile_path(const std::string& path) {
  std::string absolute = platform::absolute_path(path);
  std::string cwd = platform::absolute_path(platform::current_directory());
  if (!cwd.empty() && cwd.back() != platform::kSeparator) cwd += platform::kSeparator;
  if (absolute.size() > cwd.size() && absolute.compare(0, cwd.size(), cwd) == 0)
    return absolute.substr(cwd.size());
  return absolute;
}

bool& recording() {
  static bool on = true;
  return on;
}

}  // namespace

void set_file_record(bool on) { recording() = on; }

void note_file_read(const std::string& path) {
  if (recording()) read_files().add(path);
}

void note_file_written(const std::string& path) {
  if (recording()) written_files().add(path);
}

void clear_file_record() {
  read_files().clear();
  written_files().clear();
}

const std::vector<std::string>& files_read() { return read_files().paths; }

const std::vector<std::string>& files_written() { return written_files().paths; }

std::string depfile_escape(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  size_t backslashes = 0;  // the run of backslashes just copied
  for (char c : path) {
    if (needs_escape(c)) {
      out.append(backslashes, '\\');
      out += '\\';
    } else if (c == '$') {
      out += '$';
    }
    out += c;
    backslashes = c == '\\' ? backslashes + 1 : 0;
  }
  return out;
}

std::string depfile_text() {
  const NotedFiles& written = written_files();
  if (written.paths.empty()) return {};
  std::string text;
  for (const std::string& target : written.paths) {
    if (!text.empty()) text += " \\\n";
    text += depfile_escape(depfile_path(target));
  }
  text += ':';
  for (const std::string& input : read_files().paths) {
    if (written.contains(input)) continue;  // a generated file read back is no input
    text += " \\\n  ";
    text += depfile_escape(depfile_path(input));
  }
  text += '\n';
  return text;
}

bool write_depfile(const std::string& path) {
  if (platform::write_file(path, depfile_text())) return true;
  error(kDepfileFailed, path);
  return false;
}

}  // namespace quill
