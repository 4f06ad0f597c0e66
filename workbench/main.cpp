// quill: the Quillwork workbench.
//   quill [file]                  opens the file (else the last project or model)
//   quill --screenshot out.png    grabs the window with a model, a template and
//                                 a project open, writes the picture and exits
#include <QApplication>

#include "engine/engine.h"
#include "workbench/main_window.h"
#include "workbench/screenshot.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillwork"));
  quill::bind_engine_commands();
  QStringList arguments = QApplication::arguments().mid(1);
  if (arguments.size() == 2 && arguments[0] == QLatin1String("--screenshot"))
    return quill::write_screenshot(arguments[1]) ? 0 : 2;
  quill::MainWindow window;
  window.show();
  window.open_at_start(arguments);
  return app.exec();
}
