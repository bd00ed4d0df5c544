#pragma once
// Our own reader and writer of INI ("profile") files with the byte-level
// behaviour of the Windows profile functions: sections and keys matched
// without regard to case, first match wins, values read with surrounding
// blanks and one pair of enclosing quotes removed, files written with CR LF,
// a missing file or section created on write, lines a write does not touch
// kept byte for byte. Everything goes to the file at once; nothing is cached.
// Values have no length limit. A section whose header occurs more than once
// reads as one section holding the lines of every copy in file order (a key
// in several copies: the first wins); a change to it writes it once, in the
// place of its first copy, and erasing it erases every copy. Files are
// replaced as a whole (see atomic_file.h).

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessel {

// Value of `key` in `section`, or nothing when the file, section or key is
// missing.
std::optional<std::string> ProfileRead(const std::string& file, const std::string& section,
                                       const std::string& key);

// Every key line of the section in file order with the value a read of that
// key gives (a repeated key gives the value of its first line); one pass over
// the file instead of one per key.
std::vector<std::pair<std::string, std::string>> ProfileReadSection(const std::string& file,
                                                                    const std::string& section);

// Writes key=value into the section (replacing the first matching key line in
// place, or appending to the section, or appending a new section at the end
// of the file). Throws EFileError when the file cannot be written.
void ProfileWrite(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);

// One change of a key: a value to write, or none to delete the key.
struct TProfileEdit {
  std::string key;
  std::optional<std::string> value;
};

// Applies the edits in order with the bytes that one ProfileWrite or
// ProfileDeleteKey per edit would leave, reading and writing the file once:
// a large section is saved without a file rewrite per entry.
void ProfileUpdate(const std::string& file, const std::string& section,
                   const std::vector<TProfileEdit>& edits);

// Removes the first key line of that name; nothing when absent.
void ProfileDeleteKey(const std::string& file, const std::string& section, const std::string& key);

// Removes the section header and every line of the section.
void ProfileEraseSection(const std::string& file, const std::string& section);

// Key names of the section in file order (duplicates included); empty when
// the section is missing.
std::vector<std::string> ProfileKeys(const std::string& file, const std::string& section);

// Section names in file order, each once.
std::vector<std::string> ProfileSections(const std::string& file);

// Reads and changes made in memory that reach the file together at Commit,
// so a save of many sections leaves the old file or the new one, never a
// file with some sections saved. Same results as the functions above.
class TProfileBatch {
 public:
  // Reads the file (a missing one reads as empty); throws EFileError when it
  // exists but cannot be read.
  explicit TProfileBatch(std::string file);
  ~TProfileBatch();
  TProfileBatch(const TProfileBatch&) = delete;
  TProfileBatch& operator=(const TProfileBatch&) = delete;

  std::optional<std::string> Read(const std::string& section, const std::string& key) const;
  std::vector<std::pair<std::string, std::string>> ReadSection(const std::string& section) const;
  std::vector<std::string> Keys(const std::string& section) const;
  std::vector<std::string> Sections() const;
  void Update(const std::string& section, const std::vector<TProfileEdit>& edits);
  void EraseSection(const std::string& section);
  // Writes the file when something changed.
  void Commit();

 private:
  struct TState;
  std::string file_;
  std::unique_ptr<TState> state_;
};

}  // namespace tessel
