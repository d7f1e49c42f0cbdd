// Data definition in SQL, as the people who keep the order database run
// it: CREATE TABLE with its constraints, CREATE INDEX on a table that has
// rows, DROP INDEX, DROP TABLE and ALTER TABLE ADD COLUMN, on new files of
// both formats and on copies of files Access made. Every file is read back
// by the check and by mdbtools.
#include <gtest/gtest.h>

#include <cctype>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/sql/parser.h"
#include "jet/sql/session.h"
#include "jet/sql/value_ops.h"
#include "support/command.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/new_file_test.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::expectSound;

// A session on a file, with short ways to run statements.
struct Sql {
  explicit Sql(std::unique_ptr<Database> opened) : db(std::move(opened)), session(*db) {}

  void ok(const std::string& statement) {
    auto r = session.execute(statement);
    EXPECT_TRUE(r) << statement << "\n  -> " << (r ? "" : r.error().description);
  }
  // The failure of a statement that must fail: its number, its text in *text.
  int32_t refused(const std::string& statement, std::string* text = nullptr) {
    auto r = session.execute(statement);
    EXPECT_FALSE(r) << statement << " should fail";
    if (r) return 0;
    if (text) *text = r.error().description;
    return r.error().number;
  }
  std::vector<std::string> column(const std::string& query) {
    std::vector<std::string> out;
    auto r = session.execute(query);
    EXPECT_TRUE(r) << query << "\n  -> " << (r ? "" : r.error().description);
    if (!r) return out;
    for (const auto& row : r->rows) out.push_back(row[0].isNull() ? "NULL" : sql::textOf(row[0]));
    return out;
  }
  std::vector<std::string> indexNames(const std::string& table) {
    std::vector<std::string> out;
    auto t = db->table(table);
    EXPECT_TRUE(t) << table;
    if (t) {
      for (const auto& ix : t->indexes) out.push_back(ix.name);
    }
    return out;
  }

  std::unique_ptr<Database> db;
  sql::Session session;
};

const char* kDuplicates =
    "Los cambios solicitados en la tabla no se realizaron correctamente porque crearían valores "
    "duplicados en el índice, clave principal o relación. Cambie los datos en el campo o los "
    "campos que contienen datos duplicados, quite el índice o vuelva a definirlo para permitir "
    "entradas duplicadas e inténtelo de nuevo.";
const char* kNullKey = "El índice o la clave principal no puede contener un valor nulo.";

