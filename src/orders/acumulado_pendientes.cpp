// getAcumuladoPendientes: the quantities per product that wait for the
// kitchen, read with the connection's Query and kept as order records.
#include "orders/acumulado_pendientes.h"

#include <cmath>

#include "data/ModuleRecordSet.h"

std::vector<clsComanda> getAcumuladoPendientes(clsConnAdmin& conexion) {
  ado::Recordset rs = conexion.Query(ordenes::sentenciaAcumuladoPendientes(), {});
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
