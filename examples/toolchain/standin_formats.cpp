#include "examples/toolchain/standin_formats.h"

#include <charconv>

namespace tessel::standin {

namespace {

constexpr const char* kObjectMagic = "TSOBJ1";
constexpr const char* kLibraryMagic = "TSLIB1";
constexpr const char* kImageMagic = "TSIMG1";

// Reads header lines and counted payloads; any mismatch marks it failed.
class TCursor {
 public:
  explicit TCursor(const std::string& bytes) : bytes_(bytes) {}

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  bool Ok() const { return ok_; }

  std::string Line() {
    const size_t lf = bytes_.find('\n', pos_);
    if (!ok_ || lf == std::string::npos) return Fail();
    std::string line = bytes_.substr(pos_, lf - pos_);
    pos_ = lf + 1;
    return line;
  }

  // The text after "word " on the next line.
  std::string Tagged(const std::string& word) {
    std::string line = Line();
    if (line.compare(0, word.size() + 1, word + " ") != 0) return Fail();
    return line.substr(word.size() + 1);
  }

  std::string Bytes(size_t count) {
    if (!ok_ || bytes_.size() - pos_ < count) return Fail();
    std::string data = bytes_.substr(pos_, count);
    pos_ += count;
    return data;
  }

  // A line "word NAME N" -> NAME, and the N bytes that follow it.
  bool Payload(const std::string& line, const std::string& word, std::string& name,
               std::string& payload) {
    const size_t blank = line.rfind(' ');
    size_t count = 0;
    if (!ok_ || line.compare(0, word.size() + 1, word + " ") != 0 || blank <= word.size() + 1 ||
        !ParseCount(line.substr(blank + 1), count)) {
      Fail();
      return false;
    }
    name = line.substr(word.size() + 1, blank - word.size() - 1);
    payload = Bytes(count);
    return ok_;
  }

  static bool ParseCount(const std::string& text, size_t& count) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    return error == std::errc() && end == text.data() + text.size();
  }

 private:
  std::string Fail() {
    ok_ = false;
    return std::string();
  }

  const std::string& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

std::string Counted(const std::string& word, const std::string& name, const std::string& payload) {
  return word + " " + name + " " + std::to_string(payload.size()) + "\n" + payload;
}

}  // namespace

std::string WriteObject(const TObject& object) {
  return std::string(kObjectMagic) + "\nmodule " + object.module + "\nsource " + object.source +
         "\ncode " + std::to_string(object.code.size()) + "\n" + object.code;
}

std::optional<TObject> ReadObject(const std::string& bytes) {
  TCursor cursor(bytes);
  if (cursor.Line() != kObjectMagic) return std::nullopt;
  TObject object;
  object.module = cursor.Tagged("module");
  object.source = cursor.Tagged("source");
  size_t count = 0;
  if (!cursor.Ok() || !TCursor::ParseCount(cursor.Tagged("code"), count)) return std::nullopt;
  object.code = cursor.Bytes(count);
  if (!cursor.Ok() || !cursor.AtEnd() || object.module.empty()) return std::nullopt;
  return object;
}

std::string WriteLibrary(const std::vector<TMember>& members) {
  std::string bytes = std::string(kLibraryMagic) + "\n";
  for (const TMember& member : members) bytes += Counted("member", member.name, member.object);
  return bytes;
}

std::optional<std::vector<TMember>> ReadLibrary(const std::string& bytes) {
  TCursor cursor(bytes);
  if (cursor.Line() != kLibraryMagic) return std::nullopt;
  std::vector<TMember> members;
  while (!cursor.AtEnd()) {
    TMember member;
    if (!cursor.Payload(cursor.Line(), "member", member.name, member.object)) return std::nullopt;
    if (!ReadObject(member.object)) return std::nullopt;
    members.push_back(std::move(member));
  }
  return members;
}

std::string WriteImage(const TImage& image) {
  std::string bytes = std::string(kImageMagic) + "\n";
  if (!image.entry.empty()) bytes += "entry " + image.entry + "\n";
  for (const TModule& module : image.modules) bytes += Counted("module", module.name, module.code);
  return bytes + "end\n";
}

std::optional<TImage> ReadImage(const std::string& bytes) {
  TCursor cursor(bytes);
  if (cursor.Line() != kImageMagic) return std::nullopt;
  TImage image;
  std::string line = cursor.Line();
  if (line.compare(0, 6, "entry ") == 0) {
    image.entry = line.substr(6);
    line = cursor.Line();
  }
  while (cursor.Ok() && line != "end") {
    TModule module;
    if (!cursor.Payload(line, "module", module.name, module.code)) return std::nullopt;
    image.modules.push_back(std::move(module));
    line = cursor.Line();
  }
  if (!cursor.Ok() || !cursor.AtEnd()) return std::nullopt;
  return image;
}

}  // namespace tessel::standin
