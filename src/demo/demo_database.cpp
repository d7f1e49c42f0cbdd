// The demo database: the order tables, the menu, and the rows of a day of
// service, written through ADO.
#include "demo/demo_database.h"

#include <unistd.h>

#include <cmath>
#include <random>

#include "ado/catalog.h"
#include "ado/command.h"
#include "ado/error.h"
#include "demo/order_line.h"
#include "orders/order_tables.h"

namespace demo {

namespace {

const char* const kDetalles[] = {
    "Sin cebolla",
    "Poco hecho\r\nSin sal",
    "Para llevar",
    "Muy caliente",
    "Sin gluten\r\nAlérgico a frutos secos",
    "Al punto",
    "Doble de queso",
    "Sin hielo",
};
const char* const kNicks[] = {"Ana", "Luis", "Marta", "Jorge", "Lucía", "Pepe"};

// History lines written per transaction.
constexpr uint64_t kLinesPerTransaction = 20000;

ado::Variant accessDate(double days) {
  return ado::Variant::date(jet::DateTime{days});
}

void insertMenu(const std::shared_ptr<ado::Connection>& connection) {
  ado::Command insert;
  insert.setActiveConnection(connection);
  insert.setCommandText("INSERT INTO PRODUCTOS (NombreProducto, NEGOCIO, precio) VALUES (?, ?, ?)");
  for (int i = 0; i < 3; ++i) insert.parameters().append(insert.createParameter());
  for (const Product& p : menu()) {
    insert.parameters().item(0).setValue(p.nombre);
    insert.parameters().item(1).setValue(p.negocio);
    insert.parameters().item(2).setValue(
        ado::Variant::currency(jet::Currency{p.precioCentimos * 100}));
    insert.execute();
  }
}

// The control row: its date is the point of sale's business day.
OrderLine controlRow(double now) {
  OrderLine l;
  l.idMesa = "0";
  l.idProducto = int32_t{0};
  l.nombreProducto = "Registro de Control";
  l.cantidad = 0.0;
  l.estado = "Control";
  l.concepto = "Control";
  l.despCoc = "S";
  l.tin = "X";
  l.tdc = int32_t{0};
  l.desp = "S";
  l.tdm = int32_t{0};
  l.fecha = accessDate(std::floor(now));
  return l;
}

// Writes the rows. The random draws come in a fixed order, so one seed
// always gives the same content.
void fillDemoDatabase(const std::shared_ptr<ado::Connection>& connection,
                      const DemoOptions& options) {
  connection->beginTrans();
  insertMenu(connection);
  OrderLineWriter writer(connection);
  std::mt19937_64 rng(options.seed);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const auto& products = menu();
  double now = nowAsAccessDate();
  int32_t minute = options.serviceMinute();
  auto line = [&](const std::string& mesa, const Product& p, double cantidad, int32_t ordered,
                  const char* estado, const char* despCoc, const char* tin, double fecha) {
    OrderLine l = saleLine(mesa, ordered, p, cantidad);
    if (pick(3) == 0) l.detalle = kDetalles[pick(std::size(kDetalles))];
    l.nick = kNicks[pick(std::size(kNicks))];
    l.estado = estado;
    l.despCoc = despCoc;
    l.tin = tin;
    bool marked = std::string(despCoc) != "Y";
    l.tdc = marked ? static_cast<int32_t>(1 + pick(20)) : int32_t{0};
    l.desp = marked ? "S" : "N";
    l.fecha = accessDate(fecha);
    return l;
  };
  writer.insert(controlRow(now));
  // Open tables: a few lines each, in every kitchen state.
  struct State {
    const char* despCoc;
    const char* tin;
  };
  const State states[] = {{"Y", "O"}, {"Y", "X"}, {"Y", "X"}, {"P", "X"}, {"S", "X"}};
  for (int mesa = 1; mesa <= 8; ++mesa) {
    int lines = 2 + static_cast<int>(pick(4));
    for (int k = 0; k < lines; ++k) {
      const Product& p = products[pick(products.size() - kProductsOutsideKitchen)];
      const State& s = states[pick(std::size(states))];
      double cantidad = -static_cast<double>(1 + pick(3));
      writer.insert(line(std::to_string(mesa), p, cantidad, minute - static_cast<int32_t>(pick(40)),
                         "Pendiente", s.despCoc, s.tin, now));
    }
  }
  // Closed lines of earlier services.
  const char* const closed[] = {"Cobrado", "Cerrado", "Anulado"};
  for (uint64_t i = 0; i < options.history; ++i) {
    const Product& p = products[pick(products.size())];
    double day = std::floor(now) - 1 - static_cast<double>(i * 30 / (options.history + 1));
    int32_t ordered = 720 + static_cast<int32_t>(pick(700));
    writer.insert(line(std::to_string(1 + pick(20)), p, -static_cast<double>(1 + pick(3)), ordered,
                       closed[pick(10) == 0 ? 2 : pick(2)], "S", "X", day + ordered / 1440.0));
    if ((i + 1) % kLinesPerTransaction == 0) {
      connection->commitTrans();
      connection->beginTrans();
    }
    if (options.progress && (i + 1) % 10000 == 0) options.progress(i + 1, options.history);
  }
  if (options.progress) options.progress(options.history, options.history);
  connection->commitTrans();
}

}  // namespace

Outcome buildDemoDatabase(const std::string& path, const DemoOptions& options) {
  if (!options.serviceMinute) {
    return Outcome::failed("La base de demostración necesita el reloj de servicio.");
  }
  ado::Catalog catalog;
  std::shared_ptr<ado::Connection> connection;
  try {
    connection = catalog.create("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"" + path + "\"");
  } catch (const ado::ComError& e) {
    return Outcome::failed(e.description());  // the file was not made: nothing to remove
  }
  try {
    orders::createOrderTables(catalog);
    fillDemoDatabase(connection, options);
    connection->close();
    return Outcome::ok();
  } catch (const ado::ComError& e) {
    if (connection->state() == ado::adStateOpen) connection->close();
    ::unlink(path.c_str());
    ::unlink((path + "-journal").c_str());
    return Outcome::failed(e.description());
  }
}

}  // namespace demo
