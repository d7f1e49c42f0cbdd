// FileLock over fcntl(F_OFD_SETLK), polled with a short sleep so a wait
// can be bounded.
#include "jet/storage/pages/lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "jet/error_codes.h"

namespace jet::storage {

namespace {
// Far beyond the largest file the format allows (2 GB), so no page is ever
// locked.
constexpr off_t kLockOffset = 0x7FFFFFF0;
}  // namespace

FileLock::~FileLock() {
  unlock();
}

Result<bool> FileLock::attempt(short type) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = kLockOffset;
  fl.l_len = 1;
  fl.l_pid = 0;
  if (fcntl(fd_, F_OFD_SETLK, &fl) == 0) return true;
  if (errno == EAGAIN || errno == EACCES || errno == EINTR) return false;
  return Error{errc::kUnspecified,
               std::string("No se puede bloquear la base de datos: ") + std::strerror(errno)};
}

Status FileLock::acquire(short type, State to, std::chrono::milliseconds wait) {
  if (state_ == to) return Status::ok();
  auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::microseconds(200);
  while (true) {
    auto got = attempt(type);
    if (!got) return got.status();
    if (*got) {
      state_ = to;
      return Status::ok();
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return Error{errc::kUnspecified,
                   "La base de datos está ocupada por otro programa; inténtelo de nuevo."};
    }
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(5)) pause *= 2;
  }
}

Status FileLock::lockShared(std::chrono::milliseconds wait) {
  return acquire(F_RDLCK, State::Shared, wait);
}

Status FileLock::lockExclusive(std::chrono::milliseconds wait) {
  return acquire(F_WRLCK, State::Exclusive, wait);
}

Result<bool> FileLock::tryExclusive() {
  if (state_ == State::Exclusive) return true;
  auto got = attempt(F_WRLCK);
  if (!got) return got.status();
  if (*got) state_ = State::Exclusive;
  return *got;
}

void FileLock::unlock() {
  if (state_ == State::Unlocked) return;
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kLockOffset;
  fl.l_len = 1;
  fcntl(fd_, F_OFD_SETLK, &fl);
  state_ = State::Unlocked;
}

}  // namespace jet::storage
