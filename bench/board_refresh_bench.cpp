// One full refresh of the kitchen board, with 40 tables of 10 lines each in
// four areas, on an order database the engine made: both order statements,
// the grids destroyed and rebuilt, and the form's widgets brought in step.
// Its peer is the two statements alone, measured in the same run; the ratio
// printed at the end is what the board itself adds to the reads.
//
// The refresh runs with the form's updates disabled and paints once after
// it, so the screen never shows a half-built board; the paint itself is
// measured apart (BM_PintarTablero) by grabbing the form.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include <QApplication>
#include <QTimer>

#include "ado/catalog.h"
#include "ado/error.h"
#include "board/fmr_inicio.h"
#include "board/pedidos_en_base.h"
#include "data/clsConnAdmin.h"
#include "jet/database.h"
#include "orders/clsComanda.h"
#include "orders/order_tables.h"
#include "orders/service_clock.h"
#include "ui/wave_player.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMesas = 40;
constexpr int kLineasPorMesa = 10;
const char* const kAreas[] = {"BAR", "COCINA", "PARRILLA", "POSTRES"};

// The point of sale's two tables, with 40 open tables of 10 waiting lines.
bool crearBase(const std::string& path) {
  try {
    ado::Catalog catalog;
    catalog.create("Data Source=" + path);
    orders::createOrderTables(catalog);
    catalog.activeConnection()->close();
  } catch (const ado::ComError&) {
    return false;
  }
  auto opened = jet::Database::open(path);
  if (!opened) return false;
  std::unique_ptr<jet::Database> db = std::move(opened.value());
  for (const char* area : kAreas) {
    if (!db->insertRow("PRODUCTOS", {jet::Value::null(), jet::Value::text("Plato"),
                                     jet::Value::text(area), jet::Value::null()})) {
      return false;
    }
  }
  for (int m = 1; m <= kMesas; ++m) {
    for (int l = 0; l < kLineasPorMesa; ++l) {
      std::vector<jet::Value> row = {jet::Value::null(),
                                     jet::Value::text(std::to_string(m)),
                                     jet::Value::longValue(700 + (m * 7 + l) % 30),
                                     jet::Value::text("Plato del dia " + std::to_string(l)),
                                     jet::Value::dbl(1 + l % 3),
                                     jet::Value::text(kAreas[(m + l) % 4]),
                                     jet::Value::text(l % 3 == 0 ? "Sin sal\r\nMuy caliente" : ""),
                                     jet::Value::text(""),
                                     jet::Value::text(""),
                                     jet::Value::text("ana"),
                                     jet::Value::text("Pendiente"),
                                     jet::Value::text("Ventas"),
                                     jet::Value::text(l % 4 == 0 ? "P" : "Y"),
                                     jet::Value::text("X"),
                                     jet::Value::longValue(0),
                                     jet::Value::text(""),
                                     jet::Value::longValue(0),
                                     jet::Value::null()};
      if (!db->insertRow("COMANDAS", std::move(row))) return false;
    }
  }
  return true;
}

class Silencio : public ui::SoundDevice {
 public:
  void setFileName(const std::string&) override {}
  void command(const std::string&) override {}
};

struct Escenario {
  fs::path dir;
  Silencio sonido;
  std::unique_ptr<board::fmrInicio> form;
  bool listo = false;

  Escenario() {
    dir = fs::temp_directory_path() / ("cocina-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string path = (dir / "pedidos.mdb").string();
    fijarFuenteHora([] { return std::string("12:15:00"); });
    if (!crearBase(path)) return;
    form = std::make_unique<board::fmrInicio>([path] { return board::abrirPedidos(path); }, nullptr,
                                              &sonido);
    form->resize(1280, 800);
    form->show();
    form->Form_Activate();
    board::Tablero& t = form->tablero();
    for (int i = 0; i < t.cmdVer.count(); ++i) t.cmdVer[i].down = true;
    t.cmdVer_Click(0);
    form->render();
    listo = t.msgListaPendientes.count() == kMesas + 1;
  }
  ~Escenario() {
    form.reset();
    delete conexion;
    conexion = nullptr;
    fs::remove_all(dir);
  }
};

// Made on first use, dropped in main before the application object goes.
std::unique_ptr<Escenario> elEscenario;
Escenario& escenario() {
  if (!elEscenario) elEscenario = std::make_unique<Escenario>();
  return *elEscenario;
}

void BM_SoloConsultas(benchmark::State& state) {
  Escenario& e = escenario();
  if (!e.listo) return state.SkipWithError("no demo database");
  clsComanda servicio;
  std::vector<std::string> areas = e.form->tablero().areasSeleccionadas;
  for (auto _ : state) {
    std::vector<clsMesa> mesas = servicio.getPendientes(areas);
    benchmark::DoNotOptimize(mesas);
  }
}
BENCHMARK(BM_SoloConsultas)->Unit(benchmark::kMillisecond);

void BM_RefrescoCompleto(benchmark::State& state) {
  Escenario& e = escenario();
  if (!e.listo) return state.SkipWithError("no demo database");
  for (auto _ : state) {
    QMetaObject::invokeMethod(e.form->timer(), "timeout", Qt::DirectConnection);
  }
  if (e.form->tablero().msgListaPendientes.count() != kMesas + 1) {
    state.SkipWithError("the board lost tables");
  }
}
BENCHMARK(BM_RefrescoCompleto)->Unit(benchmark::kMillisecond);

void BM_PintarTablero(benchmark::State& state) {
  Escenario& e = escenario();
  if (!e.listo) return state.SkipWithError("no demo database");
  for (auto _ : state) {
    QPixmap imagen = e.form->grab();
    benchmark::DoNotOptimize(imagen);
  }
}
BENCHMARK(BM_PintarTablero)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration to print the ratio.
class Informe : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> tiempos;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (!r.error_occurred && r.iterations > 0)
        tiempos[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Informe informe;
  benchmark::RunSpecifiedBenchmarks(&informe);
  auto consultas = informe.tiempos.find("BM_SoloConsultas");
  auto refresco = informe.tiempos.find("BM_RefrescoCompleto");
  if (consultas != informe.tiempos.end() && refresco != informe.tiempos.end() &&
      consultas->second > 0) {
    std::printf(
        "full refresh / statements alone (CPU time): %.2f (40 tables x 10 lines, "
        "%.2f ms of CPU a refresh against a 2500 ms timer)\n",
        refresco->second / consultas->second, refresco->second);
  }
  std::fflush(stdout);
  elEscenario.reset();
  benchmark::Shutdown();
  return 0;
}
