// cocina: the kitchen board. No command line: the settings file "Acceso" in
// the current directory says which database to show.
//
// A database that can't be opened at start-up is shown to the staff with its
// number and description, and the program ends with status 1.
#include <QApplication>
#include <QScreen>

#include "ado/error.h"
#include "app/mdi_form1.h"
#include "ui/message_box.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  MDIForm1 principal;
  try {
    principal.MDIForm_Load();
  } catch (const ado::ComError& e) {
    ui::showModalMessage(nullptr, kCaptionPrincipal,
                         "Error " + std::to_string(e.number()) + "\n" + e.description());
    return 1;
  } catch (const std::exception& e) {
    ui::showModalMessage(nullptr, kCaptionPrincipal, std::string("Error\n") + e.what());
    return 1;
  }
  // Maximized: the window manager keeps it so; without one (a kiosk screen
  // started straight on X) the window is given the whole screen itself.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    principal.setGeometry(screen->availableGeometry());
  }
  principal.showMaximized();
  return app.exec();
}
