// The rollback journal's file format and its replay.
//
// Layout: a 32-byte header (magic "cocina-journal", format version, page
// size, original page count), then records of page number (4 bytes),
// checksum of the page bytes (4 bytes) and the page bytes.
#include "jet/storage/pages/journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "jet/error_codes.h"
#include "jet/storage/pages/byte_writer.h"

namespace jet::storage {

namespace {

constexpr char kMagic[16] = "cocina-journal";
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 32;

Error ioError(const std::string& what) {
  return Error{errc::kUnspecified, "Error de escritura en el diario de la base de datos (" + what +
                                       "): " + std::strerror(errno)};
}

uint32_t checksum(std::span<const uint8_t> b) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (uint8_t c : b) h = (h ^ c) * 16777619u;
  return h;
}

bool writeAll(int fd, const uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    ssize_t w = pwrite(fd, p, n, at);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
    at += w;
  }
  return true;
}

bool readAll(int fd, uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    ssize_t r = pread(fd, p, n, at);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
    at += r;
  }
  return true;
}

void syncDirectoryOf(const std::string& path) {
  auto slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (d >= 0) {
    fsync(d);
    ::close(d);
  }
}

}  // namespace

std::string journalPathFor(const std::string& databasePath) {
  return databasePath + "-journal";
}

bool journalExists(const std::string& databasePath) {
  struct stat st;
  return ::stat(journalPathFor(databasePath).c_str(), &st) == 0;
}

Journal::~Journal() {
  if (fd_ >= 0) ::close(fd_);
}

Status Journal::create(const std::string& databasePath, uint32_t pageSize, uint32_t pageCount) {
  path_ = journalPathFor(databasePath);
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return ioError("crear");
  pageSize_ = pageSize;
  uint8_t h[kHeaderSize] = {};
  std::memcpy(h, kMagic, sizeof kMagic);
  put32(h + 16, kVersion);
  put32(h + 20, pageSize);
  put32(h + 24, pageCount);
  if (!writeAll(fd_, h, sizeof h, 0)) return ioError("cabecera");
  if (fdatasync(fd_) != 0) return ioError("sincronizar");
  syncDirectoryOf(path_);
  return Status::ok();
}

Status Journal::append(uint32_t page, std::span<const uint8_t> bytes) {
  std::vector<uint8_t> rec(8 + bytes.size());
  put32(rec.data(), page);
  put32(rec.data() + 4, checksum(bytes));
  std::memcpy(rec.data() + 8, bytes.data(), bytes.size());
  off_t end = lseek(fd_, 0, SEEK_END);
  if (end < 0 || !writeAll(fd_, rec.data(), rec.size(), end)) return ioError("página original");
  return Status::ok();
}

Status Journal::sync() {
  if (fdatasync(fd_) != 0) return ioError("sincronizar");
  return Status::ok();
}

Status Journal::remove() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return ioError("borrar");
  syncDirectoryOf(path_);
  return Status::ok();
}

namespace {

// Walks the journal open at `fd`: false when its header never reached the
// disk (the transaction had not changed the file yet); otherwise the page
// size and original page count, and `visit` called for each whole record
// of a page the file had, in the order they were written.
template <typename Visit>
bool walkJournal(int fd, uint32_t& pageSize, uint32_t& pageCount, Visit visit) {
  uint8_t h[kHeaderSize];
  if (!readAll(fd, h, sizeof h, 0) || std::memcmp(h, kMagic, sizeof kMagic) != 0 ||
      get32(h + 16) != kVersion) {
    return false;
  }
  pageSize = get32(h + 20);
  pageCount = get32(h + 24);
  if (pageSize != 2048 && pageSize != 4096) return false;
  std::vector<uint8_t> rec(8 + pageSize);
  for (off_t at = kHeaderSize; readAll(fd, rec.data(), rec.size(), at);
       at += static_cast<off_t>(rec.size())) {
    uint32_t page = get32(rec.data());
    std::span<const uint8_t> bytes(rec.data() + 8, pageSize);
    // A record cut short by the crash was never followed by a database write.
    if (get32(rec.data() + 4) != checksum(bytes)) break;
    if (page >= pageCount) continue;
    if (!visit(page, bytes)) return true;
  }
  return true;
}

}  // namespace

Status rollbackHotJournal(const std::string& databasePath, int dbFd) {
  std::string path = journalPathFor(databasePath);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Status::ok();
    return ioError("abrir");
  }
  uint32_t pageSize = 0, pageCount = 0;
  bool restored = true;
  bool headerOk = walkJournal(fd, pageSize, pageCount, [&](uint32_t page, auto bytes) {
    restored = writeAll(dbFd, bytes.data(), bytes.size(), off_t{page} * pageSize);
    return restored;
  });
  ::close(fd);
  if (!restored) return ioError("restaurar página");
  if (headerOk) {
    if (ftruncate(dbFd, off_t{pageCount} * pageSize) != 0) return ioError("recortar");
    if (fsync(dbFd) != 0) return ioError("sincronizar");
  }
  // A journal whose header never reached the disk protects nothing: the
  // transaction had not changed the file yet.
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return ioError("borrar");
  syncDirectoryOf(path);
  return Status::ok();
}

Result<std::optional<JournaledPages>> readHotJournal(const std::string& databasePath) {
  int fd = ::open(journalPathFor(databasePath).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::optional<JournaledPages>();
    return ioError("abrir");
  }
  JournaledPages pages;
  uint32_t pageSize = 0;
  bool headerOk = walkJournal(fd, pageSize, pages.pageCount, [&](uint32_t page, auto bytes) {
    // A later record of a page wins, as when the journal is rolled back.
    pages.images[page].assign(bytes.begin(), bytes.end());
    return true;
  });
  ::close(fd);
  if (!headerOk) return std::optional<JournaledPages>();
  return std::optional<JournaledPages>(std::move(pages));
}

}  // namespace jet::storage
