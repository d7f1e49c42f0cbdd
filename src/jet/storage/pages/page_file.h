// The database file as a sequence of fixed-size pages.
//
// PageFile is the only code that touches the file's bytes. It knows pages,
// never rows: it tells the page size (2 KB for Jet 3, 4 KB for Jet 4 and
// ACE, decided from the version byte of the header), counts the whole pages
// the file holds, and reads one page into a caller's buffer. Every read is
// checked against the file's current length, so a truncated file gives an
// error, never a short or stale buffer.
//
// The point of sale grows the file at any moment: refresh() re-reads its
// length, and the pager calls it at the start of every statement.
//
// A reader that may not write the file cannot roll back a journal left by a
// killed writer; it is given the journal's original pages instead, and the
// file then reads as it was before the interrupted transaction.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "jet/format/file_format.h"
#include "jet/status.h"
#include "jet/storage/pages/journal.h"

namespace jet::storage {

class PageFile {
 public:
  ~PageFile();
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;

  // Opens the file and decides its page size from the header's signature and
  // version byte. Fails with a clear error for a missing, unreadable or empty
  // file and for one that does not start like an Access database.
  static Result<std::unique_ptr<PageFile>> open(const std::string& path, bool readOnly);

  const std::string& path() const { return path_; }
  FileFormat format() const { return format_; }
  uint32_t pageSize() const { return pageSize_; }
  // Whole pages in the file as of the last open() or refresh().
  uint32_t pageCount() const { return pageCount_; }
  bool readOnly() const { return readOnly_; }
  // The open descriptor, for file locks and writes layered on top.
  int descriptor() const { return fd_; }

  // Re-reads the file's length.
  Status refresh();
  // From now on pages (and the page count) as the journal's original
  // images say; an empty one goes back to the file's own bytes.
  void serveJournaledPages(std::optional<JournaledPages> pages);
  // Reads page `number` whole into `out` (out.size() must be pageSize()).
  Status readPage(uint32_t number, std::span<uint8_t> out) const;

 private:
  PageFile() = default;
  std::string path_;
  int fd_ = -1;
  bool readOnly_ = true;
  FileFormat format_ = FileFormat::Jet4;
  uint32_t pageSize_ = 4096;
  uint32_t pageCount_ = 0;
  std::optional<JournaledPages> journaled_;
};

}  // namespace jet::storage
