// The CSV reader: one pass, a quoted field read to its closing quote, so a
// line break inside quotes stays in the field.
#include "support/csv.h"

namespace cocina::test {

std::optional<std::vector<CsvRecord>> parseCsv(std::string_view t) {
  std::vector<CsvRecord> records;
  CsvRecord record;
  CsvField field;
  size_t i = 0;
  bool fieldStarted = false;
  auto endField = [&] {
    record.push_back(std::move(field));
    field = CsvField{};
    fieldStarted = false;
  };
  auto endRecord = [&] {
    endField();
    records.push_back(std::move(record));
    record.clear();
  };
  while (i < t.size()) {
    char c = t[i];
    if (c == '"' && !fieldStarted) {
      field.quoted = true;
      fieldStarted = true;
      ++i;
      while (true) {
        if (i >= t.size()) return std::nullopt;
        if (t[i] == '"') {
          if (i + 1 < t.size() && t[i + 1] == '"') {
            field.text.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.text.push_back(t[i++]);
      }
      continue;
    }
    if (c == ',') {
      endField();
      ++i;
    } else if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
      endRecord();
      i += 2;
    } else if (c == '\n') {
      endRecord();
      ++i;
    } else {
      field.text.push_back(c);
      fieldStarted = true;
      ++i;
    }
  }
  if (fieldStarted || !record.empty()) endRecord();
  return records;
}

}  // namespace cocina::test
