// Index lookups; see index_reader.h.
#include "jet/storage/read/index_reader.h"

#include <algorithm>
#include <compare>
#include <cstdint>

#include "jet/error_codes.h"
#include "jet/storage/read/index_key.h"
#include "jet/storage/read/index_page.h"
#include "jet/storage/read/row_encode.h"
#include "jet/storage/tables/table_layout.h"

namespace jet::storage {

namespace {

// Far deeper than any index of a file Access can hold: a deeper tree loops.
constexpr int kMaxDepth = 32;
constexpr size_t kRowPlaceSize = 4;
constexpr size_t kChildSize = 4;

Error notIndexed(const std::string& why) {
  return Error{errc::kNotSupported, "No se puede buscar por índice: " + why};
}

bool isTextType(ColumnType t) {
  return t == ColumnType::Text || t == ColumnType::Memo;
}

bool beginsWith(const IndexEntry& e, const std::vector<uint8_t>& key, size_t entryEnd) {
  return entryEnd >= key.size() && std::equal(key.begin(), key.end(), e.begin());
}

// Compares the first `entryEnd` bytes of `e` with `key`: <0, 0, >0.
int compareEntry(const IndexEntry& e, size_t entryEnd, const std::vector<uint8_t>& key) {
  auto c = std::lexicographical_compare_three_way(
      e.begin(), e.begin() + static_cast<std::ptrdiff_t>(entryEnd), key.begin(), key.end());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Result<IndexPage> loadIndexPage(Pager& pager, uint32_t number) {
  if (number == 0 || number >= pager.pageCount()) {
    return damagedIndexPage(number, "fuera del archivo");
  }
  auto page = pager.page(number);
  if (!page) return page.status();
  return parseIndexPage(**page, number);
}

// The leaf where entries >= key begin.
Result<uint32_t> firstLeafFor(Pager& pager, uint32_t root, const std::vector<uint8_t>& key) {
  uint32_t n = root;
  for (int depth = 0; depth <= kMaxDepth; ++depth) {
    auto p = loadIndexPage(pager, n);
    if (!p) return p.status();
    if (p->leaf) return n;
    // The first child whose last entry is not below the key holds the
    // first entry that is not; past every named child, the tail.
    uint32_t child = 0;
    for (const IndexEntry& e : p->entries) {
      if (compareEntry(e, e.size() - kChildSize, key) >= 0) {
        child = indexEntryChild(e);
        break;
      }
    }
    if (child == 0) child = p->tail;
    if (child == 0) {
      if (p->entries.empty()) return damagedIndexPage(n, "página intermedia vacía");
      // Nothing reaches the key; the last leaf shows that.
      child = indexEntryChild(p->entries.back());
    }
    n = child;
  }
  return damagedIndexPage(root, "árbol demasiado profundo");
}

}  // namespace

Result<TableIndexes> TableIndexes::load(Pager& pager, const TableDef& def) {
  auto layout = loadTableLayout(pager, def);
  if (!layout) return layout.status();
  TableIndexes out;
  out.def_ = &def;
  for (const RealIndex& ix : layout->indexes) {
    out.indexes_.push_back(IndexHandle{ix.root, ix.columns, {}, ix.ignoresNulls()});
  }
  out.textOrders_.resize(def.schema.columns.size());
  for (size_t c = 0; c < out.textOrders_.size(); ++c) {
    if (c >= layout->sortOrder.size() || c >= layout->sortVersion.size()) break;
    auto order = textKeyOrderFor(pager.format(), layout->sortOrder[c], layout->sortVersion[c]);
    if (order) out.textOrders_[c] = *order;
  }
  return out;
}

Result<IndexHandle> TableIndexes::find(const std::vector<int>& columns, bool withNull) const {
  if (columns.empty()) return notIndexed("ningún campo");
  const IndexHandle* best = nullptr;
  for (const IndexHandle& ix : indexes_) {
    if (ix.columns.size() < columns.size() || (withNull && ix.ignoresNulls)) continue;
    bool leading = true;
    for (size_t i = 0; i < columns.size() && leading; ++i)
      leading = ix.columns[i].column == columns[i];
    if (leading && (!best || ix.columns.size() < best->columns.size())) best = &ix;
  }
  if (!best) return notIndexed("no hay índice sobre esos campos");
  IndexHandle found = *best;
  for (const IndexColumn& ic : best->columns) {
    auto pos = static_cast<size_t>(ic.column);
    if (pos >= def_->schema.columns.size()) return notIndexed("campo inexistente");
    bool text = isTextType(def_->schema.columns[pos].type);
    if (text && !textOrders_[pos]) {
      return notIndexed("el campo '" + def_->schema.columns[pos].name +
                        "' se ordena con un criterio que el motor no calcula");
    }
    found.textOrders.push_back(text ? *textOrders_[pos] : TextKeyOrder::General);
  }
  return found;
}

Result<std::vector<uint8_t>> indexLookupKey(const TableDef& def, const IndexHandle& index,
                                            const std::vector<Value>& values) {
  if (values.empty() || values.size() > index.columns.size()) {
    return notIndexed("clave de longitud incorrecta");
  }
  std::vector<uint8_t> key;
  for (size_t i = 0; i < values.size(); ++i) {
    const IndexColumn& ic = index.columns[i];
    const ColumnDef& column = def.schema.columns[static_cast<size_t>(ic.column)];
    auto value = coerceForColumn(column, values[i]);
    if (!value) return notIndexed(value.error().description);
    if (i >= index.textOrders.size()) return notIndexed("índice sin criterio de orden");
    if (auto s = appendIndexKeyPart(key, column.type, *value, ic.ascending, index.textOrders[i]);
        !s) {
      return notIndexed(s.description());
    }
  }
  return key;
}

Status forEachIndexMatch(Pager& pager, uint32_t root, const std::vector<uint8_t>& key,
                         bool wholeKey, uint64_t limit, const std::function<bool(RowId)>& visit) {
  auto leaf = firstLeafFor(pager, root, key);
  if (!leaf) return leaf.status();
  uint64_t visited = 0;
  uint32_t n = *leaf;
  // A leaf chain longer than the file has pages loops.
  for (uint32_t hops = 0; n != 0; ++hops) {
    if (hops > pager.pageCount())
      return damagedIndexPage(n, "la cadena de hojas vuelve sobre sí misma");
    auto p = loadIndexPage(pager, n);
    if (!p) return p.status();
    if (!p->leaf) return damagedIndexPage(n, "la cadena de hojas llega a una página intermedia");
    for (const IndexEntry& e : p->entries) {
      const size_t keyEnd = e.size() - kRowPlaceSize;
      if (beginsWith(e, key, keyEnd)) {
        if (wholeKey && keyEnd != key.size()) continue;
        if (visited == limit) return Status::ok();
        ++visited;
        if (!visit(indexEntryRow(e))) return Status::ok();
        continue;
      }
      // Past every entry that begins with the key: done.
      if (compareEntry(e, keyEnd, key) > 0) return Status::ok();
    }
    n = p->next;
  }
  return Status::ok();
}

namespace {

// Calls `visit` with each row a lookup finds, lookup by lookup.
Status forEachLookup(Pager& pager, const TableDef& def, const std::vector<IndexLookup>& lookups,
                     uint64_t limit, const std::function<bool(size_t lookup, RowId row)>& visit) {
  auto indexes = TableIndexes::load(pager, def);
  if (!indexes) return indexes.status();
  for (size_t i = 0; i < lookups.size(); ++i) {
    const IndexLookup& l = lookups[i];
    if (l.columns.size() != l.values.size()) return notIndexed("clave de longitud incorrecta");
    bool withNull =
        std::any_of(l.values.begin(), l.values.end(), [](const Value& v) { return v.isNull(); });
    auto index = indexes->find(l.columns, withNull);
    if (!index) return index.status();
    auto key = indexLookupKey(def, *index, l.values);
    if (!key) return key.status();
    bool wholeKey = l.columns.size() == index->columns.size();
    JET_TRY(forEachIndexMatch(pager, index->root, *key, wholeKey, limit,
                              [&](RowId row) { return visit(i, row); }));
  }
  return Status::ok();
}

}  // namespace

Result<std::vector<RowId>> indexedRows(Pager& pager, const TableDef& def,
                                       const std::vector<IndexLookup>& lookups) {
  std::vector<RowId> rows;
  JET_TRY(forEachLookup(pager, def, lookups, UINT64_MAX, [&](size_t, RowId row) {
    rows.push_back(row);
    return true;
  }));
  auto byPlace = [](const RowId& a, const RowId& b) {
    return a.page != b.page ? a.page < b.page : a.slot < b.slot;
  };
  if (!std::is_sorted(rows.begin(), rows.end(), byPlace)) {
    std::sort(rows.begin(), rows.end(), byPlace);
  }
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

Result<std::vector<uint64_t>> countIndexed(Pager& pager, const TableDef& def,
                                           const std::vector<IndexLookup>& lookups,
                                           uint64_t limit) {
  std::vector<uint64_t> counts(lookups.size(), 0);
  JET_TRY(forEachLookup(pager, def, lookups, limit, [&](size_t i, RowId) {
    ++counts[i];
    return true;
  }));
  return counts;
}

}  // namespace jet::storage