// mdbtools' reading of the tables and their indexes, in lower case.
std::string postgresSchema(const std::string& path) {
  auto r = cocina::test::runCommand({"mdb-schema", "--indexes", path, "postgres"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  for (char& c : r.out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r.out;
}

class SqlDefinition : public cocina::test::NewFileTest {
 protected:
  void SetUp() override {
    NewFileTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    auto made = create(path);
    ASSERT_TRUE(made);
    sql = std::make_unique<Sql>(std::move(made));
  }
  void TearDown() override { sql.reset(); }
  // Closes the file, for the readers that follow.
  void close() { sql.reset(); }

  std::string path = newFile("definiciones");
  std::unique_ptr<Sql> sql;
};

TEST_P(SqlDefinition, CreateTableMakesItsPrimaryKeyAndUniqueConstraints) {
  sql->ok(
      "CREATE TABLE turnos (zona TEXT(10), dia DATETIME, cocinero TEXT(30) CONSTRAINT "
      "unCocinero UNIQUE, codigo LONG UNIQUE, CONSTRAINT pk PRIMARY KEY (zona, dia), "
      "UNIQUE (cocinero, codigo))");
  EXPECT_EQ(sql->indexNames("turnos"),
            (std::vector<std::string>{"pk", "unCocinero", "codigo", "cocinero_codigo"}));
  sql->ok("INSERT INTO turnos VALUES ('sala', #2024-05-01#, 'Ana', 1)");
  EXPECT_EQ(sql->refused("INSERT INTO turnos VALUES ('SALA', #2024-05-01#, 'Bea', 2)"),
            errc::kIntegrity);
  EXPECT_EQ(sql->refused("INSERT INTO turnos VALUES ('terraza', #2024-05-01#, 'ana', 3)"),
            errc::kIntegrity);
  sql->ok("INSERT INTO turnos VALUES ('terraza', #2024-05-01#, NULL, NULL)");
  sql->ok("INSERT INTO turnos VALUES ('barra', #2024-05-01#, NULL, NULL)");
  EXPECT_EQ(sql->refused("INSERT INTO turnos (zona) VALUES ('patio')"), errc::kIntegrity);
  // Two primary keys, or a constraint on a column the table lacks: refused.
  EXPECT_EQ(sql->refused("CREATE TABLE t2 (a LONG PRIMARY KEY, b LONG, PRIMARY KEY (b))"),
            errc::kSyntax);
  EXPECT_EQ(sql->refused("CREATE TABLE t2 (a LONG, UNIQUE (z))"), errc::kSyntax);
  close();
  auto schema = postgresSchema(path);
  EXPECT_NE(schema.find("primary key (\"zona\", \"dia\")"), std::string::npos) << schema;
  EXPECT_NE(schema.find("create unique index \"turnos_cocinero_codigo_idx\""), std::string::npos)
      << schema;
  EXPECT_EQ(cocina::test::mdbExportLines(path, "turnos")->size(), 3u);
  expectSound(path);
}

TEST_P(SqlDefinition, CreateIndexFillsItFromTheRowsAlreadyThere) {
  sql->ok(
      "CREATE TABLE platos (id COUNTER PRIMARY KEY, nombre TEXT(40), zona TEXT(10), precio "
      "CURRENCY)");
  const char* rows[][3] = {{"'Sopa'", "'cocina'", "3"},   {"'Café'", "'barra'", "1.2"},
                           {"'Flan'", "NULL", "2"},       {"NULL", "NULL", "NULL"},
                           {"'Paella'", "'cocina'", "9"}, {"'café'", "'terraza'", "1.5"}};
  for (const auto& r : rows) {
    sql->ok(std::string("INSERT INTO platos (nombre, zona, precio) VALUES (") + r[0] + ", " + r[1] +
            ", " + r[2] + ")");
  }
  sql->ok("CREATE INDEX porZona ON platos (zona DESC, precio) WITH IGNORE NULL");
  sql->ok("CREATE INDEX porPrecio ON platos (precio DESC)");
  // Looked up through the new index, as the board's statements will.
  EXPECT_EQ(sql->column("SELECT nombre FROM platos WHERE zona = 'COCINA' ORDER BY id"),
            (std::vector<std::string>{"Sopa", "Paella"}));
  // Over the rows' repeated and missing values: refused, with Access's
  // texts, and nothing made.
  std::string text;
  EXPECT_EQ(sql->refused("CREATE UNIQUE INDEX unNombre ON platos (nombre)", &text),
            errc::kIntegrity);
  EXPECT_EQ(text, kDuplicates);
  EXPECT_EQ(sql->refused("CREATE INDEX conZona ON platos (zona) WITH DISALLOW NULL", &text),
            errc::kIntegrity);
  EXPECT_EQ(text, kNullKey);
  EXPECT_EQ(sql->refused("CREATE INDEX otraClave ON platos (zona) WITH PRIMARY", &text),
            errc::kSyntax);
  EXPECT_EQ(text, "Ya existe una clave principal.");
  EXPECT_EQ(sql->refused("CREATE INDEX porzona ON platos (nombre)", &text), errc::kSyntax);
  EXPECT_EQ(text, "La tabla 'platos' ya tiene un índice denominado 'porzona'.");
  EXPECT_EQ(sql->refused("CREATE INDEX x ON platos (nada)"), errc::kSyntax);
  EXPECT_EQ(sql->refused("CREATE INDEX x ON nada (zona)"), errc::kNoTable);
  EXPECT_EQ(sql->indexNames("platos"),
            (std::vector<std::string>{"PrimaryKey", "porZona", "porPrecio"}));
  // A unique index where only Nulls repeat is taken; a new row must then
  // keep to it.
  sql->ok("CREATE UNIQUE INDEX unaZona ON platos (zona, nombre)");
  EXPECT_EQ(sql->refused("INSERT INTO platos (nombre, zona) VALUES ('SOPA', 'Cocina')"),
            errc::kIntegrity);
  close();
  auto schema = postgresSchema(path);
  EXPECT_NE(schema.find("(\"zona\" desc, \"precio\")"), std::string::npos) << schema;
  EXPECT_NE(schema.find("create unique index \"platos_unazona_idx\""), std::string::npos) << schema;
  EXPECT_EQ(cocina::test::mdbExportLines(path, "platos")->size(), 6u);
  expectSound(path);
}

TEST_P(SqlDefinition, DropIndexAndDropTableTakeThemAway) {
  sql->ok("CREATE TABLE mesas (mesa TEXT(10) PRIMARY KEY, zona TEXT(10))");
  sql->ok("CREATE TABLE viejas (x LONG)");
  sql->ok("INSERT INTO mesas VALUES ('1', 'sala')");
  sql->ok("INSERT INTO viejas VALUES (7)");
  sql->ok("CREATE INDEX porZona ON mesas (zona)");
  sql->ok("CREATE UNIQUE INDEX zonaUnica ON mesas (zona, mesa)");
  sql->ok("DROP INDEX porZona ON mesas");
  EXPECT_EQ(sql->indexNames("mesas"), (std::vector<std::string>{"PrimaryKey", "zonaUnica"}));
  // The indexes left go on being kept and used.
  sql->ok("INSERT INTO mesas VALUES ('2', 'sala')");
  EXPECT_EQ(sql->refused("INSERT INTO mesas VALUES ('2', 'terraza')"), errc::kIntegrity);
  EXPECT_EQ(sql->column("SELECT mesa FROM mesas WHERE mesa = '2'"),
            (std::vector<std::string>{"2"}));
  std::string text;
  EXPECT_EQ(sql->refused("DROP INDEX porZona ON mesas", &text), errc::kSyntax);
  EXPECT_EQ(text, "No existe el índice 'porZona' en la tabla 'mesas'.");
  sql->ok("DROP TABLE viejas");
  EXPECT_EQ(sql->refused("SELECT x FROM viejas"), errc::kNoTable);
  EXPECT_EQ(sql->refused("DROP TABLE viejas"), errc::kNoTable);
  // Access's own tables are not the staff's to change.
  EXPECT_EQ(sql->refused("DROP TABLE MSysObjects", &text), errc::kSyntax);
  EXPECT_EQ(text, "No se puede modificar la tabla del sistema 'MSysObjects'.");
  EXPECT_EQ(sql->refused("CREATE INDEX x ON MSysObjects (Name)"), errc::kSyntax);
  EXPECT_EQ(sql->refused("ALTER TABLE MSysObjects ADD COLUMN x LONG"), errc::kSyntax);
  // A table of the same name can be made again.
  sql->ok("CREATE TABLE viejas (y TEXT(5))");
  close();
  EXPECT_EQ(cocina::test::mdbTables(path), (std::vector<std::string>{"mesas", "viejas"}));
  EXPECT_EQ(postgresSchema(path).find("porzona"), std::string::npos);
  EXPECT_EQ(cocina::test::mdbExportLines(path, "mesas")->size(), 2u);
  expectSound(path);
}

TEST_P(SqlDefinition, AlterTableAddColumnLeavesTheRowsThereNull) {
  sql->ok("CREATE TABLE comandas (id COUNTER PRIMARY KEY, plato TEXT(20), listo YESNO)");
  sql->ok("INSERT INTO comandas (plato, listo) VALUES ('sopa', True)");
  sql->ok("INSERT INTO comandas (plato) VALUES ('flan')");
  sql->ok("ALTER TABLE comandas ADD COLUMN cantidad SHORT");
  sql->ok("ALTER TABLE comandas ADD nota MEMO NOT NULL");
  sql->ok("ALTER TABLE comandas ADD COLUMN mesa TEXT(10)");
  sql->ok("ALTER TABLE comandas ADD COLUMN servido YESNO");
  sql->ok("INSERT INTO comandas (plato, cantidad, nota, mesa) VALUES ('pan', 2, 'tostado', 'M1')");
  sql->ok("UPDATE comandas SET cantidad = 1, mesa = 'M2' WHERE plato = 'sopa'");
  EXPECT_EQ(sql->column("SELECT cantidad FROM comandas ORDER BY id"),
            (std::vector<std::string>{"1", "NULL", "2"}));
  EXPECT_EQ(sql->column("SELECT nota FROM comandas ORDER BY id"),
            (std::vector<std::string>{"NULL", "NULL", "tostado"}));
  // An index on a new column, over rows written before it was there.
  sql->ok("CREATE INDEX porMesa ON comandas (mesa)");
  EXPECT_EQ(sql->column("SELECT plato FROM comandas WHERE mesa = 'M2'"),
            (std::vector<std::string>{"sopa"}));
  std::string text;
  EXPECT_EQ(sql->refused("ALTER TABLE comandas ADD COLUMN Plato TEXT(5)", &text), errc::kSyntax);
  EXPECT_EQ(text, "El campo 'Plato' ya existe en la tabla 'comandas'.");
  EXPECT_EQ(sql->refused("ALTER TABLE comandas ADD COLUMN num COUNTER"), errc::kNotSupported);
  close();
  auto lines = cocina::test::mdbExportLines(path, "comandas");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 3u);
  EXPECT_EQ((*lines)[1], "2|flan|0|NULL|NULL|NULL|0");
  EXPECT_EQ((*lines)[2], "3|pan|0|2|tostado|M1|0");
  expectSound(path);
}

// Indexes and columns added until the definition runs over several pages.
TEST_P(SqlDefinition, ADefinitionGrowsOntoMorePages) {
  std::string create = "CREATE TABLE ancha (id COUNTER PRIMARY KEY";
  for (int i = 0; i < 30; ++i)
    create += ", campo_de_nombre_bastante_largo_" + std::to_string(i) + " LONG";
  sql->ok(create + ")");
  sql->ok("INSERT INTO ancha (campo_de_nombre_bastante_largo_0) VALUES (5)");
  for (int i = 0; i < 30; ++i) {
    sql->ok("CREATE INDEX indice_de_nombre_bastante_largo_" + std::to_string(i) +
            " ON ancha (campo_de_nombre_bastante_largo_" + std::to_string(i) + " DESC)");
  }
  for (int i = 30; i < 45; ++i) {
    sql->ok("ALTER TABLE ancha ADD COLUMN campo_de_nombre_bastante_largo_" + std::to_string(i) +
            " TEXT(20)");
  }
  sql->ok(
      "INSERT INTO ancha (campo_de_nombre_bastante_largo_0, campo_de_nombre_bastante_largo_44) "
      "VALUES (6, 'fin')");
  sql->ok("DROP INDEX indice_de_nombre_bastante_largo_3 ON ancha");
  EXPECT_EQ(sql->column("SELECT campo_de_nombre_bastante_largo_44 FROM ancha WHERE "
                        "campo_de_nombre_bastante_largo_0 = 6"),
            (std::vector<std::string>{"fin"}));
  EXPECT_EQ(sql->indexNames("ancha").size(), 30u);
  close();
  auto lines = cocina::test::mdbExportLines(path, "ancha");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 2u);
  EXPECT_EQ((*lines)[1].substr((*lines)[1].size() - 4), "|fin");
  expectSound(path);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, SqlDefinition, ::testing::Values("mdb", "accdb"));

// Table1 of the files Access made for the 97, 2000 and 2007 formats: two rows,
// a primary key on A and an index on B.
TEST(SqlDefinitionOnAccessFiles, IndexesAndColumnsChangeOnACopyOfAnAccessFile) {
  if (!cocina::test::requireFixtures() || !cocina::test::requireMdbTools()) return;
  for (const char* name : {"testV1997.mdb", "testV2000.mdb", "testV2007.accdb"}) {
    SCOPED_TRACE(name);
    cocina::test::TempDir dir;
    const std::string path = dir.copy(cocina::test::fixturePath(name));
    {
      auto opened = Database::open(path);
      ASSERT_TRUE(opened) << opened.error().description;
      Sql sql(std::move(*opened));
      sql.ok("CREATE INDEX porE ON Table1 (E DESC)");
      sql.ok("CREATE UNIQUE INDEX porD ON Table1 (D, C) WITH IGNORE NULL");
      sql.ok("INSERT INTO Table1 (A, B, C, D, E) VALUES ('nuevo', 'b', 2, 5, 7)");
      EXPECT_EQ(sql.refused("CREATE UNIQUE INDEX porC ON Table1 (C)"), errc::kIntegrity);
      // The new row has no F.
      EXPECT_EQ(sql.refused("CREATE INDEX porF ON Table1 (F) WITH DISALLOW NULL"),
                errc::kIntegrity);
      sql.ok("CREATE INDEX porA ON Table1 (A DESC) WITH DISALLOW NULL");
      EXPECT_EQ(sql.refused("INSERT INTO Table1 (A, B, C, D) VALUES ('otro', 'b', 2, 5)"),
                errc::kIntegrity);
      EXPECT_EQ(sql.refused("INSERT INTO Table1 (B) VALUES ('sin clave')"), errc::kIntegrity);
      sql.ok("ALTER TABLE Table1 ADD COLUMN nota TEXT(20)");
      sql.ok("UPDATE Table1 SET nota = 'vista' WHERE A = 'a'");
      sql.ok("DROP INDEX B ON Table1");
      EXPECT_EQ(sql.column("SELECT A FROM Table1 WHERE E = 7"),
                (std::vector<std::string>{"nuevo"}));
      EXPECT_EQ(sql.indexNames("Table1"),
                (std::vector<std::string>{"PrimaryKey", "porE", "porD", "porA"}));
    }
    auto lines = cocina::test::mdbExportLines(path, "Table1");
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 3u);
    int seen = 0;
    for (const auto& line : *lines) {
      if (line.rfind("a|b|", 0) == 0) seen += line.ends_with("|vista");
      if (line.rfind("nuevo|b|2|5|7|", 0) == 0) seen += line.ends_with("|NULL");
    }
    EXPECT_EQ(seen, 2) << lines->front();
    expectSound(path);
  }
}

