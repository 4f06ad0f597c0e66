// Rebuild Index of the Model and Template pages, the index file, and
// the desktop files.
#include <QListWidget>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "project/project_node.h"
#include "tests/workbench/test_classes.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/desktop_integration.h"
#include "workbench/file_index.h"
#include "workbench/node_properties_dialog.h"
#include "workbench/profile.h"

using quill::DocKind;
using quill::settings;
using quill::testing::WorkbenchFixture;

class IndexTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup() { fixture_.reset(); }
  void rebuild_index_of_a_small_tree();
  void index_file_keeps_every_character();
  void index_goes_to_the_profile_directory_when_needed();
  void rule_pages_list_the_index();
  void file_types_command();
  void desktop_file_is_valid();

 private:
  std::unique_ptr<WorkbenchFixture> fixture_;
};

void IndexTest::init() {
  fixture_ = std::make_unique<WorkbenchFixture>();
  auto& f = *fixture_;
  QDir().mkpath(f.dir.filePath("program"));
  settings().set("QUILL_Dir", f.dir.filePath("program").toStdString());
  f.write("models/bank.dsm", "-- Bank\n-- Accounts and\n-- customers\nobject A end;\n");
  f.write("models/old/shop.DSM", "object B end;\n");
  f.write("models/old/deeper/cart.dsm", "-- Cart\nobject C end;\n");
  f.write("models/lib/cpp.tem", "# C++ headers\n.end\n");
  f.write("models/notes.txt", "-- not a model\n");
}

void IndexTest::rebuild_index_of_a_small_tree() {
  auto& f = *fixture_;
  const QString root = f.dir.filePath("models");
  QStringList status;
  QList<quill::IndexEntry> entries;
  QVERIFY(quill::rebuild_index(root, DocKind::model, entries,
                               [&status](const QString& text) { status << text; }));
  QStringList found;
  for (const quill::IndexEntry& e : entries) found << e.path.mid(root.size() + 1) + " = " + e.title;
  QCOMPARE(found, QStringList({"bank.dsm = Bank", "old/shop.DSM = ", "old/deeper/cart.dsm = Cart"}));
  QCOMPARE(entries[0].description, QStringLiteral("Accounts and\r\ncustomers\r\n"));
  QCOMPARE(status, QStringList({"Scanning: " + root, "Scanning: " + root + "/lib",
                                "Scanning: " + root + "/old", "Scanning: " + root + "/old/deeper",
                                "Scan complete."}));
  QCOMPARE(quill::index_path(DocKind::model), f.dir.filePath("program/dsms.tbl"));
  QCOMPARE(quill::read_index(DocKind::model).size(), 3);

  QVERIFY(quill::rebuild_index(root, DocKind::template_, entries, nullptr));
  QCOMPARE(entries.size(), 1);
  QCOMPARE(entries[0].title, QStringLiteral("C++ headers"));
  QVERIFY(QFile::exists(f.dir.filePath("program/tems.tbl")));
}

void IndexTest::index_file_keeps_every_character() {
  const QList<quill::IndexEntry> entries = {
      {"/a\\b/c d.dsm", "Tab\there", "Line one\r\nLine\\n two\r\n"},
      {"/x.dsm", "", ""},
  };
  const QList<quill::IndexEntry> read = quill::parse_index(quill::index_text(entries));
  QCOMPARE(read.size(), 2);
  for (int i = 0; i < 2; ++i) {
    QCOMPARE(read[i].path, entries[i].path);
    QCOMPARE(read[i].title, entries[i].title);
    QCOMPARE(read[i].description, entries[i].description);
  }
}

void IndexTest::index_goes_to_the_profile_directory_when_needed() {
  settings().set("QUILL_Dir", fixture_->dir.filePath("no/such/program").toStdString());
  QCOMPARE(quill::index_path(DocKind::template_),
           QString::fromStdString(quill::profile_directory()) + "/tems.tbl");
}

void IndexTest::rule_pages_list_the_index() {
  auto& f = *fixture_;
  quill::GenerationRule rule;
  quill::NodePropertiesDialog dialog(rule, *f.dialogs);
  QStringList status;
  dialog.set_status([&status](const QString& text) { status << text; });
  f.dialogs->folder = f.dir.filePath("models");
  dialog.rebuild_index_of(DocKind::model);
  QCOMPARE(status.last(), QStringLiteral("Scan complete."));
  QListWidget* list = dialog.index_list(DocKind::model);
  QCOMPARE(list->count(), 3);
  QCOMPARE(list->item(0)->text(), QStringLiteral("Bank"));
  QCOMPARE(list->item(1)->text(), QStringLiteral("shop.DSM"));  // no title: the file name
  list->setCurrentRow(2);
  QCOMPARE(dialog.model_file_edit()->text(), f.dir.filePath("models/old/deeper/cart.dsm"));

  // A later dialog lists the index as written.
  quill::NodePropertiesDialog again(rule, *f.dialogs);
  QCOMPARE(again.index_list(DocKind::model)->count(), 3);
  QCOMPARE(again.index_list(DocKind::template_)->count(), 0);
}

void IndexTest::file_types_command() {
  auto known = [](const QString& type) { return !type.endsWith("project"); };
  settings().set("SetQuillFileTypes", "true");
  QCOMPARE(quill::file_types_command(known),
           QStringLiteral("xdg-mime default quill.desktop application/x-quillwork-model "
                          "application/x-quillwork-template"));
  QCOMPARE(quill::file_types_command([](const QString&) { return false; }), QString());
  settings().set("SetQuillFileTypes", "false");
  QCOMPARE(quill::file_types_command(known), QString());
}

void IndexTest::desktop_file_is_valid() {
  const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
  if (validator.isEmpty()) QSKIP("desktop-file-validate is not installed");
  QProcess process;
  process.start(validator, {QStringLiteral(QUILL_SOURCE_DIR "/workbench/desktop/quill.desktop")});
  QVERIFY(process.waitForFinished(30000));
  const QString output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
  QVERIFY2(process.exitCode() == 0 && output.trimmed().isEmpty(), qPrintable(output));
}

int run_index_tests(int argc, char* argv[]) {
  IndexTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "index_test.moc"
