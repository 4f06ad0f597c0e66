#include "output/check_run.h"

#include <map>
#include <set>
#include <vector>

#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/platform.h"

namespace quill {

namespace {

constexpr std::string_view kWouldCreate = "Would create: %s";
constexpr std::string_view kWouldChange = "Would change: %s";
constexpr std::string_view kCommandSkipped = "Check only: the command '%s' was not run.";

struct CheckRun {
  bool on = false;
  std::map<std::string, std::string> versions;  // by absolute path
  std::vector<std::string> order;               // paths as first produced
  std::set<std::string> directories;            // absolute paths

  void clear() {
    versions.clear();
    order.clear();
    directories.clear();
  }
};

CheckRun& state() {
  static CheckRun run;
  return run;
}

std::string key_of(const std::string& path) { return platform::absolute_path(path); }

std::string* kept_version(const std::string& path) {
  if (!state().on) return nullptr;
  auto found = state().versions.find(key_of(path));
  return found == state().versions.end() ? nullptr : &found->second;
}

}  // namespace

void set_check_run(bool on) {
  state().clear();
  state().on = on;
}

bool is_check_run() { return state().on; }

bool read_current(const std::string& path, std::string& content) {
  if (const std::string* kept = kept_version(path)) {
    content = *kept;
    return true;
  }
  return platform::is_regular_file(path) && platform::read_file(path, content);
}

bool read_current_pieces(const std::string& path, const std::function<void(std::string_view)>& take) {
  if (const std::string* kept = kept_version(path)) {
    take(*kept);
    return true;
  }
  return platform::read_file_pieces(path, take);
}

bool file_exists_now(const std::string& path) {
  return kept_version(path) != nullptr || platform::is_regular_file(path);
}

bool directory_exists_now(const std::string& path) {
  if (platform::is_directory(path)) return true;
  return state().on && state().directories.count(key_of(path)) != 0;
}

void keep_version(const std::string& path, std::string content) {
  auto [at, added] = state().versions.insert_or_assign(key_of(path), std::move(content));
  if (added) state().order.push_back(path);
}

void append_version(const std::string& path, std::string_view text) {
  if (std::string* kept = kept_version(path)) {
    kept->append(text);
    return;
  }
  std::string content;
  (void)read_current(path, content);
  content.append(text);
  keep_version(path, std::move(content));
}

int report_check_run() {
  int count = 0;
  for (const std::string& path : state().order) {
    const std::string& kept = state().versions[key_of(path)];
    std::string on_disk;
    bool exists = platform::is_regular_file(path) && platform::read_file(path, on_disk);
    if (exists && on_disk == kept) continue;
    info(exists ? kWouldChange : kWouldCreate, path);
    ++count;
  }
  return count;
}

bool skip_shell_command(std::string_view command) {
  if (!state().on) return false;
  warning(kCommandSkipped, command);
  return true;
}

bool make_output_dirs(const std::string& path) {
  if (!state().on) return make_dirs(path);
  state().directories.insert(key_of(path));
  return true;
}

}  // namespace quill
