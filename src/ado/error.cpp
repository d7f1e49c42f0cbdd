// The descriptions of ADO's own failures, in Spanish as the Spanish ADO
// gives them, kept in one table so that every object raises the same text
// for the same number.
#include "ado/error.h"

#include "ado/constants.h"

namespace ado {

namespace {

const char* descriptionOf(int32_t number) {
  switch (number) {
    case adErrFeatureNotAvailable:
      return "El objeto o el proveedor no puede realizar la operación solicitada.";
    case adErrInvalidArgument:
      return "Los argumentos son incorrectos, están fuera del intervalo aceptable o están en "
             "conflicto con otros.";
    case adErrInvalidConnection:
      return "La conexión no se puede usar para realizar esta operación. Está cerrada o no es "
             "válida en este contexto.";
    case adErrItemNotFound:
      return "No se encontró el elemento en la colección que corresponde con el nombre o el "
             "ordinal pedido.";
    case adErrNoCurrentRecord:
      return "BOF o EOF es True, o el actual registro se eliminó; la operación solicitada requiere "
             "un registro actual.";
    case adErrObjectClosed: return "La operación no está permitida si el objeto está cerrado.";
    case adErrObjectOpen: return "La operación no está permitida si el objeto está abierto.";
    case adErrProviderNotFound:
      return "No se puede encontrar el proveedor. Es posible que no esté instalado correctamente.";
  }
  return "Error de ADO.";
}

}  // namespace

void raiseAdoError(int32_t number) {
  throw ComError(number, descriptionOf(number));
}

}  // namespace ado
