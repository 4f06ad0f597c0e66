#include "foundation/ini_reader.h"

#include <vector>

#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/platform.h"

namespace quill {

namespace {
bool starts_with(const std::string& line, const std::string& head) {
  return line.compare(0, head.size(), head) == 0;
}
}  // namespace

std::string ini_read(const std::string& dir, const std::string& file, const std::string& section,
                     const std::string& key, const std::string& default_value) {
  if (dir.empty() || file.empty() || section.empty() || key.empty()) return default_value;
  std::string path = join_path(dir, file);
  std::vector<std::string> lines;
  if (!platform::read_lines(path, lines)) {
    error("Cannot open initialisation file '%s'.", path);
    return default_value;
  }
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
