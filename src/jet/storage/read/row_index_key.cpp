// Keys of rows in real indexes; see row_index_key.h.
#include "jet/storage/read/row_index_key.h"

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/read/index_key.h"
#include "jet/storage/read/row_encode.h"

namespace jet::storage {

Result<std::vector<uint8_t>> rowIndexKey(FileFormat format, const TableDef& def,
                                         const TableLayout& layout, const RealIndex& index,
                                         const std::vector<Value>& values) {
  std::vector<uint8_t> key;
  for (const IndexColumn& ic : index.columns) {
    const auto pos = static_cast<size_t>(ic.column);
    if (pos >= def.schema.columns.size() || pos >= values.size() ||
        pos >= layout.sortOrder.size() || pos >= layout.sortVersion.size()) {
      return Error{errc::kNotSupported, "Un índice nombra un campo que la fila no tiene."};
    }
    const ColumnDef& c = def.schema.columns[pos];
    bool text = c.type == ColumnType::Text || c.type == ColumnType::Memo;
    // The file's format and the column's sort order choose how its text is keyed.
    TextKeyOrder order = TextKeyOrder::General;
    if (text) {
      auto chosen = textKeyOrderFor(format, layout.sortOrder[pos], layout.sortVersion[pos]);
      if (!chosen) {
        return Error{errc::kNotSupported,
                     "El índice del campo '" + c.name +
                         "' usa un orden de texto que el motor no sabe mantener; no se ha "
                         "modificado nada."};
      }
      order = *chosen;
    }
    auto v = coerceForColumn(c, values[pos]);
    if (!v) return v.status();
    JET_TRY(appendIndexKeyPart(key, c.type, *v, ic.ascending, order));
  }
  return key;
}

}  // namespace jet::storage
