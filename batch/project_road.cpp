// The project road of the console program: checks the project file's version
// and generates every rule of its tree.
#include "batch/front_end.h"

#include <cctype>
#include <charconv>
#include <string>

#include "foundation/messages.h"
#include "foundation/platform.h"

namespace quill {

namespace {

constexpr int kProjectFileVersion = 1;

// The first integer of a project file: the characters after the first '='
// up to the next white space, read as a decimal number. A file that cannot be
// read, holds no '=' or no number there gives 0, which is no version.
int read_project_version(const std::string& path) {
  std::string content;
  if (!platform::read_file(path, content)) return 0;
  size_t pos = content.find('=');
  if (pos == std::string::npos) return 0;
  size_t end = pos + 1;
  while (end < content.size() && !std::isspace(static_cast<unsigned char>(content[end]))) ++end;
  int version = 0;
  std::from_chars(content.data() + pos + 1, content.data() + end, version);
  return version;
}

}  // namespace

int run_project_road(const std::string& project_file) {
  if (read_project_version(project_file) != kProjectFileVersion) {
    error("Unexpected Project File Version ID ... Exiting...");
    return kExitFailure;
  }
  // TODO(project): load the tree, set ShowGenSummary and DoingBatchGen,
  // generate every rule and print the project summary.
  return kExitOk;
}

}  // namespace quill
