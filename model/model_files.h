// The files of one model compile: the model file and every file it imports,
// each listed once, in the order in which they are to be read.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

namespace quill {

class ModelFileList {
 public:
  explicit ModelFileList(const std::string& model_name = {});

  // Resolves an import met in importing_file and appends it unless the list
  // already holds that file. Names are compared lexically normalised and
  // without regard to case; the name kept is the resolved one, in its case.
  void add_import(const std::string& importing_file, const std::string& name,
                  const std::string& search_path);

  size_t count() const { return files_.size(); }
  const std::string& at(size_t index) const { return files_[index]; }
  const std::vector<std::string>& files() const { return files_; }

 private:
  void add(const std::string& file);

  std::vector<std::string> files_;
  std::unordered_set<std::string> keys_;
};

// The name under which an import is read: relative names are taken from the
// importing file's directory, else from the first directory of search_path
// that holds them, else from the importing file's directory anyway.
std::string resolve_import(const std::string& importing_file, const std::string& name,
                           const std::string& search_path);

}  // namespace quill
