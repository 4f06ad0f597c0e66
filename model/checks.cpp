// Six checks, each reporting on its own: unique object and attribute names,
// attributes not named like their object, parents that exist, pragmas and
// foreign types set once, and substitutions that neither redefine a name of
// the model nor leave a type unreplaced. All six always run.
#include "model/checks.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "foundation/messages.h"
#include "model/elements.h"
#include "model/object_index.h"

namespace quill {

namespace {

constexpr std::string_view kNotUnique =
    "Names of objects and attributes must be unique.  These names are used more than once in "
    "the object model.";
constexpr std::string_view kAttributeLikeObject =
    "Attributes must have names that differ from their object's name.  These attribute names "
    "need to be changed.";
constexpr std::string_view kMissingParents =
    "Objects cited as parents of other objects must be part of the set of objects in the "
    "model.  These objects are used as parents, but are not in the model.";
constexpr std::string_view kPragmaTwice =
    "Pragmas can only be set once.  These pragmas have been set more than once.";
constexpr std::string_view kForeignTwice =
    "Foreign type definitions can only be set once.  The listed types have been set more than "
    "once.";

// Offending names, each followed by CR LF.
class NameList {
 public:
  void add(std::string_view name) { text_.append(name).append("\r\n"); }
  // Adds the name unless it was listed already.
  void add_once(std::string_view name) {
    if (listed_.emplace(name).second) add(name);
  }
  // Reports the message with the list when the list is not empty; true when empty.
  bool report(std::string_view message) const {
    if (text_.empty()) return true;
    sink().error_list(message, text_);
    return false;
  }

 private:
  std::string text_;
  std::unordered_set<std::string> listed_;
};

std::string attribute_key(const ModelObject& object, const Attribute& attribute) {
  return object.name + "." + attribute.name;
}

// Every attribute key "object.attribute" of the top-level objects, written
// one after the other into a single buffer so that the keys can be compared
// as views without a string each.
class AttributeKeys {
 public:
  explicit AttributeKeys(const Model& model) {
    size_t size = 0;
    for (const auto& object : model.objects) {
      for (const auto& attribute : object->attributes)
        size += object->name.size() + 1 + attribute->name.size();
    }
    // Reserved whole: the views below must never see the buffer move.
    buffer_.reserve(size);
  }
  std::string_view make(const ModelObject& object, const Attribute& attribute) {
    const size_t start = buffer_.size();
    buffer_.append(object.name).append(1, '.').append(attribute.name);
    return std::string_view(buffer_).substr(start);
  }

 private:
  std::string buffer_;
};

// The general check: every name and every key "object.attribute" in one
// table. Needed when a name holds a dot, as a key may then equal an object's
// name or another object's key.
bool check_unique_names_general(const Model& model) {
  size_t names = model.objects.size();
  for (const auto& object : model.objects) names += object->attributes.size();
  NameMap<bool> seen(names);
  NameList repeated;
  auto enter = [&](std::string_view name) {
    if (!seen.try_emplace(name, true).second) repeated.add_once(name);
  };
  for (const auto& object : model.objects) enter(object->name);
  AttributeKeys keys(model);
  for (const auto& object : model.objects) {
    for (const auto& attribute : object->attributes) enter(keys.make(*object, *attribute));
  }
  return repeated.report(kNotUnique);
}

bool any_dotted_name(const Model& model) {
  for (const auto& object : model.objects) {
    if (object->name.find('.') != std::string::npos) return true;
    for (const auto& attribute : object->attributes) {
      if (attribute->name.find('.') != std::string::npos) return true;
    }
  }
  return false;
}

// Attribute names seen so far under one object name.
class SeenAttributes {
 public:
  // True when the name was seen before; remembers it otherwise.
  bool repeated(std::string_view name) {
    if (table_) return !table_->try_emplace(name, true).second;
    const std::uint64_t print = fingerprint(name);
    // One bit per fingerprint seen: a new name is mostly told apart without
    // reading the list.
    const std::uint64_t bit = std::uint64_t{1} << ((print * 0x9E3779B97F4A7C15ull) >> 58);
    if ((prints_ & bit) != 0) {
      for (const Listed& earlier : names_) {
        if (earlier.print == print && earlier.name == name) return true;
      }
    }
    prints_ |= bit;
    names_.push_back({print, name});
    // A long list moves into a table: a search per name would grow with it.
    if (names_.size() > kListed) {
      table_ = std::make_unique<NameMap<bool>>(2 * names_.size());
      for (const Listed& listed : names_) table_->try_emplace(listed.name, true);
    }
    return false;
  }
  void clear() {
    names_.clear();
    prints_ = 0;
    table_.reset();
  }

