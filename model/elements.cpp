#include "model/elements.h"

#include <algorithm>
#include <unordered_map>

#include "model/storage_rooms.h"

namespace quill {

namespace {

Model* g_current_model = nullptr;

const InternedName& type_decl_name() {
  static const InternedName name("type_decl");
  return name;
}

// Searched by id (and the lists' name masks) rather than by text: merges
// run for nearly every element while a model is loaded.
const InternedName& uid_name() {
  static const InternedName name("uid");
  return name;
}

// An element that takes the characteristics of an object: one typed by the
// object, or a parent reference naming it. A return type's function shows
// them too and is rebuilt with it.
struct TypeUser {
  Element* element;
  Function* function;  // for a return type, else nullptr
};

// Calls visit(key, user) for every element that can take an object's
// characteristics, in model order; the key is the interned text of the
// object name it takes them from (its type, or the parent's name).
template <class Visit>
void for_each_type_user(Model& model, Visit&& visit) {
  auto typed = [&](TypedElement* element) {
    if (element != nullptr) visit(&element->type(), TypeUser{element, nullptr});
  };
  auto function_users = [&](Function& function) {
    if (ReturnType* rtype = function.return_type.get()) visit(&rtype->type(), TypeUser{rtype, &function});
    for (auto& param : function.parameters) typed(param.get());
  };
  for (auto& object : model.objects) {
    for (auto& attribute : object->attributes) typed(attribute.get());
    for (auto& function : object->functions) function_users(*function);
    for (auto& parent : object->parents)
      visit(&InternedName(parent->name).text(), TypeUser{parent.get(), nullptr});
  }
  for (auto& function : model.functions) function_users(*function);
  for (auto& instance : model.instances) typed(instance.get());
}

// Merges the object's characteristics into the user and rebuilds it.
void give_characteristics(const TypeUser& user, const ModelObject& object) {
  user.element->merge_characteristics(object);
  user.element->rebuild_variables();
  if (user.function != nullptr) user.function->rebuild_variables();
}

void set_depth(ModelObject& object, int depth) {
  object.depth = depth;
  for (auto& nested : object.objects) set_depth(*nested, depth + 1);
}

}  // namespace

Model* current_model() { return g_current_model; }

void set_current_model(Model* model) { g_current_model = model; }

// ---- Element ----

void* Element::operator new(size_t bytes) { return RoomStock::take(RoomStock::room_for(bytes)); }

void Element::operator delete(void* element, size_t bytes) {
  RoomStock::give(element, RoomStock::room_for(bytes));
}

const std::string& RareText::empty() {
  static const std::string* const none = new std::string;
  return *none;
}

void RareText::set(std::string_view text) {
  if (text_) {
    text_->assign(text);
  } else if (!text.empty()) {
    text_ = std::make_unique<std::string>(text);
  }
}

const InternedName& TypedElement::simple_mapping() {
  static const InternedName simple("simple");
  return simple;
}

const InternedName& Element::no_prefix() {
  static const InternedName empty{std::string_view()};
  return empty;
}

void Element::set_characteristic(std::string_view name, std::string_view value) {
  set_characteristic_only(name, value);
  rebuild_variables();
}

void Literal::set_characteristic(std::string_view name, std::string_view value) {
  ++literal_edits_;
  Element::set_characteristic(name, value);
}

ItemList& Element::variables(std::string_view) { return cache(); }

ItemList& Element::cache() {
  if (!cache_) cache_ = take_cache();
  return cache_->list;
}

// Released caches wait in a stock: each element of a large model has its
// list made, filled and released once per generation run, and a cache from
// stock spares the allocation of the cache and of the list's room.
namespace {
constexpr size_t kMaxStockedCaches = 1024;
}  // namespace

std::unique_ptr<Element::VariableCache> Element::take_cache() {
  auto& stock = cache_stock();
  if (stock.empty()) return std::make_unique<VariableCache>();
  std::unique_ptr<VariableCache> cache = std::move(stock.back());
  stock.pop_back();
  return cache;
}

void Element::give_cache(std::unique_ptr<VariableCache> cache) {
  auto& stock = cache_stock();
  if (stock.size() >= kMaxStockedCaches) return;
  cache->list.clear();
  cache->filled_version = 0;
  cache->filled_writes = 0;
  stock.push_back(std::move(cache));
}

// The stock lives until exit, like the Variable stock the lists give to.
std::vector<std::unique_ptr<Element::VariableCache>>& Element::cache_stock() {
  static auto* stock = new std::vector<std::unique_ptr<VariableCache>>;
  return *stock;
}

const ItemList& Element::cached_variables() const {
  static const ItemList* const none = new ItemList;
  return cache_ ? cache_->list : *none;
}

const std::string* Element::characteristic(std::string_view name) const {
  const Variable* v = characteristics_.find(name);
  return v == nullptr ? nullptr : &v->value();
}

void Element::set_characteristic_only(std::string_view name, std::string_view value) {
  if (name == "uid") ++uid_edits_;
  characteristics_.set(name, value);
}

// Most merges add one or two characteristics that the element lacks, and
// when the list's name bits rule out every name of source, source is
// appended whole. Otherwise room for the missing names is made once, at its
// exact size, and the names present take their new values.
void Element::merge_characteristics(const ItemList& source) {
  if (&source == &characteristics_) return;
  if (source.find(uid_name()) != nullptr) ++uid_edits_;
  bool any_present = false;
  for (const Variable& v : source.variables()) {
    if (characteristics_.may_hold(v.name())) {
      any_present = true;
      break;
    }
  }
  if (!any_present) return characteristics_.append_copies(source);
  size_t missing = 0;
  for (const Variable& v : source.variables()) {
    if (characteristics_.find(v.name()) == nullptr) ++missing;
  }
  if (missing > 0) characteristics_.reserve(characteristics_.count() + missing);
  for (const Variable& v : source.variables()) {
    if (Variable* mine = characteristics_.find(v.name())) {
      mine->set_value(v.value());
    } else {
      characteristics_.add_variable(v.name(), v.value());
    }
  }
}

void Element::merge_characteristics(const Element& source) {
  merge_characteristics(source.characteristics_);
}

void Element::keep_common_characteristics(const ItemList& source) {
  const InternedName& uid = uid_name();
  if (source.find(uid) == nullptr && characteristics_.find(uid) != nullptr) ++uid_edits_;
  std::vector<const Item*> doomed;
  for (const Variable& v : characteristics_.variables()) {
    if (source.find(v.name()) == nullptr) doomed.push_back(&v);
  }
  for (const Item* item : doomed) characteristics_.remove(item);
}

void Element::keep_common_characteristics(const Element& source) {
  keep_common_characteristics(source.characteristics_);
}

void Element::rebuild_variables() {
  if (cache_) cache_->list.clear();
  variables(".");
}

void Element::refill_variables() {
  if (!cache_ || cache_->list.empty()) return;
  cache_->list.clear();
  scope_variables(".");
}

ItemList& Element::scope_variables(std::string_view prefix) {
  const std::uint64_t before = cache_ ? cache_->list.version() : 0;
  ItemList& list = variables(prefix);
  if (cache_ && &list == &cache_->list && !list.empty() && list.version() != before) {
    cache_->filled_version = list.version();
    cache_->filled_writes = TextItem::value_writes();
  }
  return list;
}

void Element::release_variables() {
  if (!cache_) return;
  // An empty list (a scope that lookups answered from the fields) holds
  // nothing that could be lost.
  const bool unchanged_fill = cache_->filled_version != 0 &&
                              cache_->list.version() == cache_->filled_version &&
                              TextItem::value_writes() == cache_->filled_writes;
  if (cache_->list.empty() || unchanged_fill) give_cache(std::move(cache_));
}

ItemList& Element::prepare_scope(std::string_view prefix) {
  ItemList& list = cache();
  if (prefix != "." && prefix != prefix_.text()) {
    list.clear();
    prefix_ = InternedName(prefix);
  }
  return list;
}

const RowNameTable* Element::row_names(std::string_view) const { return nullptr; }

const std::string* Element::row_value(const RowName&) const { return nullptr; }

// Without a remembered prefix every later request names a prefix of its own
// and refills the list anyway, so filling it now would be wasted.
void Element::discard_variables() {
  if (!prefix_.text().empty()) return rebuild_variables();
  if (cache_) cache_->list.clear();
}

// ---- small element queries ----

bool State::consumes_event(std::string_view event) const {
  return std::any_of(transitions.begin(), transitions.end(),
                     [event](const auto& t) { return t->event_name == event; });
}

Substitution::Substitution(std::string_view n, std::string_view definition) : NamedElement(n) {
  if (!definition.empty()) characteristics_.add_variable(type_decl_name(), definition);
}

const std::string& Substitution::value() const {
  const Variable* decl = characteristics_.find(type_decl_name());
  return decl == nullptr ? name : decl->value();
}

// The old list's variables whose names the new rows lack are the ones the
// run set (the command-line and date variables, the template's own) and go
// back in, in their order; a variable set with the name of a row was a
// change of that row and gives way to the rebuilt one. The run's variables
// follow the rows that the last refresh made, unless something was removed
// from the list since: then every variable is looked at. The last row is
// known by its address and its name, since a removed row's room may hold a
// later variable.
void Model::refresh_variables() {
  const ItemList& before = cached_variables();
  size_t from = 0;
  if (rows_ > 0 && rows_ <= before.count()) {
    const Variable& last = static_cast<const Variable&>(before.at(rows_ - 1));
    if (&last == last_row_ && last.name().id() == last_row_name_) from = rows_;
  }
  std::vector<std::pair<InternedName, std::string>> old;
  for (size_t i = from; i < before.count(); ++i) {
    const Variable& v = static_cast<const Variable&>(before.at(i));
    old.emplace_back(v.name(), v.value());
  }
  rebuild_variables();
  ItemList& list = cache();
  const size_t rows = list.count();
  // Every name is looked up among the rows alone, before any variable goes back.
  std::vector<char> is_row(old.size());
  for (size_t i = 0; i < old.size(); ++i) is_row[i] = list.find(old[i].first) != nullptr;
  for (size_t i = 0; i < old.size(); ++i)
    if (!is_row[i]) list.add_variable(old[i].first, old[i].second);
  note_rows(rows);
}

void Model::note_rows(size_t rows) {
  const ItemList& list = cached_variables();
  rows_ = rows;
  last_row_ = rows_ > 0 ? &list.at(rows_ - 1) : nullptr;
  last_row_name_ = rows_ > 0 ? static_cast<const Variable&>(*last_row_).name().id() : nullptr;
  noted_version_ = list.version();
  noted_count_ = list.count();
  noted_edits_ = literal_edits();
}

void Model::set_characteristic(std::string_view name, std::string_view value) {
  set_characteristic_only(name, value);
  refresh_variables();
}

ModelObject* Model::find_object(std::string_view object_name) const {
  for (const auto& object : objects) {
    if (object->name == object_name) return object.get();
  }
  return nullptr;
}

// ---- ModelObject ----

// The elements that take an object's characteristics, by object name, in
// model order.
class TypeUsers {
 public:
  explicit TypeUsers(Model& model) : type_edits_(TypedElement::type_edits()) {
    for_each_type_user(model, [&](const std::string* key, const TypeUser& user) {
      by_name_[key].push_back(user);
    });
  }
  bool current() const { return type_edits_ == TypedElement::type_edits(); }
  const std::vector<TypeUser>* find(const std::string* key) const {
    auto it = by_name_.find(key);
    return it == by_name_.end() ? nullptr : &it->second;
  }

