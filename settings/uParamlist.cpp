#include "settings/uParamlist.h"

#include <algorithm>
#include <unordered_set>

#include "support/text.h"

namespace tessel {

namespace {

bool HasName(const std::string& line) { return line.find('=') != std::string::npos; }

std::string FoldedName(const std::string& line) {
  return AnsiUpperCase(line.substr(0, line.find('=')));
}

std::string WithoutQuotes(std::string text) {
  std::erase(text, '"');
  return text;
}

// One text being expanded: the caller's text at the bottom, above it the
// value of each name whose expansion is in progress.
struct Frame {
  std::string result;
  std::string folded;  // the name whose value this is (empty for the caller's text)
  std::string token;   // the token of the frame below that this value replaces
  size_t at = 0;       // position of the reference being resolved
  int passes = 0;
};

// Finds the first "$(" that has a ")" after it; false when there is none.
bool NextReference(const Frame& frame, size_t& at, std::string& name) {
  at = frame.result.find("$(");
  if (at == std::string::npos) return false;
  const size_t close = frame.result.find(')', at + 2);
  if (close == std::string::npos) return false;
  name = frame.result.substr(at + 2, close - at - 2);
  return true;
}

void Substitute(Frame& frame, const std::string& token, const std::string& value) {
  // A value equal to its own token would be found again on every pass.
  if (value == token) {
    frame.passes = TParamlist::kMaxExpandPasses;
    return;
  }
  // As ReplaceAll, from the reference on: the text before the first "$("
  // cannot hold the token.
  const std::string& text = frame.result;
  std::string replaced;
  replaced.reserve(text.size() + value.size());
  replaced.append(text, 0, frame.at);
  size_t from = frame.at;
  for (size_t pos = text.find(token, from); pos != std::string::npos;
       pos = text.find(token, from)) {
    replaced.append(text, from, pos - from);
    replaced += value;
    from = pos + token.size();
  }
  replaced.append(text, from, std::string::npos);
  frame.result = std::move(replaced);
}

}  // namespace

std::string TParamlist::CycleMark(const std::string& name) { return "<CYCLE:" + name + ">"; }

uint64_t TParamlist::ChangeStamp(const std::string& foldedName) const {
  auto it = stamps_.byName.find(foldedName);
  return it == stamps_.byName.end() ? stamps_.all : std::max(stamps_.all, it->second);
}

void TParamlist::Touch(const std::string& line) {
  if (HasName(line)) stamps_.byName[FoldedName(line)] = ++TChangeStamps::clock;
}

void TParamlist::TouchAll() {
  stamps_.byName.clear();
  stamps_.all = ++TChangeStamps::clock;
}

void TParamlist::SetLine(size_t index, const std::string& line) {
  std::string old = std::move(lines_[index]);
  lines_[index] = line;
  Touch(old);
  Touch(line);
  const bool hadName = HasName(old), hasName = HasName(line);
  if (!indexValid_) return;
  if (hadName == hasName && (!hasName || FoldedName(old) == FoldedName(line))) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  if (hadName) index_.erase(FoldedName(old));
  if (hasName) {
    auto [it, inserted] = index_.try_emplace(FoldedName(line), index);
    if (!inserted) {
      duplicates_ = true;
      if (it->second > index) it->second = index;
    }
  }
}

void TParamlist::Add(const std::string& line) {
  Touch(line);
  lines_.push_back(line);
  IndexAdded(lines_.size() - 1);
}

void TParamlist::Insert(size_t index, const std::string& line) {
  if (index > lines_.size()) index = lines_.size();
  Touch(line);
  lines_.insert(lines_.begin() + static_cast<long>(index), line);
  IndexAdded(index);
}

void TParamlist::Delete(size_t index) {
  if (index >= lines_.size()) return;
  std::string old = std::move(lines_[index]);
  Touch(old);
  lines_.erase(lines_.begin() + static_cast<long>(index));
  IndexRemoved(index, old);
}

void TParamlist::Clear() {
  TouchAll();
  lines_.clear();
  index_.clear();
  indexValid_ = true;
  duplicates_ = false;
}

void TParamlist::IndexAdded(size_t index) {
  if (!indexValid_) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  if (index + 1 != lines_.size()) {
    for (auto& entry : index_) {
      if (entry.second >= index) ++entry.second;
    }
  }
  const std::string& line = lines_[index];
  if (!HasName(line)) return;
  auto [it, inserted] = index_.try_emplace(FoldedName(line), index);
  if (!inserted) {
    duplicates_ = true;
    if (it->second > index) it->second = index;
  }
}

void TParamlist::IndexRemoved(size_t index, const std::string& line) {
  if (!indexValid_) return;
  if (duplicates_) {
    // Another line may carry the same name; find it on the next lookup.
    indexValid_ = false;
    return;
  }
  if (HasName(line)) index_.erase(FoldedName(line));
  if (index == lines_.size()) return;
  for (auto& entry : index_) {
    if (entry.second > index) --entry.second;
  }
}

void TParamlist::Reindex() const {
  index_.clear();
  duplicates_ = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!HasName(lines_[i])) continue;
    if (!index_.try_emplace(FoldedName(lines_[i]), i).second) duplicates_ = true;
  }
  indexValid_ = true;
}

