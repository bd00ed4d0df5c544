#include <unistd.h>

#include <cerrno>

#include "platform/executable.h"
#include "version_config.h"

namespace tessel {

namespace {

std::vector<std::string>& Arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

}  // namespace

std::string ExecutablePath() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

void SetCommandLineArguments(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  SetCommandLineArguments(std::move(args));
}

void SetCommandLineArguments(std::vector<std::string> args) { Arguments() = std::move(args); }

const std::vector<std::string>& CommandLineArguments() { return Arguments(); }

VersionInfo ExecutableVersion() {
  VersionInfo info;
  info.fileVersion = TESSEL_FILE_VERSION;
  info.productName = TESSEL_PRODUCT_NAME;
  info.internalName = TESSEL_INTERNAL_NAME;
  info.fileFlags = TESSEL_FILE_FLAGS;
  return info;
}

}  // namespace tessel
