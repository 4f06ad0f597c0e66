#include "template/statements.h"

#include <memory>
#include <string>
#include <vector>

#include "foundation/messages.h"
#include "foundation/paths.h"
#include "foundation/settings.h"
#include "output/output_file.h"
#include "template/generation_run.h"

namespace quill {
namespace {

constexpr IteratorKindRow kIteratorKinds[] = {
    {stmt_each_obj, ".each_object", "obj", HeaderForm::standard},
    {stmt_each_parent, ".each_parent", "parent", HeaderForm::standard},
    {stmt_each_ancestor, ".each_ancestor", "ancestor", HeaderForm::standard},
    {stmt_each_used_obj, ".each_used_object", "used_obj", HeaderForm::standard},
    {stmt_each_attr, ".each_attribute", "attr", HeaderForm::standard},
    {stmt_each_using_attr, ".each_using_attr", "attr", HeaderForm::standard},
    {stmt_each_function, ".each_function", "ftn", HeaderForm::standard},
    {stmt_each_param, ".each_parameter", "param", HeaderForm::standard},
    {stmt_each_state, ".each_state", "state", HeaderForm::standard},
    {stmt_each_transition, ".each_transition", "tx", HeaderForm::standard},
    {stmt_each_event, ".each_event", "event", HeaderForm::standard},
    {stmt_each_pragma_value, ".each_pragma_value", "not-used", HeaderForm::pragma},
    {stmt_each_var_item, ".each_var_item", "not-used", HeaderForm::var_item},
    {stmt_each_substitution, ".each_substitution", "foreign", HeaderForm::standard},
    {stmt_each_obj_instance, ".each_instance", "inst", HeaderForm::standard},
    {stmt_each_attr_assignment, ".each_assignment", "assign", HeaderForm::standard},
    {stmt_each_literal_text_block, ".each_literal", "literal", HeaderForm::standard},
    {stmt_each_process, ".each_process", "proc", HeaderForm::standard},
    {stmt_each_flow, ".each_flow", "flow", HeaderForm::standard},
    {stmt_each_token, ".each_token", "token", HeaderForm::token},
    {stmt_each_ctic, ".each_characteristic", "ctic", HeaderForm::standard},
    {stmt_refd_obj, ".refd_obj", "", HeaderForm::standard},
    {stmt_module, ".module", "", HeaderForm::module},
};

const InternedName& outfile_name() {
  static const InternedName name("dsm.outfile");
  return name;
}

const InternedName& outdir_name() {
  static const InternedName name("dsm.outdir");
  return name;
}

void indent(std::string& out, int depth) { out.append(static_cast<size_t>(depth) * 2, ' '); }

}  // namespace

const IteratorKindRow* iterator_kind_row(StatementKind kind) {
  for (const IteratorKindRow& row : kIteratorKinds) {
    if (row.kind == kind) return &row;
  }
  return nullptr;
}

PositionNames PositionNames::of(std::string_view prefix) {
  std::string base(prefix);
  return {InternedName(base + ".is_only"), InternedName(base + ".is_1st"),
          InternedName(base + ".is_nth"), InternedName(base + ".l_pos")};
}

DirectiveHandler& directive_handler() {
  static DirectiveHandler handler = nullptr;
  return handler;
}

// ---- dump ----

void TemplateStatement::dump(std::string& out, int depth) const {
  indent(out, depth);
  out += statement_kind_name(kind_);
  out += '@' + std::to_string(line_number_);
  if (!condition_.empty()) out += " if(" + condition_.dump() + ')';
  dump_fields(out);
  out += '\n';
  dump_children(out, depth + 1);
}

void BlockStatement::dump_children(std::string& out, int depth) const {
  for (const StatementPtr& child : children_) child->dump(out, depth);
}

void TextStatement::dump_fields(std::string& out) const { out += " text(" + text_.dump() + ')'; }

void FileStatement::dump_fields(std::string& out) const {
  out += " name(" + file_name_.dump() + ')';
}

void SelectStatement::dump_children(std::string& out, int depth) const {
  BlockStatement::dump_children(out, depth);
  if (!default_branch_) return;
  indent(out, depth);
  out += "default:\n";
  default_branch_->dump(out, depth + 1);
}

void IteratorStatement::dump_fields(std::string& out) const {
  out += " prefix(" + prefix_ + ')';
  if (!filter_.empty()) out += " filter(" + filter_.dump() + ')';
  if (!subject_.empty()) out += " subject(" + subject_ + ')';
}

void IteratorStatement::dump_children(std::string& out, int depth) const {
  BlockStatement::dump_children(out, depth);
  if (!separator_) return;
  indent(out, depth);
  out += "separator:\n";
  separator_->dump(out, depth + 1);
}

void ModuleStatement::dump_fields(std::string& out) const {
  out += " name(" + name_ + ')';
  for (const FormalParameter& p : parameters_) out += ' ' + p.name + ':' + p.type;
}

// ---- construction ----

TextStatement::TextStatement(int line_number, std::string_view text)
    : TemplateStatement(stmt_simple, line_number), text_(text, false) {}

FileStatement::FileStatement(int line_number, std::string_view file_name)
    : TemplateStatement(stmt_file, line_number), file_name_(file_name, false) {}

IteratorStatement::IteratorStatement(StatementKind kind, int line_number)
    : BlockStatement(line_number, kind), row_(iterator_kind_row(kind)) {
  if (!row_) row_ = iterator_kind_row(stmt_refd_obj);  // a caller's error; stay safe
  set_prefix(row_->default_prefix);
}

void IteratorStatement::set_filter(std::string_view text) {
  filter_.parse(text, kind_ != stmt_each_token);
}

void IteratorStatement::set_prefix(std::string_view prefix) {
  prefix_.assign(prefix);
  position_names_ = PositionNames::of(prefix);
}

ModuleStatement::ModuleStatement(int line_number, std::string name)
    : IteratorStatement(stmt_module, line_number), name_(std::move(name)) {}

ModuleStatement* BlockStatement::find_module(std::string_view name) const {
  for (const StatementPtr& child : children_) {
    if (child->kind() != stmt_module) continue;
    auto* module = static_cast<ModuleStatement*>(child.get());
    if (module->name() == name) return module;
  }
  return nullptr;
}

// ---- execution ----

void BlockStatement::execute(GenerationRun& run) {
  if (test_condition(run)) execute_children(run);
}

void BlockStatement::execute_children(GenerationRun& run) {
  for (const StatementPtr& child : children_) {
    if (run.unwinding) return;
    if (child->kind() != stmt_module) child->execute(run);
  }
}

namespace {

// The text of the line being written, kept from one line to the next so that
// writing a line allocates nothing. A directive may execute further lines
// while its own is still in use, so there is one buffer per nesting level.
class LineBuffer {
 public:
  LineBuffer() {
    if (depth_ == buffers_.size()) buffers_.push_back(std::make_unique<std::string>());
    text_ = buffers_[depth_++].get();
  }
  ~LineBuffer() { --depth_; }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;
  std::string& text() { return *text_; }

