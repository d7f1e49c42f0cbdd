// runCommand on fork/exec: stdout through a pipe, stderr into a file in a
// temporary folder (so a program that fills both can't block on either).
#include "support/command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace cocina::test {

namespace {

// Starts argv[0] (looked up in PATH) with stdin from /dev/null, stdout into
// `outFd` and stderr into the file `errPath` (left as the test's own when
// empty); answers its pid, or -1.
pid_t spawn(const std::vector<std::string>& argv, int outFd, const std::string& errPath) {
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::dup2(outFd, 1);
  if (!errPath.empty()) {
    int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (errFd >= 0) ::dup2(errFd, 2);
  }
  int nullFd = ::open("/dev/null", O_RDONLY);
  if (nullFd >= 0) ::dup2(nullFd, 0);
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ::execvp(args[0], args.data());
  ::_exit(127);
}

int waitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

CommandResult runCommand(const std::vector<std::string>& argv) {
  CommandResult r;
  if (argv.empty()) return r;
  TempDir tmp;
  const std::string errPath = tmp.file("stderr");
  int outPipe[2];
  if (::pipe2(outPipe, O_CLOEXEC) != 0) return r;
  pid_t pid = spawn(argv, outPipe[1], errPath);
  ::close(outPipe[1]);
  if (pid < 0) {
    ::close(outPipe[0]);
    return r;
  }
  char buf[65536];
  ssize_t n;
  while ((n = ::read(outPipe[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) r.out.append(buf, static_cast<size_t>(n));
  }
  ::close(outPipe[0]);
  r.exitCode = waitFor(pid);
  r.err = readFile(errPath);
  return r;
}

BackgroundCommand::BackgroundCommand(const std::vector<std::string>& argv) {
  int outPipe[2];
  if (argv.empty() || ::pipe2(outPipe, O_CLOEXEC) != 0) return;
  pid_ = spawn(argv, outPipe[1], "");
  ::close(outPipe[1]);
  out_ = outPipe[0];
}

BackgroundCommand::~BackgroundCommand() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    waitFor(pid_);
  }
  if (out_ >= 0) ::close(out_);
}

std::optional<std::string> BackgroundCommand::readLine(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    size_t end = buffered_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (out_ < 0 || left.count() <= 0) return std::nullopt;
    struct pollfd p = {out_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[4096];
    ssize_t n = ::read(out_, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    buffered_.append(buf, static_cast<size_t>(n));
  }
}

int BackgroundCommand::wait() {
  if (pid_ <= 0) return -1;
  int code = waitFor(pid_);
  pid_ = -1;
  return code;
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
