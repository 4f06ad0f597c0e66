#include "model/model_files.h"

#include "foundation/char_set.h"
#include "foundation/paths.h"
#include "foundation/platform.h"

namespace quill {

namespace {

// Two spellings of one file give one key, so that imports such as
// "../lib/self.dsm" cannot make a cycle of ever longer names.
std::string file_key(const std::string& name) {
  return lower_copy(name.empty() ? name : platform::absolute_path(name));
}

}  // namespace

std::string resolve_import(const std::string& importing_file, const std::string& name,
                           const std::string& search_path) {
  if (!is_relative(name)) return name;
  std::string dir = directory_of(importing_file);
  std::string local = dir.empty() ? name : join_path(dir, name);
  if (file_exists(local)) return local;
  SearchResult found = search_path.empty() ? SearchResult{} : quill::search_path(search_path, name);
  return found.found ? found.path : local;
}

ModelFileList::ModelFileList(const std::string& model_name) {
  add(model_name);
}

void ModelFileList::add_import(const std::string& importing_file, const std::string& name,
                               const std::string& search_path) {
  add(resolve_import(importing_file, name, search_path));
}

void ModelFileList::add(const std::string& file) {
  if (keys_.insert(file_key(file)).second) files_.push_back(file);
}

}  // namespace quill
