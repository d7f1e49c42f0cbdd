// Reading whole pages from the database file with pread, each read checked
// against the length the file had at the last refresh and against a short
// read (the file shrinking under us).
#include "jet/storage/pages/page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "jet/format/jet_format.h"
#include "jet/storage/pages/errors.h"

namespace jet::storage {

namespace {

std::string systemReason() {
  return std::strerror(errno);
}

// Reads exactly out.size() bytes at `offset`; false on a short read.
bool readFully(int fd, std::span<uint8_t> out, uint64_t offset) {
  size_t done = 0;
  while (done < out.size()) {
    ssize_t n =
        ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

PageFile::~PageFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<std::unique_ptr<PageFile>> PageFile::open(const std::string& path, bool readOnly) {
  std::unique_ptr<PageFile> file(new PageFile());
  file->path_ = path;
  file->readOnly_ = readOnly;
  file->fd_ = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (file->fd_ < 0 && !readOnly && (errno == EACCES || errno == EROFS)) {
    // A file the board may only read is still worth opening for reading.
    file->fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    file->readOnly_ = true;
  }
  if (file->fd_ < 0) return unreadable("'" + path + "': " + systemReason());

  struct stat st {};
  if (::fstat(file->fd_, &st) != 0) return unreadable("'" + path + "': " + systemReason());
  if (S_ISDIR(st.st_mode)) return unreadable("'" + path + "' es una carpeta");
  if (st.st_size == 0) return notDatabase("'" + path + "' está vacío");

  std::array<uint8_t, 0x18> start{};
  if (st.st_size < static_cast<off_t>(start.size()) || !readFully(file->fd_, start, 0)) {
    return notDatabase("'" + path + "' es demasiado corto");
  }
  static constexpr char kJetId[] = "Standard Jet DB";
  static constexpr char kAceId[] = "Standard ACE DB";
  const bool magic = start[0] == 0x00 && start[1] == 0x01 && start[2] == 0x00 && start[3] == 0x00;
  const char* id = reinterpret_cast<const char*>(start.data() + format::kHeaderIdOffset);
  const bool jetId = std::memcmp(id, kJetId, 15) == 0;
  const bool aceId = std::memcmp(id, kAceId, 15) == 0;
  if (!magic || (!jetId && !aceId)) {
    return notDatabase("'" + path + "' no tiene la firma de un archivo .mdb o .accdb");
  }
  switch (start[format::kHeaderVersionOffset]) {
    case format::kVersionJet3: file->format_ = FileFormat::Jet3; break;
    case format::kVersionJet4: file->format_ = FileFormat::Jet4; break;
    case format::kVersionAce12: file->format_ = FileFormat::Ace12; break;
    case format::kVersionAce14: file->format_ = FileFormat::Ace14; break;
    case 0x04:
    case format::kVersionAce16: file->format_ = FileFormat::Ace16; break;
    case format::kVersionAce17: file->format_ = FileFormat::Ace17; break;
    default:
      return notDatabase("versión de formato desconocida (" +
                         std::to_string(start[format::kHeaderVersionOffset]) + ")");
  }
  if (jetId != (file->format_ == FileFormat::Jet3 || file->format_ == FileFormat::Jet4)) {
    return notDatabase("la firma no corresponde a la versión del formato");
  }
  file->pageSize_ = format::layoutFor(file->format_).pageSize;
  if (auto s = file->refresh(); !s) return s;
  if (file->pageCount_ == 0)
    return notDatabase("'" + path + "' está truncado: falta la página de cabecera");
  return file;
}

Status PageFile::refresh() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return unreadable("'" + path_ + "': " + systemReason());
  const uint64_t pages = static_cast<uint64_t>(st.st_size) / pageSize_;
  // Page numbers are 24 bits in row pointers; anything larger is not a database.
  if (pages > 0xFFFFFFu) return notDatabase("'" + path_ + "' es demasiado grande");
  pageCount_ = static_cast<uint32_t>(pages);
  // Pages the interrupted transaction added are not there yet.
  if (journaled_) pageCount_ = std::min(pageCount_, journaled_->pageCount);
  return Status::ok();
}

void PageFile::serveJournaledPages(std::optional<JournaledPages> pages) {
  journaled_ = std::move(pages);
}

Status PageFile::readPage(uint32_t number, std::span<uint8_t> out) const {
  if (out.size() != pageSize_) return damaged("búfer de página de tamaño incorrecto");
  if (number >= pageCount_) {
    return damaged("la página " + std::to_string(number) + " está fuera del archivo (" +
                   std::to_string(pageCount_) + " páginas)");
  }
  if (journaled_) {
    auto it = journaled_->images.find(number);
    if (it != journaled_->images.end() && it->second.size() == out.size()) {
      std::copy(it->second.begin(), it->second.end(), out.begin());
      return Status::ok();
    }
  }
  if (!readFully(fd_, out, static_cast<uint64_t>(number) * pageSize_)) {
    return damaged("no se pudo leer la página " + std::to_string(number) + " (archivo truncado)");
  }
  return Status::ok();
}

}  // namespace jet::storage