 private:
  // The length and the first and last three bytes of a name: names of one object
  // mostly differ there, and comparing a word is cheaper than the bytes.
  static std::uint64_t fingerprint(std::string_view name) {
    std::uint64_t print = name.size();
    for (size_t i = 0; i < 3 && i < name.size(); ++i) {
      print = print << 8 | static_cast<unsigned char>(name[i]);
      print = print << 8 | static_cast<unsigned char>(name[name.size() - 1 - i]);
    }
    return print;
  }
  struct Listed {
    std::uint64_t print;
    std::string_view name;
  };
  static constexpr size_t kListed = 32;
  std::vector<Listed> names_;
  std::uint64_t prints_ = 0;  // a bit for the fingerprint of every listed name
  std::unique_ptr<NameMap<bool>> table_;
};

// Without dots in names, the key "o.a" splits at its only dot: two keys are
// equal exactly when their objects have one name and their attributes one
// name, and no key equals an object's name. So attributes are compared
// within each object name only, which keeps a large model's check from
// putting every key into one table far bigger than the caches. Offenders
// are found in the order of the general check.
bool check_unique_names(const Model& model) {
  if (any_dotted_name(model)) return check_unique_names_general(model);
  NameList repeated;
  // The index of every object's first namesake, and how many carry the name.
  NameMap<size_t> first_of(model.objects.size());
  std::vector<size_t> first(model.objects.size());
  std::vector<size_t> namesakes(model.objects.size(), 0);
  for (size_t i = 0; i < model.objects.size(); ++i) {
    auto [found, added] = first_of.try_emplace(model.objects[i]->name, i);
    if (!added) repeated.add_once(model.objects[i]->name);
    first[i] = *found;
    ++namesakes[*found];
  }
  SeenAttributes own;
  std::unordered_map<size_t, SeenAttributes> shared;  // by first namesake, for repeated names
  for (size_t i = 0; i < model.objects.size(); ++i) {
    const ModelObject& object = *model.objects[i];
    SeenAttributes* seen = &own;
    if (namesakes[first[i]] > 1) {
      seen = &shared[first[i]];
    } else {
      own.clear();
    }
    for (const auto& attribute : object.attributes) {
      if (seen->repeated(attribute->name)) repeated.add_once(attribute_key(object, *attribute));
    }
  }
  return repeated.report(kNotUnique);
}

bool check_attributes_unlike_object(const Model& model) {
  NameList offending;
  for (const auto& object : model.objects) {
    for (const auto& attribute : object->attributes) {
      if (attribute->name == object->name) offending.add(attribute_key(*object, *attribute));
    }
  }
  return offending.report(kAttributeLikeObject);
}

bool check_parents_exist(const Model& model) {
  NameList missing;
  const ObjectIndex index(model);
  for (const auto& object : model.objects) {
    for (const auto& parent : object->parents) {
      if (index.find(parent->name) == nullptr) missing.add(parent->name);
    }
  }
  return missing.report(kMissingParents);
}

// Every name that more than one element of the list carries, listed once.
template <class T>
bool check_set_once(const std::vector<std::unique_ptr<T>>& elements, std::string_view message) {
  std::unordered_map<std::string_view, int> uses;
  for (const auto& element : elements) ++uses[element->name];
  NameList repeated;
  for (const auto& element : elements) {
    if (uses[element->name] > 1) repeated.add_once(element->name);
  }
  return repeated.report(message);
}

// Compares every substitution with the names and types of the model in one
// walk. Substitutions act in their order: a type replaced by one may be
// replaced again by a later one whose name is the new type, so each typed
// element follows that chain through an index of the substitutions by name.
// The report lists, substitution by substitution, every name that one
// redefines in model order; substitutions of one name give the same lines,
// so the lines are gathered once per name.
class SubstitutionCheck {
 public:
  explicit SubstitutionCheck(const Model& model) {
    const auto& subs = model.substitutions;
    for (size_t i = 0; i < subs.size(); ++i) {
      by_name_.try_emplace(subs[i]->name, {}).first->push_back(i);
      subs_.push_back({subs[i].get(), &subs[i]->value()});
      filter_ |= filter_bit(subs[i]->name);
    }
  }

  // The report text, empty when no substitution redefines a name.
  std::string run(Model& model) {
    if (subs_.empty()) return {};
    for (auto& object : model.objects) visit_object(*object);
    for (auto& function : model.functions) visit_model_function(*function);
    std::string report;
    for (const Entry& entry : subs_) {
      if (const std::string* lines = lines_.find(entry.substitution->name)) report += *lines;
    }
    return report;
  }

 private:
  struct Entry {
    const Substitution* substitution;
    const std::string* value;  // the substitution's value(), which the walk never changes
  };

