// The main window and the start-up sequence.
#include "app/mdi_form1.h"

#include "app/settings/settings.h"
#include "board/fmr_inicio.h"
#include "board/pedidos_en_base.h"
#include "data/failure_reporter.h"

MDIForm1::MDIForm1() : reporter_(this) {
  setWindowTitle(QString::fromUtf8(kCaptionPrincipal));
  data::setFailureReporter(&reporter_);
}

MDIForm1::~MDIForm1() {
  data::setFailureReporter(nullptr);
}

void MDIForm1::ponerTitulo(const QString& captionHijo) {
  QString titulo = QString::fromUtf8(kCaptionPrincipal);
  if (!captionHijo.isEmpty()) titulo += QStringLiteral(" - [") + captionHijo + QStringLiteral("]");
  setWindowTitle(titulo);
}

void MDIForm1::MDIForm_Load() {
  leerConfiguracion("Acceso");
  // Loading the board opens the database with rutaBaseDatos; a failure goes
  // up from here to main, which shows it and ends.
  fmrInicio_ = new board::fmrInicio([] { return board::abrirPedidos(rutaBaseDatos); }, this);
  fmrInicio_->fijarTamanoPendientes(tamanoFuente(tamanoLetra, kTamanoPorDefectoPendientes));
  fmrInicio_->fijarTamanoControl(tamanoFuente(tamanoLetra, kTamanoPorDefectoDespachados));
  connect(fmrInicio_, &board::fmrInicio::captionChanged, this, &MDIForm1::ponerTitulo);
  setCentralWidget(fmrInicio_);
  fmrInicio_->show();
  fmrInicio_->Form_Activate();
}
