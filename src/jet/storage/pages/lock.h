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
// ("la base de datos está ocupada"), never a hang.
//
// What this does not coordinate: the Windows Access engine's own locks
// (the .ldb/.laccdb file and its byte-range locks over a network share).
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
  // Moves to Shared (also from Exclusive: a downgrade).
  Status lockShared(std::chrono::milliseconds wait = kDefaultWait);
  // Moves to Exclusive, waiting for readers and writers to finish.
  Status lockExclusive(std::chrono::milliseconds wait = kDefaultWait);
  // Exclusive only if it can be had at once; false otherwise.
  Result<bool> tryExclusive();
  void unlock();

  static constexpr std::chrono::milliseconds kDefaultWait{30000};

 private:
  Result<bool> attempt(short type);
  Status acquire(short type, State to, std::chrono::milliseconds wait);
  int fd_;
  State state_ = State::Unlocked;
};

}  // namespace jet::storage
