// The settings store: a hash table of chained entries, names compared exactly.
#include "foundation/settings.h"

#include <functional>

namespace quill {

struct SettingsStore::Entry {
  std::string name;
  std::string value;
  Entry* next;
};

SettingsStore::SettingsStore() : chains_(kChains, nullptr) {}

SettingsStore::~SettingsStore() { clear(); }

size_t SettingsStore::chain_of(std::string_view name) const {
  return std::hash<std::string_view>()(name) % kChains;
}

void SettingsStore::set(std::string_view name, std::string_view value) {
  if (name.data() == nullptr) return;  // no name: nothing to store
  Entry*& head = chains_[chain_of(name)];
  for (Entry* e = head; e != nullptr; e = e->next) {
    if (e->name == name) {
      e->value.assign(value);
      return;
    }
  }
  head = new Entry{std::string(name), std::string(value), head};
}

void SettingsStore::remove(std::string_view name) {
  Entry** link = &chains_[chain_of(name)];
  while (*link != nullptr) {
    Entry* e = *link;
    if (e->name == name) {
      *link = e->next;
      delete e;
      return;
    }
    link = &e->next;
  }
}

const std::string& SettingsStore::get(std::string_view name) const {
  static const std::string kEmpty;
  for (const Entry* e = chains_[chain_of(name)]; e != nullptr; e = e->next) {
    if (e->name == name) return e->value;
  }
  return kEmpty;
}

void SettingsStore::clear() {
  for (Entry*& head : chains_) {
    while (head != nullptr) {
      Entry* next = head->next;
      delete head;
      head = next;
    }
  }
}

SettingsStore& settings() {
  static SettingsStore store;
  return store;
}

}  // namespace quill
