// Backup copies of generated files, named through the map of source
// extensions to backup extensions (setting BackupFileMap).
#pragma once

#include <string>
#include <string_view>

namespace quill {

// The backup path of a file: its directory (kept as written; none when the
// path has none, so the backup goes beside the file), its base name (up to
// the first dot), a dot and the backup extension that the map's first pair
// gives for the file's extension (the text between the first and second dot
// of the file name), "bak" when no pair does. The map is a white-space
// separated list of words taken in pairs (source extension, backup extension).
std::string backup_path(std::string_view path, std::string_view extension_map);

// Copies path to its backup path (through the setting BackupFileMap),
// replacing an older backup. Reports a warning and returns false when either
// file cannot be opened.
bool make_backup(const std::string& path);

}  // namespace quill
