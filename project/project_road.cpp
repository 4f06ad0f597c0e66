#include "project/project_road.h"

#include "foundation/messages.h"
#include "foundation/settings.h"
#include "project/project_file.h"
#include "project/project_node.h"

namespace quill {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 2;
constexpr const char* kRootName = "New Project";

}  // namespace

int run_project_road(const std::string& project_path, const ProjectRoadHooks& hooks) {
  Project root(kRootName);
  ProjectLoad status = load_project(project_path, root);
  if (status != ProjectLoad::ok) {
    error(load_failure_message(status, project_path));
    return kExitFailure;
  }
  if (hooks.fill_settings) hooks.fill_settings();
  settings().set("ShowGenSummary", root.effective_show_summary() ? "true" : "false");
  settings().set("DoingBatchGen", "true");
  generate_batch(root, hooks.counts);
  return kExitOk;
}

}  // namespace quill
