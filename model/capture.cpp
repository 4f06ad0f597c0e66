#include "model/capture.h"

#include <memory>

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

namespace {

// One capture pass: the store, the pending uids and whether anything was
// captured since the last reset.
class Capture {
 public:
  Capture(const CapturedTexts& texts, StringArray& pending) : texts_(texts), pending_(pending) {}

  // Replaces the element's text when its uid names a non-empty stored text.
  bool offer(Element& element, std::string& text) {
    const std::string* uid_value = element.characteristic("uid");
    if (uid_value == nullptr) return false;
    const std::string uid = *uid_value;
    const std::string& stored = texts_.text(uid);
    if (stored.empty()) return false;
    text = stored;
    element.set_characteristic_only("is_captured", "true");
    element.rebuild_variables();
    pending_.remove(pending_.find(uid));
    captured_ = true;
    return true;
  }

  // Literals, the actions of the states, then the functions of one container.
  template <class Container>
  bool offer_members(Container& container) {
    captured_ = false;
    for (auto& literal : container.literals) offer(*literal, literal->text);
    for (auto& state : container.states) offer_action(*state);
    for (auto& function : container.functions) offer(*function, function->body_text);
    return captured_;
  }

  // Turns every uid still pending into an orphan literal of the model.
  bool make_orphans(Model& model) {
    for (const std::string& uid : pending_.items()) {
      auto orphan = std::make_unique<Literal>(uid, texts_.text(uid));
      orphan->set_characteristic_only("uid", uid);
      orphan->set_characteristic_only("is_orphan", "true");
      model.literals.push_back(std::move(orphan));
    }
    return pending_.count() > 0;
  }

 private:
  // The state shows its action's body among its own variables, so it is
  // rebuilt along with the action.
  void offer_action(State& state) {
    if (state.action && offer(*state.action, state.action->body_text)) state.rebuild_variables();
  }

  const CapturedTexts& texts_;
  StringArray& pending_;
  bool captured_ = false;
};

}  // namespace

void capture_preserved_texts(Model& model, const CapturedTexts& texts, StringArray& pending_uids) {
  Capture capture(texts, pending_uids);
  if (capture.offer_members(model)) model.rebuild_variables();
  for (auto& object : model.objects) {
    if (capture.offer_members(*object)) object->rebuild_variables();
  }
  if (capture.make_orphans(model)) model.rebuild_variables();
}

}  // namespace quill
