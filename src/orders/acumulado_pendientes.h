// getAcumuladoPendientes: per product, the summed quantity of the order
// lines that wait for the kitchen.
#pragma once

#include <vector>

#include "data/clsConnAdmin.h"
#include "orders/clsComanda.h"

// One record per product, in the order of the grouped result (by product
// name): its quantity as a positive number and its name in Nombre; the
// record's other properties keep a new record's values. Empty when nothing
// waits. Runs its statement on `conexion`; a failed read raises
// ado::ComError.
std::vector<clsComanda> getAcumuladoPendientes(clsConnAdmin& conexion);
