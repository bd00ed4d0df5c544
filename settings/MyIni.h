#pragma once
// TQuotedINI: INI accessor that stores every value between two "@" and
// unwraps such values when reading, so that blanks and double quotes at the
// ends of a value survive the profile file. Every operation goes to the file
// at once; nothing is cached.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"

#include "settings/uParamlist.h"

namespace tessel {

// One change of a settings entry: a value to write, or none to delete it.
using TSectionEdit = TProfileEdit;

class TQuotedINI {
 public:
  explicit TQuotedINI(std::string fileName) : fileName_(std::move(fileName)) {}
  const std::string& FileName() const { return fileName_; }

  // Removes one "@" at each end when both ends carry one ("@" alone -> "").
  static std::string Unwrap(const std::string& text);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

  // "0x"/"0X" with more than two characters reads as hexadecimal; anything
  // that is no valid integer reads as the default.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  void WriteInteger(const std::string& section, const std::string& key, int value);
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // Clears the list, then one line key=value per key of the section in file
  // order, each value read through ReadString.
  void ReadSectionValues(const std::string& section, TParamlist& target) const;
  // Key names of the section in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  std::vector<std::string> ReadSections() const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  void EraseSection(const std::string& section);
  // The edits in order, with the bytes one WriteString or DeleteKey per edit
  // would leave, but reading and writing the file once.
  void UpdateSection(const std::string& section, const std::vector<TSectionEdit>& edits);
  // EraseSection, then WriteString per entry in order, touching the file
  // twice instead of once per entry.
  void RewriteSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& entries);
  void DeleteKey(const std::string& section, const std::string& key);

  // From BeginBatch to CommitBatch every operation works on the file as read
  // at BeginBatch, and CommitBatch replaces the file once with the result:
  // a save of many sections is stored whole or not at all. Copies of this
  // accessor made meanwhile share the batch. Without CommitBatch nothing
  // is written.
  void BeginBatch();
  void CommitBatch();

 private:
  std::string fileName_;
  std::shared_ptr<TProfileBatch> batch_;
};

}  // namespace tessel
