// The process-wide failure reporter and the one used before the board
// installs its own: it writes to standard error, for runs without a screen.
#include "data/failure_reporter.h"

#include <iostream>

namespace data {

namespace {

class StandardErrorReporter : public FailureReporter {
 public:
  void copyToClipboard(const std::string& text) override {
    std::cerr << "sentencia: " << text << '\n';
  }
  void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
};

FailureReporter* installed = nullptr;

}  // namespace

void setFailureReporter(FailureReporter* reporter) {
  installed = reporter;
}

FailureReporter& failureReporter() {
  static StandardErrorReporter standardError;
  return installed ? *installed : standardError;
}

}  // namespace data
