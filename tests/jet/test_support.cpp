// Implementation of the shared test helpers, on POSIX calls and
// std::filesystem only, so any test program can link it.
#include "jet/test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace cocina::test {

std::string fixturesDir() {
#ifdef COCINA_FIXTURES_DIR
  return COCINA_FIXTURES_DIR;
#else
  return "";
#endif
}

std::vector<std::string> fixtureFiles() {
  std::vector<std::string> out;
  std::error_code ec;
  if (!fs::is_directory(fixturesDir(), ec)) return out;
  for (const auto& e : fs::directory_iterator(fixturesDir(), ec)) {
    const auto ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".mdb" || ext == ".accdb")) out.push_back(e.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool fixturesAvailable() {
  return !fixtureFiles().empty();
}

std::string fixturePath(std::string_view fileName) {
  return (fs::path(fixturesDir()) / std::string(fileName)).string();
}

std::string largestFixture() {
  std::string best;
  std::uintmax_t size = 0;
  for (const auto& f : fixtureFiles()) {
    std::error_code ec;
    auto s = fs::file_size(f, ec);
    if (!ec && s > size) {
      size = s;
      best = f;
    }
  }
  return best;
}

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("cocina-test-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      return;
    }
  }
  path_ = (fs::temp_directory_path() / "cocina-test").string();
  fs::create_directories(path_);
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

CommandResult runCommand(const std::vector<std::string>& argv) {
  CommandResult r;
  if (argv.empty()) return r;
  TempDir tmp;
  const std::string errPath = tmp.file("stderr");
  int outPipe[2];
  if (::pipe(outPipe) != 0) return r;
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    return r;
  }
  if (pid == 0) {
    ::dup2(outPipe[1], 1);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (errFd >= 0) ::dup2(errFd, 2);
    int nullFd = ::open("/dev/null", O_RDONLY);
    if (nullFd >= 0) ::dup2(nullFd, 0);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  char buf[65536];
  ssize_t n;
  while ((n = ::read(outPipe[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) r.out.append(buf, static_cast<size_t>(n));
  }
  ::close(outPipe[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = readFile(errPath);
  return r;
}

bool haveProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (!dir.empty() && ::access((fs::path(dir) / std::string(name)).c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

std::string cocinaDbPath() {
#ifdef COCINA_BINARY_DIR
  return std::string(COCINA_BINARY_DIR) + "/src/tools/cocina-db";
#else
  return "cocina-db";
#endif
}

std::optional<std::vector<CsvRecord>> parseCsv(std::string_view t) {
  std::vector<CsvRecord> records;
  CsvRecord record;
  CsvField field;
  size_t i = 0;
  bool fieldStarted = false;
  auto endField = [&] {
    record.push_back(std::move(field));
    field = CsvField{};
    fieldStarted = false;
  };
  auto endRecord = [&] {
    endField();
    records.push_back(std::move(record));
    record.clear();
  };
  while (i < t.size()) {
    char c = t[i];
    if (c == '"' && !fieldStarted) {
      field.quoted = true;
      fieldStarted = true;
      ++i;
      while (true) {
        if (i >= t.size()) return std::nullopt;
        if (t[i] == '"') {
          if (i + 1 < t.size() && t[i + 1] == '"') {
            field.text.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.text.push_back(t[i++]);
      }
      continue;
    }
    if (c == ',') {
      endField();
      ++i;
    } else if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
      endRecord();
      i += 2;
    } else if (c == '\n') {
      endRecord();
      ++i;
    } else {
      field.text.push_back(c);
      fieldStarted = true;
      ++i;
    }
  }
  if (fieldStarted || !record.empty()) endRecord();
  return records;
}

bool haveMdbTools() {
  return haveProgram("mdb-export") && haveProgram("mdb-tables");
}

std::vector<std::string> mdbTables(const std::string& file) {
  auto r = runCommand({"mdb-tables", "-1", file});
  std::vector<std::string> out;
  std::stringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

std::optional<std::vector<CsvRecord>> mdbExport(const std::string& file, const std::string& table) {
  auto r = runCommand({"mdb-export", "-D", "%Y-%m-%d %H:%M:%S", "-T", "%Y-%m-%d %H:%M:%S", "-b",
                       "hex", file, table});
  if (r.exitCode != 0) return std::nullopt;
  return parseCsv(r.out);
}

std::optional<std::vector<std::string>> mdbExportLines(const std::string& file,
                                                       const std::string& table) {
  auto csv = mdbExport(file, table);
  if (!csv) return std::nullopt;
  std::vector<std::string> out;
  for (size_t r = 1; r < csv->size(); ++r) {
    std::string line;
    for (size_t f = 0; f < (*csv)[r].size(); ++f) {
      if (f) line += "|";
      line += (*csv)[r][f].isNull() ? "NULL" : (*csv)[r][f].text;
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace cocina::test
