// The simulated point of sale's order lines and table closings.
#include "demo/point_of_sale.h"

namespace demo {

namespace {
const char* const kDetalles[] = {
    "Sin cebolla", "Poco hecho\r\nSin sal", "Para llevar", "Muy caliente", "Al punto", "Sin hielo"};
}

PointOfSale::PointOfSale(std::shared_ptr<ado::Connection> connection, int tables, uint64_t seed,
                         ServiceMinute serviceMinute)
    : connection_(std::move(connection)),
      writer_(connection_),
      tables_(tables < 1 ? 1 : tables),
      rng_(seed),
      serviceMinute_(std::move(serviceMinute)) {}

int32_t PointOfSale::addLine() {
  const auto& products = menu();
  const Product* p = nullptr;
  while (!p || std::string(p->negocio) == "NN") p = &products[rng_() % products.size()];
  std::string mesa = std::to_string(1 + rng_() % static_cast<uint64_t>(tables_));
  int32_t minute = serviceMinute_();
  OrderLine l = saleLine(mesa, minute, *p, -static_cast<double>(1 + rng_() % 3));
  if (rng_() % 4 == 0) l.detalle = kDetalles[rng_() % std::size(kDetalles)];
  l.nick = "TPV";
  l.estado = "Pendiente";
  l.despCoc = "Y";
  l.tin = "O";
  l.tdc = int32_t{0};
  l.desp = "N";
  l.fecha = ado::Variant::date(jet::DateTime{nowAsAccessDate()});
  writer_.insert(l);
  return writer_.lastIdComanda();
}

int PointOfSale::closeTable(const std::string& mesa) {
  ado::Command close;
  close.setActiveConnection(connection_);
  close.setCommandText(
      "UPDATE COMANDAS SET Estado = 'Cobrado' WHERE idMesa = ? AND Estado = 'Pendiente'");
  close.parameters().append(close.createParameter("", ado::adEmpty, ado::adParamInput, 0, mesa));
  int32_t closed = 0;
  close.execute(&closed);
  return closed;
}

std::string PointOfSale::step() {
  if (rng_() % 12 == 0) {
    std::string mesa = std::to_string(1 + rng_() % static_cast<uint64_t>(tables_));
    int n = closeTable(mesa);
    return "mesa " + mesa + " cerrada (" + std::to_string(n) + " líneas)";
  }
  return "línea " + std::to_string(addLine()) + " nueva";
}

}  // namespace demo
