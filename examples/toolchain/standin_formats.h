#pragma once
// The stand-in tool chain's object, library and image files (layout in
// standin.h). Readers give nothing for bytes that are not such a file.

#include <optional>
#include <string>
#include <vector>

namespace tessel::standin {

struct TObject {
  std::string module;
  std::string source;
  std::string code;
};

struct TMember {
  std::string name;
  std::string object;  // the bytes of the object file
};

struct TModule {
  std::string name;
  std::string code;
};

struct TImage {
  std::string entry;  // empty when none was given
  std::vector<TModule> modules;
};

std::string WriteObject(const TObject& object);
std::optional<TObject> ReadObject(const std::string& bytes);

std::string WriteLibrary(const std::vector<TMember>& members);
std::optional<std::vector<TMember>> ReadLibrary(const std::string& bytes);

std::string WriteImage(const TImage& image);
std::optional<TImage> ReadImage(const std::string& bytes);

}  // namespace tessel::standin
