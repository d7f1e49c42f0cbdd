// runCommand on fork/exec: stdout through a pipe, stderr into a file in a
// temporary folder (so a program that fills both can't block on either).
#include "support/command.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace cocina::test {

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

}  // namespace cocina::test
