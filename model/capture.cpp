#include "model/capture.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/string_containers.h"
#include "model/elements.h"

namespace quill {

void CapturedTexts::set(std::string_view uid, std::string_view text) {
  auto it = texts_.find(uid);
  if (it == texts_.end()) {
    texts_.emplace(std::string(uid), std::string(text));
  } else {
    it->second.assign(text);
  }
}

const std::string& CapturedTexts::text(std::string_view uid) const {
  static const std::string kEmpty;
  auto it = texts_.find(uid);
  return it == texts_.end() ? kEmpty : it->second;
}

bool CapturedTexts::contains(std::string_view uid) const { return texts_.find(uid) != texts_.end(); }

// An element that a preserved text can go to: a model-level or top-level
// object's Literal, StateAction or Function that has a uid.
struct PreservedTarget {
  Element* element;
  std::string* text;       // the literal's text or the body text
  State* state;            // for an action, its state (it shows the body too)
  Element* container;      // the model or the top-level object
  // The place in model order: the model (0) before object k (k + 1); within
  // each, the literals, then the states' actions, then the functions.
  std::size_t owner;
  int group;
  std::size_t index;

  bool operator<(const PreservedTarget& other) const {
    if (owner != other.owner) return owner < other.owner;
    if (group != other.group) return group < other.group;
    return index < other.index;
  }
};

class PreservedTargets {
 public:
  explicit PreservedTargets(Model& model)
      : uid_edits_(Element::uid_edits()),
        literals_(model.literals.size()),
        states_(model.states.size()),
        functions_(model.functions.size()),
        objects_(model.objects.size()) {
    add_members(model, 0);
    for (std::size_t k = 0; k < model.objects.size(); ++k) add_members(*model.objects[k], k + 1);
  }

  // True while no uid may have changed and the model's own lists kept their size.
  bool current(const Model& model) const {
    return uid_edits_ == Element::uid_edits() && literals_ == model.literals.size() &&
           states_ == model.states.size() && functions_ == model.functions.size() &&
           objects_ == model.objects.size();
  }

  // The targets with that uid in model order, or nullptr.
  const std::vector<PreservedTarget>* find(std::string_view uid) const {
    auto it = by_uid_.find(uid);
    return it == by_uid_.end() ? nullptr : &it->second;
  }

  // Takes in the model-level literals appended since the index was made
  // current (orphans), and is current again.
  void add_new_literals(Model& model) {
    for (std::size_t i = literals_; i < model.literals.size(); ++i)
      add(*model.literals[i], model.literals[i]->text, nullptr, model, 0, 0, i);
    literals_ = model.literals.size();
    uid_edits_ = Element::uid_edits();
  }

 private:
  // The model (owner 0) or top-level object k (owner k + 1).
  template <class Container>
  void add_members(Container& container, std::size_t owner) {
    for (std::size_t i = 0; i < container.literals.size(); ++i)
      add(*container.literals[i], container.literals[i]->text, nullptr, container, owner, 0, i);
    for (std::size_t i = 0; i < container.states.size(); ++i) {
      State& state = *container.states[i];
      if (state.action) add(*state.action, state.action->body_text, &state, container, owner, 1, i);
    }
    for (std::size_t i = 0; i < container.functions.size(); ++i)
      add(*container.functions[i], container.functions[i]->body_text, nullptr, container, owner, 2, i);
  }

