// File locks that make cocina's own processes take turns on one database.
//
// The lock is an open-file-description lock (Linux OFD lock) on one byte far
// beyond any page the file can have, so it never touches data and it belongs
// to one open file, not to the whole process: two Database objects of one
// process exclude each other like two processes do, and closing some other
// descriptor of the same file never drops it.
//
// States: Unlocked; Shared (readers: any number at once, while no writer);
// Exclusive (one writer, no readers). A writer holds Exclusive from the start
// of its transaction to its end, so a reader never sees a half-written
// statement. A lock that can't be had within the wait limit is an error
// ("La base de datos está ocupada..."), never a hang.
//
// Turns. Waiting is fair: programs get the lock in the order they started
// waiting for it, however busy the others are. A program that finds the lock
// taken, or others already waiting, draws a ticket (the system's monotonic
// clock in microseconds, the same clock in every process) and holds a
// shared lock on the ticket's byte, in a range of its own beyond the lock
// byte, while it waits. It tries the lock only while no other program holds
// an earlier ticket. So the point of sale, committing and at once wanting
// the lock back for its next line, draws a later ticket than a board that
// was already waiting and stands behind it: the board gets its turn after
// the statement that held the lock. Readers still share: a reader that finds
// only readers and nobody waiting takes the lock at once. A waiter that is
// killed loses its ticket with its descriptor, like the lock itself.
//
// Changing the kind of a lock already held needs no turn: a downgrade
// (Exclusive to Shared) never waits, and an upgrade (Shared to Exclusive)
// waits only for the other readers to leave, as the holder is already in.
//
// What this does not coordinate: the Windows Access engine's own locks
// (the .ldb/.laccdb file and its byte-range locks over a network share),
// and the order of programs on different machines (their clocks differ;
// they still exclude each other).
#pragma once

#include <chrono>

#include "jet/status.h"

namespace jet::storage {

class FileLock {
 public:
  enum class State { Unlocked, Shared, Exclusive };

  // `fd` must stay open while the lock is used.
  explicit FileLock(int fd) : fd_(fd) {}
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  State state() const { return state_; }
  // Moves to Shared (also from Exclusive: a downgrade), waiting its turn at
  // most `wait`.
  Status lockShared(std::chrono::milliseconds wait = kDefaultWait);
  // Moves to Exclusive, waiting its turn and for readers and writers to
  // finish, at most `wait`.
  Status lockExclusive(std::chrono::milliseconds wait = kDefaultWait);
  // Exclusive only if it can be had at once; false otherwise.
  Result<bool> tryExclusive();
  void unlock();

  // Whether another open file (this process's or another's) is waiting
  // for its turn on the lock.
  Result<bool> othersWaiting() const;

  // The wait of a caller that does not choose its own.
  static constexpr std::chrono::milliseconds kDefaultWait{30000};
  // The longest wait a ticket keeps its place for; longer waits are cut to
  // it (tickets compare within half the ring of ticket bytes).
  static constexpr std::chrono::milliseconds kLongestWait{30 * 60 * 1000};

 private:
  Result<bool> attempt(short type);
  Status acquire(short type, State to, std::chrono::milliseconds wait);
  // Polls for the lock until the deadline; with a ticket, only while no
  // earlier ticket is held.
  Status pollForLock(short type, State to, std::chrono::steady_clock::time_point deadline,
                     const int64_t* ticket);
  int fd_;
  State state_ = State::Unlocked;
};

}  // namespace jet::storage
