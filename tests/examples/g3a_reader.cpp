#include "tests/examples/g3a_reader.h"

#include <cstdio>

namespace tessel::test {

namespace {

uint32_t Be32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

std::string Text(const std::string& bytes, size_t at, size_t max) {
  const std::string field = bytes.substr(at, max);
  return field.substr(0, field.find('\0'));
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

}  // namespace

TG3aFile ReadG3a(const std::string& bytes) {
  TG3aFile file;
  auto fault = [&](const std::string& text) { file.faults.push_back(text); };
  if (bytes.size() < 0x7004) {
    fault("file too short: " + Hex(static_cast<uint32_t>(bytes.size())));
    return file;
  }
  const uint32_t size = static_cast<uint32_t>(bytes.size());
  // The first 32 bytes are stored inverted.
  std::string head = bytes.substr(0, 0x20);
  for (char& c : head) c = static_cast<char>(~static_cast<uint8_t>(c));
  auto expectByte = [&](size_t at, uint8_t value) {
    if (static_cast<uint8_t>(head[at]) != value) {
      fault("byte " + Hex(static_cast<uint32_t>(at)) + " is " +
            Hex(static_cast<uint8_t>(head[at])) + ", not " + Hex(value));
    }
  };
  if (head.substr(0, 8) != "USBPower") fault("no USBPower at 0x000: " + head.substr(0, 8));
  expectByte(0x08, 0x2C);
  const uint8_t fixed[] = {0x00, 0x01, 0x00, 0x01, 0x00};
  for (size_t i = 0; i < 5; ++i) expectByte(0x09 + i, fixed[i]);
  expectByte(0x0E, static_cast<uint8_t>((size & 0xFF) + 0x41));
  expectByte(0x0F, 0x01);
  if (Be32(head, 0x10) != size) fault("size at 0x010 is " + Hex(Be32(head, 0x10)));
  expectByte(0x14, static_cast<uint8_t>((size & 0xFF) + 0xB8));
  file.word16 = static_cast<uint16_t>(static_cast<uint8_t>(head[0x16]) << 8 |
                                      static_cast<uint8_t>(head[0x17]));

  uint32_t sum = 0;
  for (size_t i = 0; i < 0x20; ++i) sum += static_cast<uint8_t>(bytes[i]);
  for (size_t i = 0x24; i < size - 4; ++i) sum += static_cast<uint8_t>(bytes[i]);
  if (Be32(bytes, 0x20) != sum)
    fault("checksum " + Hex(Be32(bytes, 0x20)) + ", computed " + Hex(sum));
  if (Be32(bytes, size - 4) != sum) fault("checksum copy " + Hex(Be32(bytes, size - 4)));

  if (bytes[0x24] != 1 || bytes[0x25] != 1) fault("no 01 01 at 0x024");
  if (Be32(bytes, 0x2E) != size - 0x7004) fault("code size " + Hex(Be32(bytes, 0x2E)));
  if (Be32(bytes, 0x5C) != size) fault("size at 0x05C is " + Hex(Be32(bytes, 0x5C)));
  file.shortName = Text(bytes, 0x40, 0x1C);
  if (bytes[0x60] != '@') fault("no @ at 0x060");
  file.internalName = Text(bytes, 0x61, 10);
  for (size_t i = 0; i < 8; ++i) file.localizedNames.push_back(Text(bytes, 0x6B + 24 * i, 24));
  if (bytes[0x12B] != 0) fault("byte 0x12B is not 0");
  file.version = Text(bytes, 0x130, 12);
  file.date = Text(bytes, 0x13C, 16);
  file.fileName = Text(bytes, 0xEBC, 0x144);
  file.unselectedIcon = bytes.substr(0x1000, 0x2E00);
  file.selectedIcon = bytes.substr(0x4000, 0x2E00);
  file.image = bytes.substr(0x7000, size - 0x7004);
  return file;
}

}  // namespace tessel::test
