// Characteristic names: the built-in rules, the template scan, the
// Model-Template Compatibility check and the Characteristics dialog.
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QTest>

#include "tests/workbench/test_classes.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/characteristics.h"
#include "workbench/characteristics_dialog.h"
#include "workbench/code_editor.h"
#include "workbench/generation_commands.h"
#include "workbench/text_document.h"

using quill::settings;
using quill::testing::WorkbenchFixture;

namespace {

constexpr const char* kModel =
    "-- Shop\n"
    "object Order\n"
    "   total : float [ indexed ] ;\n"
    "   lines : list_of Line ;\n"
    "   place ( at_time : string [ required ] ) : bool ;\n"
    "end [ persistent, table = \"orders\" ] ;\n"
    "object Line\n"
    "end ;\n"
    "state Idle\n"
    "   go => Busy ;\n"
    "end ;\n"
    "events : go ;\n";

// Uses every characteristic of kModel but attr.indexed, and some built-ins.
constexpr const char* kTemplate =
    ".each_obj\n"
    ":<obj.name> <obj.persistent|no> <!obj.table>\n"
    ".each_function\n"
    ":<param.required> <@ftn.name>\n"
    ".end\n"
    ".end\n";

}  // namespace

class CharacteristicsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { fixture_ = std::make_unique<WorkbenchFixture>(); }
  void cleanup() { fixture_.reset(); }
  void builtin_names();
  void template_scan();
  void compatibility_of_model_and_template();
  void compatibility_refusals();
  void dialog_lists_names_by_element_type();

 private:
  std::unique_ptr<WorkbenchFixture> fixture_;
};

void CharacteristicsTest::builtin_names() {
  struct Row {
    const char* name;
    bool builtin;
  } rows[] = {
      {"obj.name", true},       {"attr.kindint", true},   {"obj.obj.has_states", true},
      {"obj.in_simple", true},  {"dsm.path", true},       {"quill.is_ver_1.0", true},
      {"obj.has_parent", true}, {"attr.obj", true},       {"subs.is_builtin", true},
      {"attr.objective", false}, {"my.obj.not_used", false}, {"obj.persistent", false},
      {"dsm.path_x", false},    {"name", false},
  };
  for (const Row& row : rows) QVERIFY2(quill::is_builtin_name(row.name) == row.builtin, row.name);
}

void CharacteristicsTest::template_scan() {
  const QStringList lines = {
      ":<a.one> and <!b.two> and <!@c.three|default> <@d.four>",
      ":<a.one> again, <obj.name> is built-in, <> is empty",
      ":if x <e.five and then the line ends",
      ":<f.six",
      ":after <g.seven>",
  };
  QCOMPARE(quill::scan_template_lines(lines),
           QStringList({"a.one", "b.two", "c.three", "d.four", "g.seven"}));
}

void CharacteristicsTest::compatibility_of_model_and_template() {
  auto& f = *fixture_;
  settings().set("CGenTemplate", f.write("shop.tem", kTemplate).toStdString());
  auto* model = static_cast<quill::TextDocument*>(f.window->open_file(f.write("shop.dsm", kModel)));
  QVERIFY(model);
  f.dialogs->boxes.clear();
  f.window->run_compatibility_check();
  QCOMPARE(f.dialogs->shown(),
           QStringList({"-- Information -- Characteristics defined in the model, but not\n"
                        "used in the active template:\n    attr.indexed"}));

  f.write("shop.tem", QByteArray(kTemplate) + ":<attr.indexed>\n");
  f.dialogs->boxes.clear();
  f.window->run_compatibility_check();
  QCOMPARE(f.dialogs->shown(),
           QStringList({"-- Information -- All characteristics in the model are recognized by\n"
                        "the active template"}));
}

void CharacteristicsTest::compatibility_refusals() {
  auto& f = *fixture_;
  const QString tem = f.write("shop.tem", kTemplate);
  struct Row {
    const char* name;
    QString template_setting;
    const char* file;
    QString expected;
  } rows[] = {
      {"no template", "", "shop.dsm", "-- Information -- " + QString(quill::kNoTemplate)},
      {"not a model", tem, "shop.txt", "-- Information -- " + QString(quill::kNeedsAModel)},
      {"unreadable template", f.dir.filePath("gone.tem"), "shop.dsm",
       "-- Error -- Can't open '" + f.dir.filePath("gone.tem") + "' to scan for characteristics."},
  };
  for (const Row& row : rows) {
    auto* model = static_cast<quill::TextDocument*>(f.window->new_document(quill::DocKind::model));
    model->editor().setPlainText(kModel);
    f.dialogs->save_name = f.dir.filePath(row.file);
    QVERIFY(f.window->save());
    settings().set("CGenTemplate", row.template_setting.toStdString());
    f.dialogs->boxes.clear();
    f.window->run_compatibility_check();
    QVERIFY2(f.dialogs->shown() == QStringList({row.expected}), qPrintable(f.dialogs->shown().join("|")));
  }
}

void CharacteristicsTest::dialog_lists_names_by_element_type() {
  auto& f = *fixture_;
  settings().set("CGenTemplate",
                 f.write("t.tem", ":<obj.persistent> <attr.indexed> <obj.table> <attr.name>\n").toStdString());
  quill::CharacteristicsDialog dialog(*f.dialogs);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Characteristics in Active Template"));
  QCOMPARE(dialog.types().count(), 14);
  QCOMPARE(dialog.types().item(13)->text(), QStringLiteral("Overall Data Model (dsm.)"));
  auto shown = [&dialog] {
    QStringList names;
    for (int i = 0; i < dialog.names().count(); ++i) names << dialog.names().item(i)->text();
    return names;
  };
  QCOMPARE(shown(), QStringList({"persistent", "table"}));
  dialog.types().setCurrentRow(2);
  QCOMPARE(shown(), QStringList({"indexed"}));
  dialog.types().setCurrentRow(1);
  QCOMPARE(shown(), QStringList({"=> none <="}));

  dialog.copy_name("indexed");
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("indexed"));
  QCOMPARE(f.dialogs->shown(), QStringList({"-- Information -- Copied 'indexed' to the clipboard"}));
  dialog.copy_name("=> none <=");
  QCOMPARE(f.dialogs->boxes.size(), 1);
}

int run_characteristics_tests(int argc, char* argv[]) {
  CharacteristicsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "characteristics_test.moc"
