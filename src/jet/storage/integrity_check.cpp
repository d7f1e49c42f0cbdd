// The integrity check: pages, row counts, rows and indexes of every table.
#include "jet/storage/integrity_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/read_only_store.h"
#include "jet/storage/read/row_index_key.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/storage/tables/usage_map.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage {

using format::kLongValueOwner;
using write::DataPage;
using write::makeIndexEntry;
using write::readIndexEntries;

namespace {

std::string hex(const std::vector<uint8_t>& b, size_t max = 24) {
  static const char* d = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < b.size() && i < max; ++i) {
    s += d[b[i] >> 4];
    s += d[b[i] & 15];
  }
  if (b.size() > max) s += "…";
  return s;
}

using TableRows = std::vector<std::pair<RowId, std::vector<Value>>>;

// One index against the rows: its entries in order, and each row its
// properties ask for (every row but those an index that ignores nulls
// leaves out) found exactly once under its key; no Null where the index
// refuses one, no key repeated where it must be unique. True when every
// entry was compared with its row's key.
bool checkIndex(FileDatabase& db, ReadOnlyStore& store, const TableDef& def,
                const TableLayout& layout, const RealIndex& index, const TableRows& rows,
                const std::string& ix, CheckReport& r) {
  auto entries = readIndexEntries(store, index.root);
  if (!entries) {
    r.problems.push_back(ix + entries.error().description);
    return false;
  }
  for (size_t k = 1; k < entries->size(); ++k) {
    if (!((*entries)[k - 1] < (*entries)[k])) {
      r.problems.push_back(ix + "entradas fuera de orden (posición " + std::to_string(k) + ")");
      break;
    }
  }
  size_t nullKeys = 0;
  for (const auto& [id, values] : rows) {
    if (index.refusesNulls() && index.keyHasNull(values)) ++nullKeys;
  }
  if (nullKeys > 0) {
    r.problems.push_back(ix + std::to_string(nullKeys) +
                         " filas con un valor nulo en un índice que no los admite");
  }
  // Rows whose key this engine can't make (a character no known order
  // places) are only checked to be named once; every other entry must be
  // the key of its row.
  std::vector<IndexEntry> expected;
  std::vector<std::vector<uint8_t>> uniqueKeys;
  std::set<std::pair<uint32_t, uint16_t>> unkeyed;
  std::string why;
  for (const auto& [id, values] : rows) {
    if (!index.holdsRow(values)) continue;
    auto key = rowIndexKey(db.format(), def, layout, index, values);
    if (!key) {
      unkeyed.insert({id.page, id.slot});
      why = key.error().description;
      continue;
    }
    if (index.keyMustBeUnique(values)) uniqueKeys.push_back(*key);
    expected.push_back(makeIndexEntry(*key, id));
  }
  if (!unkeyed.empty()) {
    std::multiset<std::pair<uint32_t, uint16_t>> named;
    std::vector<IndexEntry> keyed;
    for (auto& e : *entries) {
      const RowId id = indexEntryRow(e);
      if (unkeyed.count({id.page, id.slot})) {
        named.insert({id.page, id.slot});
      } else {
        keyed.push_back(e);
      }
    }
    bool once = true;
    for (const auto& row : unkeyed) once = once && named.count(row) == 1;
    if (!once) r.problems.push_back(ix + "no nombra exactamente una vez cada fila sin clave");
    r.notes.push_back(ix + std::to_string(unkeyed.size()) + " claves no comprobadas (" + why + ")");
    *entries = std::move(keyed);
  }
  std::sort(uniqueKeys.begin(), uniqueKeys.end());
  if (std::adjacent_find(uniqueKeys.begin(), uniqueKeys.end()) != uniqueKeys.end()) {
    r.problems.push_back(ix + "índice único con claves repetidas");
  }
  std::sort(expected.begin(), expected.end());
  if (expected != *entries) {
    size_t k = 0;
    while (k < expected.size() && k < entries->size() && expected[k] == (*entries)[k]) ++k;
    std::string detail = k < expected.size() && k < entries->size()
                             ? "esperada " + hex(expected[k]) + ", hallada " + hex((*entries)[k])
                             : std::to_string(entries->size()) + " entradas para " +
                                   std::to_string(expected.size()) + " filas";
    r.problems.push_back(ix + "no coincide con las filas (" + detail + ")");
    return false;
  }
  return unkeyed.empty();
}

