// What the kitchen board asks of the order store, in one narrow interface.
//
// The board reads the areas once at load, the pending lines at every
// refresh and the dispatched lines when "Servido" is pressed, and writes the
// kitchen's marks. PedidosEnBase (pedidos_en_base.h) answers from the order
// database through clsComanda; the tests wrap it to record what the board
// asked and wrote.
//
// Reads raise ado::ComError on failure, as the order operations do; the
// marks report their own failures (clipboard and message box) and return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ado/variant.h"
#include "orders/clsMesa.h"

namespace board {

// One line of the dispatched list: the fields of the dispatched-lines read
// the list shows, as the read answers them (Null where the row has none).
struct LineaDespachada {
  ado::Variant idmesa, cantidad, nombreproducto, detalle, detalle1, detalle2, nick, tdc, tdm,
      idcomanda;
};

class Pedidos {
 public:
  virtual ~Pedidos() = default;
  virtual std::vector<std::string> getAreas() = 0;
  virtual std::vector<clsMesa> getPendientes(const std::vector<std::string>& areas) = 0;
  virtual void setDespachar1(int32_t idComanda) = 0;
  virtual void setDespachar2(int32_t idComanda) = 0;
  virtual void setDesmarcarNuevo(int32_t idComanda) = 0;
  virtual void devolverProducto(int32_t idComanda) = 0;
  // The lines dispatched to the waiters of open orders, by table as text.
  virtual std::vector<LineaDespachada> getAllPendienteRs() = 0;
};

}  // namespace board
