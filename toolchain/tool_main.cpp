#include "toolchain/tool_main.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "toolchain/diagnostics.h"

namespace tessel::toolchain {

const std::vector<TOptionSpec> kTargetOptions = {{"cpu", true}, {"endian", true}, {"debug", false}};

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

void CheckTarget(const TInvocation& invocation) {
  for (const TOption& option : invocation.options) {
    const std::string value = LowerAscii(option.value);
    if (option.name == "cpu" && value != "sh4a" && value != "sh4a-nofpu") {
      throw EToolError(option.origin,
                       "-cpu=" + option.value +
                           " is not supported; the tools make SH4A code without FPU (-cpu=sh4a)");
    }
    if (option.name == "endian" && value != "big") {
      throw EToolError(option.origin,
                       "-endian=" + option.value +
                           " is not supported; the tools make big-endian code (-endian=big)");
    }
  }
}

int RunGuarded(const std::string& tool, std::ostream& out, const std::function<bool()>& body) {
  auto report = [&](const EToolError& error) {
    out << (error.Place().empty() ? tool + "(0)" : error.Place()) << ": error: " << error.what()
        << "\n";
  };
  try {
    return body() ? 0 : 1;
  } catch (const EUsageError& error) {
    report(error);
    return 2;
  } catch (const EToolError& error) {
    report(error);
    return 1;
  } catch (const std::exception& error) {
    out << tool << "(0): error: " << error.what() << "\n";
    return 1;
  }
}

bool Report(const std::string& tool, int exitCode, const std::string& output, std::ostream& out) {
  for (const std::string& line : ConvertDiagnostics(output, tool, exitCode != 0))
    out << line << "\n";
  return exitCode == 0;
}

void MoveIntoPlace(const std::string& partPath, const std::string& hostPath) {
  if (std::rename(partPath.c_str(), hostPath.c_str()) != 0) {
    const int error = errno;
    std::remove(partPath.c_str());
    throw EToolError("cannot write " + hostPath + ": " + std::strerror(error));
  }
}

}  // namespace tessel::toolchain
