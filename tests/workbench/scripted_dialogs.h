// Dialogs for tests: records every box and launch, answers from a script,
// and never waits for a user.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "workbench/dialogs.h"

namespace quill::testing {

class ScriptedDialogs : public Dialogs {
 public:
  struct Box {
    BoxKind kind;
    QString text;
  };

  bool show_box(BoxKind kind, const QString& text) override {
    boxes.append({kind, text});
    return answer;
  }
  SaveChoice ask_save_changes(const QString&) override { return save_choice; }
  QString open_file_name(const QString&, const QString&) override { return open_name; }
  QString save_file_name(const QString&, const QString&, const QString&) override { return save_name; }
  QString folder_name(const QString&, const QString&) override { return folder; }
  bool run_dialog(QDialog& dialog) override { return fill_dialog ? fill_dialog(dialog) : false; }
  bool launch(const QString& command_line) override {
    launched << command_line;
    return true;
  }

  bool open_with_system(const QString& path) override {
    opened << path;
    return true;
  }
  QString choose_item(const QString&, const QString&, const QStringList&) override { return item; }

  // The texts of the boxes shown so far, each prefixed by its caption.
  QStringList shown() const {
    QStringList out;
    for (const Box& box : boxes) out << box_caption(box.kind) + " " + box.text;
    return out;
  }

  QList<Box> boxes;
  QStringList launched;
  QStringList opened;  // files handed to the desktop's "open" action
  bool answer = true;  // the answer to every question
  SaveChoice save_choice = SaveChoice::discard;
  QString open_name, save_name, folder, item;
  std::function<bool(QDialog&)> fill_dialog;
};

}  // namespace quill::testing
