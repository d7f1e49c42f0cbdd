// The demo database: schemas, menu, and the rows of a day of service.
#include "jet/demo/demo_database.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include <unistd.h>

#include "jet/error_codes.h"
#include "jet/storage/write/new_file.h"

namespace jet::demo {

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

}  // namespace

const std::vector<Product>& menu() {
  static const std::vector<Product> m = {
      {"Tortilla española", "COCINA", 650},
      {"Croquetas de jamón", "COCINA", 800},
      {"Ensalada mixta", "COCINA", 700},
      {"Gazpacho", "COCINA", 550},
      {"Paella valenciana", "COCINA", 1400},
      {"Lentejas estofadas", "COCINA", 900},
      {"Merluza a la romana", "COCINA", 1350},
      {"Calamares fritos", "COCINA", 950},
      {"Patatas bravas", "COCINA", 550},
      {"Sopa del día", "COCINA", 600},
      {"Entrecot de ternera", "PARRILLA", 1850},
      {"Chuletas de cordero", "PARRILLA", 1700},
      {"Pollo a la brasa", "PARRILLA", 1100},
      {"Hamburguesa completa", "PARRILLA", 1050},
      {"Parrillada de verduras", "PARRILLA", 950},
      {"Secreto ibérico", "PARRILLA", 1550},
      {"Chorizo criollo", "PARRILLA", 750},
      {"Caña de cerveza", "BAR", 250},
      {"Copa de vino tinto", "BAR", 300},
      {"Refresco de cola", "BAR", 250},
      {"Agua mineral", "BAR", 180},
      {"Zumo de naranja", "BAR", 350},
      {"Tinto de verano", "BAR", 320},
      {"Vermú de grifo", "BAR", 300},
      {"Flan casero", "POSTRES", 450},
      {"Tarta de queso", "POSTRES", 550},
      {"Arroz con leche", "POSTRES", 450},
      {"Natillas", "POSTRES", 400},
      {"Helado de vainilla", "POSTRES", 420},
      {"Fruta del tiempo", "POSTRES", 380},
      {"Café solo", "CAFETERIA", 130},
      {"Café con leche", "CAFETERIA", 160},
      {"Cortado", "CAFETERIA", 140},
      {"Infusión de manzanilla", "CAFETERIA", 150},
      {"Chocolate con churros", "CAFETERIA", 380},
      {"Tostada con tomate", "CAFETERIA", 250},
      {"Pan", "NN", 100},
      {"Servicio de mesa", "NN", 150},
      {"Bolsa para llevar", "NN", 10},
      {"Suplemento terraza", "NN", 50},
  };
  return m;
}

TableSchema productosSchema() {
  TableSchema t;
  t.name = "PRODUCTOS";
  t.columns = {newColumn("idProducto", ColumnType::Long, 0, true),
               newColumn("NombreProducto", ColumnType::Text, 100),
               newColumn("NEGOCIO", ColumnType::Text, 50),
               newColumn("precio", ColumnType::Currency)};
  t.indexes = {newIndex("PrimaryKey", {0}, true)};
  return t;
}

TableSchema comandasSchema() {
  TableSchema t;
  t.name = "COMANDAS";
  t.columns = {newColumn("idComanda", ColumnType::Long, 0, true),
               newColumn("idMesa", ColumnType::Text, 10),
               newColumn("IDPRODUCTO", ColumnType::Long),
               newColumn("NombreProducto", ColumnType::Text, 100),
               newColumn("cantidad", ColumnType::Double),
               newColumn("Negocio", ColumnType::Text, 50),
               newColumn("Detalle", ColumnType::Memo),
               newColumn("detalle1", ColumnType::Text, 255),
               newColumn("detalle2", ColumnType::Text, 255),
               newColumn("nick", ColumnType::Text, 50),
               newColumn("Estado", ColumnType::Text, 20),
               newColumn("CONCEPTO", ColumnType::Text, 20),
               newColumn("DespCoc", ColumnType::Text, 1),
               newColumn("tin", ColumnType::Text, 1),
               newColumn("tdc", ColumnType::Long),
               newColumn("desp", ColumnType::Text, 1),
               newColumn("tdm", ColumnType::Long),
               newColumn("fecha", ColumnType::DateTime)};
  t.indexes = {newIndex("PrimaryKey", {0}, true), newIndex("idMesa", {1}),
               newIndex("Estado", {10})};
  return t;
}

ComandasColumns comandasColumns() {
  return ComandasColumns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
}

double nowAsAccessDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  // Local wall-clock time, as the point of sale stores it.
  double days = std::floor(static_cast<double>(now + local.tm_gmtoff) / 86400.0);
  double seconds = static_cast<double>((now + local.tm_gmtoff) % 86400);
  return 25569.0 + days + seconds / 86400.0;
}