std::string TParamlist::Text() const {
  std::string text;
  size_t size = 0;
  for (const std::string& line : lines_) size += line.size() + 2;
  text.reserve(size);
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void TParamlist::SetText(const std::string& text) {
  TouchAll();
  lines_.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t lf = text.find('\n', pos);
    size_t end = lf == std::string::npos ? text.size() : lf;
    size_t stop = end;
    if (lf != std::string::npos && stop > pos && text[stop - 1] == '\r') --stop;
    lines_.push_back(text.substr(pos, stop - pos));
    pos = lf == std::string::npos ? text.size() : lf + 1;
  }
  Reindex();
}

long TParamlist::IndexOf(const std::string& line) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (SameTextAnsi(lines_[i], line)) return static_cast<long>(i);
  }
  return -1;
}

long TParamlist::IndexOfName(const std::string& name) const {
  return IndexOfFolded(name, AnsiUpperCase(name));
}

long TParamlist::IndexOfFolded(const std::string& name, const std::string& folded) const {
  if (name.find('=') != std::string::npos) return -1;
  if (!indexValid_) Reindex();
  auto it = index_.find(folded);
  return it == index_.end() ? -1 : static_cast<long>(it->second);
}

std::string TParamlist::NameAt(size_t index) const {
  const std::string& line = lines_[index];
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TParamlist::ValueAt(size_t index) const {
  const std::string& line = lines_[index];
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string TParamlist::ValueOf(const std::string& name) const {
  long index = IndexOfName(name);
  return index < 0 ? std::string() : ValueAt(static_cast<size_t>(index));
}

void TParamlist::SetValue(const std::string& name, const std::string& value) {
  long index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(static_cast<size_t>(index));
    return;
  }
  std::string line = name + "=" + value;
  if (index >= 0) {
    SetLine(static_cast<size_t>(index), line);
  } else {
    Add(line);
  }
}

std::string TParamlist::Expand(const std::string& text, bool unquote,
                               std::vector<std::string>* usedNames) const {
  std::string start = unquote ? WithoutQuotes(text) : text;
  // Most texts hold no reference at all.
  if (start.find("$(") == std::string::npos) return start;
  std::vector<Frame> stack;
  stack.reserve(4);
  std::unordered_set<std::string> active;
  stack.push_back(Frame{std::move(start), {}, {}, 0, 0});
  std::string name;
  for (;;) {
    Frame& frame = stack.back();
    size_t at = 0;
    if (frame.passes >= kMaxExpandPasses || !NextReference(frame, at, name)) {
      if (stack.size() == 1) return std::move(frame.result);
      // This value is complete: put it in place of its token one level down.
      std::string value = std::move(frame.result);
      std::string token = std::move(frame.token);
      active.erase(frame.folded);
      stack.pop_back();
      Substitute(stack.back(), token, value);
      continue;
    }
    ++frame.passes;
    frame.at = at;
    std::string token = "$(" + name + ")";
    std::string folded = AnsiUpperCase(name);
    if (usedNames != nullptr) usedNames->push_back(folded);
    if (active.count(folded) != 0) {
      Substitute(frame, token, CycleMark(name));
      continue;
    }
    long index = IndexOfFolded(name, folded);
    if (index < 0) {
      Substitute(frame, token, std::string());
      continue;
    }
    // Values are always expanded unquoted, whatever the caller asked for.
    std::string value = WithoutQuotes(ValueAt(static_cast<size_t>(index)));
    if (value.find("$(") == std::string::npos) {
      // Nothing to resolve in it: in place at once, as its own level would.
      Substitute(frame, token, value);
      continue;
    }
    active.insert(folded);
    stack.push_back(Frame{std::move(value), std::move(folded), std::move(token), 0, 0});
  }
}

std::string TParamlist::ExpandedValue(const std::string& name, bool unquote) const {
  return Expand(ValueOf(name), unquote);
}

}  // namespace tessel
