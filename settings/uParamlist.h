#pragma once
// TParamlist: an ordered table of NAME=VALUE lines with $(NAME) expansion.
// Names compare without regard to case (Windows-1252 folding); the first line
// in order whose name matches wins. An index keeps lookups constant-time
// however many names the table holds.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/string_hash_map.h"

namespace tessel {

// Raised by an expansion that would grow past TParamlist::kMaxExpandedSize.
class EExpansionTooLarge : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TParamlist {
 public:
  // Text that a reference to a variable whose expansion needs its own value
  // (directly or through others) expands to: "<CYCLE:" + name + ">", the name
  // as the reference writes it. With X=a$(Y) and Y=b$(X), expanding $(X)
  // gives ab<CYCLE:X>.
  static std::string CycleMark(const std::string& name);

  // One Expand (and each nested value expansion) makes at most this many
  // passes, each replacing every occurrence of one token; what is left then
  // stays as it is. Guards against substituted values that keep re-forming
  // references with the text around them.
  static constexpr int kMaxExpandPasses = 10000;

  // One expansion (and each value expanded inside it) yields at most this
  // many bytes; a few doubling variables would otherwise exhaust memory.
  // Past it Expand raises EExpansionTooLarge.
  static constexpr size_t kMaxExpandedSize = 1 << 20;

  // Ordered string list operations.
  size_t Count() const { return lines_.size(); }
  const std::string& Line(size_t index) const { return lines_[index]; }
  void SetLine(size_t index, const std::string& line);
  void Add(const std::string& line);
  void Insert(size_t index, const std::string& line);
  void Delete(size_t index);
  void Clear();
  // Lines joined with CR LF (each line followed by CR LF, as a string list's
  // text is); SetText accepts CR LF or LF.
  std::string Text() const;
  void SetText(const std::string& text);
  // Index of a line equal to `line` without regard to case; -1 when none.
  long IndexOf(const std::string& line) const;
  // Index of the first line whose name matches; -1 when none.
  long IndexOfName(const std::string& name) const;
  std::string NameAt(size_t index) const;
  std::string ValueAt(size_t index) const;

  // A name an expansion looked up, as this table knows it: its number in
  // the table's list of names and the table's generation, which changes
  // whenever the table is cleared, replaced or copied (and with it every
  // number).
  struct TNameRef {
    uint32_t number;
    uint64_t generation;
  };

  std::string ValueOf(const std::string& name) const;

  // A name set again and again (a script line's key): folded once, and its
  // place in the table kept while the table's generation stands.
  struct TNameKey {
    std::string name;
    std::string folded;
    bool plain = true;  // holds no "="
    TNameRef ref{0, 0};
  };
  static TNameKey KeyOf(const std::string& name);
  // SetValue(key.name, value), ExpandedValue(key.name, unquote) and
  // ChangeStamp(key.folded).
  void SetValue(TNameKey& key, const std::string& value);
  std::string ExpandedValue(TNameKey& key, bool unquote) const;
  uint64_t ChangeStamp(TNameKey& key) const {
    if (key.ref.generation != all_.value) key.ref = RefOf(key.folded);
    return ChangeStamp(key.ref);
  }
  // Non-empty: replace the first matching line in place (name as given now),
  // or append. Empty: delete the first matching line.
  void SetValue(const std::string& name, const std::string& value);

  // Resolves $(NAME) references: with `unquote` every double quote of the
  // text goes first; then, from the first "$(" with a ")" after it, the name
  // between them is looked up, its value expanded (always unquoted), and every
  // occurrence of that exact token replaced without rescanning the inserted
  // text; the search restarts at the beginning. Unknown names give nothing;
  // a "$(" without ")" after it ends the expansion. Nested values resolve to
  // any depth without recursion, so long chains cannot exhaust the stack.
  // With `usedNames`, every name looked up on the way (unknown ones
  // included) is added to it: the result stays the same as long as none of
  // them changes (see ChangeStamp).
  std::string Expand(const std::string& text, bool unquote,
                     std::vector<TNameRef>* usedNames = nullptr) const;
  std::string ExpandedValue(const std::string& name, bool unquote) const;

  // A text compiled once for expansions again and again (a script's line,
  // read step after step): its quotes removed when asked and its
  // references found, each name folded and its place in the table kept
  // while the table's generation stands. Expanding it gives exactly what
  // Expand gives for the text.
  struct TCompiledText {
    struct TReference {
      size_t at;     // of its "$("
      size_t close;  // of its ")"
      std::string folded;
      bool holdsEquals;  // names no line
      bool holdsDollar;  // only the general algorithm can tell what it names
      TNameRef ref;      // valid while ref.generation is the table's
    };
    std::string text;
    std::vector<TReference> references;
    bool direct = true;  // false: only the general algorithm reads it
  };
  static TCompiledText Compile(std::string_view text, bool unquote);
  // The same into `compiled`, whose storage is used again.
  static void CompileInto(std::string_view text, bool unquote, TCompiledText& compiled);
  std::string Expand(TCompiledText& compiled, std::vector<TNameRef>* usedNames = nullptr) const;
  // The same into `out`, whose storage is used again.
  void ExpandInto(TCompiledText& compiled, std::vector<TNameRef>* usedNames,
                  std::string& out) const;