  // Every name and type of the model is looked up here, while a model has
  // only a few substitutions: a bit chosen by the length and the first and
  // last bytes rules out nearly every name before the hash table is asked.
  static std::uint64_t filter_bit(std::string_view name) {
    std::uint32_t key = static_cast<std::uint32_t>(name.size()) << 16;
    if (!name.empty()) {
      key |= static_cast<std::uint32_t>(static_cast<unsigned char>(name.front())) << 8 |
             static_cast<unsigned char>(name.back());
    }
    return std::uint64_t{1} << ((key * 0x9E3779B1u) >> 26);
  }
  template <class Value>
  const Value* find(const NameMap<Value>& map, const std::string& name) const {
    if ((filter_ & filter_bit(name)) == 0) return nullptr;
    return map.find(name);
  }

  void redefines(const std::string& name, std::string_view reason) {
    if (find(by_name_, name) == nullptr) return;
    lines_.try_emplace(name, {}).first->append("Substitution '").append(name).append("' -- ").append(reason).append(
        "\r\n");
  }

  // The indexes of the substitutions named type, or nullptr. A model's
  // elements use a handful of type names over and over: the last answer for
  // each shape of name (length, first and last byte) is kept and reused when
  // the name matches, which costs one comparison instead of a hash.
  const std::vector<size_t>* substitutions_named(const std::string& type) const {
    if ((filter_ & filter_bit(type)) == 0) return nullptr;
    const size_t slot = (filter_bit(type) * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits);
    Recent& recent = recent_[slot];
    if (recent.valid && recent.name == type) return recent.found;
    const std::vector<size_t>* found = by_name_.find(type);
    recent = {type, found, true};
    return found;
  }

  // The first substitution at or after index from whose name is the type,
  // or nullptr.
  const Entry* next_match(const std::string& type, size_t& from) const {
    const std::vector<size_t>* found = substitutions_named(type);
    if (found == nullptr) return nullptr;
    for (size_t i : *found) {
      if (i >= from) {
        from = i + 1;
        return &subs_[i];
      }
    }
    return nullptr;
  }

  // Each matching substitution in turn makes the type its value and gives
  // the element its characteristics.
  void replace_type(TypedElement& element) {
    size_t from = 0;
    while (const Entry* match = next_match(element.type(), from)) {
      // A substitution without definition (every built-in type) keeps the
      // type as it is, so the copy is spared.
      if (element.type() != *match->value) element.set_type(*match->value);
      element.merge_characteristics(*match->substitution);
      element.discard_variables();
    }
  }

  void visit_parameters(Function& function) {
    for (auto& param : function.parameters) {
      redefines(param->name, "May not redefine the name of a function param");
      replace_type(*param);
    }
  }

  void visit_object(ModelObject& object) {
    redefines(object.name, "May not redefine the name of an object");
    for (auto& attribute : object.attributes) {
      redefines(attribute->name, "May not redefine the name of an attribute");
      replace_type(*attribute);
    }
    for (auto& function : object.functions) {
      redefines(function->name, "May not redefine the name of a function");
      visit_parameters(*function);
      if (function->return_type) replace_type(*function->return_type);
    }
    for (auto& state : object.states) {
      redefines(state->name, "May not redefine the name of a state");
      if (state->action) redefines(state->action->name, "May not redefine the name of a state action");
    }
  }

  // A model-level return type first takes each matching substitution's
  // value without its characteristics; they are merged only when the type
  // still carries the substitution's name (a substitution without
  // definition).
  void visit_model_function(Function& function) {
    redefines(function.name, "May not redefine the name of a function");
    visit_parameters(function);
    ReturnType* rtype = function.return_type.get();
    if (rtype == nullptr) return;
    size_t from = 0;
    while (const Entry* match = next_match(rtype->type(), from)) {
      rtype->set_type(*match->value);
      if (rtype->type() != match->substitution->name) continue;
      rtype->merge_characteristics(*match->substitution);
      rtype->discard_variables();
    }
  }

  // A remembered lookup; the name is the type's own copy, which the check may
  // change afterwards, so it is kept as a string.
  struct Recent {
    std::string name;
    const std::vector<size_t>* found = nullptr;
    bool valid = false;
  };
  static constexpr size_t kRecentBits = 4;

  std::vector<Entry> subs_;
  NameMap<std::vector<size_t>> by_name_;  // indexes into subs_, never changed after construction
  mutable Recent recent_[size_t{1} << kRecentBits];
  NameMap<std::string> lines_;            // report lines by name
  std::uint64_t filter_ = 0;              // filter_bit of every substitution name
};

bool check_substitutions(Model& model) {
  std::string report = SubstitutionCheck(model).run(model);
  if (report.empty()) return true;
  error(report);
  return false;
}

}  // namespace

bool check(Model& model) {
  model.check_verdict = check_unique_names(model);
  if (!check_attributes_unlike_object(model)) model.check_verdict = false;
  if (!check_parents_exist(model)) model.check_verdict = false;
  if (!check_set_once(model.pragmas, kPragmaTwice)) model.check_verdict = false;
  if (!check_set_once(model.substitutions, kForeignTwice)) model.check_verdict = false;
  if (!check_substitutions(model)) model.check_verdict = false;
  return model.check_verdict;
}

}  // namespace quill
