#include "settings/MyIni.h"

#include <algorithm>

#include "platform/profile.h"
#include "support/text.h"

namespace tessel {

std::string TQuotedINI::Unwrap(const std::string& text) {
  if (text.empty() || text.front() != '@' || text.back() != '@') return text;
  if (text.size() == 1) return std::string();
  return text.substr(1, text.size() - 2);
}

std::string TQuotedINI::ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) const {
  return Unwrap(ProfileRead(fileName_, section, key).value_or(def));
}

void TQuotedINI::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
  ProfileWrite(fileName_, section, key, "@" + value + "@");
}

int TQuotedINI::ReadInteger(const std::string& section, const std::string& key, int def) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = "$" + text.substr(2);
  }
  return StrToIntDef(text, def);
}

void TQuotedINI::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, IntToStr(value));
}

bool TQuotedINI::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TQuotedINI::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TQuotedINI::ReadSectionValues(const std::string& section, TParamlist& target) const {
  target.Clear();
  for (const auto& [key, value] : ProfileReadSection(fileName_, section)) {
    target.Add(key + "=" + Unwrap(value));
  }
}

std::vector<std::string> TQuotedINI::ReadSection(const std::string& section) const {
  return ProfileKeys(fileName_, section);
}

std::vector<std::string> TQuotedINI::ReadSections() const { return ProfileSections(fileName_); }

bool TQuotedINI::SectionExists(const std::string& section) const {
  const std::vector<std::string> sections = ReadSections();
  const std::string wanted = Trim(section);
  return std::any_of(sections.begin(), sections.end(),
                     [&wanted](const std::string& name) { return SameTextAnsi(name, wanted); });
}

bool TQuotedINI::ValueExists(const std::string& section, const std::string& key) const {
  return ProfileRead(fileName_, section, key).has_value();
}

void TQuotedINI::EraseSection(const std::string& section) {
  ProfileEraseSection(fileName_, section);
}

void TQuotedINI::UpdateSection(const std::string& section, const std::vector<TSectionEdit>& edits) {
  std::vector<TSectionEdit> wrapped = edits;
  for (TSectionEdit& edit : wrapped) {
    if (edit.value) edit.value = "@" + *edit.value + "@";
  }
  ProfileUpdate(fileName_, section, wrapped);
}

void TQuotedINI::RewriteSection(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& entries) {
  EraseSection(section);
  std::vector<TSectionEdit> edits;
  edits.reserve(entries.size());
  for (const auto& [key, value] : entries) edits.push_back({key, value});
  UpdateSection(section, edits);
}

void TQuotedINI::DeleteKey(const std::string& section, const std::string& key) {
  ProfileDeleteKey(fileName_, section, key);
}

}  // namespace tessel