  // Change stamps, from one counter shared by every table: the stamp of the
  // last change of the lines of a name (given folded, as AnsiUpperCase
  // folds). A copied or wholly replaced table counts as changed everywhere.
  // So a result computed at stamp S from some names still holds while
  // none of them has a stamp above S.
  uint64_t ChangeStamp(const std::string& foldedName) const;
  // The same for a name an expansion used: a reference from another
  // generation counts as changed now.
  uint64_t ChangeStamp(TNameRef name) const {
    if (name.generation != all_.value) return all_.value;
    return std::max(all_.value, names_.ValueAt(name.number).stamp);
  }
  static uint64_t StampNow() { return TAllStamp::clock; }

 private:
  // The expansion in one left-to-right pass, straight into `out`: the same
  // text the general algorithm gives as long as no value put in place can
  // form a reference with the text around it, which is all the usual scripts
  // ask for. False when that is not certain (the caller then starts over
  // with the general algorithm).
  static constexpr int kDirectDepth = 8;
  static constexpr int kDirectReferences = 1024;  // in all, nested values included
  struct TName;
  struct TDirectExpansion {
    std::vector<TNameRef>* usedNames;
    // The numbers of the names whose values are being expanded.
    std::array<uint32_t, kDirectDepth> active;
    int depth;
    int references;
  };
  std::string ExpandView(std::string_view text, bool unquote,
                         std::vector<TNameRef>* usedNames) const;
  // The caller's text, not compiled.
  bool ExpandDirectly(std::string_view text, std::string& out, TDirectExpansion& run) const;
  // A compiled text: the caller's or a name's value. With `emplace`, each
  // name is made known so that a reference can name it.
  bool ExpandDirectly(TCompiledText& compiled, bool emplace, std::string& out,
                      TDirectExpansion& run) const;
  // Puts the value of the name numbered `number` in place.
  bool PutValue(uint32_t number, std::string& out, TDirectExpansion& run) const;
  std::string ExpandInFrames(std::string start, std::vector<TNameRef>* usedNames) const;
  TNameRef RefOf(const std::string& folded) const {
    return TNameRef{static_cast<uint32_t>(names_.TryEmplaceNumber(folded).first), all_.value};
  }

  // The value of a name's first line compiled once: its quotes gone and its
  // references found. It stands while the table's generation and the name's
  // stamp are those it was built under, as every change of a name's lines
  // stamps the name.
  struct TCompiledValue {
    TCompiledText form;
    uint64_t generation = 0;
    uint64_t stamp = 0;
    bool holdsDollar = false;    // anywhere
    bool literalDollar = false;  // outside its references
  };
  // By name number. Numbers belong to one generation, so a copy starts
  // without any.
  struct TCompiledValues {
    std::vector<std::unique_ptr<TCompiledValue>> byNumber;
    TCompiledValues() = default;
    TCompiledValues(const TCompiledValues&) {}
    TCompiledValues& operator=(const TCompiledValues&) {
      byNumber.clear();
      return *this;
    }
  };
  // Compiles the value of the name numbered `number`, whose first line is
  // at entry.index, in place of what was kept for it. It stays in place
  // while other values are compiled.
  TCompiledValue& CompileValue(uint32_t number, const TName& entry) const;

  // Delete and Add for a line whose name is known, given folded.
  void DeleteNamed(size_t index, const std::string& folded);
  void DeleteNamed(size_t index, TName& name);
  void AddNamed(std::string line, const std::string& folded);

  void Reindex() const;
  long IndexOfFolded(std::string_view name, const std::string& folded) const;
  void IndexAdded(size_t index);
  void IndexRemoved(size_t index, const std::string& line);

  // What the table knows of one folded name: the index of its first line
  // (-1 when no line carries it) and the stamp of its last change. Names
  // stay known once seen, so this table grows only with new names.
  struct TName {
    long index = -1;
    uint64_t stamp = 0;
  };
  // The stamp every name counts as changed at, at least. A copy starts out
  // changed everywhere, so stamps taken from another table never vouch for
  // it.
  struct TAllStamp {
    static inline uint64_t clock = 0;
    uint64_t value = ++clock;
    TAllStamp() = default;
    TAllStamp(const TAllStamp&) {}
    TAllStamp& operator=(const TAllStamp&) {
      value = ++clock;
      return *this;
    }
  };
  void Touch(const std::string& line);  // the line's name changed
  void TouchAll() { all_.value = ++TAllStamp::clock; }
  void Stamp(TName& name) { name.stamp = ++TAllStamp::clock; }
  TName& NameEntry(const std::string& folded) const { return *names_.TryEmplace(folded).first; }
  // Every known name's index above `index` moved by `by`.
  void ShiftIndex(size_t index, long by);

  std::vector<std::string> lines_;
  TAllStamp all_;
  // Folded name -> its first line and last change. Kept up to date by
  // every change; only when some name occurs on several lines (possible
  // through Add and SetLine) is the index rebuilt lazily instead.
  mutable TStringHashMap<TName> names_;
  mutable bool indexValid_ = true;
  mutable bool duplicates_ = false;
  mutable TCompiledValues values_;
  std::string spareLine_;  // the storage of the last line deleted by name
};

}  // namespace tessel