  void add(Element& element, std::string& text, State* state, Element& container, std::size_t owner,
           int group, std::size_t index) {
    const std::string* uid = element.characteristic("uid");
    if (uid == nullptr) return;
    auto it = by_uid_.find(*uid);
    if (it == by_uid_.end()) it = by_uid_.emplace(*uid, std::vector<PreservedTarget>()).first;
    it->second.push_back(PreservedTarget{&element, &text, state, &container, owner, group, index});
  }

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, std::vector<PreservedTarget>, Hash, std::equal_to<>> by_uid_;
  std::uint64_t uid_edits_;
  std::size_t literals_, states_, functions_, objects_;
};

namespace {

PreservedTargets& targets_of(Model& model) {
  if (!model.preserved_targets || !model.preserved_targets->current(model))
    model.preserved_targets.reset(new PreservedTargets(model));
  return *model.preserved_targets;
}

// A target whose uid names a stored non-empty text, with that uid.
struct Claim {
  const PreservedTarget* target;
  const std::string* uid;
  const std::string* text;
};

// Gives one target its text, marks it captured and refreshes its variables
// (and its state's, which show an action's body). Lists a capture rebuilds
// are freed with the object's others when its turn ends. Lists nobody asked
// for yet stay unmade: regenerating into one file captures every section of
// the model at its first line, and making the lists of every function and
// object then would hold them all in memory at once, before any is needed.
void give(const Claim& claim) {
  const PreservedTarget& target = *claim.target;
  *target.text = *claim.text;
  target.element->set_characteristic_only("is_captured", "true");
  target.element->refill_variables();
  if (target.state != nullptr && !target.state->cached_variables().empty())
    target.state->rebuild_variables();
}

// Takes one pending entry out per claim, the first entry of the claim's uid
// each time, in one pass: a single file may hold a hundred thousand
// sections, too many to search and shift the list once per claim.
void remove_claimed(const std::vector<Claim>& claims, StringArray& pending) {
  if (claims.empty()) return;
  std::unordered_map<std::string_view, std::size_t> left;
  for (const Claim& claim : claims) ++left[*claim.uid];
  std::vector<std::string>& items = pending.items();
  std::size_t kept = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto it = left.find(items[i]);
    if (it != left.end() && it->second > 0) {
      --it->second;
      continue;
    }
    if (kept != i) items[kept] = std::move(items[i]);
    ++kept;
  }
  items.resize(kept);
}

// Turns every uid still pending into an orphan literal of the model.
bool make_orphans(Model& model, const CapturedTexts& texts, const StringArray& pending) {
  for (const std::string& uid : pending.items()) {
    auto orphan = std::make_unique<Literal>(uid, texts.text(uid));
    orphan->set_characteristic_only("uid", uid);
    orphan->set_characteristic_only("is_orphan", "true");
    model.literals.push_back(std::move(orphan));
  }
  return pending.count() > 0;
}

}  // namespace

// The claims are given in model order, and each container is rebuilt once
// after all of its members took their texts: the model's own members first,
// then object by object.
void capture_preserved_texts(Model& model, const CapturedTexts& texts, StringArray& pending_uids) {
  PreservedTargets& index = targets_of(model);
  std::vector<Claim> claims;
  texts.visit([&](const std::string& uid, const std::string& text) {
    if (text.empty()) return;
    if (const std::vector<PreservedTarget>* targets = index.find(uid)) {
      for (const PreservedTarget& target : *targets) claims.push_back(Claim{&target, &uid, &text});
    }
  });
  std::sort(claims.begin(), claims.end(),
            [](const Claim& a, const Claim& b) { return *a.target < *b.target; });
  for (std::size_t i = 0; i < claims.size(); ++i) {
    give(claims[i]);
    Element* container = claims[i].target->container;
    if (i + 1 != claims.size() && claims[i + 1].target->container == container) continue;
    if (container == &model)
      model.refresh_variables();
    else
      container->refill_variables();
  }
  remove_claimed(claims, pending_uids);
  const bool index_current = index.current(model);
  const std::size_t first_orphan = model.literals.size();
  if (make_orphans(model, texts, pending_uids)) {
    if (index_current)
      index.add_new_literals(model);
    else
      model.preserved_targets.reset();
    model.add_literal_rows(first_orphan);
  }
}

void Model::DropTargets::operator()(PreservedTargets* targets) const { delete targets; }

}  // namespace quill
