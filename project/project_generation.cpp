#include "project/project_generation.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/commands.h"
#include "foundation/messages.h"
#include "foundation/settings.h"
#include "project/project_node.h"

namespace quill {

namespace {

constexpr std::string_view kNoOutputDir = "%s '%s' %sneeds an \nOutput Directory to be specified";
constexpr std::string_view kNoModel = "GenerationRule '%s' needs a Model \nfile (DSM) to be specified";
constexpr std::string_view kNoTemplate = "GenerationRule '%s' needs a Template \nfile (TEM) to be specified";
constexpr std::string_view kSyntaxError = "Syntax error in obj model %s (line %s)";
constexpr std::string_view kNotSet = "<not set>";

// Replaces the placeholders "%s" of format from left to right by the
// arguments in order. Unlike the sink's formatting, an empty argument
// leaves nothing behind and a "%s" inside a name is never replaced.
std::string fill(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto arg = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

bool report(std::string_view format, std::initializer_list<std::string_view> args) {
  error(fill(format, args));
  return false;
}

const char* bool_text(bool on) { return on ? "true" : "false"; }

bool is_missing(const std::string& path) { return path.empty() || path == kNotSet; }

// Sets settings for as long as it lives and puts back the values it found.
class SettingsOverride {
 public:
  SettingsOverride() = default;
  SettingsOverride(const SettingsOverride&) = delete;
  SettingsOverride& operator=(const SettingsOverride&) = delete;
  ~SettingsOverride() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) settings().set(it->first, it->second);
  }
  void set(std::string_view name, std::string_view value) {
    saved_.emplace_back(std::string(name), settings().get(name));
    settings().set(name, value);
  }

 private:
  std::vector<std::pair<std::string, std::string>> saved_;
};

// The message for a rule without an effective output directory names the
// rule's parent, and says "(or one of its parents)" when that is a subsystem.
bool report_no_output_dir(const ProjectNode& rule) {
  const ProjectNode* parent = rule.parent();
  bool in_subsystem = parent && parent->type_id() == NodeType::subsystem;
  return report(kNoOutputDir, {in_subsystem ? "Subsystem" : "Project", parent ? parent->name() : "",
                               in_subsystem ? "(or one of its parents) " : ""});
}

// Compiles the model and generates on "ok". A syntax error stops the run;
// file and semantic errors have been reported by the compile and do not.
bool compile_and_generate() {
  process_cmd("CompileObjDefs");
  const std::string& status = settings().get("CompileStatus");
  if (status == "ok") {
    process_cmd("GenerateCode");
    return true;
  }
  if (status == "syntax-error") {
    return report(kSyntaxError, {settings().get("BadFile"), settings().get("BadTokenLine")});
  }
  return true;
}

}  // namespace

// The rule's settings are put back on every way out, including the refusals:
// a stopped run must not leave a rule's directory or model behind as the
// caller's own settings.
bool GenerationRule::generate() {
  SettingsOverride rule_settings;
  const std::string& output_dir = effective_output_dir();
  if (output_dir.empty()) return report_no_output_dir(*this);
  rule_settings.set("CGenOutdir", output_dir);

  std::string model = model_path();
  if (is_missing(model)) return report(kNoModel, {name()});
  rule_settings.set("ModelName", model);

  std::string templ = template_path();
  if (is_missing(templ)) return report(kNoTemplate, {name()});
  rule_settings.set("CGenTemplate", templ);
  rule_settings.set("ShowFileNames", bool_text(effective_show_gen_files()));
  rule_settings.set("StripReturns", bool_text(effective_emit_unix_eol()));
  rule_settings.set("TraceTemLines", bool_text(effective_trace_tem()));
  return compile_and_generate();
}

std::string batch_summary(const ProjectNode& node, GenerationCounts counts) {
  std::string text = node.kind_label();
  text += ": ";
  text += node.name();
  text += "\n\nCode Generation Is Finished.";
  text += "\n\nFiles:  " + std::to_string(counts.files);
  text += "\n\nLines:  " + std::to_string(counts.lines);
  return text;
}

bool generate_batch(ProjectNode& node, const CountsSource& counts) {
  GenerationCounts before = counts ? counts() : GenerationCounts{};
  SettingsOverride batch;
  batch.set("DoingBatchGen", "true");
  batch.set("ShowGenSummary", bool_text(node.effective_show_summary()));
  bool result = node.generate();
  if (settings().is_true("ShowGenSummary")) {
    GenerationCounts after = counts ? counts() : GenerationCounts{};
    info(batch_summary(node, {after.files - before.files, after.lines - before.lines}));
  }
  return result;
}

}  // namespace quill
