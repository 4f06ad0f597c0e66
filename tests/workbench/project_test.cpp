// Project documents: building a tree with the commands, the Properties
// dialog, saving and loading through the project file, the clipboard,
// generation of a selected node, and the documents opened at start.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "foundation/platform.h"
#include "foundation/settings.h"
#include "project/project_file.h"
#include "project/project_node.h"
#include "tests/workbench/scripted_dialogs.h"
#include "tests/workbench/test_classes.h"
#include "workbench/main_window.h"
#include "workbench/node_properties_dialog.h"
#include "workbench/project_document.h"
#include "workbench/text_document.h"

using quill::DocKind;
using quill::NodePropertiesDialog;
using quill::ProjectDocument;
using quill::ProjectNode;
using quill::settings;
using quill::testing::ScriptedDialogs;

namespace {

// One line per node: depth, type, name, own output directory and flags.
void dump(const ProjectNode& node, int depth, QString& out) {
  out += QString(depth * 2, ' ') + QString::number(static_cast<int>(node.type_id())) + " " +
         QString::fromStdString(node.name()) + " [" + QString::fromStdString(node.output_dir()) +
         "] " + (node.inherits() ? "i" : "-") + (node.emit_unix_eol() ? "u" : "-") +
         (node.show_summary() ? "s" : "-") + "\n";
  for (size_t i = 0; i < node.child_count(); ++i) dump(node.child(i), depth + 1, out);
}

QString dump(const ProjectNode& node) {
  QString out;
  dump(node, 0, out);
  return out;
}

}  // namespace

class ProjectTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void builds_saves_and_loads_a_tree();
  void properties_dialog_titles_and_pages();
  void copy_and_paste_a_subtree();
  void paste_into_another_project();
  void generates_a_selected_node_with_summary();
  void opens_at_start();

 private:
  ProjectDocument* build_project();
  QString write(const QString& name, const QByteArray& content);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<quill::MainWindow> window_;
  ScriptedDialogs* dialogs_ = nullptr;
};

void ProjectTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  settings().clear();
  auto owned = std::make_unique<ScriptedDialogs>();
  dialogs_ = owned.get();
  window_ = std::make_unique<quill::MainWindow>(std::move(owned));
}

void ProjectTest::cleanup() {
  window_.reset();
  dir_.reset();
}

QString ProjectTest::write(const QString& name, const QByteArray& content) {
  QString path = dir_->filePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(content);
  return path;
}

// Project "Bank" > Subsystem "Core" (own output dir, Unix line ends) > rule
// "Headers" with model and template; and a rule "Loose" under the root.
ProjectDocument* ProjectTest::build_project() {
  auto* project = static_cast<ProjectDocument*>(window_->new_document(DocKind::project));
  const QString out = dir_->filePath("out");
  QDir().mkpath(out);
  const QString model = write("bank.dsm", "object Account\n   balance : float ;\nend ;\n");
  const QString tem = write("t.tem", ".each_object\n.file <obj.name>.h\n:class <obj.name>;\n.end\n");
  // Each Properties run fills the dialog as a user would.
  dialogs_->fill_dialog = [](QDialog&) { return true; };
  auto edit = [this](std::function<void(NodePropertiesDialog&)> fill) {
    dialogs_->fill_dialog = [fill](QDialog& dialog) {
      fill(static_cast<NodePropertiesDialog&>(dialog));
      return true;
    };
    window_->edit_node_properties();
  };
  edit([](NodePropertiesDialog& d) { d.name_edit()->setText("Bank"); });
  window_->add_subsystem();
  edit([out](NodePropertiesDialog& d) {
    d.name_edit()->setText("Core");
    d.inherit_box()->setChecked(false);
    d.output_dir_edit()->setText(out);
    d.unix_eol_box()->setChecked(true);
  });
  window_->add_generation_rule();
  edit([model, tem](NodePropertiesDialog& d) {
    d.name_edit()->setText("Headers");
    d.description_edit()->setPlainText("C++ headers");
    d.model_file_edit()->setText(model);
    d.template_file_edit()->setText(tem);
  });
  project->select_node(project->root());
  window_->add_generation_rule();
  edit([](NodePropertiesDialog& d) { d.name_edit()->setText("Loose"); });
  return project;
}

