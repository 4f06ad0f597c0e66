// A workbench window with scripted dialogs, a clean settings store and a
// temporary directory: what most workbench tests start from.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "foundation/settings.h"
#include "tests/workbench/scripted_dialogs.h"
#include "workbench/main_window.h"

namespace quill::testing {

struct WorkbenchFixture {
  WorkbenchFixture() {
    settings().clear();
    auto owned = std::make_unique<ScriptedDialogs>();
    dialogs = owned.get();
    window = std::make_unique<MainWindow>(std::move(owned));
  }

  // Writes a file below the temporary directory (making its directories).
  QString write(const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
  }

  QTemporaryDir dir;
  ScriptedDialogs* dialogs = nullptr;
  std::unique_ptr<MainWindow> window;
};

}  // namespace quill::testing
