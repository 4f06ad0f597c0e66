// The nodes of a loaded template. Every template line becomes one statement;
// block statements own the statements between them and their .end.
//
// Execution: text lines, .file and plain blocks run here (statements.cpp);
// iterators, .refd_obj, .select and modules run in iterators.cpp, select.cpp
// and modules.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/interned_name.h"
#include "template/statement_kind.h"
#include "template/text_line.h"

namespace quill {

struct GenerationRun;

class TemplateStatement {
 public:
  TemplateStatement(StatementKind kind, int line_number) : kind_(kind), line_number_(line_number) {}
  virtual ~TemplateStatement() = default;
  TemplateStatement(const TemplateStatement&) = delete;
  TemplateStatement& operator=(const TemplateStatement&) = delete;

  StatementKind kind() const { return kind_; }
  // The template line that opened the statement.
  int line_number() const { return line_number_; }
  void set_line_number(int line_number) { line_number_ = line_number; }

  // Runs the statement against the generation run.
  virtual void execute(GenerationRun& run) = 0;
  // Parses text (strip on) as the statement's condition.
  virtual void set_condition(std::string_view text) { condition_.parse(text, true); }
  // True when the condition is empty or holds.
  bool test_condition(GenerationRun& run) const {
    return condition_.empty() || is_true(condition_, run);
  }
  const TextLine& condition() const { return condition_; }

  // Appends an indented one-line-per-statement rendering of the subtree (for tests).
  void dump(std::string& out, int depth = 0) const;

 protected:
  // The statement's own fields for dump(), after the kind and line number.
  virtual void dump_fields(std::string& /*out*/) const {}
  // The owned statements below this one, for dump().
  virtual void dump_children(std::string& /*out*/, int /*depth*/) const {}

  StatementKind kind_;
  int line_number_;
  TextLine condition_;
};

using StatementPtr = std::unique_ptr<TemplateStatement>;

class ModuleStatement;

// A list of statements run in order: the root, .block, a .default body, a
// .separator body.
class BlockStatement : public TemplateStatement {
 public:
  explicit BlockStatement(int line_number, StatementKind kind = stmt_block)
      : TemplateStatement(kind, line_number) {}

  // Runs the children in order when the condition holds; modules are skipped.
  void execute(GenerationRun& run) override;
  // Runs every child but the modules, regardless of the condition.
  void execute_children(GenerationRun& run);

  void append(StatementPtr child) { children_.push_back(std::move(child)); }
  const std::vector<StatementPtr>& children() const { return children_; }
  // The first child module with exactly that name, or nullptr.
  ModuleStatement* find_module(std::string_view name) const;

 protected:
  void dump_children(std::string& out, int depth) const override;

  std::vector<StatementPtr> children_;
};

// Handles a text line whose evaluated text starts with '$' or '*'; returns
// whether the line is still to be written. The text may be changed.
using DirectiveHandler = bool (*)(GenerationRun& run, std::string& text);
// The installed handler; none until the directive processor installs itself,
// in which case such lines are written like any other.
DirectiveHandler& directive_handler();

// condition : text
class TextStatement : public TemplateStatement {
 public:
  // Parses the text (strip off); the line end starts set.
  TextStatement(int line_number, std::string_view text);

  // Writes the evaluated text (or hands it to the directive handler) when
  // the condition holds. A text ending in a backslash loses it and, from then
  // on, its line end.
  void execute(GenerationRun& run) override;

  const TextLine& text() const { return text_; }
  bool line_end() const { return line_end_; }

 protected:
  void dump_fields(std::string& out) const override;

 private:
  TextLine text_;
  bool line_end_ = true;
};

// .file name
class FileStatement : public TemplateStatement {
 public:
  FileStatement(int line_number, std::string_view file_name);

  // Makes the evaluated name the current output file when it is a valid file name.
  void execute(GenerationRun& run) override;
  const TextLine& file_name() const { return file_name_; }

 protected:
  void dump_fields(std::string& out) const override;

 private:
  TextLine file_name_;
};

// .select condition, alternatives, optional .default, .end
class SelectStatement : public BlockStatement {
 public:
  explicit SelectStatement(int line_number) : BlockStatement(line_number, stmt_multiblock) {}

  // Runs the first alternative whose condition holds, else the default branch.
  void execute(GenerationRun& run) override;

