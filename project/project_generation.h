// Generation over a project tree. Every rule puts its settings into the
// store, runs "CompileObjDefs" and, on "ok", "GenerateCode" through
// process_cmd, and puts the settings back; the engine is reached in no other
// way. The rule procedure itself is GenerationRule::generate.
#pragma once

#include <functional>
#include <string>

namespace quill {

class ProjectNode;

// The file and line counts of the generated output, as kept by the writer
// of generated files (which this library does not see).
struct GenerationCounts {
  long long files = 0;
  long long lines = 0;
};
using CountsSource = std::function<GenerationCounts()>;

// Generates every rule below node as one batch, the way a front end does:
// DoingBatchGen "true" and ShowGenSummary from the node's effective summary
// flag for the duration (both restored afterwards). When the summary is on,
// then reports (info) "<Kind>: <name>\n\nCode Generation Is Finished.
// \n\nFiles:  n\n\nLines:  n" with the files and lines written by this call
// (the difference of counts() before and after; zeros when counts is empty).
// Returns node.generate()'s verdict: false when a rule stopped the run.
bool generate_batch(ProjectNode& node, const CountsSource& counts);

// The summary message of generate_batch.
std::string batch_summary(const ProjectNode& node, GenerationCounts counts);

}  // namespace quill
