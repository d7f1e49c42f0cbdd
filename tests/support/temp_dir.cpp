// The temporary folders: named by process id and a counter, so two test
// programs running at once (ctest -j) never pick the same name; a name a
// killed run left behind is skipped, not reused.
#include "support/temp_dir.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace cocina::test {

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const std::string stem = "cocina-test-" + std::to_string(::getpid()) + "-";
  while (true) {
    fs::path p = fs::temp_directory_path() / (stem + std::to_string(counter++));
    // create_directory answers false when the name is taken and throws when
    // the folder can't be made at all.
    if (fs::create_directory(p)) {
      path_ = p.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::file(std::string_view name) const {
  return (fs::path(path_) / std::string(name)).string();
}

std::string TempDir::copy(const std::string& source, std::string_view name) const {
  std::string target =
      file(name.empty() ? fs::path(source).filename().string() : std::string(name));
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
  return target;
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
  std::string target = file(name);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return target;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace cocina::test
