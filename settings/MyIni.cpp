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
  const std::optional<std::string> value =
      batch_ ? batch_->Read(section, key) : ProfileRead(fileName_, section, key);
  return Unwrap(value.value_or(def));
}

void TQuotedINI::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
  UpdateSection(section, {{key, value}});
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
  const auto entries =
      batch_ ? batch_->ReadSection(section) : ProfileReadSection(fileName_, section);
  for (const auto& [key, value] : entries) {
    target.Add(key + "=" + Unwrap(value));
  }
}

std::vector<std::string> TQuotedINI::ReadSection(const std::string& section) const {
  return batch_ ? batch_->Keys(section) : ProfileKeys(fileName_, section);
}

std::vector<std::string> TQuotedINI::ReadSections() const {
  return batch_ ? batch_->Sections() : ProfileSections(fileName_);
}

bool TQuotedINI::SectionExists(const std::string& section) const {
  const std::vector<std::string> sections = ReadSections();
  const std::string wanted = Trim(section);
  return std::any_of(sections.begin(), sections.end(),
                     [&wanted](const std::string& name) { return SameTextAnsi(name, wanted); });
}

bool TQuotedINI::ValueExists(const std::string& section, const std::string& key) const {
  return (batch_ ? batch_->Read(section, key) : ProfileRead(fileName_, section, key)).has_value();
}

void TQuotedINI::EraseSection(const std::string& section) {
  if (batch_) {
    batch_->EraseSection(section);
  } else {
    ProfileEraseSection(fileName_, section);
  }
}

void TQuotedINI::UpdateSection(const std::string& section, const std::vector<TSectionEdit>& edits) {
  std::vector<TSectionEdit> wrapped = edits;
  for (TSectionEdit& edit : wrapped) {
    if (edit.value) edit.value = "@" + *edit.value + "@";
  }
  if (batch_) {
    batch_->Update(section, wrapped);
  } else {
    ProfileUpdate(fileName_, section, wrapped);
  }
}

void TQuotedINI::RewriteSection(const std::string& section,
                                const std::vector<std::pair<std::string, std::string>>& entries) {
  // One replacement of the file: erased and rewritten, or as it was.
  const bool own = !batch_;
  if (own) BeginBatch();
  try {
    EraseSection(section);
    std::vector<TSectionEdit> edits;
    edits.reserve(entries.size());
    for (const auto& [key, value] : entries) edits.push_back({key, value});
    UpdateSection(section, edits);
  } catch (...) {
    if (own) batch_.reset();
    throw;
  }
  if (own) CommitBatch();
}

void TQuotedINI::DeleteKey(const std::string& section, const std::string& key) {
  UpdateSection(section, {{key, std::nullopt}});
}

void TQuotedINI::BeginBatch() {
  if (!batch_) batch_ = std::make_shared<TProfileBatch>(fileName_);
}

void TQuotedINI::CommitBatch() {
  if (!batch_) return;
  std::shared_ptr<TProfileBatch> batch = std::move(batch_);
  batch->Commit();
}

}  // namespace tessel
