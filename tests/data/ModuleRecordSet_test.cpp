// esRecordsetVacio on the recordsets a reader can meet: not open, without
// rows, with a count the cursor does not know, and with rows.
#include "data/ModuleRecordSet.h"

#include <gtest/gtest.h>

#include "data/clsConnAdmin.h"
#include "data/order_database.h"

namespace {

TEST(EsRecordsetVacio, OnlyAnOpenResultWithACurrentRowHasRows) {
  testdb::TempDir dir;
  testdb::OrderDatabase db(dir.file("v.mdb"));
  db.add({});
  db.close();
  clsConnAdmin conn(dir.file("v.mdb"));

  EXPECT_TRUE(esRecordsetVacio(nullptr));
  EXPECT_TRUE(esRecordsetVacio(ado::Recordset()));  // never opened

  auto none = conn.Query("SELECT * FROM COMANDAS WHERE idMesa = 'nadie'", {});
  EXPECT_TRUE(esRecordsetVacio(none));

  auto one = conn.Query("SELECT * FROM COMANDAS", {});
  EXPECT_FALSE(esRecordsetVacio(one));
  EXPECT_FALSE(esRecordsetVacio(&one));
  one.moveNext();  // past the last row: no current row
  EXPECT_TRUE(esRecordsetVacio(one));

  // A server-side forward-only cursor does not know its count (-1).
  ado::Recordset forward;
  forward.open("SELECT * FROM COMANDAS", conn.connection(), ado::adOpenForwardOnly,
               ado::adLockReadOnly);
  ASSERT_EQ(forward.recordCount(), -1);
  ASSERT_FALSE(forward.eof());
  EXPECT_TRUE(esRecordsetVacio(forward));

  auto closed = conn.Query("SELECT * FROM COMANDAS", {});
  closed.close();
  EXPECT_TRUE(esRecordsetVacio(closed));
}

}  // namespace
