// The read side of the pager: a bounded per-statement cache over PageFile,
// and the header revalidation at each statement's start.
#include "jet/storage/pages/pager.h"

#include "jet/storage/pages/errors.h"

namespace jet::storage {

Result<std::unique_ptr<Pager>> Pager::open(std::unique_ptr<PageFile> file) {
  std::unique_ptr<Pager> pager(new Pager(std::move(file)));
  if (auto s = pager->beginStatement(); !s) return s;
  return pager;
}

Status Pager::beginStatement() {
  ++statement_;
  cache_.clear();
  JET_TRY(file_->refresh());
  PageBuffer page0(file_->pageSize());
  if (auto s = file_->readPage(0, page0); !s) {
    return notDatabase("no se pudo leer la cabecera: " + s.description());
  }
  if (page0[0] != 0x00 || page0[1] != 0x01) return damaged("la cabecera ha cambiado de formato");
  auto header = readableHeader(page0, file_->format());
  if (!header) return header.status();
  header_ = *header;
  return Status::ok();
}

Result<PageRef> Pager::page(uint32_t number) {
  if (auto it = cache_.find(number); it != cache_.end()) return it->second;
  auto buffer = std::make_shared<PageBuffer>(file_->pageSize());
  JET_TRY(file_->readPage(number, *buffer));
  if (cache_.size() >= kCachePages) cache_.clear();
  PageRef ref = std::move(buffer);
  cache_.emplace(number, ref);
  return ref;
}

}  // namespace jet::storage
