// Each grammar rule is one function that opens with the rule. A rule is
// entered on its first token and leaves the token after its last one
// current. Every step that needs a token checks it with expect(), whose
// list of acceptable kinds is the one printed in the error message, so the
// order of each list matters.
#include "model/parser.h"

#include <utility>

#include "foundation/char_set.h"
#include "foundation/messages.h"
#include "foundation/settings.h"
#include "model/elements.h"
#include "model/model_files.h"

namespace quill {

using K = TokenKind;

namespace {

// Clear and append: for the short texts of a model cheaper than the
// general replacement that assign performs.
void assign(std::string& out, std::string_view text) {
  out.clear();
  out.append(text);
}

constexpr std::initializer_list<TokenKind> kTopLevelStarts = {K::object,  K::pragma,  K::identifier,
                                                              K::events,  K::state,   K::process,
                                                              K::foreign, K::literal, K::import};
constexpr std::initializer_list<TokenKind> kAfterObjectName = {
    K::parent,  K::identifier, K::str_literal, K::state, K::process,
    K::literal, K::pragma,     K::object,      K::end};
constexpr std::initializer_list<TokenKind> kMemberStarts = {
    K::identifier, K::str_literal, K::state, K::process, K::literal, K::pragma, K::object, K::end};

// After this many kinds the list continues on a second line.
constexpr size_t kKindsOnFirstLine = 6;
constexpr size_t kKindsNeedingTwoLines = 8;

}  // namespace

std::string expectation_message(std::initializer_list<TokenKind> kinds, const std::string& found,
                                TokenKind found_kind, long line) {
  std::string m = "Expecting ";
  if (kinds.size() == 1) {
    m += token_kind_name(*kinds.begin());
  } else {
    m += "one of [";
    size_t i = 0;
    for (TokenKind k : kinds) {
      if (i > 0)
        m += (i == kKindsOnFirstLine && kinds.size() >= kKindsNeedingTwoLines) ? ",\n" : ", ";
      m += token_kind_name(k);
      ++i;
    }
    m += "]";
  }
  m += ", but found '" + found + "' (type = " + token_kind_name(found_kind) + ") on line " +
       int_text(line) + ".";
  return m;
}

void ModelParser::PendingMembers::clear() {
  attributes.clear();
  functions.clear();
}

ModelParser::ModelParser() = default;
ModelParser::~ModelParser() = default;

ModelParser::Result ModelParser::parse(const std::string& model_name) {
  settings().set("DSMHasUIDs", "false");
  saw_uid_ = false;
  options_ = LexerOptions{true, !settings().is_true("NoAdaKeywords"),
                          !settings().is_true("NoCxxKeywords")};
  strip_returns_ = settings().is_true("StripReturns");
  files_ = ModelFileList(model_name);
  model_.reset();
  ok_ = true;
  Result result;
  for (size_t i = 0; i < files_.count(); ++i) {
    current_file_ = files_.at(i);
    lexer_ = std::make_unique<ModelFileLexer>(options_, strip_returns_);
    result.bad_file = current_file_;
    if (!lexer_->open(current_file_)) {
      result.status = Status::file_error;
      model_.reset();
      return result;
    }
    if (!model_) model_ = std::make_unique<Model>();
    if (!parse_file()) {
      result.status = Status::syntax_error;
      result.offset = static_cast<long>(lexer_->offset());
      result.length = static_cast<long>(lexer_->length());
      result.line = lexer_->line();
      model_.reset();
      return result;
    }
  }
  result.bad_file.clear();
  result.model = std::move(model_);
  return result;
}

bool ModelParser::fail_expect(Kinds kinds) {
  error(expectation_message(kinds, text(), kind(), lexer_->line()));
  return ok_ = false;
}

bool ModelParser::fail_nesting() {
  error("Objects may be nested at most " + int_text(kMaxObjectDepth) + " deep, but found '" +
        text() + "' (type = " + token_kind_name(kind()) + ") on line " + int_text(lexer_->line()) +
        ".");
  return ok_ = false;
}

// file -> { top-level } eof
bool ModelParser::parse_file() {
  depth_ = 0;
  kind_ = TokenKind::eof;
  advance();
  while (ok_ && kind() != K::eof) {
    if (!top_level()) return false;
  }
  return ok_;
}

// top-level -> object-decl | pragma-decl | name-decl | events-decl | state-decl
//            | process-decl | foreign-decl | literal-decl | import-decl
bool ModelParser::top_level() {
  if (!expect(kTopLevelStarts)) return false;
  switch (kind()) {
    case K::object:
      return object_decl(nullptr);
    case K::pragma:
      return pragma_decl(model_->pragmas);
    case K::identifier:
      return name_decl();
    case K::events:
      return events_decl();
    case K::state:
      return state_decl(model_->states);
    case K::process:
      return process_decl(model_->processes);
    case K::foreign:
      return foreign_decl();
    case K::literal:
      return literal_decl(model_->literals);
    case K::import:
      return import_decl();
    default:
      return false;
  }
}

// object-decl -> `object` name [ `parent` parent-ref { `,` parent-ref } ] { member } `end` [ctics]
// `;`
bool ModelParser::object_decl(ModelObject* container) {
  if (depth_ >= kMaxObjectDepth) return fail_nesting();
  advance();
  if (!expect({K::identifier})) return false;
  auto object = std::make_unique<ModelObject>(token());
  advance();
  if (!expect(kAfterObjectName)) return false;
  if (kind() == K::parent && !parent_list(*object)) return false;
  ++depth_;
  bool ok = members(*object);
  --depth_;
  if (!ok || !end_clause(*object)) return false;
  if (container != nullptr) {
    container->add_object(std::move(object));
  } else {
    model_->objects.push_back(std::move(object));
  }
  return true;
}

// parent-list -> `parent` parent-ref { `,` parent-ref },  parent-ref -> name [ctics]
bool ModelParser::parent_list(ModelObject& object) {
  do {
    advance();
    if (!expect({K::identifier})) return false;
    auto ref = std::make_unique<ParentRef>(token());
    advance();
    if (kind() == K::left_bracket && !ctics(*ref)) return false;
    object.parents.push_back(std::move(ref));
  } while (kind() == K::comma);
  return true;
}

// members -> { member [`;`] } up to `end`
// Attributes and functions wait in the parser's lists for the object at
// this depth and move into the object at its `end`, so that the object's
// lists are made once at their final size rather than grown step by step.
// Nothing reads them before: adding an attribute reports nothing, and a
// syntax error discards the whole model.
bool ModelParser::members(ModelObject& object) {
  const size_t level = static_cast<size_t>(depth_);
  if (pending_.size() <= level) pending_.resize(level + 1);
  pending_[level].clear();
  for (;;) {
    if (!expect(kMemberStarts)) return false;
    if (kind() == K::end) break;
    if (!member(object)) return false;
    if (kind() == K::semi) advance();
  }
  PendingMembers& pending = pending_[level];
  object.attributes.reserve(object.attributes.size() + pending.attributes.size());
  for (auto& attribute : pending.attributes) object.add_attribute(std::move(attribute));
  object.functions.reserve(object.functions.size() + pending.functions.size());
  for (auto& function : pending.functions) object.functions.push_back(std::move(function));
  pending.clear();
  return true;
}

// member -> attribute-decl | function-decl | object-decl | state-decl | process-decl
//         | literal-decl | pragma-decl
bool ModelParser::member(ModelObject& object) {
  switch (kind()) {
    case K::identifier:
    case K::str_literal:
      return named_member();
    case K::object:
      return object_decl(&object);
    case K::state:
      return state_decl(object.states);
    case K::process:
      return process_decl(object.processes);
    case K::literal:
      return literal_decl(object.literals);
    case K::pragma:
      return pragma_decl(object.pragmas);
    default:
      return false;
  }
}

// named-member -> member-name ( `:` attribute-rest | `(` function-rest )
bool ModelParser::named_member() {
  assign(member_name_, token());
  advance();
  if (!expect({K::colon, K::left_paren})) return false;
  PendingMembers& pending = pending_[static_cast<size_t>(depth_)];
  if (kind() == K::colon) return attribute_decl(pending.attributes, member_name_);
  return function_decl(member_name_, pending.functions);
}

// attribute-decl -> member-name `:` type-ref [ `=` ( text | block ) ] [ctics] `;`
bool ModelParser::attribute_decl(std::vector<std::unique_ptr<Attribute>>& into,
                                 const std::string& name) {
  advance();
  auto attribute = typed_element<Attribute>(name);
  if (!attribute) return false;
  if (!expect({K::equal, K::left_bracket, K::semi})) return false;
  if (kind() == K::equal) {
    advance();
    if (!expect({K::str_literal, K::double_l_brace})) return false;
    if (!value(value_text_)) return false;
    attribute->set_initial_value(value_text_);
    if (!expect({K::left_bracket, K::semi})) return false;
  }
  if (kind() == K::left_bracket && !ctics(*attribute)) return false;
  if (!expect({K::semi})) return false;
  advance();
  into.push_back(std::move(attribute));
  return true;
}

// A new element named name whose type-ref is read here; nullptr after a
// syntax error. A plain type name is given to the constructor, which spares
// assigning it to an empty type afterwards.
template <class T>
std::unique_ptr<T> ModelParser::typed_element(std::string_view name) {
  if (!expect({K::identifier, K::mapping})) return nullptr;
  if (kind() == K::identifier) {
    auto element = std::make_unique<T>(name, token());
    advance();
    return element;
  }
  auto element = std::make_unique<T>(name, std::string_view());
  if (!type_ref(*element)) return nullptr;
  return element;
}

// type-ref -> name | mapping name
bool ModelParser::type_ref(TypedElement& element) {
  if (!expect({K::identifier, K::mapping})) return false;
  if (kind() == K::mapping) {
    element.set_mapping(token());
    advance();
    if (!expect({K::identifier})) return false;
  }
  element.set_type(token());
  advance();
  return true;
}

// function-decl -> member-name `(` parameters `)` [ `:` type-ref ] [ctics] [block] `;`
bool ModelParser::function_decl(const std::string& name,
                                std::vector<std::unique_ptr<Function>>& into) {
  auto function = std::make_unique<Function>(name);
  advance();
  if (!parameters(*function)) return false;
  advance();
  if (!expect({K::colon, K::left_bracket, K::double_l_brace, K::semi})) return false;
  if (kind() == K::colon) {
    advance();
    auto rtype = typed_element<ReturnType>(std::string_view());
    if (!rtype) return false;
    function->return_type = std::move(rtype);
    if (!expect({K::left_bracket, K::double_l_brace, K::semi})) return false;
  }
  if (kind() == K::left_bracket) {
    if (!ctics(*function) || !expect({K::double_l_brace, K::semi})) return false;
  }
  if (kind() == K::double_l_brace) {
    if (!block(function->body_text) || !expect({K::semi})) return false;
  }
  advance();
  into.push_back(std::move(function));
  return true;
}

// parameters -> [ param { `,` param } [`,`] ] up to `)`
// The parameters are gathered first, so that the function's list is made
// once at its size.
bool ModelParser::parameters(Function& function) {
  params_.clear();
  for (;;) {
    if (!expect({K::identifier, K::str_literal, K::right_paren})) return false;
    if (kind() != K::right_paren) {
      if (!parameter()) return false;
      if (kind() != K::right_paren) {
        advance();
        continue;
      }
    }
    function.parameters.reserve(function.parameters.size() + params_.size());
    for (auto& param : params_) function.parameters.push_back(std::move(param));
    params_.clear();
    return true;
  }
}

// param -> ( name | text ) `:` type-ref [ `=` ( name | text | block ) ] [ctics]
bool ModelParser::parameter() {
  assign(param_name_, token());
  advance();
  if (!expect({K::colon})) return false;
  advance();
  auto param = typed_element<Parameter>(param_name_);
  if (!param) return false;
  if (!expect({K::equal, K::left_bracket, K::comma, K::right_paren})) return false;
  if (kind() == K::equal) {
    advance();
    if (!expect({K::str_literal, K::identifier, K::double_l_brace})) return false;
    if (!value(value_text_)) return false;
    param->set_default_value(value_text_);
  }
  if (kind() == K::left_bracket && !ctics(*param)) return false;
  if (!expect({K::comma, K::right_paren})) return false;
  params_.push_back(std::move(param));
  return true;
}

// state-decl -> `state` name { action-clause | transition } `end` [ctics] `;`
bool ModelParser::state_decl(std::vector<std::unique_ptr<State>>& into) {
  advance();
  if (!expect({K::identifier})) return false;
  auto state = std::make_unique<State>(token());
  advance();
  for (;;) {
    if (!expect({K::identifier, K::action, K::end})) return false;
    if (kind() == K::end) break;
    if (!(kind() == K::action ? action_clause(*state) : transition(*state))) return false;
  }
  if (!end_clause(*state)) return false;
  into.push_back(std::move(state));
  return true;
}

// action-clause -> `action` `:` name [ctics] ( `;` | block `;` )
bool ModelParser::action_clause(State& state) {
  advance();
  if (!expect({K::colon})) return false;
  advance();
  if (!expect({K::identifier})) return false;
  auto action = std::make_unique<StateAction>(token());
  advance();
  if (!expect({K::left_bracket, K::double_l_brace, K::semi})) return false;
  if (kind() == K::left_bracket) {
    if (!ctics(*action) || !expect({K::double_l_brace, K::semi})) return false;
  }
  if (kind() == K::double_l_brace) {
    if (!block(action->body_text) || !expect({K::semi})) return false;
  }
  advance();
  state.action = std::move(action);
  return true;
}

// transition -> name `=>` name [ctics] `;`
bool ModelParser::transition(State& state) {
  auto transition = std::make_unique<Transition>(token(), "");
  advance();
  if (!expect({K::right_arrow})) return false;
  advance();
  if (!expect({K::identifier})) return false;
  take_text(transition->target_state);
  advance();
  if (!expect({K::semi, K::left_bracket})) return false;
  if (kind() == K::left_bracket) {
    if (!ctics(*transition) || !expect({K::semi})) return false;
  }
  advance();
  state.transitions.push_back(std::move(transition));
  return true;
}

// process-decl -> `process` name { flow-decl } `end` [ctics] `;`
bool ModelParser::process_decl(std::vector<std::unique_ptr<Process>>& into) {
  advance();
  if (!expect({K::identifier})) return false;
  auto process = std::make_unique<Process>(token());
  advance();
  for (;;) {
    if (!expect({K::flow, K::end})) return false;
    if (kind() == K::end) break;
    if (!flow_decl(*process)) return false;
  }
  if (!end_clause(*process)) return false;
  into.push_back(std::move(process));
  return true;
}

// flow-decl -> `flow` name ( `from` | `to` ) name [ctics] `;`
bool ModelParser::flow_decl(Process& process) {
  advance();
  if (!expect({K::identifier})) return false;
  auto flow = std::make_unique<Flow>(token());
  advance();
  if (!expect({K::from, K::to})) return false;
  flow->direction = kind() == K::from ? kFlowFrom : kFlowTo;
  advance();
  if (!expect({K::identifier})) return false;
  take_text(flow->other_end);
  advance();
  if (!expect({K::left_bracket, K::semi})) return false;
  if (kind() == K::left_bracket) {
    if (!ctics(*flow) || !expect({K::semi})) return false;
  }
  advance();
  process.flows.push_back(std::move(flow));
  return true;
}

// literal-decl -> `literal` name [ctics] block `;`
bool ModelParser::literal_decl(std::vector<std::unique_ptr<Literal>>& into) {
  advance();
  if (!expect({K::identifier})) return false;
  auto literal = std::make_unique<Literal>(token(), "");
  advance();
  if (!expect({K::left_bracket, K::double_l_brace})) return false;
  if (kind() == K::left_bracket) {
    if (!ctics(*literal) || !expect({K::double_l_brace})) return false;
  }
  if (!block(literal->text) || !expect({K::semi})) return false;
  advance();
  into.push_back(std::move(literal));
  return true;
}

// pragma-decl -> `pragma` name [ `(` { value [`,`] } `)` ] [ctics] `;`
bool ModelParser::pragma_decl(std::vector<std::unique_ptr<Pragma>>& into) {
  advance();
  if (!expect({K::identifier})) return false;
  auto pragma = std::make_unique<Pragma>(token());
  advance();
  if (!expect({K::left_paren, K::left_bracket, K::semi})) return false;
  if (kind() == K::left_paren) {
    if (!pragma_values(*pragma) || !expect({K::left_bracket, K::semi})) return false;
  }
  if (kind() == K::left_bracket) {
    if (!ctics(*pragma) || !expect({K::semi})) return false;
  }
  advance();
  into.push_back(std::move(pragma));
  return true;
}

// pragma-values -> `(` { ( name | text ) [`,`] } `)`
bool ModelParser::pragma_values(Pragma& pragma) {
  advance();
  while (kind() != K::right_paren) {
    if (!expect({K::identifier, K::str_literal})) return false;
    pragma.add_value(token());
    advance();
    if (kind() == K::comma) advance();
  }
  advance();
  return true;
}

// events-decl -> `events` `:` { name [`,`] } `;`
bool ModelParser::events_decl() {
  advance();
  if (!expect({K::colon})) return false;
  advance();
  for (;;) {
    if (!expect({K::identifier, K::semi})) return false;
    if (kind() == K::semi) break;
    model_->events.push_back(std::make_unique<Event>(token()));
    advance();
    if (kind() == K::comma) advance();
  }
  advance();
  return true;
}

// foreign-decl -> `foreign` name [ctics] `;`
bool ModelParser::foreign_decl() {
  advance();
  if (!expect({K::identifier})) return false;
  auto foreign = std::make_unique<Substitution>(token());
  advance();
  if (!expect({K::left_bracket, K::semi})) return false;
  if (kind() == K::left_bracket) {
    if (!ctics(*foreign) || !expect({K::semi})) return false;
  }
  advance();
  model_->substitutions.push_back(std::move(foreign));
  return true;
}

// name-decl -> substitution | instance-decl | function-decl
bool ModelParser::name_decl() {
  std::string name = text();
  advance();
  if (!expect({K::equal, K::colon, K::left_paren})) return false;
  switch (kind()) {
    case K::equal:
      return substitution(name);
    case K::colon:
      return instance_decl(name);
    default:
      return function_decl(name, model_->functions);
  }
}

// substitution -> name `=` text
bool ModelParser::substitution(const std::string& name) {
  advance();
  if (!expect({K::str_literal})) return false;
  model_->substitutions.push_back(std::make_unique<Substitution>(name, token()));
  advance();
  return true;
}

// instance-decl -> name `:` name [ `(` [ assignment { `,` assignment } ] `)` ] [ctics] `;`
// assignment -> name `=` ( name | text )
bool ModelParser::instance_decl(const std::string& name) {
  advance();
  if (!expect({K::identifier})) return false;
  auto instance = std::make_unique<Instance>(name, token());
  advance();
  if (!expect({K::left_paren, K::left_bracket, K::semi})) return false;
  if (kind() == K::left_paren) {
    advance();
    if (!expect({K::identifier, K::right_paren})) return false;
    while (kind() == K::identifier) {
      std::string attribute = text();
      advance();
      if (!expect({K::equal})) return false;
      advance();
      if (!expect({K::identifier, K::str_literal})) return false;
      instance->assignments.add_variable(attribute, token());
      advance();
      if (!expect({K::comma, K::right_paren})) return false;
      if (kind() == K::right_paren) break;
      advance();
      if (!expect({K::identifier})) return false;
    }
    advance();
    if (!expect({K::left_bracket, K::semi})) return false;
  }
  if (kind() == K::left_bracket) {
    if (!ctics(*instance) || !expect({K::semi})) return false;
  }
  advance();
  model_->instances.push_back(std::move(instance));
  return true;
}

// import-decl -> `import` text `;`
bool ModelParser::import_decl() {
  advance();
  if (!expect({K::str_literal})) return false;
  std::string name = text();
  advance();
  if (!expect({K::semi})) return false;
  files_.add_import(current_file_, name, settings().get("DsmSearchPath"));
  advance();
  return true;
}

// end-clause -> `end` [ctics] `;`
bool ModelParser::end_clause(Element& element) {
  advance();
  if (!expect({K::left_bracket, K::semi})) return false;
  if (kind() == K::left_bracket && !ctics(element)) return false;
  if (!expect({K::semi})) return false;
  advance();
  return true;
}

// ctics -> `[` [ ctic { `,` ctic } [`,`] ] `]`
// An eof inside the brackets ends the list quietly; the caller's next step
// reports the missing token.
bool ModelParser::ctics(Element& element) {
  ctic_names_.clear();
  ctics_on_fresh_element_ = element.characteristics().empty();
  advance();
  for (;;) {
    if (kind() == K::eof) return true;
    if (kind() == K::right_bracket) break;
    bool at_eof = false;
    if (!ctic(element, at_eof)) return false;
    if (at_eof) return true;
    if (kind() == K::right_bracket) break;
    advance();
  }
  advance();
  return true;
}

// ctic -> name [ `=` ( name | text | block ) ]
bool ModelParser::ctic(Element& element, bool& at_eof) {
  if (!expect({K::identifier})) return false;
  ctic_name_ = InternedName(token());
  advance();
  if ((at_eof = kind() == K::eof)) return true;
  if (!expect({K::equal, K::comma, K::right_bracket})) return false;
  if (kind() != K::equal) {
    assign(ctic_value_, "true");
  } else {
    advance();
    if ((at_eof = kind() == K::eof)) return true;
    if (!expect({K::identifier, K::str_literal, K::double_l_brace})) return false;
    if (!value(ctic_value_)) return false;
    if ((at_eof = kind() == K::eof)) return true;
    if (!expect({K::comma, K::right_bracket})) return false;
  }
  add_characteristic(element, ctic_name_, ctic_value_);
  return true;
}

// On an element that had no characteristics before the list, the element's
// characteristics are exactly the names of the list so far. A short list is
// searched directly; a long one through a hash set of its names, filled when
// the list reaches kCticsScanned names, so that it costs linear time.
bool ModelParser::ctic_repeated(const Element& element, const std::string& name) {
  const ItemList& list = element.characteristics();
  if (list.count() < kCticsScanned) return list.find(std::string_view(name)) != nullptr;
  if (ctic_names_.empty()) {
    for (const Variable& v : list.variables()) ctic_names_.insert(v.name().text());
  }
  return !ctic_names_.insert(name).second;
}

// value -> name | text | block   (the kind has been checked by the caller)
bool ModelParser::value(std::string& out) {
  if (kind() == K::double_l_brace) return block(out);
  take_text(out);
  advance();
  return true;
}

// block -> `{{` multiline_text `}}`
bool ModelParser::block(std::string& out) {
  advance();
  if (!expect({K::multiline_text})) return false;
  lexer_->assign_text(out, false);
  advance();
  if (!expect({K::double_r_brace})) return false;
  advance();
  return true;
}

void ModelParser::warn_repeated(const std::string& name) {
  warning("The characteristic '%s' is redundantly defined (line %s of obj model).", name,
          int_text(lexer_->line()));
}

// The variable caches are left empty here: they are built on first request,
// once the element is complete.
// The name is interned as it is read, once for the search and the append.
void ModelParser::add_characteristic(Element& element, const InternedName& id,
                                     const std::string& value) {
  const std::string& name = id.text();
  if (name == "uid" && !saw_uid_) {
    saw_uid_ = true;
    settings().set("DSMHasUIDs", "true");
  }
  if (ctics_on_fresh_element_ && element.characteristics().count() < kCticsScanned) {
    // The common case, a short list, searched by the interned name.
    ItemList& list = element.edit_characteristics();
    if (list.find(id) != nullptr) {
      warn_repeated(name);
    } else {
      list.add_variable(id, value);
    }
    return;
  }
  bool repeated = ctics_on_fresh_element_ ? ctic_repeated(element, name)
                                          : element.characteristic(name) != nullptr;
  if (repeated) {
    warn_repeated(name);
  } else if (ctics_on_fresh_element_) {
    element.edit_characteristics().add_variable(name, value);
  } else {
    element.set_characteristic_only(name, value);
  }
}

}  // namespace quill
