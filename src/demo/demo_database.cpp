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

// The long texts of a busy service: what a point of sale writes when the
// waiter types the customer's wishes in full.
const char* const kNombresLargos[] = {
    "con guarnición de patatas panaderas y pimientos del padrón",
    "ración doble para compartir al centro de la mesa",
    "con salsa de setas de temporada y queso de cabra gratinado",
    "de la casa, receta tradicional de la abuela con pan tostado",
    "menú infantil con bebida y postre incluidos",
};
const char* const kDetallesLargos[] = {
    "Alérgico a los frutos secos y al marisco: avisar al jefe de cocina\r\nSin sal\r\n"
    "Servir después de los entrantes",
    "Cliente celíaco, preparar aparte con utensilios limpios\r\nSin gluten en la salsa",
    "Muy hecho por fuera y jugoso por dentro, cortado en tiras finas para los niños",
    "Sin cebolla ni ajo\r\nLa salsa aparte, en un cuenco pequeño\r\nCon pan sin tostar\r\n"
    "Mesa de cumpleaños: sacar con una vela",
    "Para llevar, en envase grande y con cubiertos para cuatro personas",
};

// History lines written per transaction.
constexpr uint64_t kLinesPerTransaction = 20000;

ado::Variant accessDate(double days) {
  return ado::Variant::date(jet::DateTime{days});
}

void insertMenu(const std::shared_ptr<ado::Connection>& connection,
                const std::vector<Product>& products) {
  ado::Command insert;
  insert.setActiveConnection(connection);
  insert.setCommandText("INSERT INTO PRODUCTOS (NombreProducto, NEGOCIO, precio) VALUES (?, ?, ?)");
  for (int i = 0; i < 3; ++i) insert.parameters().append(insert.createParameter());
  for (const Product& p : products) {
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
  const std::vector<Product> products = menuWithAreas(options.areas);
  insertMenu(connection, products);
  OrderLineWriter writer(connection);
  std::mt19937_64 rng(options.seed);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
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
  // An open line as written for the kitchen, long texts and all.
  auto openLine = [&](const std::string& mesa, const Product& p, double cantidad, int32_t ordered,
                      const char* despCoc, const char* tin) {
    OrderLine l = line(mesa, p, cantidad, ordered, "Pendiente", despCoc, tin, now);
    if (options.longTexts) {
      l.nombreProducto =
          std::string(p.nombre) + " " + kNombresLargos[pick(std::size(kNombresLargos))];
      if (pick(3) != 0) l.detalle = kDetallesLargos[pick(std::size(kDetallesLargos))];
    }
    return l;
  };
  const size_t kitchenProducts = products.size() - kProductsOutsideKitchen;
  writer.insert(controlRow(now));
  // Open tables: a few lines each, in every kitchen state.
  struct State {
    const char* despCoc;
    const char* tin;
  };
  // The last state is the dispatched one: a set number of dispatched lines
  // leaves it out of the draw.
  const State states[] = {{"Y", "O"}, {"Y", "X"}, {"Y", "X"}, {"P", "X"}, {"S", "X"}};
  const size_t drawnStates = std::size(states) - (options.dispatched ? 1 : 0);
  for (int mesa = 1; mesa <= options.tables; ++mesa) {
    int lines = 2 + static_cast<int>(pick(4));
    for (int k = 0; k < lines; ++k) {
      const Product& p = products[pick(kitchenProducts)];
      const State& s = states[pick(drawnStates)];
      double cantidad = -static_cast<double>(1 + pick(3));
      writer.insert(openLine(std::to_string(mesa), p, cantidad,
                             minute - static_cast<int32_t>(pick(40)), s.despCoc, s.tin));
    }
  }
  for (int i = 0; i < options.dispatched.value_or(0); ++i) {
    const Product& p = products[pick(kitchenProducts)];
    double cantidad = -static_cast<double>(1 + pick(3));
    writer.insert(openLine(std::to_string(1 + i % options.tables), p, cantidad,
                           minute - static_cast<int32_t>(pick(40)), "S", "X"));
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
  if (options.areas < 1 || options.areas > kMaxKitchenAreas) {
    return Outcome::failed("Las áreas de cocina van de 1 a " + std::to_string(kMaxKitchenAreas) +
                           ".");
  }
  if (options.tables < 1 || options.tables > kMaxDemoTables) {
    return Outcome::failed("Las mesas abiertas van de 1 a " + std::to_string(kMaxDemoTables) + ".");
  }
  if (options.dispatched && (*options.dispatched < 0 || *options.dispatched > kMaxDemoDispatched)) {
    return Outcome::failed("Las líneas despachadas van de 0 a " +
                           std::to_string(kMaxDemoDispatched) + ".");
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
