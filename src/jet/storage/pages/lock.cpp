// FileLock over fcntl(F_OFD_SETLK), polled with a short sleep so a wait
// can be bounded, and tickets on a range of bytes of their own so waiting
// programs take their turns in order.
#include "jet/storage/pages/lock.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "jet/error_codes.h"

namespace jet::storage {

namespace {

// Far beyond the largest file the format allows (2 GB), so no page is ever
// locked.
constexpr off_t kLockOffset = 0x7FFFFFF0;
// The ticket bytes: one per microsecond of a ring of 2^32, from 4 GB on.
// A ticket is earlier than another when it lies less than half the ring
// (about 35 minutes) before it, so no wait may last longer than that.
constexpr off_t kTicketBase = off_t{1} << 32;
constexpr int64_t kTicketRing = int64_t{1} << 32;
constexpr int64_t kTicketHalf = kTicketRing / 2;
static_assert(FileLock::kLongestWait < std::chrono::microseconds(kTicketHalf));

// How often a waiter looks again: often enough that a turn handed over is
// taken within a couple of milliseconds, never so often it spins.
constexpr auto kFirstPause = std::chrono::microseconds(100);
constexpr auto kLongestPause = std::chrono::microseconds(2000);

Error busy() {
  return Error{errc::kUnspecified,
               "La base de datos está ocupada por otro programa; inténtelo de nuevo.",
               native::kLocked};
}

Error lockFailure() {
  return Error{errc::kUnspecified,
               std::string("No se puede bloquear la base de datos: ") + std::strerror(errno)};
}

struct flock byteRange(short type, off_t start, off_t length) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = start;
  fl.l_len = length;
  fl.l_pid = 0;
  return fl;
}

// Whether an open file other than `fd`'s holds a lock on some byte of the
// range: a write lock asked for, only to see what stands in its way.
Result<bool> heldByOthers(int fd, off_t start, off_t length) {
  if (length <= 0) return false;
  struct flock fl = byteRange(F_WRLCK, start, length);
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return lockFailure();
  return fl.l_type != F_UNLCK;
}

// The ticket of a program starting to wait now: the machine's monotonic
// clock, which every process reads alike, in microseconds round the ring.
int64_t drawTicket() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  int64_t micros = int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
  return micros % kTicketRing;
}

// Whether another program holds a ticket drawn before `ticket`, that is
// within half the ring behind it.
Result<bool> earlierTicketHeld(int fd, int64_t ticket) {
  int64_t from = ticket - kTicketHalf;
  if (from >= 0) return heldByOthers(fd, kTicketBase + from, ticket - from);
  auto tail = heldByOthers(fd, kTicketBase + kTicketRing + from, -from);
  if (!tail || *tail) return tail;
  return heldByOthers(fd, kTicketBase, ticket);
}

}  // namespace

FileLock::~FileLock() {
  unlock();
}

Result<bool> FileLock::attempt(short type) {
  struct flock fl = byteRange(type, kLockOffset, 1);
  if (fcntl(fd_, F_OFD_SETLK, &fl) == 0) return true;
  if (errno == EAGAIN || errno == EACCES || errno == EINTR) return false;
  return lockFailure();
}

Result<bool> FileLock::othersWaiting() const {
  return heldByOthers(fd_, kTicketBase, kTicketRing);
}

Status FileLock::pollForLock(short type, State to, std::chrono::steady_clock::time_point deadline,
                             const int64_t* ticket) {
  auto pause = std::chrono::duration_cast<std::chrono::microseconds>(kFirstPause);
  while (true) {
    bool myTurn = true;
    if (ticket) {
      auto earlier = earlierTicketHeld(fd_, *ticket);
      if (!earlier) return earlier.status();
      myTurn = !*earlier;
    }
    if (myTurn) {
      auto got = attempt(type);
      if (!got) return got.status();
      if (*got) {
        state_ = to;
        return Status::ok();
      }
    }
    if (std::chrono::steady_clock::now() >= deadline) return busy();
    std::this_thread::sleep_for(pause);
    pause = std::min<std::chrono::microseconds>(pause * 2, kLongestPause);
  }
}

Status FileLock::acquire(short type, State to, std::chrono::milliseconds wait) {
  if (state_ == to) return Status::ok();
  auto deadline = std::chrono::steady_clock::now() + std::min(wait, kLongestWait);
  // Holding the lock already is having the turn: a downgrade is granted at
  // once, an upgrade waits for the other readers only.
  if (state_ != State::Unlocked) return pollForLock(type, to, deadline, nullptr);

  // Nobody waiting: try at once, as most statements find the file free.
  auto waiting = othersWaiting();
  if (!waiting) return waiting.status();
  if (!*waiting) {
    auto got = attempt(type);
    if (!got) return got.status();
    if (*got) {
      state_ = to;
      return Status::ok();
    }
  }

  // Wait in turn, holding a ticket until the lock is had or given up.
  int64_t ticket = drawTicket();
  struct flock hold = byteRange(F_RDLCK, kTicketBase + ticket, 1);
  if (fcntl(fd_, F_OFD_SETLK, &hold) != 0) return lockFailure();
  Status s = pollForLock(type, to, deadline, &ticket);
  struct flock drop = byteRange(F_UNLCK, kTicketBase + ticket, 1);
  fcntl(fd_, F_OFD_SETLK, &drop);
  return s;
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
  struct flock fl = byteRange(F_UNLCK, kLockOffset, 1);
  fcntl(fd_, F_OFD_SETLK, &fl);
  state_ = State::Unlocked;
}

}  // namespace jet::storage
