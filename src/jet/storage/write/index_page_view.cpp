// In-place index edits: bounds from the bitmap, binary search on the bytes,
// one memmove per change, ancestors' entries rewritten when the last entry
// of a leaf changes and its size stays the same.
#include "jet/storage/write/index_page_view.h"

#include <endian.h>

#include <algorithm>
#include <compare>
#include <cstring>
#include <vector>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/write/index_errors.h"

namespace jet::storage::write {

using namespace index_layout;

namespace {

uint32_t childPage(std::span<const uint8_t> e) {
  size_t n = e.size();
  return (uint32_t{e[n - 4]} << 24) | (uint32_t{e[n - 3]} << 16) | (uint32_t{e[n - 2]} << 8) |
         e[n - 1];
}

int compareBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  auto c = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Where a page on the way down names the child that was followed.
struct Step {
  uint32_t page;
  size_t start, end;  // that entry's bytes
  bool last;          // it is the page's last entry
};

// Follows the tree from `root` to the leaf for `entry`, loading it into
// `leafView`. False when a page on the way is not one the view handles.
Result<bool> descend(PageStore& store, uint32_t root, std::span<const uint8_t> entry,
                     IndexPageView& view, std::vector<Step>& path, uint32_t& leafPage) {
  uint32_t n = root;
  for (int depth = 0; depth <= kMaxDepth; ++depth) {
    if (n == 0 || n >= store.pageCount()) return false;
    auto ref = store.read(n);
    if (!ref) return ref.status();
    if (!view.load(**ref)) return false;
    if (view.leaf()) {
      leafPage = n;
      return true;
    }
    if (view.count() == 0) return false;
    size_t i = view.childFor(entry);
    path.push_back(Step{n, view.start(i), view.end(i), i + 1 == view.count()});
    n = childPage(view.entry(i));
  }
  return false;
}

// Checks that every ancestor entry that names the leaf by its last entry
// can take `last` (with its child pointer) at the same size.
bool ancestorsKeepSize(const std::vector<Step>& path, size_t lastSize) {
  for (size_t k = path.size(); k-- > 0;) {
    if (path[k].end - path[k].start != lastSize + kChildSize) return false;
    if (!path[k].last) break;
  }
  return true;
}

// Rewrites those ancestor entries with `last`, keeping each child pointer.
Status rewriteAncestors(PageStore& store, const std::vector<Step>& path,
                        std::span<const uint8_t> last) {
  for (size_t k = path.size(); k-- > 0;) {
    auto c = store.change(path[k].page);
    if (!c) return c.status();
    std::memcpy(c->data() + path[k].start, last.data(), last.size());
    if (!path[k].last) break;
  }
  return Status::ok();
}

// Writes the bitmap and free space for entries ending at `ends`.
void writeMarks(std::span<uint8_t> p, const uint16_t* ends, size_t n) {
  const IndexPageLayout& l = indexPageLayout(static_cast<uint32_t>(p.size()));
  std::memset(p.data() + l.maskAt, 0, l.entriesAt - l.maskAt);
  for (size_t i = 0; i < n; ++i) {
    size_t bit = ends[i] - l.entriesAt;
    p[l.maskAt + bit / 8] = static_cast<uint8_t>(p[l.maskAt + bit / 8] | (1u << (bit % 8)));
  }
  size_t used = n == 0 ? 0 : ends[n - 1] - l.entriesAt;
  put16(&p[l.freeSpaceAt], static_cast<uint16_t>(p.size() - l.entriesAt - used));
}

// Takes an emptied leaf out of the tree: out of its parent's entries and
// out of the leaf chain, and gives its page back. Only where the parent
// keeps its last entry (no ancestor changes) and keeps one entry at least.
Result<bool> unlinkEmptiedLeaf(PageStore& store, const std::vector<Step>& path, uint32_t leafPage,
                               uint32_t prev, uint32_t next) {
  if (!store.releases() || path.empty() || path.back().last) return false;
  const Step& up = path.back();
  auto ref = store.read(up.page);
  if (!ref) return ref.status();
  IndexPageView parent;
  if (!parent.load(**ref) || parent.leaf() || parent.count() < 2) return false;
  size_t i = 0;
  while (i < parent.count() && parent.start(i) != up.start) ++i;
  if (i + 1 >= parent.count()) return false;
  for (uint32_t n : {prev, next}) {
    if (n == 0) continue;
    if (n >= store.pageCount()) return false;
    auto side = store.read(n);
    if (!side) return side.status();
    if ((**side)[0] != static_cast<uint8_t>(format::PageType::IndexLeaf)) return false;
  }
  const size_t gone = up.end - up.start;
  std::vector<uint16_t> ends(parent.count() - 1);
  for (size_t k = 0; k < i; ++k) ends[k] = static_cast<uint16_t>(parent.end(k));
  for (size_t k = i + 1; k < parent.count(); ++k) {
    ends[k - 1] = static_cast<uint16_t>(parent.end(k) - gone);
  }
  const IndexPageLayout& l = indexPageLayout(store.pageSize());
  size_t usedEnd = l.entriesAt + parent.used();
  {
    auto c = store.change(up.page);
    if (!c) return c.status();
    std::span<uint8_t> p = *c;
    std::memmove(p.data() + up.start, p.data() + up.end, usedEnd - up.end);
    std::memset(p.data() + usedEnd - gone, 0, gone);
    writeMarks(p, ends.data(), ends.size());
  }
  if (prev != 0) {
    auto c = store.change(prev);
    if (!c) return c.status();
    put32(c->data() + l.nextAt, next);
  }
  if (next != 0) {
    auto c = store.change(next);
    if (!c) return c.status();
    put32(c->data() + l.prevAt, prev);
  }
  JET_TRY(store.release(leafPage));
  return true;
}

}  // namespace

bool IndexPageView::load(std::span<const uint8_t> p) {
  p_ = p;
  count_ = 0;
  layout_ = &indexPageLayout(static_cast<uint32_t>(p.size()));
  const size_t entriesAt = layout_->entriesAt, maskAt = layout_->maskAt;
  if (p.size() <= entriesAt) return false;
  if (p[0] == static_cast<uint8_t>(format::PageType::IndexLeaf)) {
    leaf_ = true;
  } else if (p[0] == static_cast<uint8_t>(format::PageType::IndexNode)) {
    leaf_ = false;
    if (get32(&p[layout_->tailAt]) != 0) return false;
  } else {
    return false;
  }
  if (layout_->prefixLength(p.data()) != 0) return false;
  size_t last = entriesAt;
  const size_t minEntry = leaf_ ? 4 : 8;
  // Eight bytes of marks at a time: most of them are zero.
  for (size_t byte = maskAt; byte < entriesAt; byte += 8) {
    uint64_t bits = 0;
    std::memcpy(&bits, &p[byte], std::min<size_t>(8, entriesAt - byte));
    bits = le64toh(bits);
    while (bits) {
      int b = __builtin_ctzll(bits);
      bits &= bits - 1;
      size_t end = entriesAt + (byte - maskAt) * 8 + static_cast<size_t>(b);
      if (end > p.size() || end < last + minEntry) return false;
      ends_[count_++] = static_cast<uint16_t>(end);
      last = end;
    }
  }
  return true;
}

uint32_t IndexPageView::prev() const {
  return get32(&p_[layout_->prevAt]);
}
uint32_t IndexPageView::next() const {
  return get32(&p_[layout_->nextAt]);
}
size_t IndexPageView::start(size_t i) const {
  return i == 0 ? layout_->entriesAt : ends_[i - 1];
}
size_t IndexPageView::used() const {
  return count_ == 0 ? 0 : ends_[count_ - 1] - layout_->entriesAt;
}
std::span<const uint8_t> IndexPageView::entry(size_t i) const {
  return p_.subspan(start(i), end(i) - start(i));
}

size_t IndexPageView::lowerBound(std::span<const uint8_t> e) const {
  size_t lo = 0, hi = count_;
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (compareBytes(entry(mid), e) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

size_t IndexPageView::childFor(std::span<const uint8_t> e) const {
  size_t lo = 0, hi = count_;
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    auto key = entry(mid);
    if (compareBytes(key.first(key.size() - kChildSize), e) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo < count_ ? lo : count_ - 1;
}

Result<bool> insertIndexEntryInPlace(PageStore& store, uint32_t root,
                                     std::span<const uint8_t> entry, size_t uniqueKeyLength,
                                     bool* uniqueChecked) {
  if (uniqueChecked) *uniqueChecked = false;
  IndexPageView leaf;
  std::vector<Step> path;
  uint32_t leafPage = 0;
  auto found = descend(store, root, entry, leaf, path, leafPage);
  if (!found || !*found) return found;
  size_t pos = leaf.lowerBound(entry);
  if (uniqueKeyLength > 0) {
    auto sameKey = [&](std::span<const uint8_t> other) {
      return other.size() == entry.size() &&
             std::memcmp(other.data(), entry.data(), uniqueKeyLength) == 0;
    };
    if ((pos < leaf.count() && sameKey(leaf.entry(pos))) ||
        (pos > 0 && sameKey(leaf.entry(pos - 1)))) {
      return duplicateKeyError();
    }
    // At either end of the leaf the neighbouring key lives on the next or
    // the previous leaf: look there too.
    if (leaf.count() == 0 && (leaf.prev() != 0 || leaf.next() != 0)) return false;
    uint32_t neighbour = pos == 0 ? leaf.prev() : (pos == leaf.count() ? leaf.next() : 0);
    if (neighbour != 0) {
      if (neighbour >= store.pageCount()) return false;
      auto ref = store.read(neighbour);
      if (!ref) return ref.status();
      IndexPageView other;
      if (!other.load(**ref) || !other.leaf() || other.count() == 0) return false;
      if (sameKey(other.entry(pos == 0 ? other.count() - 1 : 0))) return duplicateKeyError();
    }
    if (uniqueChecked) *uniqueChecked = true;
  }
  const IndexPageLayout& l = indexPageLayout(store.pageSize());
  const size_t capacity = store.pageSize() - l.entriesAt;
  if (leaf.used() + entry.size() > capacity || leaf.count() + 1 > l.maxEntries()) return false;
  bool newLast = pos == leaf.count();
  if (newLast && !ancestorsKeepSize(path, entry.size())) return false;

  std::vector<uint16_t> ends(leaf.count() + 1);
  for (size_t i = 0; i < pos; ++i) ends[i] = static_cast<uint16_t>(leaf.end(i));
  ends[pos] = static_cast<uint16_t>(leaf.start(pos) + entry.size());
  for (size_t i = pos; i < leaf.count(); ++i) {
    ends[i + 1] = static_cast<uint16_t>(leaf.end(i) + entry.size());
  }
  size_t at = leaf.start(pos);
  size_t tail = l.entriesAt + leaf.used() - at;
  auto c = store.change(leafPage);
  if (!c) return c.status();
  std::span<uint8_t> p = *c;
  std::memmove(p.data() + at + entry.size(), p.data() + at, tail);
  std::memcpy(p.data() + at, entry.data(), entry.size());
  writeMarks(p, ends.data(), ends.size());
  if (newLast) JET_TRY(rewriteAncestors(store, path, entry));
  return true;
}

Result<bool> removeIndexEntryInPlace(PageStore& store, uint32_t root,
                                     std::span<const uint8_t> entry) {
  IndexPageView leaf;
  std::vector<Step> path;
  uint32_t leafPage = 0;
  auto found = descend(store, root, entry, leaf, path, leafPage);
  if (!found || !*found) return found;
  size_t pos = leaf.lowerBound(entry);
  if (pos == leaf.count() || compareBytes(leaf.entry(pos), entry) != 0) return false;
  if (leaf.count() == 1 && !path.empty()) {
    return unlinkEmptiedLeaf(store, path, leafPage, leaf.prev(), leaf.next());
  }
  bool wasLast = pos + 1 == leaf.count();
  std::vector<uint8_t> newLast;
  if (wasLast && !path.empty()) {
    auto before = leaf.entry(pos - 1);
    if (!ancestorsKeepSize(path, before.size())) return false;
    newLast.assign(before.begin(), before.end());
  }
  std::vector<uint16_t> ends(leaf.count() - 1);
  for (size_t i = 0; i < pos; ++i) ends[i] = static_cast<uint16_t>(leaf.end(i));
  for (size_t i = pos + 1; i < leaf.count(); ++i) {
    ends[i - 1] = static_cast<uint16_t>(leaf.end(i) - entry.size());
  }
  size_t at = leaf.start(pos);
  size_t usedEnd = indexPageLayout(store.pageSize()).entriesAt + leaf.used();
  auto c = store.change(leafPage);
  if (!c) return c.status();
  std::span<uint8_t> p = *c;
  std::memmove(p.data() + at, p.data() + at + entry.size(), usedEnd - at - entry.size());
  std::memset(p.data() + usedEnd - entry.size(), 0, entry.size());
  writeMarks(p, ends.data(), ends.size());
  if (!newLast.empty()) JET_TRY(rewriteAncestors(store, path, newLast));
  return true;
}

}  // namespace jet::storage::write
