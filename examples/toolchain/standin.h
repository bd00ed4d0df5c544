#pragma once
// A stand-in for the SH tool chain, so that the example SDK builds on a host
// where the real assembler, compiler and linker do not run. One program plays
// all three tools; the name it is started under chooses which (asmsh, shcpp,
// optlnk, with or without ".EXE", any case).
//
// Invocation: `TOOL -SUB=OPTIONS.TXT [FILE ...]`. Files on the command line
// count like file lines of the options file (a new library gets its first
// object that way). Without -SUB= the command line's words are the whole
// invocation, as the library grooming runs the linker. Messages go to standard output, one line
// each; the exit status is 0 on success, 1 when the tool failed and 2 for a wrong command line.
// Paths are the system's Windows paths and are mapped like every other path of Tessel (backslashes,
// drive root, any case).
//
// Options file: one or more words per line, split by the Windows rules
// (blanks separate, double quotes group). A word that does not begin with
// "-" names a file; an option is "-name=value", "-name value" (for options
// that take a value) or "-name".
//
//   asmsh   FILE           the source to assemble (exactly one)
//           -object=FILE   the object to write (default: the source with .OBJ)
//   shcpp   as asmsh, plus
//           -include=DIRS  directories searched for #include "..." lines,
//                          separated by ","; the source's own directory is
//                          searched first. A missing include file is an error.
//   optlnk  FILE, -input=FILE, -replace=FILE   objects to link or to put into
//                          a library
//           -library=FILE  image: a library whose members are all linked in;
//                          library form: the library to start from
//           -delete=NAMES  library form: members to remove from it, separated
//                          by "," (a name without member gets a warning)
//           -output=FILE   the image or library to write (required)
//           -form=image|library   what to write (default image)
//           -entry=SYMBOL  recorded in the image
//   all     -cpu=NAME, -debug, -optimize=N  accepted without effect (a note
//           says so); any other option gives a warning and is ignored.
//
// File formats (every header line ends with LF; N is a decimal byte count):
//   object   "TSOBJ1", "module NAME", "source PATH", "code N", then N bytes:
//            the source text, which is all the "code" a stand-in has. NAME
//            is the object's file name up to its first ".".
//   library  "TSLIB1", then per member "member NAME N" and the N bytes of
//            that object file. An object replaces the member of the same
//            name (compared without regard to case) or is appended.
//   image    "TSIMG1", "entry SYMBOL" when -entry was given, then per module
//            "module NAME N" and its N code bytes (the input objects in
//            order, then every member of each library), then "end". Two
//            modules of one name are an error.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tessel::standin {

enum class TToolMode { Assembler, Compiler, Linker };

// The mode for a program name or path ("C:\SH\BIN\ASMSH.EXE", "./optlnk").
std::optional<TToolMode> ModeFromProgram(const std::string& program);

// Runs one invocation; `args` excludes the program name. Returns the exit
// status.
int RunTool(TToolMode mode, const std::vector<std::string>& args, std::ostream& out);

}  // namespace tessel::standin
