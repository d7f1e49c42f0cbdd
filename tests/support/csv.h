// Reading CSV as mdb-export and cocina-db export print it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cocina::test {

struct CsvField {
  std::string text;
  bool quoted = false;
  // An empty unquoted field: how both exporters write NULL.
  bool isNull() const { return !quoted && text.empty(); }
};
using CsvRecord = std::vector<CsvField>;

// Parses RFC 4180 text (CRLF or LF record ends, quoted fields with doubled
// quotes and embedded line breaks). nullopt when a quote is left open.
std::optional<std::vector<CsvRecord>> parseCsv(std::string_view text);

}  // namespace cocina::test
