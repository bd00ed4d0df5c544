#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tessel::test {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessel-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ec;
  // Read-only entries would survive remove_all on some hosts; make them writable.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::string TTempDir::File(const std::string& name) const { return path_ + "/" + name; }

std::string TTempDir::Write(const std::string& name, const std::string& bytes) const {
  std::filesystem::path p = File(name);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << bytes;
  if (!f) throw std::runtime_error("cannot write " + p.string());
  return p.string();
}

std::string TTempDir::Read(const std::string& name) const {
  std::ifstream f(File(name), std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + File(name));
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace tessel::test
