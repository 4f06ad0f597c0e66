#include "foundation/ini_reader.h"

#include <cstdint>
#include <map>
#include <vector>

#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/platform.h"

namespace quill {

namespace {

bool starts_with(const std::string& line, const std::string& head) {
  return line.compare(0, head.size(), head) == 0;
}

// The files read while a scope is open, by path.
struct IniCache {
  struct File {
    std::uint64_t changes = 0;  // platform::change_count() when read
    bool readable = false;
    std::vector<std::string> lines;
  };
  int scopes = 0;
  std::map<std::string, File> files;
};

IniCache& cache() {
  static IniCache instance;
  return instance;
}

// The lines of the file at path, or nullptr when it cannot be read; lines
// is the caller's storage for a read outside any scope.
const std::vector<std::string>* ini_lines(const std::string& path,
                                          std::vector<std::string>& lines) {
  IniCache& c = cache();
  if (c.scopes == 0) return platform::read_lines(path, lines) ? &lines : nullptr;
  std::uint64_t now = platform::change_count();
  auto [at, added] = c.files.try_emplace(path);
  IniCache::File& file = at->second;
  if (added || file.changes != now) {
    file.readable = platform::read_lines(path, file.lines);
    file.changes = now;
  }
  return file.readable ? &file.lines : nullptr;
}

}  // namespace

IniReadScope::IniReadScope() { ++cache().scopes; }

IniReadScope::~IniReadScope() {
  if (--cache().scopes == 0) cache().files.clear();
}

std::string ini_read(const std::string& dir, const std::string& file, const std::string& section,
                     const std::string& key, const std::string& default_value) {
  if (dir.empty() || file.empty() || section.empty() || key.empty()) return default_value;
  std::string path = join_path(dir, file);
  std::vector<std::string> storage;
  const std::vector<std::string>* found = ini_lines(path, storage);
  if (found == nullptr) {
    error("Cannot open initialisation file '%s'.", path);
    return default_value;
  }
  const std::vector<std::string>& lines = *found;
  const std::string header = "[" + section + "]";
  const std::string assignment = key + "=";
  size_t i = 0;
  while (i < lines.size() && !starts_with(lines[i], header)) ++i;
  for (++i; i < lines.size(); ++i) {
    if (starts_with(lines[i], "[")) break;
    if (starts_with(lines[i], assignment)) return lines[i].substr(assignment.size());
  }
  return default_value;
}

std::string ini_directory() {
  for (const char* variable : {"QUILLDIR", "SystemRoot", "winbootdir"}) {
    std::string dir = platform::get_env(variable);
    if (!dir.empty()) return dir;
  }
  std::string config = platform::get_env("XDG_CONFIG_HOME");
  if (config.empty()) config = join_path(platform::get_env("HOME"), ".config");
  return join_path(config, "quillwork");
}

}  // namespace quill
