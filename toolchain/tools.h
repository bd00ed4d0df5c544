#pragma once
// The three tool programs. Each takes its command line without the program
// name, writes its messages to `out` and returns the exit status: 0 on
// success, 1 when the tool failed, 2 for a wrong invocation.

#include <iosfwd>
#include <string>
#include <vector>

namespace tessel::toolchain {

// asmsh: SOURCE [-object=] [-include=] [-define=] [-cpu=] [-endian=] [-debug]
int RunAssembler(const std::vector<std::string>& args, std::ostream& out);
// shcpp: as asmsh, plus [-optimize=0|1] [-lang=c|cpp]
int RunCompiler(const std::vector<std::string>& args, std::ostream& out);
// optlnk: [FILE...] [-input=] [-library=] [-output=] [-entry=]
//         [-form=absolute|binary|library] [-replace=] [-delete=] [-debug]
int RunLinker(const std::vector<std::string>& args, std::ostream& out);

// Rewrites the hexadecimal literals h'1F / H'1F, the form in which the build
// writes syscall numbers, to 0x1F outside strings and comments. Everything
// else of the text stays as it is.
std::string RewriteHexLiterals(const std::string& text);

}  // namespace tessel::toolchain
