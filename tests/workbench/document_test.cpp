// Model and template documents: new texts, opening, the formatter, code
// generation with its refusals, and syntax errors shown in the editor.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include "foundation/commands.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "tests/workbench/scripted_dialogs.h"
#include "tests/workbench/test_classes.h"
#include "workbench/code_editor.h"
#include "workbench/generated_files_window.h"
#include "workbench/generation_commands.h"
#include "workbench/highlighters.h"
#include "workbench/main_window.h"
#include "workbench/text_document.h"

using quill::DocKind;
using quill::settings;
using quill::TextDocument;
using quill::testing::ScriptedDialogs;

namespace {

constexpr const char* kModel =
    "-- Bank\n"
    "object Account\n"
    "   balance : float ;\n"
    "end ;\n"
    "object Customer\n"
    "   name : string ;\n"
    "end ;\n";

constexpr const char* kTemplate =
    ".each_object\n"
    ".file <obj.name>.h\n"
    ":class <obj.name>;\n"
    ".end\n";

}  // namespace

class DocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void new_documents_start_with_their_texts();
  void open_refuses_unreadable_and_foreign_files();
  void formatter_replaces_the_text();
  void generates_into_the_output_directory();
  void refusals_before_any_compile();
  void unsaved_model_asks_first();
  void syntax_error_selects_the_bad_token();
  void syntax_error_in_an_import_names_the_file();
  void syntax_check_reports_success();
  void model_colours_follow_the_lexer();

 private:
  TextDocument* open_model(const char* name, const char* text);
  QString write(const QString& name, const QByteArray& content);

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<quill::MainWindow> window_;
  ScriptedDialogs* dialogs_ = nullptr;
};

void DocumentTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  settings().clear();
  auto owned = std::make_unique<ScriptedDialogs>();
  dialogs_ = owned.get();
  window_ = std::make_unique<quill::MainWindow>(std::move(owned));
  settings().set("CGenTemplate", write("t.tem", kTemplate).toStdString());
  settings().set("CGenOutdir", dir_->filePath("out").toStdString());
  QDir().mkpath(dir_->filePath("out"));
  settings().set("MakeBackupFiles", "false");
}

void DocumentTest::cleanup() {
  window_.reset();
  dir_.reset();
}

QString DocumentTest::write(const QString& name, const QByteArray& content) {
  QString path = dir_->filePath(name);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(content);
  return path;
}

TextDocument* DocumentTest::open_model(const char* name, const char* text) {
  return static_cast<TextDocument*>(window_->open_file(write(QString::fromLatin1(name), text)));
}

void DocumentTest::new_documents_start_with_their_texts() {
  auto* model = static_cast<TextDocument*>(window_->new_document(DocKind::model));
  QCOMPARE(model->text(), QStringLiteral("-- New DSM Title\n-- New DSM Description\n\n"));
  QVERIFY(model->path().isEmpty());
  QVERIFY(!model->is_modified());
  auto* tem = static_cast<TextDocument*>(window_->new_document(DocKind::template_));
  QCOMPARE(tem->text(), QStringLiteral("# New Template Title\n# New Template Description\n\n"));
  QVERIFY(tem->editor().font().fixedPitch());
  QCOMPARE(window_->active_document(), tem);
}

void DocumentTest::open_refuses_unreadable_and_foreign_files() {
  struct Row {
    QString path;
    QString message_start;
  } rows[] = {
      {dir_->filePath("missing.dsm"), "-- Error -- The file '"},
      {write("notes.txt", "x"), "-- Error -- Can't open '"},
      {write("junk.qpj", "not a project"), "-- Error -- '"},
  };
  for (const Row& row : rows) {
    dialogs_->boxes.clear();
    QVERIFY2(window_->open_file(row.path) == nullptr, qPrintable(row.path));
    QCOMPARE(dialogs_->boxes.size(), 1);
    QVERIFY2(dialogs_->shown()[0].startsWith(row.message_start), qPrintable(dialogs_->shown()[0]));
  }
  QVERIFY(window_->documents().isEmpty());
}

void DocumentTest::formatter_replaces_the_text() {
  TextDocument* model = open_model("bank.dsm", "object   Account\nbalance:float;end;\n");
  QVERIFY(model);
  settings().set("ObjText", "object   Account\nbalance:float;end;\n");
  quill::process_cmd("FormatObjText");
  QString expected = QString::fromStdString(settings().get("ObjText")).replace("\r\n", "\n");
  window_->run_formatter();
  QCOMPARE(model->text(), expected);
  QVERIFY(model->text() != QStringLiteral("object   Account\nbalance:float;end;\n"));
  QVERIFY(model->is_modified());
  QVERIFY(model->windowTitle().startsWith("bank.dsm"));
  QVERIFY(window_->isWindowModified());
}

void DocumentTest::generates_into_the_output_directory() {
  QVERIFY(open_model("bank.dsm", kModel));
  window_->run_code_generation();
  QCOMPARE(settings().get("CompileStatus"), std::string("ok"));
  std::string account;
  QVERIFY(quill::platform::read_file(dir_->filePath("out/Account.h").toStdString(), account));
  QCOMPARE(account, std::string("class Account;\r\n"));
  QVERIFY(QFile::exists(dir_->filePath("out/Customer.h")));
  QStringList files = window_->generated_files().files();
  QCOMPARE(files.size(), 2);
  QVERIFY(files[0].endsWith("Account.h"));
}