 private:
  std::unordered_map<const std::string*, std::vector<TypeUser>> by_name_;
  std::uint64_t type_edits_;
};

void Model::DropUsers::operator()(TypeUsers* users) const { delete users; }

void Model::begin_run() {
  in_run_ = true;
  type_users_.reset();
  preserved_targets.reset();
}

void Model::end_run() {
  in_run_ = false;
  type_users_.reset();
  preserved_targets.reset();
}

const TypeUsers* Model::type_users() {
  if (!in_run_) return nullptr;
  if (!type_users_ || !type_users_->current()) type_users_.reset(new TypeUsers(*this));
  return type_users_.get();
}

// During a run (a template may set a characteristic of every object in
// turn) the users come from the model's index; otherwise the model is walked.
void ModelObject::set_characteristic(std::string_view name, std::string_view value) {
  Element::set_characteristic(name, value);
  Model* model = current_model();
  if (model == nullptr) return;
  const std::string* key = &InternedName(this->name).text();
  if (const TypeUsers* index = model->type_users()) {
    if (const std::vector<TypeUser>* users = index->find(key))
      for (const TypeUser& user : *users) give_characteristics(user, *this);
    return;
  }
  for_each_type_user(*model, [&](const std::string* user_key, const TypeUser& user) {
    if (user_key == key) give_characteristics(user, *this);
  });
}

Attribute& ModelObject::add_attribute(std::unique_ptr<Attribute> attribute) {
  if (!name.empty()) attribute->set_characteristic_only("obj", name);
  if (name == attribute->type()) attribute->set_characteristic_only("is_self", "true");
  attributes.push_back(std::move(attribute));
  return *attributes.back();
}

ModelObject& ModelObject::add_object(std::unique_ptr<ModelObject> object) {
  set_depth(*object, depth + 1);
  objects.push_back(std::move(object));
  return *objects.back();
}

bool ModelObject::consumes_event(std::string_view event) const {
  return std::any_of(states.begin(), states.end(),
                     [event](const auto& s) { return s->consumes_event(event); });
}

bool ModelObject::has_parent(const ModelObject& other) const {
  return std::any_of(parents.begin(), parents.end(),
                     [&other](const auto& p) { return p->name == other.name; });
}

const std::vector<ModelObject*>& ModelObject::ancestors() {
  if (!ancestors_known_) {
    compute_ancestors();
    ancestors_known_ = true;
  }
  return ancestors_;
}

// A depth-first walk over the resolved parents, each object listed after its
// own ancestors, parents in written order; an object reached along two paths
// is listed twice. Nothing rejects a cycle in the parent relation, so the
// walk marks the objects on its current path and skips a parent that is
// already on it (with everything above it): every path then ends, and the
// object itself, being the first on the path, is never listed. The walk
// keeps its own stack so that long parent chains cannot exhaust the call
// stack.
void ModelObject::compute_ancestors() {
  struct Frame {
    ModelObject* object;
    size_t next_parent;
  };
  std::vector<Frame> path{{this, 0}};
  on_path_ = true;
  while (!path.empty()) {
    Frame& top = path.back();
    if (top.next_parent == top.object->parents.size()) {
      ModelObject* finished = top.object;
      finished->on_path_ = false;
      path.pop_back();
      if (!path.empty()) ancestors_.push_back(finished);
      continue;
    }
    ModelObject* parent = top.object->parents[top.next_parent++]->parent;
    if (parent == nullptr || parent->on_path_) continue;
    parent->on_path_ = true;
    path.push_back({parent, 0});
  }
}

}  // namespace quill
