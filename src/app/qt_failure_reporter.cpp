// The failure report through the platform's message box and clipboard.
#include "app/qt_failure_reporter.h"

#include "ui/message_box.h"

namespace app {

void QtFailureReporter::copyToClipboard(const std::string& text) {
  ui::copyTextToClipboard(text);
}

void QtFailureReporter::showMessage(const std::string& text) {
  ui::showModalMessage(parent_, ui::kProgramCaption, text);
}

}  // namespace app
