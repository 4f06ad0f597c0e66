#include "foundation/paths.h"

#include "foundation/char_set.h"
#include "foundation/pattern.h"
#include "foundation/platform.h"

namespace quill {

namespace {
bool is_separator(char c) { return c == '\\' || c == '/'; }

// Position of the last separator of either kind, or npos.
size_t last_separator(std::string_view path) { return path.find_last_of("\\/"); }
}  // namespace

// Letters include the bytes above 127, so UTF-8 file names are accepted.
bool is_name_char(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 128 || sets::upper().contains(c) || sets::lower().contains(c) || sets::digits().contains(c)) {
    return true;
  }
  static const CharSet kMarks("!@#$%^&-_.");
  return kMarks.contains(c);
}

bool is_path_char(char c) {
  static const CharSet kPathMarks("~\\/:. ");
  return is_name_char(c) || kPathMarks.contains(c);
}

bool is_valid_file_name(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!is_name_char(c)) return false;
  }
  return true;
}

bool is_valid_path(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!is_path_char(c)) return false;
  }
  return true;
}

PathParts split_path(std::string_view path) {
  PathParts parts;
  parts.path = std::string(path);
  if (!is_valid_path(path)) return parts;
  std::string_view rest = path;
  if (path.find(':') != std::string_view::npos) {
    parts.drive = std::string(path.substr(0, 2));
    rest.remove_prefix(parts.drive.size());
  }
  size_t sep = last_separator(rest);
  if (sep == std::string_view::npos) {
    parts.file_name = std::string(rest);
  } else {
    parts.directory = sep == 0 ? std::string(1, rest[0]) : std::string(rest.substr(0, sep));
    parts.file_name = std::string(rest.substr(sep + 1));
  }
  size_t dot = parts.file_name.find('.');
  parts.base_name = parts.file_name.substr(0, dot);
  if (dot != std::string::npos) {
    size_t second = parts.file_name.find('.', dot + 1);
    parts.extension = parts.file_name.substr(dot + 1, second == std::string::npos ? std::string::npos
                                                                                 : second - dot - 1);
  }
  return parts;
}

bool is_relative(std::string_view path) {
  return !path.empty() && !is_separator(path[0]) && path.find(':') == std::string_view::npos;
}

std::string file_name_of(std::string_view path) {
  size_t sep = last_separator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string directory_of(std::string_view path) {
  size_t sep = last_separator(path);
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep));
}

std::string join_path(std::string_view dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string out(dir);
  out += platform::kSeparator;
  out += name;
  return out;
}

bool file_exists(const std::string& path) { return platform::is_regular_file(path); }

bool dir_exists(const std::string& path) { return platform::is_directory(path); }

// Creates the directory; when that fails, creates the parent first (unless
// the parent is a drive root or there is none) and tries once more. A
// directory that already exists counts as made.
bool make_dirs(const std::string& path) {
  if (platform::create_directory(path) || dir_exists(path)) return true;
  size_t sep = last_separator(path);
  if (sep == std::string::npos || (sep > 0 && path[sep - 1] == ':')) return false;
  if (sep > 0) make_dirs(path.substr(0, sep));
  return platform::create_directory(path) || dir_exists(path);
}

SearchResult search_path(std::string_view dirs, std::string_view name) {
  static const Pattern kEntry("[^;]+");
  for (const std::string& entry : kEntry.all_matches(dirs)) {
    std::string candidate = join_path(entry, name);
    if (file_exists(candidate)) return {true, candidate};
  }
  return {};
}

}  // namespace quill