namespace {

// History lines written per transaction.
constexpr uint64_t kLinesPerTransaction = 20000;

Status fillDemoDatabase(Database& db, const DemoOptions& options) {
  JET_TRY(db.createTable(productosSchema()));
  JET_TRY(db.createTable(comandasSchema()));
  auto level = db.begin();
  if (!level) return level.status();
  auto fail = [&](Status s) {
    (void)db.rollback();
    return s;
  };
  for (const Product& p : menu()) {
    auto r =
        db.insertRow("PRODUCTOS", {Value::null(), Value::text(p.nombre), Value::text(p.negocio),
                                   Value::currency(Currency{p.precioCentimos * 100})});
    if (!r) return fail(r.status());
  }
  std::mt19937_64 rng(options.seed);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  const auto& products = menu();
  const ComandasColumns c = comandasColumns();
  double now = nowAsAccessDate();
  if (!options.serviceMinute) {
    return Error{errc::kUnspecified, "La base de demostración necesita el reloj de servicio."};
  }
  int32_t minute = options.serviceMinute();
  auto line = [&](const std::string& mesa, const Product& p, double cantidad, int32_t ordered,
                  const char* estado, const char* despCoc, const char* tin, double fecha) {
    std::vector<Value> v(static_cast<size_t>(c.count));
    v[c.idMesa] = Value::text(mesa);
    v[c.idProducto] = Value::longValue(ordered);
    v[c.nombreProducto] = Value::text(p.nombre);
    v[c.cantidad] = Value::dbl(cantidad);
    v[c.negocio] = Value::text(p.negocio);
    if (pick(3) == 0) v[c.detalle] = Value::text(kDetalles[pick(std::size(kDetalles))]);
    v[c.detalle1] = Value::text("");
    v[c.detalle2] = Value::text("");
    v[c.nick] = Value::text(kNicks[pick(std::size(kNicks))]);
    v[c.estado] = Value::text(estado);
    v[c.concepto] = Value::text("Ventas");
    v[c.despCoc] = Value::text(despCoc);
    v[c.tin] = Value::text(tin);
    bool marked = std::string(despCoc) != "Y";
    v[c.tdc] = Value::longValue(marked ? static_cast<int32_t>(1 + pick(20)) : 0);
    v[c.desp] = Value::text(marked ? "S" : "N");
    v[c.tdm] = Value::longValue(0);
    v[c.fecha] = Value::dateTime(DateTime{fecha});
    return v;
  };
  // The control row: its date is the point of sale's business day.
  {
    std::vector<Value> v(static_cast<size_t>(c.count));
    v[c.idMesa] = Value::text("0");
    v[c.idProducto] = Value::longValue(0);
    v[c.nombreProducto] = Value::text("Registro de Control");
    v[c.cantidad] = Value::dbl(0);
    v[c.estado] = Value::text("Control");
    v[c.concepto] = Value::text("Control");
    v[c.despCoc] = Value::text("S");
    v[c.tin] = Value::text("X");
    v[c.tdc] = Value::longValue(0);
    v[c.desp] = Value::text("S");
    v[c.tdm] = Value::longValue(0);
    v[c.fecha] = Value::dateTime(DateTime{std::floor(now)});
    if (auto r = db.insertRow("COMANDAS", std::move(v)); !r) return fail(r.status());
  }
  // Open tables: a few lines each, in every kitchen state.
  struct State {
    const char* despCoc;
    const char* tin;
  };
  const State states[] = {{"Y", "O"}, {"Y", "X"}, {"Y", "X"}, {"P", "X"}, {"S", "X"}};
  for (int mesa = 1; mesa <= 8; ++mesa) {
    int lines = 2 + static_cast<int>(pick(4));
    for (int k = 0; k < lines; ++k) {
      const Product& p = products[pick(products.size() - 4)];  // no "NN" on open tables
      const State& s = states[pick(std::size(states))];
      double cantidad = -static_cast<double>(1 + pick(3));
      auto r = db.insertRow("COMANDAS", line(std::to_string(mesa), p, cantidad,
                                             minute - static_cast<int32_t>(pick(40)), "Pendiente",
                                             s.despCoc, s.tin, now));
      if (!r) return fail(r.status());
    }
  }
  // Closed lines of earlier services.
  const char* const closed[] = {"Cobrado", "Cerrado", "Anulado"};
  for (uint64_t i = 0; i < options.history; ++i) {
    const Product& p = products[pick(products.size())];
    double day = std::floor(now) - 1 - static_cast<double>(i * 30 / (options.history + 1));
    int32_t ordered = 720 + static_cast<int32_t>(pick(700));
    auto r = db.insertRow(
        "COMANDAS",
        line(std::to_string(1 + pick(20)), p, -static_cast<double>(1 + pick(3)), ordered,
             closed[pick(10) == 0 ? 2 : pick(2)], "S", "X", day + ordered / 1440.0));
    if (!r) return fail(r.status());
    if ((i + 1) % kLinesPerTransaction == 0) {
      JET_TRY(db.commit());
      auto next = db.begin();
      if (!next) return next.status();
    }
    if (options.progress && (i + 1) % 10000 == 0) options.progress(i + 1, options.history);
  }
  if (options.progress) options.progress(options.history, options.history);
  return db.commit();
}

}  // namespace

Status buildDemoDatabase(const std::string& path, const DemoOptions& options) {
  auto created = Database::create(path, storage::formatForPath(path));
  if (!created) return created.status();
  Status s = fillDemoDatabase(**created, options);
  if (!s) {
    created->reset();
    ::unlink(path.c_str());
    ::unlink((path + "-journal").c_str());
  }
  return s;
}

}  // namespace jet::demo
