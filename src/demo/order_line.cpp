// The order-line writer: one parameterised INSERT, kept and rebound for
// every line, and the identity read back on the same connection.
#include "demo/order_line.h"

#include <cmath>
#include <ctime>

namespace demo {

double nowAsAccessDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  double days = std::floor(static_cast<double>(now + local.tm_gmtoff) / 86400.0);
  double seconds = static_cast<double>((now + local.tm_gmtoff) % 86400);
  return 25569.0 + days + seconds / 86400.0;
}

OrderLine saleLine(const std::string& mesa, int32_t minute, const Product& product,
                   double cantidad) {
  OrderLine l;
  l.idMesa = mesa;
  l.idProducto = minute;
  l.nombreProducto = product.nombre;
  l.cantidad = cantidad;
  l.negocio = product.negocio;
  l.detalle1 = "";
  l.detalle2 = "";
  l.concepto = "Ventas";
  l.tdm = int32_t{0};
  return l;
}

OrderLineWriter::OrderLineWriter(std::shared_ptr<ado::Connection> connection)
    : connection_(std::move(connection)) {
  insert_.setActiveConnection(connection_);
  insert_.setCommandText(
      "INSERT INTO COMANDAS (idMesa, IDPRODUCTO, NombreProducto, cantidad, Negocio, Detalle, "
      "detalle1, detalle2, nick, Estado, CONCEPTO, DespCoc, tin, tdc, desp, tdm, fecha) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert_.setPrepared(true);
  for (int i = 0; i < 17; ++i) insert_.parameters().append(insert_.createParameter());
}

void OrderLineWriter::insert(const OrderLine& l) {
  const ado::Variant* values[] = {
      &l.idMesa,   &l.idProducto, &l.nombreProducto, &l.cantidad, &l.negocio,  &l.detalle,
      &l.detalle1, &l.detalle2,   &l.nick,           &l.estado,   &l.concepto, &l.despCoc,
      &l.tin,      &l.tdc,        &l.desp,           &l.tdm,      &l.fecha};
  for (int32_t i = 0; i < 17; ++i) insert_.parameters().item(i).setValue(*values[i]);
  insert_.execute();
}

int32_t OrderLineWriter::lastIdComanda() {
  ado::Command identity;
  identity.setActiveConnection(connection_);
  identity.setCommandText("SELECT @@IDENTITY");
  return identity.execute().fields(0).toLong();
}

}  // namespace demo
