#include "workbench/screenshot.h"

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "project/project_node.h"
#include "workbench/characteristics_dialog.h"
#include "workbench/code_editor.h"
#include "workbench/dialogs.h"
#include "workbench/main_window.h"
#include "workbench/project_document.h"
#include "workbench/text_document.h"

namespace quill {

namespace {

// Answers nothing and shows nothing: the picture must not wait for a click.
class SilentDialogs : public Dialogs {
 public:
  bool show_box(BoxKind, const QString&) override { return false; }
  SaveChoice ask_save_changes(const QString&) override { return SaveChoice::discard; }
  QString open_file_name(const QString&, const QString&) override { return {}; }
  QString save_file_name(const QString&, const QString&, const QString&) override { return {}; }
  QString folder_name(const QString&, const QString&) override { return {}; }
  bool run_dialog(QDialog&) override { return false; }
  bool launch(const QString&) override { return false; }
  bool open_with_system(const QString&) override { return false; }
  QString choose_item(const QString&, const QString&, const QStringList&) override { return {}; }
};

constexpr const char* kModelText =
    "-- Bank accounts\n"
    "-- A small model of accounts and their owners\n"
    "\n"
    "object Account\n"
    "   balance : float [ indexed ] ;\n"
    "   owner : ref_to Customer ;\n"
    "   deposit ( amount : float ) ;\n"
    "end [ persistent, table = \"accounts\" ] ;\n"
    "\n"
    "object Customer\n"
    "   name : string ;  -- the full name\n"
    "end ;\n";

constexpr const char* kTemplateText =
    "# C++ headers\n"
    "# One header per object\n"
    "\n"
    ".each_object\n"
    ".file <obj.name>.h\n"
    ":// Generated from <dsm.name>\n"
    ":class <obj.name> {\n"
    ".each_attribute\n"
    "<attr.is_only>:  // the only attribute\n"
    "<attr.indexed>:  // indexed by <attr.index_name|name>\n"
    ":  <attr.kind> <attr.name>;\n"
    ".end\n"
    ":};\n"
    ":$$SETVAR count <obj.name>\n"
    "<obj.persistent>:  // stored in <obj.table>\n"
    ".end\n";

void fill_project(ProjectDocument& project) {
  project.root().set_name("Banking");
  project.add_subsystem()->set_name("Accounts");
  ProjectNode* rule = project.add_generation_rule();
  rule->set_name("Account headers");
  auto& gen = static_cast<GenerationRule&>(*rule);
  gen.model_file().set_name("models/bank.dsm");
  gen.template_file().set_name("templates/cpp_header.tem");
  project.node_changed(*rule);
  project.select_node(project.root());
  project.add_subsystem()->set_name("Reports");
  project.add_generation_rule();
  project.node_changed(project.root());  // show the names given above
  project.set_modified(false);
}

}  // namespace

bool write_screenshot(const QString& png_path) {
  MainWindow window(std::make_unique<SilentDialogs>());
  window.resize(1100, 720);
  auto* model = static_cast<TextDocument*>(window.new_document(DocKind::model));
  model->editor().setPlainText(QString::fromLatin1(kModelText));
  auto* tem = static_cast<TextDocument*>(window.new_document(DocKind::template_));
  tem->editor().setPlainText(QString::fromLatin1(kTemplateText));
  auto* project = static_cast<ProjectDocument*>(window.new_document(DocKind::project));
  fill_project(*project);
  window.show();
  window.findChild<QMdiArea*>()->tileSubWindows();
  QApplication::processEvents();
  QPixmap picture = window.grab();

  // The Characteristics dialog over the window, listing the template's names.
  QTemporaryDir dir;
  const std::string previous_dir = platform::current_directory();
  platform::change_directory(dir.path().toStdString());
  platform::create_directory("templates");
  platform::write_file("templates/cpp_header.tem", kTemplateText);
  settings().set("CGenTemplate", "templates/cpp_header.tem");
  CharacteristicsDialog dialog(window.dialogs(), &window);
  platform::change_directory(previous_dir);
  dialog.types().setCurrentRow(2);  // attributes
  dialog.resize(520, 330);
  dialog.show();
  QApplication::processEvents();
  QPainter painter(&picture);
  const QPixmap shown = dialog.grab();
  constexpr int kCaption = 26;  // no window manager draws one offscreen
  const QPoint at(40, picture.height() - shown.height() - 40);
  const QRect frame(at - QPoint(0, kCaption), shown.size() + QSize(0, kCaption));
  painter.fillRect(frame.translated(6, 6), QColor(0, 0, 0, 70));  // a shadow
  painter.fillRect(QRect(frame.topLeft(), QSize(frame.width(), kCaption)), QColor(52, 82, 128));
  painter.setPen(Qt::white);
  painter.drawText(QRect(frame.topLeft() + QPoint(10, 0), QSize(frame.width() - 10, kCaption)),
                   Qt::AlignVCenter | Qt::AlignLeft, dialog.windowTitle());
  painter.drawPixmap(at, shown);
  painter.setPen(QColor(90, 90, 90));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.end();
  return picture.save(png_path, "PNG");
}

}  // namespace quill
