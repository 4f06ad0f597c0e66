// The array variables (name -> StringSet) and keyed variables
// (name -> StringMap) of a generation run. The two registries are separate
// from each other and from the symbol table, so their names never collide.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "foundation/string_containers.h"

namespace quill {

template <class Container>
class Registry {
 public:
  // The container of that name, or nullptr. The pointer stays valid until
  // that name is removed.
  Container* find(std::string_view name) {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
  }
  const Container* find(std::string_view name) const {
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
  }
  bool contains(std::string_view name) const { return entries_.find(name) != entries_.end(); }
  // The container of that name, created empty when absent.
  Container& get(std::string_view name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) it = entries_.emplace(std::string(name), Container()).first;
    return it->second;
  }
  // Deletes the container of that name; an absent name is ignored.
  void remove(std::string_view name) {
    auto it = entries_.find(name);
    if (it != entries_.end()) entries_.erase(it);
  }
  size_t count() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  std::map<std::string, Container, std::less<>> entries_;
};

using ArrayRegistry = Registry<StringSet>;
using KeyedRegistry = Registry<StringMap>;

}  // namespace quill
