#include "cli/console_ui.h"

#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <utility>

namespace tessel {

std::atomic<bool> TConsoleUserInterface::interrupted{false};

namespace {

// The first Ctrl-C asks for a polite cancel (noticed after the running tool
// or line); a second one ends the program the usual way.
void OnInterrupt(int) {
  TConsoleUserInterface::interrupted = true;
  std::signal(SIGINT, SIG_DFL);
}

// "New project:" + "(eight ...)" reads "New project: (eight ...)".
std::string BoxHeading(const std::string& title, const std::string& prompt) {
  return title + (title.ends_with(':') ? " " : ": ") + prompt;
}

// Texts use CR LF inside boxes; a terminal wants LF alone.
std::string ForTerminal(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

}  // namespace

TConsoleUserInterface::TInterruptGuard::TInterruptGuard() {
  interrupted = false;
  std::signal(SIGINT, OnInterrupt);
}

TConsoleUserInterface::TInterruptGuard::~TInterruptGuard() { std::signal(SIGINT, SIG_DFL); }

TConsoleUserInterface::TConsoleUserInterface(std::ostream& out, std::ostream& err)
    : out_(out), err_(err) {}

void TConsoleUserInterface::LogLine(const std::string& text) {
  out_ << ForTerminal(text) << '\n';
  out_.flush();
}

void TConsoleUserInterface::ProcessMessages() {
  if (interrupted.exchange(false) && cancel_) cancel_();
}

void TConsoleUserInterface::ShowWarning(const std::string& text) {
  err_ << "Warning: " << ForTerminal(text) << '\n';
}

void TConsoleUserInterface::ShowInformation(const std::string& text) {
  err_ << "Information: " << ForTerminal(text) << '\n';
}

void TConsoleUserInterface::ShowError(const std::string& text) {
  err_ << "Error: " << ForTerminal(text) << '\n';
}

bool TConsoleUserInterface::Ask(const std::string& question, const std::string& yes,
                                const std::string& no) {
  err_ << ForTerminal(question) << '\n';
  if (answer_ != Answer::Ask || !isatty(STDIN_FILENO)) {
    bool result = answer_ == Answer::Yes;
    err_ << "-> " << (result ? yes : no) << '\n';
    return result;
  }
  for (;;) {
    err_ << "[" << yes << "/" << no << "] " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    if (!line.empty() && (line[0] == yes[0] || line[0] == (yes[0] | 0x20))) return true;
    if (!line.empty() && (line[0] == no[0] || line[0] == (no[0] | 0x20))) return false;
  }
}

bool TConsoleUserInterface::AskYesNo(const std::string& text) { return Ask(text, "Yes", "No"); }

bool TConsoleUserInterface::ConfirmOkCancel(const std::string& text) {
  return Ask(text, "OK", "Cancel");
}

namespace {

// Shows the box on standard error with the answer taken, so a run without a
// terminal still says what was asked.
std::optional<std::string> Preset(std::ostream& err, const std::string& title,
                                  const std::string& prompt, std::optional<std::string>& preset) {
  std::optional<std::string> answer = std::exchange(preset, std::nullopt);
  err << BoxHeading(title, prompt) << "\n-> " << *answer << '\n';
  return answer;
}

}  // namespace

std::optional<std::string> TConsoleUserInterface::ReadInput(const std::string& title,
                                                            const std::string& prompt,
                                                            const std::string& text) {
  err_ << BoxHeading(title, prompt) << " [" << text << "]\n";
  if (!isatty(STDIN_FILENO)) {
    err_ << "-> Cancel\n";
    return std::nullopt;
  }
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line.empty() ? text : line;
}

std::optional<std::string> TConsoleUserInterface::InputBox(const std::string& title,
                                                           const std::string& prompt,
                                                           const std::string& text) {
  if (presetInput_) {
    presetInputUsed_ = true;
    return Preset(err_, title, prompt, presetInput_);
  }
  // Asked again after the command line's answer: the same answer would only
  // be refused again.
  if (presetInputUsed_) return ReadInput(title, prompt, text);
  // As for questions, an answer given up front wins over the terminal.
  if (answer_ == Answer::Yes) {
    err_ << BoxHeading(title, prompt) << " [" << text << "]\n";
    return text;
  }
  if (answer_ == Answer::No) {
    err_ << BoxHeading(title, prompt) << " [" << text << "]\n";
    return std::nullopt;
  }
  return ReadInput(title, prompt, text);
}

std::optional<std::string> TConsoleUserInterface::ChooseFile(const std::string& filter,
                                                             const std::string& start) {
  if (presetFile_) return std::exchange(presetFile_, std::nullopt);
  return InputBox("Choose file", filter, start);
}

std::optional<std::string> TConsoleUserInterface::ChooseDirectory(const std::string& caption,
                                                                  const std::string& start) {
  if (presetDirectory_) return std::exchange(presetDirectory_, std::nullopt);
  return InputBox("Choose directory", caption, start);
}

}  // namespace tessel
