// Project files and clipboard entries. A file is the version line followed
// by the root node; a clipboard entry is a node's type identifier followed
// by the node with its whole subtree, in the same format.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quill {

class Project;
class ProjectNode;

// The only project file version there is.
constexpr int kProjectFileVersion = 1;

enum class ProjectLoad {
  ok,
  cannot_open,  // the file cannot be read
  bad_version,  // no version, or a version other than 1 (not a project file)
  incomplete,   // the file ends before all fields of the tree are read
};

// Reads a project file into root (a fresh Project whose initial name the
// caller chose). Reports nothing; on failure root holds what could be read.
ProjectLoad load_project(const std::string& path, Project& root);
// The same, from the bytes of a file.
ProjectLoad read_project(std::string content, Project& root);

// The error message for a failed load ("" for ok).
std::string load_failure_message(ProjectLoad status, const std::string& path);

// The bytes of a project file holding the tree below root.
std::string write_project(Project& root);
// Writes the project file; false when the file cannot be written.
bool save_project(const std::string& path, Project& root);

// A clipboard entry for node and its subtree.
std::string write_subtree(ProjectNode& node);
// A new node read from a clipboard entry: a Subsystem for type 1, a
// GenerationRule for type 2; null for any other type or an incomplete entry.
std::unique_ptr<ProjectNode> read_subtree(std::string_view entry);

}  // namespace quill
