#pragma once
// Taking a system path apart. Both '\' and '/' separate components, so POSIX
// paths given by a user work everywhere; a drive colon ends the directory part
// as well. Joins made by the system keep writing backslashes.

#include <string>

namespace tessel {

bool IsPathDelimiter(char c);  // '\' or '/'

// Directory part including its last separator (or the drive colon):
// "C:\A\B.TXT" -> "C:\A\", "B.TXT" -> "".
std::string ExtractFilePath(const std::string& path);

// Directory part without its last separator: "C:\A\B.TXT" -> "C:\A".
std::string ExtractFileDir(const std::string& path);

// File name after the last separator or colon.
std::string ExtractFileName(const std::string& path);

// Extension of the file name, from its last dot on ("" when none).
std::string ExtractFileExt(const std::string& path);

// File name cut before its first dot: "C:\X\A.B.C" -> "A".
std::string BaseName(const std::string& path);

// The path without the extension of its file name.
std::string StripExt(const std::string& path);

// The path with the extension of its file name replaced (ext includes the dot).
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// Drops the last separator-delimited field together with the separator in
// front of it: "C:\SDK\Projects\Demo\" -> "C:\SDK\Projects\Demo",
// "C:\SDK\Projects\Demo" -> "C:\SDK\Projects", "Demo" -> "".
std::string DropLastField(const std::string& path);

// True when the path holds a separator or a drive colon.
bool HasDirectoryPart(const std::string& path);

// dir + "\" + name, without doubling a separator dir already ends with.
std::string JoinPath(const std::string& dir, const std::string& name);

}  // namespace tessel
