#include "settings/uParamlist.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "platform/case_fold.h"

#include "support/text.h"

namespace tessel {

namespace {

bool HasName(const std::string& line) { return line.find('=') != std::string::npos; }

std::string FoldedName(const std::string& line) {
  return AnsiUpperCase(line.substr(0, line.find('=')));
}

constexpr size_t kExpandRoom = 128;

// The text without its double quotes, copied a run at a time. Texts here
// are short: a plain scan beats a library search's set-up.
void AppendUnquoted(std::string_view text, std::string& out) {
  size_t from = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '"') continue;
    out.append(text.data() + from, at - from);
    from = at + 1;
  }
  out.append(text.data() + from, text.size() - from);
}

// The first "$(" at or after `from`; npos when there is none.
size_t FindReference(std::string_view text, size_t from) {
  for (size_t at = from; at + 1 < text.size(); ++at) {
    if (text[at] == '$' && text[at + 1] == '(') return at;
  }
  return std::string_view::npos;
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
// Nothing before the last reference resolved can start one, except a "$"
// just before it that now meets a "(" of the value put in its place.
bool NextReference(const Frame& frame, size_t& at, size_t& close) {
  at = frame.result.find("$(", frame.at > 0 ? frame.at - 1 : 0);
  if (at == std::string::npos) return false;
  close = frame.result.find(')', at + 2);
  return close != std::string::npos;
}

[[noreturn]] void TooLarge(const std::string& token) {
  throw EExpansionTooLarge("Expansion of " + token + " exceeds " +
                           std::to_string(TParamlist::kMaxExpandedSize) + " bytes!");
}

// Frames above this depth also keep their names in a set: a scan of a
// shallow stack costs less than a set, but long chains must stay linear.
constexpr size_t kScannedFrames = 16;

// Whether the value of this name is being expanded further down the stack.
bool IsActive(const std::vector<Frame>& stack, const std::unordered_set<std::string>& deep,
              const std::string& folded) {
  const size_t scanned = std::min(stack.size(), kScannedFrames);
  for (size_t i = 1; i < scanned; ++i) {
    if (stack[i].folded == folded) return true;
  }
  return !deep.empty() && deep.count(folded) != 0;
}

void Substitute(Frame& frame, const std::string& token, std::string_view value) {
  // A value equal to its own token would be found again on every pass.
  if (value == token) {
    frame.passes = TParamlist::kMaxExpandPasses;
    return;
  }
  // As ReplaceAll, from the reference on: the text before the first "$("
  // cannot hold the token.
  std::string& text = frame.result;
  const size_t first = text.find(token, frame.at);
  if (first == std::string::npos) return;
  const size_t second = text.find(token, first + token.size());
  if (second == std::string::npos) {
    // The usual single reference: in place, without a new text.
    if (text.size() - token.size() + value.size() > TParamlist::kMaxExpandedSize) TooLarge(token);
    text.replace(first, token.size(), value);
    return;
  }
  std::string replaced;
  replaced.reserve(text.size() + value.size());
  replaced.append(text, 0, first);
  size_t from = first;
  for (size_t pos = first; pos != std::string::npos; pos = text.find(token, from)) {
    replaced.append(text, from, pos - from);
    replaced += value;
    from = pos + token.size();
    if (replaced.size() > TParamlist::kMaxExpandedSize) TooLarge(token);
  }
  replaced.append(text, from, std::string::npos);
  if (replaced.size() > TParamlist::kMaxExpandedSize) TooLarge(token);
  text = std::move(replaced);
}

}  // namespace

std::string TParamlist::CycleMark(const std::string& name) { return "<CYCLE:" + name + ">"; }

uint64_t TParamlist::ChangeStamp(const std::string& foldedName) const {
  const TName* name = names_.Find(foldedName);
  return name == nullptr ? all_.value : std::max(all_.value, name->stamp);
}

void TParamlist::Touch(const std::string& line) {
  if (HasName(line)) Stamp(NameEntry(FoldedName(line)));
}

void TParamlist::ShiftIndex(size_t index, long by) {
  names_.ForEachValue([&](TName& name) {
    if (name.index > static_cast<long>(index)) name.index += by;
  });
}