void ProjectTest::builds_saves_and_loads_a_tree() {
  ProjectDocument* project = build_project();
  const QString out = dir_->filePath("out");
  const QString expected = "0 Bank [] --s\n"
                           "  1 Core [" + out + "] -us\n"
                           "    2 Headers [] i-s\n"
                           "      3 " + dir_->filePath("bank.dsm") + " [] i-s\n"
                           "      4 " + dir_->filePath("t.tem") + " [] i-s\n"
                           "  2 Loose [] i-s\n"
                           "    3 <not set> [] i-s\n"
                           "    4 <not set> [] i-s\n";
  QCOMPARE(dump(project->root()), expected);
  QVERIFY(project->is_modified());
  QCOMPARE(project->tree().topLevelItem(0)->text(0), QStringLiteral("Bank"));
  QCOMPARE(project->tree().topLevelItem(0)->child(0)->child(0)->text(0), QStringLiteral("Headers"));

  // Deleting the root is refused; deleting a rule takes its subtree.
  project->select_node(project->root());
  window_->delete_node();
  QCOMPARE(project->root().child_count(), size_t{2});

  dialogs_->save_name = dir_->filePath("bank");
  QVERIFY(window_->save());
  QVERIFY(!project->is_modified());
  QCOMPARE(project->path(), dir_->filePath("bank.qpj"));
  QCOMPARE(settings().get("ProjName"), dir_->filePath("bank.qpj").toStdString());

  // The console reads the same file.
  quill::Project read;
  QCOMPARE(quill::load_project(dir_->filePath("bank.qpj").toStdString(), read), quill::ProjectLoad::ok);
  QCOMPARE(dump(read), expected);

  QVERIFY(window_->close_active());
  auto* loaded = static_cast<ProjectDocument*>(window_->open_file(dir_->filePath("bank.qpj")));
  QVERIFY(loaded);
  QCOMPARE(dump(loaded->root()), expected);
  QVERIFY(!loaded->is_modified());
  QCOMPARE(window_->recent_files().first(), dir_->filePath("bank.qpj"));

  // A damaged file is refused with a box and opens nothing.
  QByteArray bytes = QByteArray::fromStdString(quill::write_project(read));
  const QString damaged = write("damaged.qpj", bytes.left(bytes.size() / 2));
  dialogs_->boxes.clear();
  QVERIFY(window_->open_file(damaged) == nullptr);
  QCOMPARE(dialogs_->boxes.size(), 1);
  QCOMPARE(window_->documents().size(), 1);
}

void ProjectTest::properties_dialog_titles_and_pages() {
  quill::Project project;
  auto& sub = project.adopt(std::make_unique<quill::Subsystem>());
  auto& rule = sub.adopt(std::make_unique<quill::GenerationRule>());
  const QString model = write("m.dsm", "-- Bank model\n-- Accounts and\n-- customers\nobject A end;\n");
  static_cast<quill::GenerationRule&>(rule).model_file().set_name(model.toStdString());
  struct Row {
    ProjectNode* node;
    const char* title;
    bool has_file_pages;
  } rows[] = {
      {&project, "Project Properties", false},
      {&sub, "Subsystem Properties", false},
      {&rule, "Generation Rule Properties", true},
  };
  for (const Row& row : rows) {
    NodePropertiesDialog dialog(*row.node, *dialogs_);
    QCOMPARE(dialog.windowTitle(), QString::fromLatin1(row.title));
    QCOMPARE(dialog.model_file_edit() != nullptr, row.has_file_pages);
    QCOMPARE(dialog.inherit_box()->isEnabled(), row.node->parent() != nullptr);
  }
  NodePropertiesDialog dialog(rule, *dialogs_);
  QCOMPARE(dialog.template_file_edit()->text(), QStringLiteral("<Not Set>"));
  quill::FileTitle title = quill::read_file_title(model, "-- ");
  QCOMPARE(title.title, QStringLiteral("Bank model"));
  QCOMPARE(title.description, QStringLiteral("Accounts and\r\ncustomers\r\n"));
}

