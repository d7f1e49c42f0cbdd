// The message box and the clipboard through QMessageBox and QClipboard.
#include "ui/message_box.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

namespace ui {

void showModalMessage(QWidget* parent, const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                  QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

void copyTextToClipboard(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return;
  clipboard->clear();
  clipboard->setText(QString::fromStdString(text));
}

}  // namespace ui
