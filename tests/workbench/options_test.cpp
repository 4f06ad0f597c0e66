// The template catalog and Select Template by Title, the template's
// description files, and the option dialogs.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "foundation/platform.h"
#include "tests/workbench/test_classes.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/option_dialogs.h"
#include "workbench/template_catalog.h"
#include "workbench/template_dialogs.h"

using quill::settings;
using quill::testing::WorkbenchFixture;

class OptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void catalog_line_rules();
  void catalog_lookup_and_messages();
  void select_template_by_title();
  void template_description_files();
  void generation_options_dialog();
  void input_options_and_editor();
  void shortcut_generation();

 private:
  std::unique_ptr<WorkbenchFixture> fixture_;
};

void OptionsTest::init() {
  fixture_ = std::make_unique<WorkbenchFixture>();
  quill::platform::set_env("QUILLTLIB", "");
  settings().set("QUILL_Dir", fixture_->dir.filePath("program").toStdString());
}

void OptionsTest::cleanup() {
  quill::platform::set_env("QUILLTLIB", "");
  fixture_.reset();
}

void OptionsTest::catalog_line_rules() {
  const QStringList lines = {
      "cpp.tem|C++ classes|One header per object",
      " indented.tem|skipped|because of the blank",
      "# comment.tem|skipped|too",
      "two.tem|fields only",
      "four.tem|a|b|c",
      "",
      "ada/decl.tem | Ada declarations | Packages ",
  };
  const QList<quill::CatalogEntry> entries = quill::parse_catalog(lines);
  QCOMPARE(entries.size(), 2);
  QCOMPARE(entries[0].file, QStringLiteral("cpp.tem"));
  QCOMPARE(entries[0].title, QStringLiteral("C++ classes"));
  QCOMPARE(entries[0].description, QStringLiteral("One header per object"));
  QCOMPARE(entries[1].file + "|" + entries[1].title + "|" + entries[1].description,
           QStringLiteral("ada/decl.tem|Ada declarations|Packages"));
}

void OptionsTest::catalog_lookup_and_messages() {
  auto& f = *fixture_;
  const QString program = f.dir.filePath("program");
  const QString library = f.dir.filePath("library");
  struct Row {
    const char* name;
    const char* program_catalog;  // null: none
    const char* library_catalog;  // null: none
    bool library_in_env;
    QString expected;  // "" for a usable catalog
  } rows[] = {
      {"beside the program", "a.tem|A|a\n", nullptr, false, ""},
      {"the variable's directory first", "a.tem|A|a\n", "b.tem|B|b\n", true, ""},
      {"no valid line", "two|fields\n# x|y|z\n", nullptr, false,
       "The template description file '" + program + "/template.tbl' has no valid entries"},
  };
  for (const Row& row : rows) {
    QDir(program).removeRecursively();
    QDir(library).removeRecursively();
    if (row.program_catalog) f.write("program/template.tbl", row.program_catalog);
    if (row.library_catalog) f.write("library/template.tbl", row.library_catalog);
    quill::platform::set_env("QUILLTLIB", row.library_in_env ? library.toStdString() : "");
    QList<quill::CatalogEntry> entries;
    QString path;
    const quill::CatalogRead result = quill::read_template_catalog(entries, path);
    QVERIFY2(quill::catalog_failure_text(result, path) == row.expected,
             qPrintable(QString(row.name) + ": " + quill::catalog_failure_text(result, path)));
    if (!row.expected.isEmpty()) continue;
    const QString dir = row.library_in_env ? library : program;
    QCOMPARE(QString::fromStdString(settings().get("QUILL_TemLibDir")), dir);
    QCOMPARE(entries.size(), 1);
  }
  // A catalog that exists but cannot be read (here: a directory).
  QDir(program).removeRecursively();
  QDir().mkpath(program + "/template.tbl");
  quill::platform::set_env("QUILLTLIB", "");
  f.window->select_template_by_title();
  QCOMPARE(f.dialogs->shown(), QStringList({"-- Error -- The template description file '" + program +
                                            "/template.tbl' exists but cannot be opened"}));
}

void OptionsTest::select_template_by_title() {
  auto& f = *fixture_;
  f.write("program/template.tbl", "c.tem|C structs|Plain C\nlib/cpp.tem|C++ classes|Headers\n");
  f.dialogs->fill_dialog = [](QDialog& dialog) {
    auto& by_title = static_cast<quill::TemplateByTitleDialog&>(dialog);
    if (by_title.titles().count() != 2) return false;
    by_title.titles().setCurrentRow(1);
    return true;
  };
  f.window->select_template_by_title();
  QCOMPARE(QString::fromStdString(settings().get("CGenTemplate")), f.dir.filePath("program/lib/cpp.tem"));
  quill::Profile profile;
  QVERIFY(profile.load(quill::profile_path()));
  QCOMPARE(QString::fromStdString(profile.get(quill::kCodegenSection, "CGenTemplate")),
           f.dir.filePath("program/lib/cpp.tem"));
}

