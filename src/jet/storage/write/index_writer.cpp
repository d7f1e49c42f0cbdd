// Index page reading and writing, whole-tree rewrites and in-place edits.
#include "jet/storage/write/index_writer.h"

#include <algorithm>
#include <compare>
#include <unordered_set>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/write/index_errors.h"
#include "jet/storage/write/index_page_view.h"

namespace jet::storage::write {

using namespace index_layout;

namespace {

uint32_t childOf(const IndexEntry& e) {
  size_t n = e.size();
  return (uint32_t{e[n - 4]} << 24) | (uint32_t{e[n - 3]} << 16) | (uint32_t{e[n - 2]} << 8) |
         e[n - 1];
}

void appendChild(IndexEntry& e, uint32_t page) {
  for (int i = 3; i >= 0; --i) e.push_back(static_cast<uint8_t>(page >> (8 * i)));
}

// A node entry without its child pointer, to compare with leaf entries.
int compareNode(const IndexEntry& node, const IndexEntry& leafEntry) {
  auto end = node.begin() + static_cast<std::ptrdiff_t>(node.size() - kChildSize);
  auto c =
      std::lexicographical_compare_three_way(node.begin(), end, leafEntry.begin(), leafEntry.end());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

size_t bytesOf(const std::vector<IndexEntry>& es) {
  size_t n = 0;
  for (const auto& e : es) n += e.size();
  return n;
}

Error badIndex(uint32_t page, const std::string& what) {
  return damaged("página de índice " + std::to_string(page) + ": " + what);
}

}  // namespace

IndexEntry makeIndexEntry(const std::vector<uint8_t>& key, RowId row) {
  IndexEntry e(key);
  e.push_back(static_cast<uint8_t>(row.page >> 16));
  e.push_back(static_cast<uint8_t>(row.page >> 8));
  e.push_back(static_cast<uint8_t>(row.page));
  e.push_back(static_cast<uint8_t>(row.slot));
  return e;
}

size_t indexPageCapacity(uint32_t pageSize) {
  return pageSize - indexPageLayout(pageSize).entriesAt;
}

Result<IndexPage> readIndexPage(PageStore& store, uint32_t number) {
  if (number == 0 || number >= store.pageCount()) return badIndex(number, "fuera del archivo");
  auto ref = store.read(number);
  if (!ref) return ref.status();
  return parseIndexPage(**ref, number);
}

Status writeIndexPage(PageStore& store, uint32_t number, const IndexPage& ip) {
  size_t used = bytesOf(ip.entries);
  if (used > indexPageCapacity(store.pageSize())) return badIndex(number, "entradas que no caben");
  auto c = store.change(number);
  if (!c) return c.status();
  std::span<uint8_t> p = *c;
  std::fill(p.begin(), p.end(), 0);
  p[0] = static_cast<uint8_t>(ip.leaf ? format::PageType::IndexLeaf : format::PageType::IndexNode);
  p[1] = 0x01;
  const IndexPageLayout& l = indexPageLayout(store.pageSize());
  put16(&p[l.freeSpaceAt], static_cast<uint16_t>(indexPageCapacity(store.pageSize()) - used));
  put32(&p[l.parentAt], ip.parent);
  put32(&p[l.prevAt], ip.prev);
  put32(&p[l.nextAt], ip.next);
  put32(&p[l.tailAt], ip.tail);
  if (!ip.leaf) p[l.nodeMarkAt] = 0x01;
  size_t at = l.entriesAt;
  for (const IndexEntry& e : ip.entries) {
    std::copy(e.begin(), e.end(), p.begin() + static_cast<std::ptrdiff_t>(at));
    at += e.size();
    size_t bit = at - l.entriesAt;
    p[l.maskAt + bit / 8] = static_cast<uint8_t>(p[l.maskAt + bit / 8] | (1u << (bit % 8)));
  }
  return Status::ok();
}

Result<IndexTree> writeIndexTree(PageStore& store, uint32_t tableDefPage,
                                 const std::vector<IndexEntry>& sorted,
                                 std::vector<uint32_t> reuse) {
  const size_t cap = indexPageCapacity(store.pageSize());
  std::sort(reuse.begin(), reuse.end());
  size_t nextReuse = 0;
  IndexTree tree;
  auto takePage = [&]() -> Result<uint32_t> {
    if (nextReuse < reuse.size()) return reuse[nextReuse++];
    return store.allocate();
  };
  // Groups a level's entries into pages.
  auto pack = [&](const std::vector<IndexEntry>& es) {
    std::vector<std::vector<IndexEntry>> pages(1);
    size_t used = 0;
    for (const IndexEntry& e : es) {
      if (used + e.size() > cap && !pages.back().empty()) {
        pages.emplace_back();
        used = 0;
      }
      pages.back().push_back(e);
      used += e.size();
    }
    return pages;
  };
  std::vector<std::vector<IndexEntry>> level = pack(sorted);
  bool leaf = true;
  while (true) {
    std::vector<uint32_t> numbers;
    for (size_t i = 0; i < level.size(); ++i) {
      auto n = takePage();
      if (!n) return n.status();
      numbers.push_back(*n);
    }
    for (size_t i = 0; i < level.size(); ++i) {
      IndexPage ip;
      ip.leaf = leaf;
      ip.parent = tableDefPage;
      ip.prev = i > 0 ? numbers[i - 1] : 0;
      ip.next = i + 1 < level.size() ? numbers[i + 1] : 0;
      ip.entries = std::move(level[i]);
      if (auto s = writeIndexPage(store, numbers[i], ip); !s) return s;
      level[i] = std::move(ip.entries);
      tree.pages.push_back(numbers[i]);
    }
    if (level.size() == 1) {
      tree.root = numbers[0];
      break;
    }
    std::vector<IndexEntry> up;
    for (size_t i = 0; i < level.size(); ++i) {
      IndexEntry e = level[i].back();
      if (!leaf) e.resize(e.size() - kChildSize);
      appendChild(e, numbers[i]);
      up.push_back(std::move(e));
    }
    level = pack(up);
    leaf = false;
  }
  tree.unused.assign(reuse.begin() + static_cast<std::ptrdiff_t>(nextReuse), reuse.end());
  return tree;
}

Result<std::vector<uint32_t>> indexTreePages(PageStore& store, uint32_t root) {
  std::vector<uint32_t> out, todo{root};
  std::unordered_set<uint32_t> seen;
  while (!todo.empty()) {
    uint32_t n = todo.back();
    todo.pop_back();
    if (!seen.insert(n).second) continue;
    if (seen.size() > store.pageCount()) return badIndex(root, "el árbol vuelve sobre sí mismo");
    auto p = readIndexPage(store, n);
    if (!p) return p.status();
    out.push_back(n);
    if (!p->leaf) {
      for (const auto& e : p->entries) todo.push_back(childOf(e));
      if (p->tail) todo.push_back(p->tail);
    }
  }
  return out;
}

Result<std::vector<IndexEntry>> readIndexEntries(PageStore& store, uint32_t root) {
  uint32_t n = root;
  for (int depth = 0;; ++depth) {
    if (depth > kMaxDepth) return badIndex(root, "árbol demasiado profundo");
    auto p = readIndexPage(store, n);
    if (!p) return p.status();
    if (p->leaf) break;
    if (p->entries.empty()) {
      if (!p->tail) return badIndex(n, "página intermedia vacía");
      n = p->tail;
    } else {
      n = childOf(p->entries.front());
    }
  }
  std::vector<IndexEntry> out;
  std::unordered_set<uint32_t> seen;
  while (n != 0) {
    if (!seen.insert(n).second) return badIndex(n, "la cadena de hojas vuelve sobre sí misma");
    auto p = readIndexPage(store, n);
    if (!p) return p.status();
    if (!p->leaf) return badIndex(n, "la cadena de hojas llega a una página intermedia");
    for (auto& e : p->entries) out.push_back(std::move(e));
    n = p->next;
  }
  return out;
}

namespace {

struct PathStep {
  uint32_t page;
  IndexPage node;
  size_t index;
};

// Descends to the leaf that holds (or would hold) `entry`. False: the tree
// has a shape this writer does not edit in place (a tail page).
Result<bool> descend(PageStore& store, uint32_t root, const IndexEntry& entry,
                     std::vector<PathStep>& path, uint32_t& leafPage, IndexPage& leaf) {
  uint32_t n = root;
  for (int depth = 0; depth <= kMaxDepth; ++depth) {
    auto p = readIndexPage(store, n);
    if (!p) return p.status();
    if (p->leaf) {
      leafPage = n;
      leaf = std::move(*p);
      return true;
    }
    if (p->tail != 0 || p->entries.empty()) return false;
    size_t idx = p->entries.size() - 1;
    for (size_t i = 0; i < p->entries.size(); ++i) {
      if (compareNode(p->entries[i], entry) >= 0) {
        idx = i;
        break;
      }
    }
    uint32_t child = childOf(p->entries[idx]);
    path.push_back(PathStep{n, std::move(*p), idx});
    n = child;
  }
  return badIndex(root, "árbol demasiado profundo");
}

// After the last entry of the leaf under `path` changed to `last`, brings
// the ancestors' entries up to date. False when one no longer fits.
Result<bool> propagateLast(PageStore& store, std::vector<PathStep>& path, const IndexEntry& last,
                           std::vector<std::pair<uint32_t, IndexPage*>>& writes) {
  const size_t cap = indexPageCapacity(store.pageSize());
  for (size_t k = path.size(); k-- > 0;) {
    PathStep& s = path[k];
    IndexEntry e = last;
    uint32_t child = childOf(s.node.entries[s.index]);
    appendChild(e, child);
    s.node.entries[s.index] = std::move(e);
    if (bytesOf(s.node.entries) > cap) return false;
    writes.emplace_back(s.page, &s.node);
    if (s.index + 1 != s.node.entries.size()) break;
  }
  return true;
}

}  // namespace

namespace {

// A page changed on the way up: its new entries, and whether its last entry
// (the one its parent names it by) changed.
Status fixUp(PageStore& store, std::vector<PathStep>& path, uint32_t pageNumber, IndexPage page,
             bool lastChanged, uint32_t& root) {
  const size_t cap = indexPageCapacity(store.pageSize());
  while (true) {
    if (bytesOf(page.entries) <= cap) {
      JET_TRY(writeIndexPage(store, pageNumber, page));
      if (!lastChanged || path.empty()) return Status::ok();
      PathStep& up = path.back();
      IndexEntry e = page.entries.back();
      if (!page.leaf) e.resize(e.size() - kChildSize);
      appendChild(e, pageNumber);
      bool upLast = up.index + 1 == up.node.entries.size();
      up.node.entries[up.index] = std::move(e);
      pageNumber = up.page;
      page = std::move(up.node);
      path.pop_back();
      lastChanged = upLast;
      continue;
    }
    // Split: the lower half moves to a new page on the left; the page keeps
    // its number and its upper half, so its parent's entry still names it.
    size_t half = bytesOf(page.entries) / 2, acc = 0, cut = 0;
    while (cut + 1 < page.entries.size() && acc + page.entries[cut].size() <= half) {
      acc += page.entries[cut].size();
      ++cut;
    }
    if (cut == 0) cut = 1;
    // Rows added in key order (an AutoNumber) always land at the right end:
    // leave that page with just the new entry, so the pages behind stay full.
    if (lastChanged && page.next == 0 && page.entries.size() > 1 &&
        bytesOf(page.entries) - page.entries.back().size() <= cap) {
      cut = page.entries.size() - 1;
    }
    auto leftNumber = store.allocate();
    if (!leftNumber) return leftNumber.status();
    IndexPage left;
    left.leaf = page.leaf;
    left.parent = page.parent;
    left.prev = page.prev;
    left.next = pageNumber;
    left.entries.assign(page.entries.begin(),
                        page.entries.begin() + static_cast<std::ptrdiff_t>(cut));
    page.entries.erase(page.entries.begin(),
                       page.entries.begin() + static_cast<std::ptrdiff_t>(cut));
    if (page.prev != 0) {
      auto before = readIndexPage(store, page.prev);
      if (!before) return before.status();
      before->next = *leftNumber;
      JET_TRY(writeIndexPage(store, page.prev, *before));
    }
    page.prev = *leftNumber;
    JET_TRY(writeIndexPage(store, *leftNumber, left));
    JET_TRY(writeIndexPage(store, pageNumber, page));
    IndexEntry leftEntry = left.entries.back();
    if (!left.leaf) leftEntry.resize(leftEntry.size() - kChildSize);
    appendChild(leftEntry, *leftNumber);
    IndexEntry rightEntry = page.entries.back();
    if (!page.leaf) rightEntry.resize(rightEntry.size() - kChildSize);
    appendChild(rightEntry, pageNumber);
    if (path.empty()) {
      auto newRoot = store.allocate();
      if (!newRoot) return newRoot.status();
      IndexPage top;
      top.leaf = false;
      top.parent = page.parent;
      top.entries = {std::move(leftEntry), std::move(rightEntry)};
      JET_TRY(writeIndexPage(store, *newRoot, top));
      root = *newRoot;
      return Status::ok();
    }
    PathStep& up = path.back();
    bool upLast = up.index + 1 == up.node.entries.size();
    up.node.entries[up.index] = std::move(rightEntry);
    up.node.entries.insert(up.node.entries.begin() + static_cast<std::ptrdiff_t>(up.index),
                           std::move(leftEntry));
    pageNumber = up.page;
    page = std::move(up.node);
    path.pop_back();
    lastChanged = lastChanged && upLast;
  }
}

}  // namespace

Result<bool> insertIndexEntry(PageStore& store, uint32_t& root, const IndexEntry& entry,
                              size_t uniqueKeyLength) {
  bool uniqueChecked = false;
  auto quick = insertIndexEntryInPlace(store, root, entry, uniqueKeyLength, &uniqueChecked);
  if (!quick || *quick) return quick;
  // The key was seen free on both sides; a split alone remains to be done.
  if (uniqueChecked) uniqueKeyLength = 0;
  std::vector<PathStep> path;
  uint32_t leafPage = 0;
  IndexPage leaf;
  auto ok = descend(store, root, entry, path, leafPage, leaf);
  if (!ok || !*ok) return ok;
  auto pos = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), entry);
  if (uniqueKeyLength > 0) {
    auto sameKey = [&](const IndexEntry& other) {
      return other.size() == entry.size() &&
             std::equal(entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(uniqueKeyLength),
                        other.begin());
    };
    // A neighbour on another leaf can't be checked here: rewrite instead.
    if (pos == leaf.entries.begin() && leaf.prev != 0) return false;
    if (pos == leaf.entries.end() && leaf.next != 0) return false;
    if ((pos != leaf.entries.end() && sameKey(*pos)) ||
        (pos != leaf.entries.begin() && sameKey(*(pos - 1)))) {
      return duplicateKeyError();
    }
  }
  bool newLast = pos == leaf.entries.end();
  leaf.entries.insert(pos, entry);
  JET_TRY(fixUp(store, path, leafPage, std::move(leaf), newLast, root));
  return true;
}

Result<bool> removeIndexEntry(PageStore& store, uint32_t root, const IndexEntry& entry) {
  auto quick = removeIndexEntryInPlace(store, root, entry);
  if (!quick || *quick) return quick;
  std::vector<PathStep> path;
  uint32_t leafPage = 0;
  IndexPage leaf;
  auto ok = descend(store, root, entry, path, leafPage, leaf);
  if (!ok || !*ok) return ok;
  auto pos = std::lower_bound(leaf.entries.begin(), leaf.entries.end(), entry);
  if (pos == leaf.entries.end() || *pos != entry) return false;
  bool wasLast = pos + 1 == leaf.entries.end();
  leaf.entries.erase(pos);
  if (leaf.entries.empty() && !path.empty()) return false;
  std::vector<std::pair<uint32_t, IndexPage*>> writes;
  if (wasLast && !path.empty()) {
    auto p = propagateLast(store, path, leaf.entries.back(), writes);
    if (!p || !*p) return p;
  }
  JET_TRY(writeIndexPage(store, leafPage, leaf));
  for (auto& [n, page] : writes) JET_TRY(writeIndexPage(store, n, *page));
  return true;
}

}  // namespace jet::storage::write