void TParamlist::SetLine(size_t index, const std::string& line) {
  std::string old = std::move(lines_[index]);
  lines_[index] = line;
  const bool hadName = HasName(old), hasName = HasName(line);
  // Each name folded once: a value set again under its name is the usual case.
  const std::string oldName = hadName ? FoldedName(old) : std::string();
  const std::string newName = hasName ? FoldedName(line) : std::string();
  if (hadName) Stamp(NameEntry(oldName));
  if (hasName && (!hadName || newName != oldName)) Stamp(NameEntry(newName));
  if (!indexValid_) return;
  if (hadName == hasName && (!hasName || oldName == newName)) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  if (hadName) NameEntry(oldName).index = -1;
  if (hasName) {
    TName& name = NameEntry(newName);
    if (name.index < 0) {
      name.index = static_cast<long>(index);
    } else {
      duplicates_ = true;
      if (name.index > static_cast<long>(index)) name.index = static_cast<long>(index);
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
  names_.Clear();
  values_.byNumber.clear();
  indexValid_ = true;
  duplicates_ = false;
}

void TParamlist::DeleteNamed(size_t index, const std::string& folded) {
  DeleteNamed(index, NameEntry(folded));
}

void TParamlist::DeleteNamed(size_t index, TName& name) {
  Stamp(name);
  // Its storage serves the next line added: scripts empty a variable and
  // set it again step after step.
  spareLine_.swap(lines_[index]);
  lines_.erase(lines_.begin() + static_cast<long>(index));
  if (!indexValid_) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  name.index = -1;
  if (index == lines_.size()) return;
  ShiftIndex(index, -1);
}

void TParamlist::AddNamed(std::string line, const std::string& folded) {
  TName& name = NameEntry(folded);
  Stamp(name);
  lines_.push_back(std::move(line));
  if (!indexValid_) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  if (name.index < 0) {
    name.index = static_cast<long>(lines_.size() - 1);
  } else {
    duplicates_ = true;  // the earlier line stays first
  }
}

void TParamlist::IndexAdded(size_t index) {
  if (!indexValid_) return;
  if (duplicates_) {
    indexValid_ = false;
    return;
  }
  if (index + 1 != lines_.size()) {
    names_.ForEachValue([&](TName& name) {
      if (name.index >= static_cast<long>(index)) ++name.index;
    });
  }
  const std::string& line = lines_[index];
  if (!HasName(line)) return;
  TName& name = NameEntry(FoldedName(line));
  if (name.index < 0) {
    name.index = static_cast<long>(index);
  } else {
    duplicates_ = true;
    if (name.index > static_cast<long>(index)) name.index = static_cast<long>(index);
  }
}

void TParamlist::IndexRemoved(size_t index, const std::string& line) {
  if (!indexValid_) return;
  if (duplicates_) {
    // Another line may carry the same name; find it on the next lookup.
    indexValid_ = false;
    return;
  }
  if (HasName(line)) NameEntry(FoldedName(line)).index = -1;
  if (index == lines_.size()) return;
  ShiftIndex(index, -1);
}

void TParamlist::Reindex() const {
  names_.ForEachValue([](TName& name) { name.index = -1; });
  duplicates_ = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!HasName(lines_[i])) continue;
    TName& name = NameEntry(FoldedName(lines_[i]));
    if (name.index < 0) {
      name.index = static_cast<long>(i);
    } else {
      duplicates_ = true;
    }
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
  names_.Clear();
  values_.byNumber.clear();
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

long TParamlist::IndexOfFolded(std::string_view name, const std::string& folded) const {
  if (name.find('=') != std::string::npos) return -1;
  if (!indexValid_) Reindex();
  const TName* entry = names_.Find(folded);
  return entry == nullptr ? -1 : entry->index;
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
  if (name.find('=') == std::string::npos) {
    TNameKey key = KeyOf(name);
    SetValue(key, value);
    return;
  }
  // A name holding "=" finds no line; a value is added under the text before
  // the "=", as every line is named.
  if (!value.empty()) Add(name + "=" + value);
}

TParamlist::TNameKey TParamlist::KeyOf(const std::string& name) {
  return TNameKey{name, AnsiUpperCase(name), name.find('=') == std::string::npos, TNameRef{0, 0}};
}

void TParamlist::SetValue(TNameKey& key, const std::string& value) {
  if (!key.plain) {
    SetValue(key.name, value);
    return;
  }
  if (!indexValid_) Reindex();
  if (key.ref.generation != all_.value) key.ref = RefOf(key.folded);
  TName& entry = names_.ValueAt(key.ref.number);
  if (value.empty()) {
    if (entry.index >= 0) DeleteNamed(static_cast<size_t>(entry.index), entry);
    return;
  }
  std::string& line =
      entry.index >= 0 ? lines_[static_cast<size_t>(entry.index)] : spareLine_;
  // Emptied first, so that growing it copies nothing.
  line.clear();
  line.reserve(key.name.size() + 1 + value.size());
  line += key.name;
  line += '=';
  line += value;
  if (entry.index >= 0) {
    Stamp(entry);
    return;
  }
  AddNamed(std::move(line), key.folded);
}

std::string TParamlist::ExpandedValue(TNameKey& key, bool unquote) const {
  if (!key.plain) return ExpandedValue(key.name, unquote);
  if (!indexValid_) Reindex();
  if (key.ref.generation != all_.value) key.ref = RefOf(key.folded);
  const long index = names_.ValueAt(key.ref.number).index;
  if (index < 0) return std::string();
  const std::string& line = lines_[static_cast<size_t>(index)];
  return ExpandView(std::string_view(line).substr(key.name.size() + 1), unquote, nullptr);
}

std::string TParamlist::Expand(const std::string& text, bool unquote,
                               std::vector<TNameRef>* usedNames) const {
  return ExpandView(text, unquote, usedNames);
}

std::string TParamlist::ExpandView(std::string_view text, bool unquote,
                                   std::vector<TNameRef>* usedNames) const {
  std::string start;
  if (unquote && text.find('"') != std::string_view::npos) {
    start.reserve(text.size());
    AppendUnquoted(text, start);
    text = start;
  }
  // Most texts hold no reference at all.
  if (FindReference(text, 0) == std::string_view::npos) {
    return start.empty() ? std::string(text) : std::move(start);
  }
  const size_t usedBefore = usedNames != nullptr ? usedNames->size() : 0;
  if (!indexValid_) Reindex();
  std::string out;
  out.reserve(text.size() + kExpandRoom);
  TDirectExpansion run{usedNames, {}, 0, 0};
  if (ExpandDirectly(text, out, run)) return out;
  // Something the direct pass cannot vouch for: the general algorithm
  // decides, from the start.
  if (usedNames != nullptr) usedNames->resize(usedBefore);
  if (start.empty()) start.assign(text);
  return ExpandInFrames(std::move(start), usedNames);
}

bool TParamlist::ExpandDirectly(std::string_view text, std::string& out,
                                TDirectExpansion& run) const {
  size_t pos = 0;
  std::string folded;
  for (;;) {
    const size_t at = FindReference(text, pos);
    if (at == std::string_view::npos) break;
    const size_t close = text.find(')', at + 2);
    if (close == std::string_view::npos) break;
    out.append(text.substr(pos, at - pos));
    const std::string_view name = text.substr(at + 2, close - at - 2);
    // A "$" before the reference could meet a "(" after it once it is
    // replaced, and a "$" in the name may hide a later reference that the
    // general algorithm replaces before it reads this one.
    if (!out.empty() && out.back() == '$') return false;
    // Repeated references to nested values are expanded each time here,
    // so the whole pass is bounded.
    if (++run.references > kDirectReferences) return false;
    // Folded in one pass that also finds the characters that matter: a
    // name holding "=" names no line.
    folded.resize(name.size());
    bool holdsEquals = false;
    for (size_t i = 0; i < name.size(); ++i) {
      const char c = name[i];
      if (c == '$') return false;
      holdsEquals |= c == '=';
      folded[i] = FoldCodePage(c);
    }
    // The caller's text is expanded by no name, so no cycle can start here.
    size_t number = TStringHashMap<TName>::kNoNumber;
    if (run.usedNames != nullptr) {
      // Known from now on, so that the reference can name it.
      const TNameRef ref = RefOf(folded);
      run.usedNames->push_back(ref);
      number = ref.number;
    } else if (!holdsEquals) {
      number = names_.FindNumber(folded);
    }
    if (!holdsEquals && number != TStringHashMap<TName>::kNoNumber &&
        !PutValue(static_cast<uint32_t>(number), out, run)) {
      return false;
    }
    pos = close + 1;
  }
  out.append(text.substr(pos));
  return out.size() <= kMaxExpandedSize;
}

bool TParamlist::ExpandDirectly(TCompiledText& compiled, bool emplace, std::string& out,
                                TDirectExpansion& run) const {
  const std::string& text = compiled.text;
  size_t pos = 0;
  for (TCompiledText::TReference& reference : compiled.references) {
    out.append(text, pos, reference.at - pos);
    // The checks of the direct pass over the text itself, in its order.
    if (!out.empty() && out.back() == '$') return false;
    if (++run.references > kDirectReferences) return false;
    if (reference.holdsDollar) return false;
    // The name's place in the table, kept beside the text while the
    // table's generation stands; a name still unknown is looked up again.
    if (reference.ref.generation != all_.value) {
      if (emplace) {
        reference.ref = RefOf(reference.folded);
      } else if (!reference.holdsEquals) {
        const size_t number = names_.FindNumber(reference.folded);
        if (number != TStringHashMap<TName>::kNoNumber) {
          reference.ref = TNameRef{static_cast<uint32_t>(number), all_.value};
        }
      }
    }
    const bool known = reference.ref.generation == all_.value;
    if (known) {
      // Names being expanded are all known.
      for (int i = 0; i < run.depth; ++i) {
        if (run.active[static_cast<size_t>(i)] == reference.ref.number) return false;  // a cycle
      }
    }
    if (run.usedNames != nullptr) run.usedNames->push_back(reference.ref);
    if (known && !reference.holdsEquals && !PutValue(reference.ref.number, out, run)) return false;
    pos = reference.close + 1;
  }
  out.append(text, pos, std::string::npos);
  return out.size() <= kMaxExpandedSize;
}

TParamlist::TCompiledValue& TParamlist::CompileValue(uint32_t number, const TName& entry) const {
  std::vector<std::unique_ptr<TCompiledValue>>& values = values_.byNumber;
  if (number >= values.size()) values.resize(names_.Size());
  std::unique_ptr<TCompiledValue>& value = values[number];
  if (value == nullptr) value = std::make_unique<TCompiledValue>();
  const std::string& line = lines_[static_cast<size_t>(entry.index)];
  // Values are always expanded unquoted.
  CompileInto(std::string_view(line).substr(line.find('=') + 1), true, value->form);
  const std::string& text = value->form.text;
  value->holdsDollar = text.find('$') != std::string::npos;
  value->literalDollar = false;
  if (value->holdsDollar) {
    size_t pos = 0;
    for (const TCompiledText::TReference& reference : value->form.references) {
      value->literalDollar |= std::string_view(text).substr(pos, reference.at - pos).find('$') !=
                              std::string_view::npos;
      pos = reference.close + 1;
    }
    value->literalDollar |= text.find('$', pos) != std::string::npos;
  }
  value->generation = all_.value;
  value->stamp = entry.stamp;
  return *value;
}

bool TParamlist::PutValue(uint32_t number, std::string& out, TDirectExpansion& run) const {
  const TName& entry = names_.ValueAt(number);
  if (entry.index < 0) return true;  // unknown: nothing
  const std::vector<std::unique_ptr<TCompiledValue>>& values = values_.byNumber;
  TCompiledValue* kept = number < values.size() ? values[number].get() : nullptr;
  TCompiledValue& value =
      kept != nullptr && kept->generation == all_.value && kept->stamp == entry.stamp
          ? *kept
          : CompileValue(number, entry);
  if (!value.holdsDollar) {
    // Nothing in it can start a reference, alone or with what follows.
    out.append(value.form.text);
    return out.size() <= kMaxExpandedSize;
  }
  // A "$" put in place could start a reference with what follows.
  if (value.form.references.empty()) return false;
  if (run.depth + 1 >= kDirectDepth) return false;
  run.active[static_cast<size_t>(run.depth++)] = number;
  // `value` stays in place while the values it refers to are compiled, and
  // the table does not change during an expansion.
  const bool done = ExpandDirectly(value.form, run.usedNames != nullptr, out, run);
  --run.depth;
  // What was put in place must not start a reference with what follows:
  // the values within it were checked in their turn, its own text is left.
  if (!done || value.literalDollar) return false;
  return out.size() <= kMaxExpandedSize;
}

TParamlist::TCompiledText TParamlist::Compile(std::string_view text, bool unquote) {
  TCompiledText compiled;
  CompileInto(text, unquote, compiled);
  return compiled;
}

void TParamlist::CompileInto(std::string_view text, bool unquote, TCompiledText& compiled) {
  compiled.text.clear();
  compiled.references.clear();
  compiled.direct = true;
  if (unquote) {
    compiled.text.reserve(text.size());
    AppendUnquoted(text, compiled.text);
  } else {
    compiled.text.assign(text);
  }
  // The references the direct pass meets, in its order: where each one
  // is depends on the text alone, not on the values put in place.
  const std::string_view source = compiled.text;
  for (size_t pos = 0;;) {
    const size_t at = FindReference(source, pos);
    if (at == std::string_view::npos) break;
    const size_t close = source.find(')', at + 2);
    if (close == std::string_view::npos) break;
    TCompiledText::TReference reference{at, close, {}, false, false, TNameRef{0, 0}};
    reference.folded.reserve(close - at - 2);
    for (size_t i = at + 2; i < close; ++i) {
      const char c = source[i];
      reference.holdsDollar |= c == '$';
      reference.holdsEquals |= c == '=';
      reference.folded += FoldCodePage(c);
    }
    // Only the general algorithm can tell what such a name stands for.
    if (reference.holdsDollar) compiled.direct = false;
    compiled.references.push_back(std::move(reference));
    pos = close + 1;
  }
}

std::string TParamlist::Expand(TCompiledText& compiled, std::vector<TNameRef>* usedNames) const {
  std::string out;
  ExpandInto(compiled, usedNames, out);
  return out;
}

void TParamlist::ExpandInto(TCompiledText& compiled, std::vector<TNameRef>* usedNames,
                            std::string& out) const {
  const std::string& text = compiled.text;
  if (compiled.references.empty()) {
    out = text;
    return;
  }
  const size_t usedBefore = usedNames != nullptr ? usedNames->size() : 0;
  if (compiled.direct) {
    if (!indexValid_) Reindex();
    out.clear();
    out.reserve(text.size() + kExpandRoom);
    TDirectExpansion run{usedNames, {}, 0, 0};
    if (ExpandDirectly(compiled, true, out, run)) return;
    if (usedNames != nullptr) usedNames->resize(usedBefore);
  }
  out = ExpandInFrames(text, usedNames);
}

std::string TParamlist::ExpandInFrames(std::string start, std::vector<TNameRef>* usedNames) const {
  // Room for the values first: each reference is then replaced in place.
  start.reserve(start.size() + kExpandRoom);
  std::vector<Frame> stack;
  stack.reserve(4);
  stack.push_back(Frame{std::move(start), {}, {}, 0, 0});
  std::unordered_set<std::string> deep;
  std::string token;
  std::string folded;
  for (;;) {
    Frame& frame = stack.back();
    size_t at = 0;
    size_t close = 0;
    if (frame.passes >= kMaxExpandPasses || !NextReference(frame, at, close)) {
      if (stack.size() == 1) return std::move(frame.result);
      // This value is complete: put it in place of its token one level down.
      std::string value = std::move(frame.result);
      std::string below = std::move(frame.token);
      if (stack.size() > kScannedFrames) deep.erase(frame.folded);
      stack.pop_back();
      Substitute(stack.back(), below, value);
      continue;
    }
    ++frame.passes;
    frame.at = at;
    token.assign(frame.result, at, close - at + 1);
    const std::string_view name(token.data() + 2, token.size() - 3);
    folded.assign(name);
    for (char& c : folded) c = FoldCodePage(c);
    if (usedNames != nullptr) usedNames->push_back(RefOf(folded));
    if (IsActive(stack, deep, folded)) {
      Substitute(frame, token, CycleMark(std::string(name)));
      continue;
    }
    const long index = IndexOfFolded(name, folded);
    if (index < 0) {
      Substitute(frame, token, std::string_view());
      continue;
    }
    // Values are always expanded unquoted, whatever the caller asked for.
    const std::string& line = lines_[static_cast<size_t>(index)];
    const std::string_view raw = std::string_view(line).substr(line.find('=') + 1);
    const bool quoted = raw.find('"') != std::string_view::npos;
    if (raw.find("$(") == std::string_view::npos && !quoted) {
      // Nothing to resolve in it: in place at once, as its own level would.
      Substitute(frame, token, raw);
      continue;
    }
    std::string value;
    value.reserve(raw.size() + kExpandRoom);
    for (char c : raw) {
      if (c != '"') value += c;
    }
    if (value.find("$(") == std::string::npos) {
      Substitute(frame, token, value);
      continue;
    }
    if (stack.size() >= kScannedFrames) deep.insert(folded);
    stack.push_back(Frame{std::move(value), folded, token, 0, 0});
  }
}

std::string TParamlist::ExpandedValue(const std::string& name, bool unquote) const {
  const long index = IndexOfName(name);
  if (index < 0) return std::string();
  const std::string& line = lines_[static_cast<size_t>(index)];
  return ExpandView(std::string_view(line).substr(line.find('=') + 1), unquote, nullptr);
}

}  // namespace tessel