void checkTable(FileDatabase& db, ReadOnlyStore& store, const CatalogEntry& entry,
                const std::map<uint32_t, std::vector<uint32_t>>& dataPagesByOwner, CheckReport& r) {
  const std::string t = "tabla " + entry.name + ": ";
  auto def = db.tableDef(entry.name);
  if (!def) {
    // A column type this engine does not know is not damage.
    if (def.error().description.find("desconocido") != std::string::npos) {
      r.notes.push_back(t + "no comprobada: " + def.error().description);
    } else {
      r.problems.push_back(t + "definición ilegible: " + def.error().description);
    }
    return;
  }
  // Pages against the usage map.
  std::set<uint32_t> owned;
  {
    auto pages = UsageMapPages::load(db.pager(), (*def)->usedPages);
    if (!pages) {
      r.problems.push_back(t + "mapa de páginas ilegible: " + pages.error().description);
      return;
    }
    for (uint32_t guard = 0; guard <= store.pageCount(); ++guard) {
      auto n = pages->next(db.pager());
      if (!n) {
        r.problems.push_back(t + "mapa de páginas ilegible: " + n.error().description);
        return;
      }
      if (!*n) break;
      if (**n >= store.pageCount()) {
        r.problems.push_back(t + "el mapa nombra la página " + std::to_string(**n) +
                             ", fuera del archivo");
        continue;
      }
      owned.insert(**n);
    }
  }
  auto mine = dataPagesByOwner.find(entry.tableDefPage);
  size_t dataPages = 0;
  if (mine != dataPagesByOwner.end()) {
    for (uint32_t n : mine->second) {
      ++dataPages;
      if (owned.count(n)) continue;
      // A page the table gave up keeps its owner but holds no live row.
      auto p = store.read(n);
      if (!p) continue;
      DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>((*p)->data()), (*p)->size()));
      bool live = false;
      for (uint16_t s = 0; s < dp.rowCount(); ++s) {
        live = live || !dp.isDeleted(s);
      }
      if (live) {
        // Access leaves pages its own tables gave up with their old rows.
        (entry.system ? r.notes : r.problems)
            .push_back(t + "la página de datos " + std::to_string(n) +
                       " tiene filas y no está en el mapa de la tabla");
      }
    }
  }
  // Every row, every column (long values read to their end).
  std::vector<int> all((*def)->schema.columns.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  TableRows rows;
  {
    auto cursor = TableCursor::open(db.pager(), *def, all);
    if (!cursor) {
      r.problems.push_back(t + cursor.error().description);
      return;
    }
    while (true) {
      auto more = (*cursor)->next();
      if (!more) {
        r.problems.push_back(t + "fila ilegible: " + more.error().description);
        return;
      }
      if (!*more) break;
      rows.emplace_back((*cursor)->rowId(), (*cursor)->values());
    }
  }
  if (rows.size() != (*def)->schema.rowCount) {
    // Access itself leaves the counts of its tables behind (compacting sets
    // them right); no row is read by the count, so nothing is lost.
    r.notes.push_back(t + "la definición cuenta " + std::to_string((*def)->schema.rowCount) +
                      " filas y hay " + std::to_string(rows.size()));
  }
  std::string summary =
      t + std::to_string(rows.size()) + " filas en " + std::to_string(dataPages) + " páginas";
  // Indexes.
  auto located = loadTableLayout(db.pager(), **def);
  if (!located) {
    r.problems.push_back(t + "índices ilegibles: " + located.error().description);
    return;
  }
  const TableLayout& layout = *located;
  int verified = 0;
  for (size_t i = 0; i < layout.indexes.size(); ++i) {
    const std::string ix = t + "índice " + std::to_string(i) + ": ";
    if (checkIndex(db, store, **def, layout, layout.indexes[i], rows, ix, r)) ++verified;
  }
  r.notes.push_back(summary + "; " + std::to_string(verified) + " de " +
                    std::to_string(layout.indexes.size()) + " índices comprobados");
}

}  // namespace

Result<CheckReport> checkDatabase(FileDatabase& db) {
  JET_TRY(db.beginStatement());
  StatementEnd end{db.pager()};
  CheckReport r;
  auto catalog = db.catalog();
  if (!catalog) return catalog.status();
  ReadOnlyStore store(db.pager());
  // Data pages of the whole file, by the table that owns them.
  std::map<uint32_t, std::vector<uint32_t>> byOwner;
  for (uint32_t n = 1; n < store.pageCount(); ++n) {
    auto p = store.read(n);
    if (!p) {
      r.problems.push_back("página " + std::to_string(n) + " ilegible: " + p.error().description);
      continue;
    }
    if ((**p)[0] == static_cast<uint8_t>(format::PageType::Data)) {
      uint32_t owner = get32((*p)->data() + 4);
      if (owner != 0 && owner != kLongValueOwner) byOwner[owner].push_back(n);
    }
  }
  std::set<uint32_t> tables;
  for (const auto& e : *catalog) tables.insert(e.tableDefPage);
  if (!tables.count(format::kCatalogTableDefPage)) {
    CatalogEntry self;
    self.name = "MSysObjects";
    self.tableDefPage = format::kCatalogTableDefPage;
    self.system = true;
  }
  for (const auto& e : *catalog) checkTable(db, store, e, byOwner, r);
  for (const auto& [owner, pages] : byOwner) {
    if (!tables.count(owner) && owner != format::kCatalogTableDefPage) {
      r.notes.push_back(std::to_string(pages.size()) + " páginas de datos de una tabla " +
                        "que el catálogo no nombra (definición en la página " +
                        std::to_string(owner) + ")");
    }
  }
  return r;
}

}  // namespace jet::storage
