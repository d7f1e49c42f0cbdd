// The modal message box and the system clipboard.
//
// The staff see a failure in a modal box with an OK button only and the
// program's caption; a statement that failed goes on the clipboard so
// whoever keeps the system running can paste it.
#pragma once

#include <string>

class QWidget;

namespace ui {

// The caption message boxes carry: the program's name.
inline constexpr const char* kProgramCaption = "cocina";

// Returns when the user has closed the box.
void showModalMessage(QWidget* parent, const std::string& caption, const std::string& text);
// Clears the clipboard and puts `text` on it as plain text; does nothing
// without a clipboard.
void copyTextToClipboard(const std::string& text);

}  // namespace ui
