#include "output/backup.h"

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "foundation/string_containers.h"

namespace quill {

namespace {

constexpr std::string_view kBackupFailed = "Failed to create backup file '%s' before\nreplacing '%s'";
constexpr std::string_view kDefaultBackupExtension = "bak";

// Length of the drive and directory part, separator included.
size_t directory_length(std::string_view path) {
  size_t sep = path.find_last_of("\\/");
  if (sep != std::string_view::npos) return sep + 1;
  if (path.size() >= 2 && path.find(':') != std::string_view::npos) return 2;
  return 0;
}

std::string backup_extension(std::string_view extension, std::string_view extension_map) {
  StringArray words;
  words.split(extension_map, " \t\r\n\v\f");
  for (size_t i = 0; i + 1 < words.count(); i += 2)
    if (words.item(i) == extension) return words.item(i + 1);
  return std::string(kDefaultBackupExtension);
}

}  // namespace

std::string backup_path(std::string_view path, std::string_view extension_map) {
  size_t dir_len = directory_length(path);
  std::string_view file_name = path.substr(dir_len);
  size_t dot = file_name.find('.');
  std::string_view base = file_name.substr(0, dot);
  std::string_view extension;
  if (dot != std::string_view::npos) {
    extension = file_name.substr(dot + 1);
    extension = extension.substr(0, extension.find('.'));
  }
  std::string result(path.substr(0, dir_len));
  result.append(base).append(".").append(backup_extension(extension, extension_map));
  return result;
}

bool make_backup(const std::string& path) {
  std::string target = backup_path(path, settings().get("BackupFileMap"));
  std::string content;
  if (!platform::read_file(path, content) || !platform::write_file(target, content)) {
    warning(kBackupFailed, target, path);
    return false;
  }
  return true;
}

}  // namespace quill
