// esRecordsetVacio: the one test of "this result has rows" that every
// reader uses, safe on anything it is given.
#include "data/ModuleRecordSet.h"

bool esRecordsetVacio(const ado::Recordset& rs) {
  try {
    // All three are read, as the readers of the system expect: a result
    // whose count the cursor does not know (-1) counts as empty too.
    bool eof = rs.eof();
    bool bof = rs.bof();
    int32_t count = rs.recordCount();
    return eof || bof || count < 1;
  } catch (...) {
    return true;
  }
}

bool esRecordsetVacio(const ado::Recordset* rs) {
  return rs == nullptr || esRecordsetVacio(*rs);
}