  void set_default_branch(std::unique_ptr<BlockStatement> branch) {
    default_branch_ = std::move(branch);
  }
  BlockStatement* default_branch() const { return default_branch_.get(); }

 protected:
  void dump_children(std::string& out, int depth) const override;

 private:
  std::unique_ptr<BlockStatement> default_branch_;
};

// How an iterator's header line is read.
enum class HeaderForm {
  standard,  // [name] [<filter...>]
  token,     // name arguments
  pragma,    // the pragma name
  var_item,  // the array name
  module,    // name formal:type ...
};

// One row per iterator-like kind: everything the kinds differ in at load time.
struct IteratorKindRow {
  StatementKind kind;
  std::string_view keyword;         // as the messages name the statement
  std::string_view default_prefix;  // the loop variable name when none is given
  HeaderForm form;
};

// The row of an iterator kind, .refd_obj or .module; nullptr for any other kind.
const IteratorKindRow* iterator_kind_row(StatementKind kind);

// The names of the position variables of one loop variable name.
struct PositionNames {
  InternedName is_only, is_1st, is_nth, l_pos;
  // prefix + ".is_only", ".is_1st", ".is_nth", ".l_pos".
  static PositionNames of(std::string_view prefix);
};

// Every iterator kind, and .refd_obj, as one class driven by its kind row.
// The condition does not apply (set_condition does nothing); the filter does.
class IteratorStatement : public BlockStatement {
 public:
  // A statement of an iterator kind (or stmt_refd_obj) with its default prefix.
  IteratorStatement(StatementKind kind, int line_number);

  // Walks the elements of the kind's list, running the children per element.
  void execute(GenerationRun& run) override;
  void set_condition(std::string_view /*text*/) override {}
  // Parses text as the filter (strip on; strip off for .each_token's arguments).
  virtual void set_filter(std::string_view text);

  const IteratorKindRow& row() const { return *row_; }
  // The filter; for .each_token, the argument text.
  const TextLine& filter() const { return filter_; }
  // The loop variable name (the prefix of the element's variables).
  const std::string& prefix() const { return prefix_; }
  // Sets the loop variable name and the position names derived from it.
  void set_prefix(std::string_view prefix);
  const PositionNames& position_names() const { return position_names_; }
  // Replaces the position names (.each_object names them from the nesting depth).
  void set_position_names(const PositionNames& names) { position_names_ = names; }
  // The pragma name of .each_pragma_value, the array name of .each_var_item.
  const std::string& subject() const { return subject_; }
  void set_subject(std::string_view subject) { subject_.assign(subject); }

  // The block run between two elements that pass the filter, or nullptr.
  BlockStatement* separator() const { return separator_.get(); }
  // Replaces any earlier separator.
  void set_separator(std::unique_ptr<BlockStatement> separator) {
    separator_ = std::move(separator);
  }

  // What one walk over elements leaves for the next walk of this statement
  // (its scope of position variables); defined with the walks.
  struct KeptWalk;
  // The kept state, made on first request.
  KeptWalk& kept_walk();
  // True while a walk of this statement uses the kept state.
  bool kept_walk_in_use() const;

 protected:
  void dump_fields(std::string& out) const override;
  void dump_children(std::string& out, int depth) const override;

  static void forget_kept_walk(KeptWalk* kept);
  std::unique_ptr<KeptWalk, void (*)(KeptWalk*)> kept_walk_{nullptr, &forget_kept_walk};
  const IteratorKindRow* row_;
  TextLine filter_;
  std::string prefix_;
  PositionNames position_names_;
  std::string subject_;
  std::unique_ptr<BlockStatement> separator_;
};

struct FormalParameter {
  std::string name;
  std::string type;
};

// .module name formal:type ... ; runs only when called.
class ModuleStatement : public IteratorStatement {
 public:
  ModuleStatement(int line_number, std::string name);

  // Binds run.module_arguments to the formal parameters and runs the body.
  void execute(GenerationRun& run) override;

  const std::string& name() const { return name_; }
  const std::vector<FormalParameter>& parameters() const { return parameters_; }
  void add_parameter(FormalParameter parameter) { parameters_.push_back(std::move(parameter)); }

 protected:
  void dump_fields(std::string& out) const override;

 private:
  std::string name_;
  std::vector<FormalParameter> parameters_;
};

}  // namespace quill
