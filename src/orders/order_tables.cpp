// The definitions of COMANDAS and PRODUCTOS, as ADOX tables.
#include "orders/order_tables.h"

namespace orders {

namespace {

ado::CatalogColumn autoNumber(const char* name) {
  return {name, ado::adInteger, 0, true};
}
ado::CatalogColumn text(const char* name, int32_t chars) {
  return {name, ado::adVarWChar, chars};
}
ado::CatalogColumn typed(const char* name, int32_t type) {
  return {name, type};
}

}  // namespace

const ado::CatalogTable& comandasTable() {
  static const ado::CatalogTable table{
      "COMANDAS",
      {autoNumber("idComanda"), text("idMesa", 10), typed("IDPRODUCTO", ado::adInteger),
       text("NombreProducto", 100), typed("cantidad", ado::adDouble), text("Negocio", 50),
       typed("Detalle", ado::adLongVarWChar), text("detalle1", 255), text("detalle2", 255),
       text("nick", 50), text("Estado", 20), text("CONCEPTO", 20), text("DespCoc", 1),
       text("tin", 1), typed("tdc", ado::adInteger), text("desp", 1), typed("tdm", ado::adInteger),
       typed("fecha", ado::adDate)},
      {{"PrimaryKey", {"idComanda"}, true}, {"idMesa", {"idMesa"}}, {"Estado", {"Estado"}}}};
  return table;
}

const ado::CatalogTable& productosTable() {
  static const ado::CatalogTable table{"PRODUCTOS",
                                       {autoNumber("idProducto"), text("NombreProducto", 100),
                                        text("NEGOCIO", 50), typed("precio", ado::adCurrency)},
                                       {{"PrimaryKey", {"idProducto"}, true}}};
  return table;
}

void createOrderTables(ado::Catalog& catalog) {
  catalog.appendTable(productosTable());
  catalog.appendTable(comandasTable());
}

}  // namespace orders
