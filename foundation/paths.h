// File-name and path validation, path parts, file system tests, directory
// creation and the search of a semicolon-separated directory list.
#pragma once

#include <string>
#include <string_view>

namespace quill {

struct PathParts {
  std::string path, drive, directory, base_name, extension, file_name;
};

bool is_name_char(char c);
bool is_path_char(char c);
bool is_valid_file_name(std::string_view text);
bool is_valid_path(std::string_view text);
PathParts split_path(std::string_view path);
bool is_relative(std::string_view path);
// Everything after the last separator (either kind).
std::string file_name_of(std::string_view path);
// Everything before the last separator, "" when there is none.
std::string directory_of(std::string_view path);
// dir + native separator + name ("" dir gives the name itself).
std::string join_path(std::string_view dir, std::string_view name);

bool file_exists(const std::string& path);
bool dir_exists(const std::string& path);
// Creates the directory and its missing parents. Reports nothing.
bool make_dirs(const std::string& path);

struct SearchResult {
  bool found = false;
  std::string path;
};
// Tries every ';'-separated entry of dirs joined with name; the first existing file wins.
SearchResult search_path(std::string_view dirs, std::string_view name);

}  // namespace quill
