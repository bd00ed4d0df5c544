// Keyword lists and the PUSH / POP stack of saved states.

#include "engine/dependency_memo.h"
#include "engine/uProject.h"
#include "support/Base_00.h"

namespace tessel {

void TProject::AddToList(int index, const std::string& value) {
  std::string expanded;
  if (index == klSetEnv) expanded = Expand(value, true);
  const std::string& entry = index == klSetEnv ? expanded : value;
  auto& list = Lists.at(static_cast<size_t>(index));
  // Scripts empty and refill the same lists step after step: an emptied
  // list's storage, and its entries', wait for the next one.
  TStringList& spare = SpareLists[static_cast<size_t>(index)];
  if (IsBlank(entry)) {
    if (list) {
      for (std::string& old : *list) SpareEntries.push_back(std::move(old));
      spare = std::move(*list);
      spare.clear();
    }
    list.reset();  // a later line starts a new list
    return;
  }
  if (!list) list.emplace(std::move(spare));
  if (index == klSetEnv || SpareEntries.empty()) {
    list->push_back(index == klSetEnv ? std::move(expanded) : value);
  } else {
    list->push_back(std::move(SpareEntries.back()));
    SpareEntries.pop_back();
    list->back().assign(value);
  }
  // The entry as the echo of its line expanded it, if it did.
  const TEchoedValue& echoed = Echoed[esDependency];
  if (index == klDependency && echoed.valid) {
    Dependencies->Offer(list->size() - 1, value, echoed.text, echoed.used, echoed.stamp);
  }
}

TProject::TLineResult TProject::PushLine(const std::string&) {
  Push();
  return TLineResult::Next;
}

TProject::TLineResult TProject::PopLine(const std::string&) {
  Pop();
  return TLineResult::Next;
}

void TProject::Push() {
  SavedStates.emplace_back(Vars);
  for (const auto& list : Lists) {
    if (list) {
      SavedStates.emplace_back(*list);
    } else {
      SavedStates.emplace_back(std::monostate{});
    }
  }
}

TProject::TSavedState TProject::PopSaved() {
  if (SavedStates.empty()) return std::monostate{};
  TSavedState entry = std::move(SavedStates.back());
  SavedStates.pop_back();
  return entry;
}

void TProject::Pop() {
  for (int index = kKeywordListCount - 1; index >= 0; --index) {
    TSavedState entry = PopSaved();
    auto& list = Lists[static_cast<size_t>(index)];
    // A list absent now drops its copy; a marker keeps a list created
    // after the PUSH.
    if (auto* copy = std::get_if<TStringList>(&entry); copy != nullptr && list) {
      *list = std::move(*copy);
    }
  }
  TSavedState entry = PopSaved();
  if (auto* copy = std::get_if<TParamlist>(&entry)) Vars = std::move(*copy);
}

}  // namespace tessel
