// Order databases for the tests, made by the engine in a temporary folder:
// the point of sale's COMANDAS and PRODUCTOS tables (orders/order_tables.h)
// with the lines a test needs, written straight through the engine (not
// through the code under test).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ado/catalog.h"
#include "ado/error.h"
#include "jet/database.h"
#include "jet/text.h"
#include "jet/value.h"
#include "orders/order_tables.h"
#include "support/temp_dir.h"

// The tests write a line by naming only the columns that matter to them
// ({.idMesa = "5", .negocio = "BAR"}); the rest keep the defaults below.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace testdb {

// The tests' one kind of temporary folder, under the name these tests use.
using cocina::test::TempDir;

// One order line as the point of sale writes it.
struct Linea {
  std::string idMesa = "1";
  int32_t minuto = 700;  // IDPRODUCTO: the service minute of ordering
  std::optional<std::string> nombre = std::string("Tortilla");
  double cantidad = 1;
  std::optional<std::string> negocio = std::string("COCINA");
  std::optional<std::string> detalle = std::string("");
  std::string estado = "Pendiente";
  std::string concepto = "Ventas";
  std::string despCoc = "Y";
  std::optional<std::string> tin = std::string("O");
  std::optional<double> fecha;  // days since 1899-12-30
  std::optional<std::string> detalle1 = std::string("");
  std::optional<std::string> detalle2 = std::string("");
  std::optional<std::string> nick = std::string("ana");
  int32_t tdc = 0;
  int32_t tdm = 0;
};

inline jet::Value opt(const std::optional<std::string>& v) {
  return v ? jet::Value::text(*v) : jet::Value::null();
}

class OrderDatabase {
 public:
  // Creates the file with COMANDAS and PRODUCTOS and keeps it open for
  // adding rows (in COMANDAS's column order) until close().
  explicit OrderDatabase(const std::string& path, jet::FileFormat format = jet::FileFormat::Jet4)
      : path_(path) {
    try {
      ado::Catalog catalog;
      catalog.create(std::string("Data Source=") + path +
                     "; Jet OLEDB:Engine Type=" + (format == jet::FileFormat::Ace12 ? "6" : "5"));
      orders::createOrderTables(catalog);
      catalog.activeConnection()->close();
    } catch (const ado::ComError& e) {
      ADD_FAILURE() << "create " << path << ": " << e.description();
      return;
    }
    auto db = jet::Database::open(path);
    if (!db) {
      ADD_FAILURE() << "open " << path << ": " << db.error().description;
      return;
    }
    db_ = std::move(db.value());
  }

  // Adds a line; answers its idComanda.
  int32_t add(const Linea& l) {
    if (!db_) return 0;
    std::vector<jet::Value> row = {
        jet::Value::null(),
        jet::Value::text(l.idMesa),
        jet::Value::longValue(l.minuto),
        opt(l.nombre),
        jet::Value::dbl(l.cantidad),
        opt(l.negocio),
        opt(l.detalle),
        opt(l.detalle1),
        opt(l.detalle2),
        opt(l.nick),
        jet::Value::text(l.estado),
        jet::Value::text(l.concepto),
        jet::Value::text(l.despCoc),
        opt(l.tin),
        jet::Value::longValue(l.tdc),
        jet::Value::text(""),
        jet::Value::longValue(l.tdm),
        l.fecha ? jet::Value::dateTime(jet::DateTime{*l.fecha}) : jet::Value::null()};
    int32_t id = 0;
    auto r = db_->insertRow("COMANDAS", std::move(row), &id);
    EXPECT_TRUE(r.isOk()) << (r ? "" : r.error().description);
    return id;
  }

  void addProducto(const std::string& nombre, const std::optional<std::string>& negocio) {
    if (!db_) return;
    auto r = db_->insertRow("PRODUCTOS", {jet::Value::null(), jet::Value::text(nombre),
                                          opt(negocio), jet::Value::null()});
    EXPECT_TRUE(r.isOk()) << (r ? "" : r.error().description);
  }

  // A column of the line `idComanda` as the file holds it now (Null when
  // there is no such line), read straight through the engine.
  jet::Value value(int32_t idComanda, const std::string& column) {
    if (!db_) return jet::Value::null();
    auto schema = db_->table("COMANDAS");
    if (!schema) return jet::Value::null();
    int wanted = -1;
    for (size_t i = 0; i < schema.value().columns.size(); ++i)
      if (jet::equalsIgnoreCase(schema.value().columns[i].name, column))
        wanted = static_cast<int>(i);
    EXPECT_GE(wanted, 0) << "no column " << column;
    if (wanted < 0) return jet::Value::null();
    auto cursor = db_->scan("COMANDAS", {0, wanted});
    if (!cursor) return jet::Value::null();
    while (true) {
      auto more = cursor.value()->next();
      if (!more || !more.value()) return jet::Value::null();
      const auto& row = cursor.value()->values();
      if (!row[0].isNull() && row[0].asLong() == idComanda) return row[1];
    }
  }

  // Closes the file so the code under test opens it as the board does.
  void close() { db_.reset(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<jet::Database> db_;
};

// Makes the file at `path` with these lines and closes it, ready for the
// code under test to open as the board does; answers the path.
inline std::string writeOrderFile(const std::string& path, const std::vector<Linea>& lines) {
  OrderDatabase db(path);
  for (const auto& l : lines) db.add(l);
  db.close();
  return path;
}

}  // namespace testdb
