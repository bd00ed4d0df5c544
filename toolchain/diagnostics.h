#pragma once
// The GNU tools' diagnostics in one form, FILE(LINE): error|warning: TEXT,
// so that MESSAGE_TO_IGNORE entries can hide them by a fixed text. Notes that
// explain an earlier message keep their own word: FILE(LINE): note: TEXT.
// Context lines ("In function ...", "Assembler messages:", "In file included
// from ...") carry nothing a build log needs and are dropped. A message
// without a place gets the tool's own name and line 0.

#include <string>
#include <vector>

namespace tessel::toolchain {

// One line of cross-tool output in our form, or empty when it is dropped.
// `tool` names our program ("shcpp"); `failed` chooses the severity of a
// message that states none.
std::string ConvertDiagnostic(const std::string& line, const std::string& tool, bool failed);

// Every line of a cross tool's output, converted; dropped lines left out.
std::vector<std::string> ConvertDiagnostics(const std::string& output, const std::string& tool,
                                            bool failed);

}  // namespace tessel::toolchain
