// Temporary folders for tests: each test gets a fresh folder of its own
// under the system's temporary folder, removed with its contents when the
// object goes, so tests running in parallel never share a file.
#pragma once

#include <string>
#include <string_view>

namespace cocina::test {

class TempDir {
 public:
  // Creates the folder; throws std::filesystem::filesystem_error when it
  // can't, since no test can go on without it.
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path()/name (the file need not exist).
  std::string file(std::string_view name) const;
  // Copies `source` into the folder under `name` (its own name when empty)
  // and makes the copy writable; answers the copy's path. Fixtures are
  // read-only: tests write on copies.
  std::string copy(const std::string& source, std::string_view name = {}) const;
  // Writes `bytes` to path()/name; answers the path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

// Whole contents of a file as bytes (empty if it can't be read).
std::string readFile(const std::string& path);

}  // namespace cocina::test
