// Data page edits: adding, replacing and deleting rows while keeping the
// offset table, the packing and the free-space field consistent.
#include "jet/storage/write/data_page.h"

#include <algorithm>
#include <cstring>

#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"

namespace jet::storage::write {

namespace {
constexpr size_t kFreeSpaceAt = 2;
constexpr size_t kOwnerAt = 4;
}  // namespace

void DataPage::format(uint32_t owner) {
  std::fill(p_.begin(), p_.end(), 0);
  p_[0] = static_cast<uint8_t>(format::PageType::Data);
  p_[1] = 0x01;
  put16(&p_[kFreeSpaceAt], static_cast<uint16_t>(p_.size() - header_));
  put32(&p_[kOwnerAt], owner);
  put16(&p_[rowCountAt()], 0);
}

uint16_t DataPage::rowCount() const {
  return get16(&p_[rowCountAt()]);
}
uint16_t DataPage::freeSpace() const {
  return get16(&p_[kFreeSpaceAt]);
}
uint32_t DataPage::owner() const {
  return get32(&p_[kOwnerAt]);
}

uint16_t DataPage::slotEntry(uint16_t slot) const {
  return get16(&p_[header_ + 2u * slot]);
}
bool DataPage::isDeleted(uint16_t slot) const {
  return (slotEntry(slot) & format::kRowDeletedFlag) != 0;
}
bool DataPage::isOverflow(uint16_t slot) const {
  return (slotEntry(slot) & format::kRowOverflowFlag) != 0;
}

std::optional<std::pair<uint16_t, uint16_t>> DataPage::rowBounds(uint16_t slot) const {
  uint16_t n = rowCount();
  if (slot >= n || header_ + 2u * n > p_.size()) return std::nullopt;
  uint16_t start = slotEntry(slot) & format::kRowOffsetMask;
  uint16_t end = slot == 0 ? static_cast<uint16_t>(p_.size())
                           : static_cast<uint16_t>(slotEntry(slot - 1) & format::kRowOffsetMask);
  if (start > end || end > p_.size() || start < header_ + 2u * n) return std::nullopt;
  return std::make_pair(start, end);
}

bool DataPage::holdsNothing() const {
  for (uint16_t s = 0; s < rowCount(); ++s) {
    auto b = rowBounds(s);
    if (!b || !isDeleted(s) || b->second != b->first) return false;
  }
  return true;
}

bool DataPage::fits(size_t size) const {
  return rowCount() < kMaxRowsPerPage && size + 2 <= freeSpace();
}

std::optional<uint16_t> DataPage::addRow(std::span<const uint8_t> row, uint16_t flags) {
  if (!fits(row.size())) return std::nullopt;
  uint16_t n = rowCount();
  uint16_t low = n == 0 ? static_cast<uint16_t>(p_.size())
                        : static_cast<uint16_t>(slotEntry(n - 1) & format::kRowOffsetMask);
  uint16_t start = static_cast<uint16_t>(low - row.size());
  if (!row.empty()) std::memcpy(p_.data() + start, row.data(), row.size());
  put16(&p_[header_ + 2u * n], static_cast<uint16_t>(start | flags));
  put16(&p_[rowCountAt()], static_cast<uint16_t>(n + 1));
  put16(&p_[kFreeSpaceAt], static_cast<uint16_t>(freeSpace() - row.size() - 2));
  return n;
}

bool DataPage::replaceRow(uint16_t slot, std::span<const uint8_t> row, uint16_t flags) {
  auto b = rowBounds(slot);
  if (!b) return false;
  if (static_cast<size_t>(b->second - b->first) == row.size()) {
    std::memcpy(&p_[b->first], row.data(), row.size());
    put16(&p_[header_ + 2u * slot], static_cast<uint16_t>(b->first | flags));
    return true;
  }
  return repack(slot, row, flags);
}

void DataPage::deleteRow(uint16_t slot) {
  if (slot >= rowCount()) return;
  repack(slot, {}, format::kRowDeletedFlag);
}

bool DataPage::repack(uint16_t slot, std::span<const uint8_t> row, uint16_t flags) {
  uint16_t n = rowCount();
  std::vector<std::vector<uint8_t>> rows(n);
  std::vector<uint16_t> entryFlags(n);
  size_t total = 0;
  for (uint16_t s = 0; s < n; ++s) {
    auto b = rowBounds(s);
    if (!b) return false;
    entryFlags[s] = slotEntry(s) & static_cast<uint16_t>(~format::kRowOffsetMask);
    if (s == slot) {
      rows[s].assign(row.begin(), row.end());
      entryFlags[s] = flags;
    } else {
      rows[s].assign(p_.begin() + b->first, p_.begin() + b->second);
    }
    total += rows[s].size();
  }
  size_t available = p_.size() - header_ - 2u * n;
  if (total > available) return false;
  size_t at = p_.size();
  for (uint16_t s = 0; s < n; ++s) {
    at -= rows[s].size();
    if (!rows[s].empty()) std::memcpy(p_.data() + at, rows[s].data(), rows[s].size());
    put16(&p_[header_ + 2u * s], static_cast<uint16_t>(at | entryFlags[s]));
  }
  std::fill(p_.begin() + header_ + 2u * n, p_.begin() + at, 0);
  put16(&p_[kFreeSpaceAt], static_cast<uint16_t>(available - total));
  return true;
}

}  // namespace jet::storage::write
