#include "tests/support/standin_run.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/text.h"

namespace tessel::test {

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '%') {
      out += "%25";
    } else if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

TStandinEnd ActAsStandin(const std::vector<std::string>& args, const std::string& workDir,
                         std::vector<std::string> environment, TStandinHost& host) {
  std::string optionsFile;
  bool haveOptions = false;
  for (const std::string& arg : args) {
    if (arg.size() >= 5 && strncasecmp(arg.c_str(), "-SUB=", 5) == 0) {
      optionsFile = arg.substr(5);
      haveOptions = true;
      break;
    }
  }

  std::string previous, reason;
  if (!host.Read("STANDIN.LOG", previous, reason)) previous.clear();
  int run = 1;
  for (const std::string& line : SplitLines(previous)) {
    if (StartsWith(line, "RUN ")) ++run;
  }

  std::string record = "RUN " + std::to_string(run) + "\n";
  for (const std::string& arg : args) record += "ARG " + Escape(arg) + "\n";
  record += "CWD " + Escape(workDir) + "\n";
  std::sort(environment.begin(), environment.end());
  for (const std::string& entry : environment) record += "ENV " + Escape(entry) + "\n";

  std::vector<std::string> options;
  if (haveOptions) {
    record += "OPTIONS " + Escape(optionsFile) + "\n";
    std::string data;
    if (host.Read(optionsFile, data, reason)) {
      options = SplitLines(data);
      for (const std::string& option : options) record += "OPT " + Escape(option) + "\n";
    } else {
      record += "UNREADABLE " + Escape(reason) + "\n";
    }
  }
  record += "END\n";
  TStandinEnd end;
  if (!host.Write("STANDIN.LOG", record, true)) {
    end.exitCode = 3;
    return end;
  }

  long sleepMs = 0;
  for (const std::string& option : options) {
    if (StartsWith(option, "-print=")) {
      host.Emit(1, option.substr(7));
    } else if (StartsWith(option, "-stderr=")) {
      host.Emit(2, option.substr(8));
    } else if (StartsWith(option, "-output=")) {
      if (!host.Write(option.substr(8), "standin run " + std::to_string(run) + "\n", false)) {
        host.Emit(2, "standin: cannot write " + option.substr(8));
        end.exitCode = 3;
      }
    } else if (StartsWith(option, "-append=")) {
      const std::string rest = option.substr(8);
      const size_t colon = rest.find(':');
      const std::string file = rest.substr(0, colon);
      const std::string text = colon == std::string::npos ? "" : rest.substr(colon + 1);
      if (!host.Write(file, text + "\n", true)) {
        host.Emit(2, "standin: cannot append to " + file);
        end.exitCode = 3;
      }
    } else if (StartsWith(option, "-sleep=")) {
      sleepMs = std::strtol(option.c_str() + 7, nullptr, 10);
    } else if (option == "-kill-parent") {
      host.KillParent();
    } else if (StartsWith(option, "-kill=")) {
      end.signal = static_cast<int>(std::strtol(option.c_str() + 6, nullptr, 10));
      return end;  // nothing after it happens
    } else if (StartsWith(option, "-exit=")) {
      end.exitCode = static_cast<int>(std::strtol(option.c_str() + 6, nullptr, 10));
    }
  }
  if (sleepMs > 0) host.Sleep(sleepMs);
  return end;
}

}  // namespace tessel::test