void ProjectTest::copy_and_paste_a_subtree() {
  ProjectDocument* project = build_project();
  project->select_node(project->root().child(0));  // Core with its rule
  window_->copy_node();
  project->select_node(project->root());
  window_->paste_node();
  QCOMPARE(project->root().child_count(), size_t{3});
  const ProjectNode& pasted = project->root().child(2);
  QCOMPARE(pasted.name(), std::string("Core"));
  QCOMPARE(pasted.child_count(), size_t{1});
  QCOMPARE(pasted.child(0).name(), std::string("Headers"));
  // The shown children of the root are sorted by name.
  QTreeWidgetItem* root_item = project->tree().topLevelItem(0);
  QCOMPARE(root_item->child(0)->text(0), QStringLiteral("Core"));
  QCOMPARE(root_item->child(2)->text(0), QStringLiteral("Loose"));

  project->select_node(project->root().child(1));  // Loose
  window_->cut_node();
  QCOMPARE(project->root().child_count(), size_t{2});
}

void ProjectTest::paste_into_another_project() {
  ProjectDocument* source = build_project();
  source->select_node(source->root().child(0));  // Core with its rule and their files
  window_->copy_node();
  const QString expected = dump(source->root().child(0));

  auto* target = static_cast<ProjectDocument*>(window_->new_document(DocKind::project));
  window_->add_subsystem();
  target->selected_node().set_name("Zeta");
  target->select_node(target->root());
  window_->paste_node();
  QCOMPARE(target->root().child_count(), size_t{2});
  QCOMPARE(dump(target->root().child(1)), expected);
  QVERIFY(target->is_modified());
  // Shown sorted by name and expanded; the source is unchanged.
  QTreeWidgetItem* root_item = target->tree().topLevelItem(0);
  QCOMPARE(root_item->child(0)->text(0), QStringLiteral("Core"));
  QVERIFY(root_item->child(0)->isExpanded());
  QCOMPARE(source->root().child_count(), size_t{2});

  // An entry of another node type pastes nothing.
  auto* data = new QMimeData;
  data->setData("QuillProjItem", "3\n");
  QGuiApplication::clipboard()->setMimeData(data);
  window_->paste_node();
  QCOMPARE(target->root().child_count(), size_t{2});
}

void ProjectTest::generates_a_selected_node_with_summary() {
  ProjectDocument* project = build_project();
  settings().set("MakeBackupFiles", "false");
  project->select_node(project->root().child(0));  // Core
  dialogs_->boxes.clear();
  window_->run_code_generator();
  std::string header;
  QVERIFY(quill::platform::read_file(dir_->filePath("out/Account.h").toStdString(), header));
  QCOMPARE(header, std::string("class Account;\n"));  // Core asks for Unix line ends
  QCOMPARE(dialogs_->shown().last(),
           QStringLiteral("-- Information -- Subsystem: Core\n\nCode Generation Is Finished.\n\n"
                          "Files:  1\n\nLines:  1"));
  QCOMPARE(settings().get("DoingBatchGen"), std::string(""));

  // The whole project stops at the rule without output directory.
  project->select_node(project->root());
  dialogs_->boxes.clear();
  window_->run_code_generator();
  QVERIFY(dialogs_->shown().contains(
      "-- Error -- Project 'Bank' needs an \nOutput Directory to be specified"));
}

void ProjectTest::opens_at_start() {
  const QString model = write("last.dsm", "object A\nend ;\n");
  const QString other = write("other.tem", ".end\n");
  struct Row {
    QStringList arguments;
    const char* last_project;
    QString expected;  // file name of the active document, "" for none
  } rows[] = {
      {{other}, "", "other.tem"},
      {{"-e"}, "", ""},
      {{"/Embedding"}, "", ""},
      {{}, "", "last.dsm"},
      {{}, "/nowhere/gone.qpj", ""},
  };
  for (const Row& row : rows) {
    window_.reset();
    settings().clear();
    auto owned = std::make_unique<ScriptedDialogs>();
    dialogs_ = owned.get();
    window_ = std::make_unique<quill::MainWindow>(std::move(owned));
    settings().set("CGenModel", model.toStdString());
    settings().set("CGenProj", row.last_project);
    window_->open_at_start(row.arguments);
    quill::Document* active = window_->active_document();
    QCOMPARE(active ? active->display_name() : QString(), row.expected);
  }
}

int run_project_tests(int argc, char* argv[]) {
  ProjectTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "project_test.moc"
