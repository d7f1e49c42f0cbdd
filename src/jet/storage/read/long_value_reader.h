// LongValueSource over the pager: gives the bytes of the long-value row a
// memo or OLE reference points to.
#pragma once

#include "jet/storage/pages/pager.h"
#include "jet/storage/read/row_codec.h"

namespace jet::storage {

class LongValueReader : public LongValueSource {
 public:
  explicit LongValueReader(Pager& pager) : pager_(pager) {}
  Result<ByteSpan> row(RowPointer where) override;
  uint32_t maxChainRows() const override;

 private:
  Pager& pager_;
  PageRef held_;  // keeps the last row's page alive for the caller
};

}  // namespace jet::storage
