// clsConnAdmin::getAcumuladoPendientes: the quantities per product that
// wait for the kitchen. It lives with the order code because its records are
// order lines (clsComanda), which the data layer below does not know.
#include <cmath>

#include "data/ModuleRecordSet.h"
#include "data/clsConnAdmin.h"
#include "orders/clsComanda.h"

std::vector<clsComanda> clsConnAdmin::getAcumuladoPendientes() {
  ado::Recordset rs = Query(ordenes::sentenciaAcumuladoPendientes(), {});
  std::vector<clsComanda> totales;
  if (!esRecordsetVacio(rs)) {
    ado::Variant suma = rs.fields("c");
    ado::Variant nombre = rs.fields("Nombre");
    while (!rs.eof()) {
      clsComanda total;
      ado::Variant s = suma.resolved();
      total.setCantidad(s.isNull() ? 0 : std::fabs(s.toDouble()));
      ado::Variant n = nombre.resolved();
      total.setNombre(n.isNull() ? std::string() : n.toString());
      totales.push_back(std::move(total));
      rs.moveNext();
    }
  }
  rs.close();
  return totales;
}
