// The point of sale's tables, defined once: COMANDAS (one row per order
// line) and PRODUCTOS (the menu, whose NEGOCIO values are the board's
// preparation areas). The demo database, the tests and the benchmarks all
// create them from here, so every order database cocina makes has the same
// columns, in the same order, with the same types and indexes.
//
// The types are those of the kitchens' own files: Detalle is a Memo (a
// line's details may run past 255 characters), the other texts are short
// Text columns, IDPRODUCTO holds the service minute of ordering, fecha is a
// date. COMANDAS is indexed on idMesa and Estado, the two columns the
// board's statements select by.
#pragma once

#include "ado/catalog.h"

namespace orders {

// COMANDAS, columns in definition order: idComanda (AutoNumber, primary
// key), idMesa, IDPRODUCTO, NombreProducto, cantidad, Negocio, Detalle,
// detalle1, detalle2, nick, Estado, CONCEPTO, DespCoc, tin, tdc, desp, tdm,
// fecha.
const ado::CatalogTable& comandasTable();
// PRODUCTOS: idProducto (AutoNumber, primary key), NombreProducto, NEGOCIO,
// precio.
const ado::CatalogTable& productosTable();

// Appends PRODUCTOS and COMANDAS to the catalog's database (which has
// neither). Raises ado::ComError as Catalog::appendTable does.
void createOrderTables(ado::Catalog& catalog);

}  // namespace orders
