#include "model/items.h"

#include <algorithm>

namespace quill {

std::unique_ptr<Item> Item::clone() const { return std::make_unique<Item>(*this); }

std::unique_ptr<Item> TextItem::clone() const { return std::make_unique<TextItem>(*this); }

std::string TextItem::text() const {
  std::string out;
  out.reserve(value_.size() + 2);
  out.append(value_).append("\r\n");
  return out;
}

std::unique_ptr<Item> Variable::clone() const { return std::make_unique<Variable>(*this); }

std::string Variable::text() const {
  const std::string& n = name_.text();
  std::string out;
  out.reserve(n.size() + value().size() + 7);
  out.append(n).append(" = ").append(value()).append("  \r\n");
  return out;
}

Item& ItemList::append(std::unique_ptr<Item> item) {
  Item& added = *item;
  items_.push_back(std::move(item));
  ++version_;
  return added;
}

Item& ItemList::append_clone(const Item& item) { return append(item.clone()); }

Variable& ItemList::add_variable(std::string_view name, std::string_view value) {
  return append(std::make_unique<Variable>(name, value));
}

Variable& ItemList::add_variable(InternedName name, std::string_view value) {
  return append(std::make_unique<Variable>(name, value));
}

TextItem& ItemList::add_text(std::string_view value) {
  return append(std::make_unique<TextItem>(value));
}

void ItemList::remove(const Item* item) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [item](const std::unique_ptr<Item>& p) { return p.get() == item; });
  if (it == items_.end()) return;
  items_.erase(it);
  ++version_;
}

void ItemList::copy_from(const ItemList& source) {
  if (&source == this) return;
  items_.clear();
  ++version_;
  items_.reserve(source.items_.size());
  for (const auto& item : source.items_) items_.push_back(item->clone());
}

Variable* ItemList::find(const InternedName& name) const {
  for (const auto& item : items_) {
    if (!item->is_kind(kVariableKind)) continue;
    auto* v = static_cast<Variable*>(item.get());
    if (v->name() == name) return v;
  }
  return nullptr;
}

Variable* ItemList::find(std::string_view name) const {
  for (const auto& item : items_) {
    if (!item->is_kind(kVariableKind)) continue;
    auto* v = static_cast<Variable*>(item.get());
    if (v->name().text() == name) return v;
  }
  return nullptr;
}

Variable& ItemList::set(std::string_view name, std::string_view value) {
  if (Variable* v = find(name)) {
    v->assign_value(value);
    ++version_;
    return *v;
  }
  return add_variable(name, value);
}

std::string ItemList::text() const {
  std::string out;
  for (const auto& item : items_) out += item->text();
  return out;
}

}  // namespace quill
