// A check run generates everything but changes nothing on disk. Each version
// a generated file would get is kept in memory instead, so that later reads
// of the same run (capture on re-opening, appending, copying, inserting) see
// what a real run would see; at the end the kept versions are compared with
// the files on disk.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quill {

// Starts a check run (forgetting the versions of an earlier one) or ends it.
void set_check_run(bool on);
bool is_check_run();

// The content of path as this run sees it: in a check run the last version
// the run produced, else the file on disk. False when there is none.
bool read_current(const std::string& path, std::string& content);
// The same in pieces handed to take (platform::read_file_pieces): a file on
// disk is never held whole. For a path its caller has just found to be a
// regular file (or that the check run keeps): it is not looked at again.
bool read_current_pieces(const std::string& path, const std::function<void(std::string_view)>& take);
// Whether path is a regular file as this run sees it.
bool file_exists_now(const std::string& path);
// Whether path is a directory as this run sees it.
bool directory_exists_now(const std::string& path);

// Keeps content as the version of path that the check run produced.
void keep_version(const std::string& path, std::string content);
// Keeps the current content of path (as read_current sees it; none when
// there is none) followed by text as its version, without copying a
// version that is kept already.
void append_version(const std::string& path, std::string_view text);

// Reports (info) "Would create: <path>" or "Would change: <path>" for every
// file whose kept version differs from the file on disk, in the order the
// files were first produced, and returns their number.
int report_check_run();

// True in a check run, after warning that the command was not run; the
// caller then does not run it. False (and silent) otherwise.
bool skip_shell_command(std::string_view command);

// Creates the directory and its missing parents; a check run only remembers
// it as existing. False when it cannot be created.
bool make_output_dirs(const std::string& path);

}  // namespace quill
