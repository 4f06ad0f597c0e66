// quillb's road for a project file: load the tree, fill the settings,
// generate every rule, print the project summary.
//
// batch/ calls it, after installing the console sink and binding the engine
// commands, for a first argument that names a project:
//
//   ProjectRoadHooks hooks;
//   hooks.fill_settings = [] { /* the model road's step that fills ShowFileNames ...
//                                TemSearchPath from the built-in defaults and
//                                quill.ini, without the command-line options */ };
//   hooks.counts = [] { return GenerationCounts{/* files */, /* lines */}; };  // from the
//                                                                  // writer of generated files
//   return run_project_road(argument1, hooks);
//
// The project library never sees the engine's libraries: the counts come
// through hooks.counts, and the engine is reached only through the settings
// store and process_cmd.
#pragma once

#include <functional>
#include <string>

#include "project/project_generation.h"

namespace quill {

struct ProjectRoadHooks {
  // Fills the engine's settings from the built-in defaults and quill.ini, as
  // the model road does (the command-line options are not applied). Called
  // once the project has loaded, before the project's own settings are set,
  // so that the rules' settings and the project's summary flag win.
  std::function<void()> fill_settings;
  // The process's running totals of generated files and lines.
  CountsSource counts;
};

// Runs the project road on the file and returns the exit code: 2 when the
// file cannot be read, is not a version 1 project or ends early (reported,
// nothing generated); 0 once the rules have been generated, whatever their
// outcome. Sets ShowGenSummary from the project and DoingBatchGen to "true"
// and leaves them so.
int run_project_road(const std::string& project_path, const ProjectRoadHooks& hooks);

}  // namespace quill
