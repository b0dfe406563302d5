#include "engine/variables.h"

#include "engine/sjis.h"

namespace tam {

bool TVariableSet::IndexOf(const std::string& name, int& index) const {
  auto it = index_.find(UpperCase(name));
  index = it == index_.end() ? 0 : it->second;
  return it != index_.end();
}

bool TVariableSet::Exists(const std::string& name) const { return index_.count(UpperCase(name)) != 0; }

const Value* TVariableSet::Find(const std::string& name) const {
  auto it = index_.find(UpperCase(name));
  return it == index_.end() ? nullptr : &entries_[it->second]->Value_;
}

bool TVariableSet::IsReadOnly(const std::string& name) const {
  auto it = index_.find(UpperCase(name));
  return it != index_.end() && entries_[it->second]->ReadOnly;
}

Value TVariableSet::GetValue(const std::string& name) const {
  const Value* v = Find(name);
  return v ? *v : Value::Int(0);
}

Value TVariableSet::GetValueAt(int index) const {
  if (index < 0 || index >= Count()) return Value::Int(0);
  return entries_[index]->Value_;
}

std::string TVariableSet::GetName(int index) const {
  if (index < 0 || index >= Count()) return std::string();
  return entries_[index]->Name;
}

int TVariableSet::GetVarType(int index) const {
  if (index < 0 || index >= Count()) return vtUnknown;
  return entries_[index]->Value_.type();
}

std::string TVariableSet::GetTypeName(int index) const {
  if (index < 0 || index >= Count()) return "Unknown";
  return TypeName(entries_[index]->Value_.type());
}

void TVariableSet::SetValue(const std::string& name, const Value& value) {
  Value copy = value;
  if (OnBeforeSet) {
    bool handled = false;
    OnBeforeSet(*this, name, handled, copy);
    if (handled) return;
  }
  std::string key = UpperCase(name);
  auto it = index_.find(key);
  if (it != index_.end()) {
    TVariantObject& e = *entries_[it->second];
    if (e.ReadOnly) {
      if (OnError) OnError(*this, e.Name + " is read-only.");
      return;
    }
    e.Value_ = std::move(copy);
    if (OnChange) OnChange(*this, name, e.Value_);
    return;
  }
  auto e = std::make_unique<TVariantObject>();
  e->Name = name;
  e->Value_ = std::move(copy);
  index_.emplace(std::move(key), Count());
  entries_.push_back(std::move(e));
  if (OnChange) OnChange(*this, name, entries_.back()->Value_);
}

void TVariableSet::SetReadOnly(const std::string& name, bool flag) {
  auto it = index_.find(UpperCase(name));
  if (it == index_.end()) {
    if (OnError) OnError(*this, name + " is not exist.");
    return;
  }
  entries_[it->second]->ReadOnly = flag;
}

void TVariableSet::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  index_.erase(UpperCase(entries_[index]->Name));
  entries_.erase(entries_.begin() + index);
  for (auto& kv : index_)
    if (kv.second > index) --kv.second;
}

void TVariableSet::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

}  // namespace tam
