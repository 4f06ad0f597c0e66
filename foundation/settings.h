// The process-wide settings store: named string values through which every
// part of the engine exchanges its inputs and verdicts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

class SettingsStore {
 public:
  SettingsStore();
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Stores a copy of value under name, replacing an earlier value.
  void set(std::string_view name, std::string_view value);
  // Removes the name (the "no value" form).
  void remove(std::string_view name);
  // The stored value, or "" when the name is absent.
  const std::string& get(std::string_view name) const;
  // True only when the value is exactly "true".
  bool is_true(std::string_view name) const { return get(name) == "true"; }
  void clear();

 private:
  struct Entry;
  static constexpr size_t kChains = 101;
  size_t chain_of(std::string_view name) const;
  std::vector<Entry*> chains_;
};

// The one store of the process.
SettingsStore& settings();

}  // namespace quill
