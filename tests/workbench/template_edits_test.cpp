// The template edit commands on a selection, the model skeletons, and
// Insert File.
#include <QTest>
#include <QTextBlock>

#include "tests/workbench/test_classes.h"
#include "tests/workbench/workbench_fixture.h"
#include "workbench/code_editor.h"
#include "workbench/generation_commands.h"
#include "workbench/model_skeletons.h"
#include "workbench/template_edits.h"
#include "workbench/text_document.h"

using quill::CodeEditor;
using quill::DocKind;
using quill::TextDocument;
using quill::testing::WorkbenchFixture;

class TemplateEditsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { fixture_ = std::make_unique<WorkbenchFixture>(); }
  void cleanup() { fixture_.reset(); }
  void commands_on_a_selection();
  void commands_undo_in_one_step();
  void wrapper_and_insert_file_from_the_menu();
  void skeletons_compile();

 private:
  TextDocument* new_document(DocKind kind, const QString& text) {
    auto* doc = static_cast<TextDocument*>(fixture_->window->new_document(kind));
    doc->editor().setPlainText(text);
    return doc;
  }
  std::unique_ptr<WorkbenchFixture> fixture_;
};

namespace {

// Selects from..to (character positions) of the editor's text.
void select(CodeEditor& editor, int from, int to) {
  QTextCursor cursor(editor.document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  editor.setTextCursor(cursor);
}

}  // namespace

void TemplateEditsTest::commands_on_a_selection() {
  using Edit = std::function<void(CodeEditor&)>;
  const Edit indent = quill::indent_lines, undent = quill::undent_lines,
             transform = quill::transform_lines, escape = quill::escape_chars;
  const Edit wrap = [](CodeEditor& e) { quill::apply_wrapper(e, "each_attr"); };
  const QString text = "a\n      b\n  c\nd";
  struct Row {
    const char* name;
    Edit edit;
    int from, to;
    const char* expected;
  } rows[] = {
      {"indent two lines", indent, 0, 5, "    a\n          b\n  c\nd"},
      {"indent stops before a line only reached at its start", indent, 0, 2, "    a\n      b\n  c\nd"},
      {"indent the caret's line", indent, 14, 14, "a\n      b\n  c\n    d"},
      {"undent skips short indents", undent, 2, 14, "a\n  b\n  c\nd"},
      {"transform lines", transform, 0, 11, "    :a\n    :      b\n    :  c\nd"},
      {"escape the selection only", escape, 0, 0, "a\n      b\n  c\nd"},
      {"wrap whole lines", wrap, 2, 10, "a\n.each_attr\n      b\n.end each_attr\n  c\nd"},
      {"wrap a selection without its line end", wrap, 2, 9,
       "a\n.each_attr\n      b\n.end each_attr\n\n  c\nd"},
      {"wrap from the middle of a line", wrap, 8, 10,
       "a\n      \n.each_attr\nb\n.end each_attr\n  c\nd"},
      {"wrap nothing", wrap, 0, 0, ".each_attr\n.end each_attr\na\n      b\n  c\nd"},
  };
  for (const Row& row : rows) {
    TextDocument* tem = new_document(DocKind::template_, text);
    select(tem->editor(), row.from, row.to);
    row.edit(tem->editor());
    QVERIFY2(tem->text() == QString::fromLatin1(row.expected),
             qPrintable(QString(row.name) + ": " + tem->text()));
  }

  TextDocument* tem = new_document(DocKind::template_, ":if a<b> \\ c\n:<x>");
  select(tem->editor(), 0, 12);
  quill::escape_chars(tem->editor());
  QCOMPARE(tem->text(), QStringLiteral(":if a\\<b\\> \\\\ c\n:<x>"));
  QCOMPARE(tem->editor().textCursor().selectedText(), QStringLiteral(":if a\\<b\\> \\\\ c"));
}

void TemplateEditsTest::commands_undo_in_one_step() {
  TextDocument* tem = new_document(DocKind::template_, "a\nb\nc");
  select(tem->editor(), 0, 5);
  quill::transform_lines(tem->editor());
  QCOMPARE(tem->text(), QStringLiteral("    :a\n    :b\n    :c"));
  tem->editor().undo();
  QCOMPARE(tem->text(), QStringLiteral("a\nb\nc"));
}

void TemplateEditsTest::wrapper_and_insert_file_from_the_menu() {
  auto& f = *fixture_;
  TextDocument* tem = new_document(DocKind::template_, ":x\n");
  select(tem->editor(), 0, 3);
  f.dialogs->item = "each_obj";
  f.window->apply_wrapper();
  QCOMPARE(tem->text(), QStringLiteral(".each_obj\n:x\n.end each_obj\n"));
  f.dialogs->item = "";  // cancelled
  f.window->apply_wrapper();
  QCOMPARE(tem->text(), QStringLiteral(".each_obj\n:x\n.end each_obj\n"));

  QVERIFY(quill::wrapper_names().contains("each_pragma_value"));
  QCOMPARE(quill::wrapper_names().size(), 21);

  tem->editor().moveCursor(QTextCursor::End);
  f.dialogs->open_name = f.write("part.tem", ":one\r\n:two\r\n");
  f.window->insert_file();
  QCOMPARE(tem->text(), QStringLiteral(".each_obj\n:x\n.end each_obj\n:one\n:two\n"));
  f.dialogs->open_name = f.dir.filePath("missing.tem");
  f.window->insert_file();
  QCOMPARE(f.dialogs->shown().last(),
           "-- Error -- The file '" + f.dir.filePath("missing.tem") + "' cannot be opened.");
}

// All skeletons, comment lines included, make one model that compiles
// with the reserved words of both languages forbidden.
void TemplateEditsTest::skeletons_compile() {
  auto& f = *fixture_;
  quill::settings().set("CGenTemplate", f.write("t.tem", ".end\n").toStdString());
  quill::settings().set("NoCxxKeywords", "true");
  quill::settings().set("NoAdaKeywords", "true");
  auto* model = static_cast<TextDocument*>(f.window->new_document(DocKind::model));
  int count = 0;
  for (auto* row = quill::model_skeletons_begin(); row != quill::model_skeletons_end(); ++row, ++count) {
    const QString before = model->text();
    quill::insert_skeleton(model->editor(), *row);
    QVERIFY2(model->text().mid(before.size()).startsWith("\n\n-- substitute"), row->menu_text);
  }
  QCOMPARE(count, 9);
  f.dialogs->save_name = f.dir.filePath("skeletons.dsm");
  QVERIFY(f.window->save());
  f.dialogs->boxes.clear();
  f.window->run_syntax_check();
  QVERIFY2(f.dialogs->shown() == QStringList({"-- Information -- The DSM Syntax is correct"}),
           qPrintable(f.dialogs->shown().join("|")));
}

int run_template_edits_tests(int argc, char* argv[]) {
  TemplateEditsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "template_edits_test.moc"
