// The simulated point of sale's order lines and table closings.
#include "jet/demo/point_of_sale.h"

#include "jet/demo/demo_database.h"

namespace jet::demo {

namespace {
const char* const kDetalles[] = {
    "Sin cebolla", "Poco hecho\r\nSin sal", "Para llevar", "Muy caliente", "Al punto", "Sin hielo"};
}

PointOfSale::PointOfSale(Database& db, int tables, uint64_t seed, ServiceMinute serviceMinute)
    : db_(db),
      tables_(tables < 1 ? 1 : tables),
      rng_(seed),
      serviceMinute_(std::move(serviceMinute)) {}

Result<int32_t> PointOfSale::addLine() {
  const auto& products = menu();
  const Product* p = nullptr;
  while (!p || std::string(p->negocio) == "NN") p = &products[rng_() % products.size()];
  const ComandasColumns c = comandasColumns();
  std::vector<Value> v(static_cast<size_t>(c.count));
  v[c.idMesa] = Value::text(std::to_string(1 + rng_() % static_cast<uint64_t>(tables_)));
  v[c.idProducto] = Value::longValue(serviceMinute_());
  v[c.nombreProducto] = Value::text(p->nombre);
  v[c.cantidad] = Value::dbl(-static_cast<double>(1 + rng_() % 3));
  v[c.negocio] = Value::text(p->negocio);
  if (rng_() % 4 == 0) v[c.detalle] = Value::text(kDetalles[rng_() % std::size(kDetalles)]);
  v[c.detalle1] = Value::text("");
  v[c.detalle2] = Value::text("");
  v[c.nick] = Value::text("TPV");
  v[c.estado] = Value::text("Pendiente");
  v[c.concepto] = Value::text("Ventas");
  v[c.despCoc] = Value::text("Y");
  v[c.tin] = Value::text("O");
  v[c.tdc] = Value::longValue(0);
  v[c.desp] = Value::text("N");
  v[c.tdm] = Value::longValue(0);
  v[c.fecha] = Value::dateTime(DateTime{nowAsAccessDate()});
  int32_t id = 0;
  auto r = db_.insertRow("COMANDAS", std::move(v), &id);
  if (!r) return r.status();
  return id;
}

Result<int> PointOfSale::closeTable(const std::string& mesa) {
  const ComandasColumns c = comandasColumns();
  auto level = db_.begin();
  if (!level) return level.status();
  std::vector<RowId> rows;
  {
    auto cursor = db_.scan("COMANDAS", {c.idMesa, c.estado});
    if (!cursor) {
      (void)db_.rollback();
      return cursor.status();
    }
    while (true) {
      auto more = (*cursor)->next();
      if (!more) {
        (void)db_.rollback();
        return more.status();
      }
      if (!*more) break;
      const auto& v = (*cursor)->values();
      if (v[0].isText() && v[0].asText() == mesa && v[1].isText() && v[1].asText() == "Pendiente") {
        rows.push_back((*cursor)->rowId());
      }
    }
  }
  for (RowId r : rows) {
    auto u = db_.updateRow("COMANDAS", r, {{c.estado, Value::text("Cobrado")}});
    if (!u) {
      (void)db_.rollback();
      return u.status();
    }
  }
  JET_TRY(db_.commit());
  return static_cast<int>(rows.size());
}

Result<std::string> PointOfSale::step() {
  if (rng_() % 12 == 0) {
    std::string mesa = std::to_string(1 + rng_() % static_cast<uint64_t>(tables_));
    auto n = closeTable(mesa);
    if (!n) return n.status();
    return "mesa " + mesa + " cerrada (" + std::to_string(*n) + " líneas)";
  }
  auto id = addLine();
  if (!id) return id.status();
  return "línea " + std::to_string(*id) + " nueva";
}

}  // namespace jet::demo