void DocumentTest::refusals_before_any_compile() {
  QString text_path = write("bank.txt", kModel);
  struct Row {
    const char* name;
    const char* template_setting;  // null: keep the test's template
    bool saved_as_text;             // saved under a name without .dsm
    const char* message;
  } rows[] = {
      {"no template", "", false, quill::kNoTemplate},
      {"never saved", nullptr, false, quill::kModelNeverSaved},
      {"not a model", nullptr, true, quill::kNotAModel},
  };
  for (const Row& row : rows) {
    const std::string saved_template = settings().get("CGenTemplate");
    auto* model = static_cast<TextDocument*>(window_->new_document(DocKind::model));
    if (row.template_setting) settings().set("CGenTemplate", row.template_setting);
    if (row.saved_as_text) {
      dialogs_->save_name = text_path;
      QVERIFY(window_->save_as());
    }
    settings().set("CompileStatus", "untouched");
    dialogs_->boxes.clear();
    window_->run_code_generation();
    QVERIFY2(dialogs_->shown() == QStringList({"-- Information -- " + QString::fromLatin1(row.message)}),
             row.name);
    QCOMPARE(settings().get("CompileStatus"), std::string("untouched"));
    settings().set("CGenTemplate", saved_template);
    QVERIFY(model == window_->active_document());
  }
}

void DocumentTest::unsaved_model_asks_first() {
  TextDocument* model = open_model("bank.dsm", kModel);
  model->editor().appendPlainText("-- more");
  QVERIFY(model->is_modified());
  settings().set("CompileStatus", "untouched");
  dialogs_->answer = false;
  window_->run_code_generation();
  QCOMPARE(dialogs_->shown(),
           QStringList({"-- Question -- You are generating code from an\nunsaved object model.  Save it and continue?"}));
  QCOMPARE(settings().get("CompileStatus"), std::string("untouched"));
  QVERIFY(model->is_modified());

  dialogs_->answer = true;
  window_->run_code_generation();
  QVERIFY(!model->is_modified());
  QCOMPARE(settings().get("CompileStatus"), std::string("ok"));
  std::string saved;
  quill::platform::read_file(model->path().toStdString(), saved);
  QVERIFY(QString::fromStdString(saved).endsWith("-- more"));
}

void DocumentTest::syntax_error_selects_the_bad_token() {
  // The non-ASCII letter makes byte and character offsets differ.
  TextDocument* model = open_model("bad.dsm", "object Account\n   ownér ?? string ;\nend ;\n");
  window_->run_code_generation();
  QCOMPARE(settings().get("CompileStatus"), std::string("syntax-error"));
  QTextCursor cursor = model->editor().textCursor();
  QCOMPARE(cursor.selectedText(), QStringLiteral("??"));
  QCOMPARE(cursor.block().blockNumber(), 1);
  QVERIFY(!QFile::exists(dir_->filePath("out/Account.h")));
}

void DocumentTest::syntax_error_in_an_import_names_the_file() {
  QString lib = write("lib.dsm", "object Broken\n   x ?? y ;\nend ;\n");
  TextDocument* model = open_model("main.dsm", "import \"lib.dsm\" ;\nobject A\nend ;\n");
  settings().set("DsmSearchPath", dir_->path().toStdString());
  dialogs_->boxes.clear();
  window_->run_syntax_check();
  QCOMPARE(settings().get("CompileStatus"), std::string("syntax-error"));
  QVERIFY(!model->editor().textCursor().hasSelection());
  QStringList shown = dialogs_->shown();
  QVERIFY(!shown.isEmpty());
  QVERIFY2(shown.last().startsWith("-- Error -- Syntax error found in file "), qPrintable(shown.join("|")));
  QVERIFY2(shown.last().endsWith("lib.dsm"), qPrintable(shown.last()));
}

void DocumentTest::syntax_check_reports_success() {
  QVERIFY(open_model("bank.dsm", kModel));
  window_->run_syntax_check();
  QCOMPARE(dialogs_->shown(), QStringList({"-- Information -- The DSM Syntax is correct"}));
  QVERIFY(!QFile::exists(dir_->filePath("out/Account.h")));
}

void DocumentTest::model_colours_follow_the_lexer() {
  auto* model = static_cast<TextDocument*>(window_->new_document(DocKind::model));
  model->editor().setPlainText("object A -- note\n{{ text\nstill text }} end\n\"s\"");
  struct Row {
    int line, column;
    quill::Style style;
  } rows[] = {
      {0, 0, quill::Style::keyword}, {0, 10, quill::Style::comment},
      {1, 5, quill::Style::literal_text}, {2, 2, quill::Style::literal_text},
      {2, 15, quill::Style::keyword}, {3, 1, quill::Style::string},
  };
  QTextDocument* doc = model->editor().document();
  for (const Row& row : rows) {
    const QTextBlock block = doc->findBlockByNumber(row.line);
    QColor colour;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
      if (row.column >= range.start && row.column < range.start + range.length)
        colour = range.format.foreground().color();
    }
    QVERIFY2(colour == quill::style_format(row.style).foreground().color(),
             qPrintable(QStringLiteral("line %1 column %2").arg(row.line).arg(row.column)));
  }
}

int run_document_tests(int argc, char* argv[]) {
  DocumentTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "document_test.moc"
