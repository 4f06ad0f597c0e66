// A picture of the workbench for the documentation: the window with a
// model, a template and a project open, grabbed without showing a screen
// (run with QT_QPA_PLATFORM=offscreen).
#pragma once

#include <QString>

namespace quill {

// Writes the picture as PNG; false when it cannot be written.
bool write_screenshot(const QString& png_path);

}  // namespace quill