// What the parser takes and what it still refuses, with the messages.
TEST(SqlDefinitionParsing, StatementsAndTheirMistakes) {
  auto parsed =
      sql::parse("create unique index ix on [Mis Mesas] (a asc, [b c] desc) with ignore null");
  ASSERT_TRUE(parsed) << parsed.error().description;
  const auto& ci = parsed->createIndex;
  EXPECT_EQ(parsed->kind, sql::StatementKind::CreateIndex);
  EXPECT_EQ(ci.table, "Mis Mesas");
  EXPECT_EQ(ci.columns, (std::vector<std::string>{"a", "b c"}));
  EXPECT_TRUE(ci.index.unique && ci.index.ignoreNulls && !ci.index.required);
  EXPECT_TRUE(ci.index.columns[0].ascending);
  EXPECT_FALSE(ci.index.columns[1].ascending);
  auto primary = sql::parse("CREATE INDEX pk ON t (a) WITH PRIMARY");
  ASSERT_TRUE(primary);
  EXPECT_TRUE(primary->createIndex.index.primary && primary->createIndex.index.unique);
  auto required = sql::parse("CREATE INDEX r ON t (a) WITH DISALLOW NULL;");
  ASSERT_TRUE(required);
  EXPECT_TRUE(required->createIndex.index.required);
  auto constraint = sql::parse("ALTER TABLE t ADD CONSTRAINT u UNIQUE (a, b)");
  ASSERT_TRUE(constraint);
  EXPECT_EQ(constraint->kind, sql::StatementKind::CreateIndex);
  EXPECT_EQ(constraint->createIndex.index.name, "u");
  auto message = [](const char* text) {
    auto r = sql::parse(text);
    return r ? std::string("(accepted)") : r.error().description;
  };
  EXPECT_EQ(message("CREATE INDEX ON t (a)"), "Error de sintaxis en la instrucción CREATE INDEX.");
  EXPECT_EQ(message("CREATE INDEX i ON t (a) WITH"),
            "Error de sintaxis en la instrucción CREATE INDEX.");
  EXPECT_EQ(message("CREATE INDEX i ON t ()"), "Error de sintaxis en la instrucción CREATE INDEX.");
  EXPECT_EQ(message("DROP INDEX i"), "Error de sintaxis en la instrucción DROP INDEX.");
  EXPECT_EQ(message("DROP TABLE"), "Error de sintaxis en la instrucción DROP TABLE.");
  EXPECT_EQ(message("ALTER TABLE t DROP COLUMN a"),
            "Error de sintaxis en la instrucción ALTER TABLE.");
  EXPECT_EQ(message("ALTER TABLE t ADD COLUMN b LONG PRIMARY KEY"),
            "Error de sintaxis en la instrucción ALTER TABLE.");
}

}  // namespace