void OptionsTest::template_description_files() {
  auto& f = *fixture_;
  const QString tem = f.dir.filePath("lib/cpp.tem");
  QCOMPARE(quill::with_extension(tem, ".HLP"), f.dir.filePath("lib/cpp.HLP"));
  QCOMPARE(quill::with_extension("/a.b/noext", ".DOC"), QStringLiteral("/a.b/noext.DOC"));
  struct Row {
    const char* name;
    const char* help_file;  // file created beside the template, null for none
    const char* editor;
    quill::InfoTexts texts;
    QString box;       // "" for none
    QString launched;  // "" for none
    QString opened;    // "" for none
  } rows[] = {
      {"help file", "lib/cpp.HLP", "ed", quill::InfoTexts::view_template_info, "", "",
       f.dir.filePath("lib/cpp.HLP")},
      {"doc file", "lib/cpp.DOC", "ed", quill::InfoTexts::view_template_info, "",
       "ed \"" + f.dir.filePath("lib/cpp.DOC") + "\"", ""},
      {"doc file in lower case", "lib/cpp.doc", "ed", quill::InfoTexts::more_info, "",
       "ed \"" + f.dir.filePath("lib/cpp.doc") + "\"", ""},
      {"no editor", "lib/cpp.DOC", "", quill::InfoTexts::view_template_info,
       "-- Error -- Need 'Editor' variable defined in QUILL.INI file.", "", ""},
      {"no editor, More Info", "lib/cpp.DOC", "", quill::InfoTexts::more_info,
       "-- Error -- Need an 'Editor' variable defined in the QUILL.INI file.", "", ""},
      {"nothing", nullptr, "ed", quill::InfoTexts::view_template_info,
       "-- Error -- Need .HLP or .DOC file to describe '" + tem + "'", "", ""},
      {"nothing, More Info", nullptr, "ed", quill::InfoTexts::more_info,
       "-- Error -- Need a .HLP or .DOC file to describe '" + tem + "'", "", ""},
  };
  for (const Row& row : rows) {
    QDir(f.dir.filePath("lib")).removeRecursively();
    if (row.help_file) f.write(row.help_file, "help");
    settings().set("Editor", row.editor);
    f.dialogs->boxes.clear();
    f.dialogs->launched.clear();
    f.dialogs->opened.clear();
    quill::view_template_info(tem, *f.dialogs, row.texts);
    QVERIFY2(f.dialogs->shown().join("|") == row.box, row.name);
    QVERIFY2(f.dialogs->launched.join("|") == row.launched, row.name);
    QVERIFY2(f.dialogs->opened.join("|") == row.opened, row.name);
  }
}

void OptionsTest::generation_options_dialog() {
  auto& f = *fixture_;
  settings().set("CGenTemplateDefault", "/lib/CPP_STD.TEM");
  settings().set("CGenOutdirDefault", f.dir.path().toStdString());
  settings().set("CGenOutdir", f.dir.path().toStdString());
  settings().set("TraceTemLines", "false");
  settings().set("StripReturns", "true");
  quill::GenerationOptionsDialog dialog(*f.dialogs);
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Code Generation Options..."));
  QVERIFY(!dialog.trace_box().isChecked());
  QVERIFY(dialog.unix_eol_box().isChecked());

  dialog.output_dir_edit().setText(f.dir.filePath("missing"));
  dialog.trace_box().setChecked(true);
  QVERIFY(!dialog.apply());
  QCOMPARE(f.dialogs->shown(),
           QStringList({"-- Error -- Folder path " + f.dir.filePath("missing") + " not found."}));
  QCOMPARE(settings().get("TraceTemLines"), std::string("false"));

  dialog.template_edit().setText("/elsewhere/x.tem");
  dialog.set_defaults();
  QVERIFY(dialog.apply());
  QCOMPARE(settings().get("CGenTemplate"), std::string("/lib/CPP_STD.TEM"));
  QCOMPARE(settings().get("TraceTemLines"), std::string("true"));
  QCOMPARE(settings().get("StripReturns"), std::string("true"));
}

void OptionsTest::input_options_and_editor() {
  auto& f = *fixture_;
  settings().set("NoCxxKeywords", "true");
  settings().set("NoAdaKeywords", "false");
  f.dialogs->fill_dialog = [](QDialog& dialog) {
    auto& options = static_cast<quill::DsmInputOptionsDialog&>(dialog);
    if (!options.no_cxx_box().isChecked() || options.no_ada_box().isChecked()) return false;
    options.no_cxx_box().setChecked(false);
    return true;
  };
  f.window->dsm_input_options();
  QCOMPARE(settings().get("NoCxxKeywords"), std::string("false"));
  quill::Profile profile;
  QVERIFY(profile.load(quill::profile_path()));
  QCOMPARE(profile.get(quill::kCodegenSection, "NoCxxKeywords"), std::string("false"));

  f.dialogs->fill_dialog = [](QDialog& dialog) {
    auto& tools = static_cast<quill::EditorToolsDialog&>(dialog);
    if (tools.windowTitle() != "Specify Editor Tools ...") return false;
    tools.editor_edit().setText("kate");
    return true;
  };
  f.window->editor_tools();
  QVERIFY(profile.load(quill::profile_path()));
  QCOMPARE(profile.get(quill::kBrowsingSection, "Editor"), std::string("kate"));
}

void OptionsTest::shortcut_generation() {
  auto& f = *fixture_;
  const QString model = f.write("bank.dsm", "object Account\nend ;\n");
  const QString tem = f.write("t.tem", ".each_object\n.file <obj.name>.h\n:class <obj.name>;\n.end\n");
  QDir().mkpath(f.dir.filePath("out"));
  settings().set("MakeBackupFiles", "false");
  f.dialogs->fill_dialog = [&](QDialog& dialog) {
    auto& shortcut = static_cast<quill::ShortcutDialog&>(dialog);
    shortcut.model_edit().setText(model);
    shortcut.template_edit().setText(tem);
    shortcut.output_dir_edit().setText(f.dir.filePath("out"));
    shortcut.generate();
    return false;
  };
  f.window->shortcut_generation();
  QVERIFY(QFile::exists(f.dir.filePath("out/Account.h")));
  QCOMPARE(QString::fromStdString(settings().get("CGenTemplate")), tem);
}

int run_options_tests(int argc, char* argv[]) {
  OptionsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "options_test.moc"