 private:
  static inline std::vector<std::unique_ptr<std::string>> buffers_;
  static inline size_t depth_ = 0;
  std::string* text_;
};

}  // namespace

void TextStatement::execute(GenerationRun& run) {
  if (!test_condition(run)) return;
  LineBuffer buffer;
  std::string& line = buffer.text();
  evaluate(text_, line, run, false);
  bool write = true;
  if (!line.empty() && (line[0] == '$' || line[0] == '*')) {
    if (DirectiveHandler handler = directive_handler()) write = handler(run, line);
  }
  if (!line.empty() && line.back() == '\\') {
    line.pop_back();
    line_end_ = false;
  }
  if (write) output_file().write(line, line_end_, line_number_);
}

void FileStatement::execute(GenerationRun& run) {
  std::string name;
  evaluate(file_name_, name, run, false);
  if (!is_valid_file_name(name)) {
    error(".file statement translated '%s' to '%s' (which\n"
          "is not a valid file name).  File not opened.\n"
          "Please ensure you are treating filenames\n"
          "separately from directory names.",
          name, name);
    return;
  }
  output_file().open(name);
  run.symbols.set(outfile_name(), name, true);
  run.symbols.set(outdir_name(), settings().get("CGenOutdir"), true);
}

}  // namespace quill
