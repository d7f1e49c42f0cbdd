// The index rules' failures; see index_errors.h.
#include "jet/storage/write/index_errors.h"

#include "jet/error_codes.h"

namespace jet::storage::write {

Error duplicateKeyError() {
  return Error{errc::kIntegrity,
               "Los cambios solicitados en la tabla no se realizaron correctamente porque crearían "
               "valores duplicados en el índice, clave principal o relación. Cambie los datos en "
               "el campo o los campos que contienen datos duplicados, quite el índice o vuelva a "
               "definirlo para permitir entradas duplicadas e inténtelo de nuevo."};
}

Error nullKeyError() {
  return Error{errc::kIntegrity, "El índice o la clave principal no puede contener un valor nulo."};
}

}  // namespace jet::storage::write
