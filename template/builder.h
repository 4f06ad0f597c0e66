// Builds the statement tree of a template file and of every file it imports.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "template/statements.h"

namespace quill {

// The result of a load.
struct Template {
  std::string path;                    // as passed
  std::unique_ptr<BlockStatement> root;  // none when the load failed
  bool ok = false;
  std::vector<std::string> files;  // every file read, the main one first
};

// Loads the template at path and every file it imports ($$IMPORT) into one
// tree: the main file's statements in order, then the modules of each
// imported file. Reports every error; on the first one the load stops and
// the result has no root.
Template load_template(const std::string& path);

}  // namespace quill
