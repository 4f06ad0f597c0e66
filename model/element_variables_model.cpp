// The variable lists of objects and of the model (see element_variables.cpp
// for the steps). Both expose their literals and pragmas under names without
// a prefix, so that an object's literals shadow the model's while it is in
// scope.
#include "foundation/settings.h"
#include "model/element_variables_support.h"
#include "model/elements.h"

namespace quill {

using namespace element_variables;

namespace {

constexpr std::string_view kObjectPrefix = "obj";
constexpr std::string_view kLiteralGroup = "literal";
constexpr std::string_view kOptionsPragma = "options";
constexpr std::string_view kVersion = "QUILLB 1.0.001";

// literal.<name> = text and the literal's characteristics under literal.<name>,
// for the literals from `first` on.
void add_literals(ItemList& list, const std::vector<std::unique_ptr<Literal>>& literals,
                  size_t first = 0) {
  for (size_t i = first; i < literals.size(); ++i) {
    const Literal* literal = literals[i].get();
    const Literal::RowNames& names = literal->row_names();
    list.add_variable(InternedName::from_id(names.group), literal->text);
    auto row = names.characteristics.begin();
    for (const Variable& c : literal->characteristics().variables())
      list.add_variable(InternedName::from_id((row++)->second), c.value());
  }
}

bool names_current(const Literal::RowNames& names, const Literal& literal) {
  if (names.group == nullptr || names.name != literal.name) return false;
  const ItemList& characteristics = literal.characteristics();
  if (names.characteristics.size() != characteristics.count()) return false;
  auto row = names.characteristics.begin();
  for (const Variable& c : characteristics.variables())
    if ((row++)->first != c.name().id()) return false;
  return true;
}

// <pragma> = "true", its characteristics under <pragma>. and, for the
// pragma "options", options.<value> = "true" per value.
void add_pragmas(ItemList& list, const std::vector<std::unique_ptr<Pragma>>& pragmas) {
  for (const auto& pragma : pragmas) {
    list.add_variable(pragma->name, "true");
    add_characteristics(list, pragma->characteristics(), pragma->name);
    if (pragma->name != kOptionsPragma) continue;
    for (const TextItem& value : pragma->values.texts())
      list.add_variable(dotted(kOptionsPragma, value.value()), "true");
  }
}

// "obj." once per nesting level, then the remembered prefix or "obj".
std::string object_prefix(int depth, std::string_view remembered) {
  std::string e;
  for (int i = 0; i < depth; ++i) e.append(kObjectPrefix).append(".");
  e.append(remembered.empty() || remembered == "." ? kObjectPrefix : remembered);
  return e;
}

}  // namespace

const Literal::RowNames& Literal::row_names() const {
  if (names_current(row_names_, *this)) return row_names_;
  const InternedName group = dotted(kLiteralGroup, name);
  row_names_.name = name;
  row_names_.group = group.id();
  row_names_.characteristics.clear();
  std::string row(group.text());
  row.push_back('.');
  const size_t stem = row.size();
  for (const Variable& c : characteristics_.variables()) {
    row.resize(stem);
    row.append(c.name().text());
    row_names_.characteristics.emplace_back(c.name().id(), InternedName(row).id());
  }
  return row_names_;
}

ItemList& ModelObject::variables(std::string_view prefix) {
  enum { kName, kHasStates, kHasObjects, kHasFunctions, kHasAttributes, kHasParent,
         kHasParents, kNotUsed };
  static FieldNames fields{"name", "has_states", "has_objects", "has_functions",
                           "has_attributes", "has_parent", "has_parents", "not_used"};
  ItemList& vars = cache();
  if (!needs_build(vars, prefix_, prefix)) return vars;
  std::string e = object_prefix(depth, prefix_.text());
  const InternedName* n = fields(e);
  vars.add_variable(n[kName], name);
  add_characteristics(vars, characteristics_, e);
  if (!states.empty()) vars.add_variable(n[kHasStates], "true");
  if (!objects.empty()) vars.add_variable(n[kHasObjects], "true");
  if (!functions.empty()) vars.add_variable(n[kHasFunctions], "true");
  if (!attributes.empty()) vars.add_variable(n[kHasAttributes], "true");
  if (!parents.empty()) {
    vars.add_variable(n[kHasParent], "true");
    vars.add_variable(n[kHasParents], "true");
  }
  for (const TextItem& tag : usage_tags.texts())
    vars.add_variable(dotted(e, "in_", tag.value()), "true");
  if (usage_tags.empty()) vars.add_variable(n[kNotUsed], "true");
  add_literals(vars, literals);
  add_pragmas(vars, pragmas);
  return vars;
}

// The model's list ignores prefixes: it is built once and refilled only
// after it was cleared (rebuild_variables).
ItemList& Model::variables(std::string_view) {
  enum { kVersionName, kIsVersion, kDsmName, kDsmPlainName, kPath, kHasForeigns,
         kHasSubstitutions, kHasPragmas, kHasObjects, kHasStates, kHasInstances, kHasEvents,
         kHasFunctions, kHasProcesses, kHasBehavior, kHasInheritance, kHasMultInheritance,
         kHasLiterals, kCount };
  static const InternedName n[kCount] = {
      InternedName("quill.version"), InternedName("quill.is_ver_1.0"),
      InternedName("dsm.name"), InternedName("dsm_name"), InternedName("dsm.path"),
      InternedName("dsm.has_foreigns"), InternedName("dsm.has_substitutions"),
      InternedName("dsm.has_pragmas"), InternedName("dsm.has_objects"),
      InternedName("dsm.has_states"), InternedName("dsm.has_instances"),
      InternedName("dsm.has_events"), InternedName("dsm.has_functions"),
      InternedName("dsm.has_processes"), InternedName("dsm.has_behavior"),
      InternedName("dsm.has_inheritance"), InternedName("dsm.has_mult_inheritance"),
      InternedName("dsm.has_literals")};
  ItemList& v = cache();
  if (!v.empty()) return v;
  v.add_variable(n[kVersionName], kVersion);
  v.add_variable(n[kIsVersion], "true");
  v.add_variable(n[kDsmName], name);
  v.add_variable(n[kDsmPlainName], name);
  v.add_variable(n[kPath], settings().get("ModelName"));
  v.add_variable(n[kHasForeigns], truth(!substitutions.empty()));
  v.add_variable(n[kHasSubstitutions], truth(!substitutions.empty()));
  v.add_variable(n[kHasPragmas], truth(!pragmas.empty()));
  v.add_variable(n[kHasObjects], truth(!objects.empty()));
  v.add_variable(n[kHasStates], truth(!states.empty()));
  v.add_variable(n[kHasInstances], truth(!instances.empty()));
  v.add_variable(n[kHasEvents], truth(!events.empty()));
  v.add_variable(n[kHasFunctions], truth(!functions.empty()));
  v.add_variable(n[kHasProcesses], truth(!processes.empty()));
  v.add_variable(n[kHasBehavior], truth(has_behavior));
  v.add_variable(n[kHasInheritance], truth(has_inheritance));
  v.add_variable(n[kHasMultInheritance], truth(has_multiple_inheritance));
  v.add_variable(n[kHasLiterals], truth(!literals.empty()));
  add_characteristics(v, characteristics_, "dsm");
  add_literals(v, literals);
  literal_rows_end_ = v.count();
  add_pragmas(v, pragmas);
  return v;
}

// A rebuild makes the rows from the fields again, so appending is only the
// same while the rows are as the last refresh made them: nothing but
// appends (the run's variables) since, and no literal's characteristic set
// (the template's change shows in the list only after a rebuild). The
// literals before `first` must exist, or dsm.has_literals would change.
// The new rows' names must be new to the list: a rebuild drops a run's
// variable of a row's name, and of two entries of one name the first is
// found. (New literals may share uids among them: their rows then follow
// each other, as in a rebuild.)
void Model::add_literal_rows(size_t first) {
  ItemList& list = cache();
  const bool rows_kept = first > 0 && first <= literals.size() && rows_ > 0 &&
                         literal_rows_end_ <= rows_ &&
                         list.only_appended_since(noted_version_, noted_count_) &&
                         &list.at(rows_ - 1) == last_row_ &&
                         static_cast<const Variable*>(last_row_)->name().id() == last_row_name_ &&
                         noted_edits_ == literal_edits();
  if (!rows_kept) return refresh_variables();
  auto is_new = [&](const void* id) { return list.find(InternedName::from_id(id)) == nullptr; };
  for (size_t i = first; i < literals.size(); ++i) {
    const Literal::RowNames& row_names = literals[i]->row_names();
    if (!is_new(row_names.group)) return refresh_variables();
    for (const auto& row : row_names.characteristics)
      if (!is_new(row.second)) return refresh_variables();
  }
  const size_t before = list.count();
  add_literals(list, literals, first);
  const size_t added = list.count() - before;
  list.move_last_to(added, literal_rows_end_);
  literal_rows_end_ += added;
  note_rows(rows_ + added);
}

}  // namespace quill
