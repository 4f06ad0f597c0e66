#include "project/project_file.h"

#include <utility>

#include "foundation/platform.h"
#include "project/project_archive.h"
#include "project/project_node.h"

namespace quill {

namespace {

constexpr const char* kVersionKey = "dbVersion";
constexpr const char* kTypeKey = "typeID";

}  // namespace

ProjectLoad read_project(std::string content, Project& root) {
  ProjectArchive archive = ProjectArchive::reader(std::move(content));
  long long version = archive.read_integer();
  if (archive.failed() || version != kProjectFileVersion) return ProjectLoad::bad_version;
  root.serialize(archive, static_cast<int>(version));
  return archive.failed() ? ProjectLoad::incomplete : ProjectLoad::ok;
}

ProjectLoad load_project(const std::string& path, Project& root) {
  std::string content;
  if (!platform::read_file(path, content)) return ProjectLoad::cannot_open;
  return read_project(std::move(content), root);
}

std::string load_failure_message(ProjectLoad status, const std::string& path) {
  switch (status) {
    case ProjectLoad::ok:
      return "";
    case ProjectLoad::cannot_open:
      return "Can't open project file '" + path + "' ... Exiting...";
    case ProjectLoad::bad_version:
      return "Unexpected Project File Version ID ... Exiting...";
    case ProjectLoad::incomplete:
      return "Project file '" + path + "' ends before the whole project is read ... Exiting...";
  }
  return "";
}

std::string write_project(Project& root) {
  ProjectArchive archive = ProjectArchive::writer();
  archive.write_integer(kProjectFileVersion, kVersionKey);
  root.serialize(archive, kProjectFileVersion);
  return archive.text();
}

bool save_project(const std::string& path, Project& root) {
  return platform::write_file(path, write_project(root));
}

std::string write_subtree(ProjectNode& node) {
  ProjectArchive archive = ProjectArchive::writer();
  archive.write_integer(static_cast<int>(node.type_id()), kTypeKey);
  node.serialize(archive, kProjectFileVersion);
  return archive.text();
}

std::unique_ptr<ProjectNode> read_subtree(std::string_view entry) {
  ProjectArchive archive = ProjectArchive::reader(std::string(entry));
  std::unique_ptr<ProjectNode> node = make_child_node(archive.read_integer());
  if (!node) return nullptr;
  node->serialize(archive, kProjectFileVersion);
  if (archive.failed()) return nullptr;
  return node;
}

}  // namespace quill
