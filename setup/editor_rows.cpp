#include "setup/editor_rows.h"

#include "support/text.h"

namespace tessel {

void TEditorRows::DeleteRow(size_t index) {
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
}

long TEditorRows::IndexOfKey(const std::string& key) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (SameTextAnsi(rows_[i].key, key)) return static_cast<long>(i);
  }
  return -1;
}

std::string TEditorRows::ValueOf(const std::string& key) const {
  long index = IndexOfKey(key);
  return index < 0 ? std::string() : rows_[index].value;
}

void TEditorRows::SetValue(const std::string& key, const std::string& value) {
  long index = IndexOfKey(key);
  if (index < 0) {
    Add(key, value);
  } else {
    rows_[index].value = value;
  }
}

std::string TEditorRows::Text() const {
  std::string text;
  for (const TRow& row : rows_) {
    text += row.key;
    text += '=';
    text += row.value;
    text += "\r\n";
  }
  return text;
}

TParamlist TEditorRows::ToParamlist() const {
  TParamlist list;
  for (const TRow& row : rows_) list.Add(row.key + "=" + row.value);
  return list;
}

}  // namespace tessel
