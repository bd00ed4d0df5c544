#pragma once
// The rows of one value-list editor: an ordered list of (key, value) pairs.
// Keys are looked up without regard to case, first match in row order, as
// the editors of the setup window look them up.

#include <string>
#include <vector>

#include "settings/uParamlist.h"

namespace tessel {

struct TRow {
  std::string key;
  std::string value;
};

class TEditorRows {
 public:
  size_t Count() const { return rows_.size(); }
  const TRow& Row(size_t index) const { return rows_[index]; }
  const std::vector<TRow>& Rows() const { return rows_; }

  void Clear() { rows_.clear(); }
  void Add(const std::string& key, const std::string& value) { rows_.push_back({key, value}); }
  void SetRowValue(size_t index, const std::string& value) { rows_[index].value = value; }
  void DeleteRow(size_t index);

  // Index of the first row with that key, or -1.
  long IndexOfKey(const std::string& key) const;
  // Value of the first row with that key; empty when there is none.
  std::string ValueOf(const std::string& key) const;
  // Sets the value of the first row with that key, or adds a row. An empty
  // value empties the row (rows are removed only by saving).
  void SetValue(const std::string& key, const std::string& value);

  // The rows as lines key=value, each followed by CR LF.
  std::string Text() const;
  // The rows as a variable table, for expansion against them.
  TParamlist ToParamlist() const;

 private:
  std::vector<TRow> rows_;
};

}  // namespace tessel
