// One order line as the point of sale writes it into COMANDAS, and the
// writer that inserts such lines through an ADO connection: the demo
// database's lines and the simulated point of sale's go in the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ado/command.h"
#include "ado/connection.h"
#include "ado/variant.h"
#include "demo/menu.h"

namespace demo {

// The columns of COMANDAS but idComanda (an AutoNumber); Empty ones are
// written as Null.
struct OrderLine {
  ado::Variant idMesa, idProducto, nombreProducto, cantidad, negocio, detalle, detalle1, detalle2,
      nick, estado, concepto, despCoc, tin, tdc, desp, tdm, fecha;
};

// A sale of `product` for table `mesa`, ordered at service minute
// `minute`: the columns every sale line fills alike (IDPRODUCTO the minute,
// the product's name and area, CONCEPTO "Ventas", empty detalle1 and
// detalle2, tdm 0). The caller sets the rest: states, detail, nick, date.
OrderLine saleLine(const std::string& mesa, int32_t minute, const Product& product,
                   double cantidad);

// Now, as Access keeps dates (days since 1899-12-30), in local wall-clock
// time as the point of sale stores it.
double nowAsAccessDate();

class OrderLineWriter {
 public:
  // `connection` must be open while lines are written.
  explicit OrderLineWriter(std::shared_ptr<ado::Connection> connection);

  // Inserts the line; raises ado::ComError when the engine refuses it.
  void insert(const OrderLine& line);
  // The idComanda the last insert on this connection took.
  int32_t lastIdComanda();

 private:
  std::shared_ptr<ado::Connection> connection_;
  ado::Command insert_;
};

}  // namespace demo
