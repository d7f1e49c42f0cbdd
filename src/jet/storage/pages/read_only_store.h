// A Pager's pages seen as a PageStore that only reads: what the readers of
// usage maps and index pages need outside a write (the integrity check,
// the tools and the tests that look at a file's index entries). Any
// attempt to change or add a page fails with an error.
#pragma once

#include "jet/error_codes.h"
#include "jet/storage/pages/page_store.h"

namespace jet::storage {

class ReadOnlyStore : public PageStore {
 public:
  // `pager` must outlive the store.
  explicit ReadOnlyStore(Pager& pager) : pager_(pager) {}
  uint32_t pageSize() const override { return pager_.pageSize(); }
  uint32_t pageCount() const override { return pager_.pageCount(); }
  Result<PageRef> read(uint32_t n) override { return pager_.page(n); }
  Result<std::span<uint8_t>> change(uint32_t) override { return refused(); }
  Result<uint32_t> allocate() override { return refused(); }

 private:
  static Error refused() { return Error{errc::kUnspecified, "páginas abiertas solo para leer"}; }
  Pager& pager_;
};

}  // namespace jet::storage
