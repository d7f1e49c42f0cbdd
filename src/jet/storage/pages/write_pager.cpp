// WritePager: dirty pages, transaction levels, journal and locks.
#include "jet/storage/pages/write_pager.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "jet/error_codes.h"
#include "jet/storage/pages/errors.h"

namespace jet::storage {

namespace {

Error ioError(const std::string& what) {
  return Error{errc::kUnspecified,
               "Error de escritura en la base de datos (" + what + "): " + std::strerror(errno)};
}

Error noTransaction() {
  return Error{errc::kNoTransaction, "No hay ninguna transacción activa."};
}

}  // namespace

WritePager::WritePager(std::unique_ptr<PageFile> file, std::chrono::milliseconds lockWait)
    : Pager(std::move(file)), lock_(Pager::file().descriptor()), lockWait_(lockWait) {}

WritePager::~WritePager() {
  if (!levels_.empty()) discardAll();
}

Result<std::unique_ptr<WritePager>> WritePager::open(std::unique_ptr<PageFile> file,
                                                     std::chrono::milliseconds lockWait) {
  std::unique_ptr<WritePager> pager(new WritePager(std::move(file), lockWait));
  Status s = pager->beginStatement();
  pager->endStatement();
  if (!s) return s;
  return pager;
}

Status WritePager::recoverIfHot() {
  if (!journalExists(file().path())) return Status::ok();
  if (file().readOnly()) {
    return Error{errc::kUnspecified,
                 "La base de datos tiene una escritura interrumpida; ábrala con permiso de "
                 "escritura para recuperarla."};
  }
  JET_TRY(rollbackHotJournal(file().path(), file().descriptor()));
  return file().refresh();
}

Status WritePager::recoverBeforeReading() {
  if (!journalExists(file().path())) {
    file().serveJournaledPages(std::nullopt);
    return Status::ok();
  }
  // The shared lock is held, so no writer is live: the journal is left over
  // from a killed one.
  if (!file().readOnly()) {
    // Take the lock whole to put the file back.
    lock_.unlock();
    JET_TRY(lock_.lockExclusive(lockWait_));
    JET_TRY(recoverIfHot());
    return lock_.lockShared(lockWait_);
  }
  // Opened for reading: a descriptor of its own writes the file back, with
  // the lock taken whole on it for the moment of the rollback.
  int fd = ::open(file().path().c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    if (errno != EACCES && errno != EROFS && errno != EPERM) return ioError("abrir");
    // The file can't be written: read it as it was before the killed
    // transaction, from the journal's original pages.
    auto pages = readHotJournal(file().path());
    if (!pages) return pages.status();
    file().serveJournaledPages(std::move(*pages));
    return Status::ok();
  }
  lock_.unlock();
  Status rolledBack = [&]() -> Status {
    FileLock writer(fd);
    JET_TRY(writer.lockExclusive(lockWait_));
    return rollbackHotJournal(file().path(), fd);
  }();
  ::close(fd);
  JET_TRY(rolledBack);
  file().serveJournaledPages(std::nullopt);
  return lock_.lockShared(lockWait_);
}

Status WritePager::beginStatement() {
  if (!levels_.empty()) return Pager::beginStatement();
  if (readers_ == 0) {
    JET_TRY(lock_.lockShared(lockWait_));
    if (Status r = recoverBeforeReading(); !r) {
      lock_.unlock();
      return r;
    }
  }
  ++readers_;
  Status s = Pager::beginStatement();
  if (!s) endStatement();
  return s;
}

void WritePager::endStatement() {
  if (readers_ > 0) --readers_;
  if (readers_ == 0 && levels_.empty()) lock_.unlock();
}

Result<PageRef> WritePager::page(uint32_t number) {
  if (auto it = dirty_.find(number); it != dirty_.end()) return PageRef(it->second);
  return Pager::page(number);
}

Result<std::span<uint8_t>> WritePager::change(uint32_t number) {
  if (levels_.empty()) return noTransaction();
  auto it = dirty_.find(number);
  if (it == dirty_.end()) {
    if (number >= pageCount())
      return damaged("página " + std::to_string(number) + " fuera del archivo");
    auto buf = std::make_shared<PageBuffer>(pageSize());
    JET_TRY(file().readPage(number, *buf));
    it = dirty_.emplace(number, std::move(buf)).first;
  }
  if (levels_.size() > 1) {
    Level& top = levels_.back();
    if (number < top.pageCountAtStart && !top.before.count(number)) {
      top.before.emplace(number, std::make_shared<PageBuffer>(*it->second));
    }
  }
  return std::span<uint8_t>(it->second->data(), it->second->size());
}

Result<uint32_t> WritePager::allocate() {
  if (levels_.empty()) return noTransaction();
  uint32_t n = pageCount();
  if (n >= 0x7FFFF)
    return Error{errc::kUnspecified, "La base de datos ha llegado a su tamaño máximo."};
  if (ftruncate(file().descriptor(), off_t{n + 1} * pageSize()) != 0) return ioError("ampliar");
  JET_TRY(file().refresh());
  dirty_[n] = std::make_shared<PageBuffer>(pageSize(), 0);
  return n;
}

Result<int> WritePager::begin() {
  if (file().readOnly()) {
    return Error{errc::kUnspecified, "La base de datos se abrió sólo para lectura."};
  }
  // No writer is kept outside a transaction (the end of the last one
  // dropped them all), so a new one starts from the file as it is.
  if (levels_.empty()) {
    JET_TRY(lock_.lockExclusive(lockWait_));
    Status s = recoverIfHot();
    if (s) s = Pager::beginStatement();
    if (s) {
      originalPageCount_ = pageCount();
      s = journal_.create(file().path(), pageSize(), originalPageCount_);
    }
    if (!s) {
      Error failed = s.error();
      if (readers_ > 0) {
        (void)lock_.lockShared();
      } else {
        lock_.unlock();
      }
      return failed;
    }
  }
  levels_.push_back(Level{pageCount(), {}});
  return depth();
}

Status WritePager::commit() {
  if (levels_.empty()) return noTransaction();
  if (levels_.size() > 1) {
    Level top = std::move(levels_.back());
    levels_.pop_back();
    if (levels_.size() > 1) {
      for (auto& [n, img] : top.before) levels_.back().before.emplace(n, std::move(img));
    }
    return Status::ok();
  }
  Status s = writeOut();
  if (!s) {
    // The file is as the journal can restore it: roll back now.
    (void)rollbackHotJournal(file().path(), file().descriptor());
    discardAll();
    return s;
  }
  levels_.clear();
  ++epoch_;
  dropCache();
  if (readers_ > 0) {
    (void)lock_.lockShared();
  } else {
    lock_.unlock();
  }
  return Status::ok();
}

Status WritePager::writeOut() {
  std::vector<uint32_t> pages;
  pages.reserve(dirty_.size());
  for (const auto& [n, buf] : dirty_) pages.push_back(n);
  std::sort(pages.begin(), pages.end());
  PageBuffer original(pageSize());
  for (uint32_t n : pages) {
    if (n >= originalPageCount_) break;
    JET_TRY(file().readPage(n, original));
    if (original == *dirty_[n]) continue;
    JET_TRY(journal_.append(n, original));
  }
  JET_TRY(journal_.sync());
  int fd = file().descriptor();
  for (uint32_t n : pages) {
    const PageBuffer& b = *dirty_[n];
    size_t done = 0;
    while (done < b.size()) {
      ssize_t w = pwrite(fd, b.data() + done, b.size() - done, off_t{n} * pageSize() + done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return ioError("escribir página");
      done += static_cast<size_t>(w);
    }
  }
  if (fdatasync(fd) != 0) return ioError("sincronizar");
  JET_TRY(journal_.remove());
  dirty_.clear();
  return Status::ok();
}

void WritePager::discardAll() {
  ++epoch_;
  dirty_.clear();
  if (ftruncate(file().descriptor(), off_t{originalPageCount_} * pageSize()) == 0) {
    (void)file().refresh();
  }
  (void)journal_.remove();
  levels_.clear();
  dropCache();
  if (readers_ > 0) {
    (void)lock_.lockShared();
  } else {
    lock_.unlock();
  }
}

Status WritePager::rollback() {
  if (levels_.empty()) return noTransaction();
  if (levels_.size() == 1) {
    discardAll();
    return Status::ok();
  }
  ++epoch_;
  Level top = std::move(levels_.back());
  levels_.pop_back();
  for (auto& [n, img] : top.before) dirty_[n] = std::move(img);
  for (auto it = dirty_.begin(); it != dirty_.end();) {
    it = it->first >= top.pageCountAtStart ? dirty_.erase(it) : std::next(it);
  }
  if (pageCount() > top.pageCountAtStart) {
    if (ftruncate(file().descriptor(), off_t{top.pageCountAtStart} * pageSize()) != 0) {
      return ioError("recortar");
    }
    JET_TRY(file().refresh());
  }
  dropCache();
  return Status::ok();
}

}  // namespace jet::storage
