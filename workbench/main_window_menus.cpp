// The menus of the workbench. Each menu belongs to the document kinds listed
// with it and is shown only while the active document is of one of them;
// commands that are not offered yet are present but disabled.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "foundation/settings.h"
#include "workbench/code_editor.h"
#include "workbench/dialogs.h"
#include "workbench/main_window.h"
#include "workbench/model_skeletons.h"
#include "workbench/project_document.h"
#include "workbench/template_edits.h"
#include "workbench/text_document.h"

namespace quill {

namespace {

constexpr int kModel = static_cast<int>(DocKind::model);
constexpr int kTemplate = static_cast<int>(DocKind::template_);
constexpr int kProject = static_cast<int>(DocKind::project);

// Adds a command that is not offered yet.
void add_disabled(QMenu* menu, const char* text) {
  menu->addAction(QString::fromLatin1(text))->setEnabled(false);
}

}  // namespace

void MainWindow::add_menu(QMenu* menu, std::initializer_list<int> kinds) {
  menus_.emplace_back(menu, std::vector<int>(kinds));
}

void MainWindow::createActions() {
  create_file_menu();
  create_edit_menus();
  create_add_menus();
  create_run_menus();
  create_other_menus();
}

void MainWindow::create_file_menu() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  add_menu(file, {kNoDocument, kModel, kTemplate, kProject});
  QMenu* new_menu = file->addMenu(tr("&New"));
  QAction* new_model = new_menu->addAction(tr("Object &Model"), this, [this] { new_document(DocKind::model); });
  new_model->setShortcut(QKeySequence::New);
  new_menu->addAction(tr("&Template"), this, [this] { new_document(DocKind::template_); });
  new_menu->addAction(tr("&Project"), this, [this] { new_document(DocKind::project); });
  QAction* open = file->addAction(tr("&Open..."), this, [this] {
    QString path = dialogs_->open_file_name(tr("Open"), open_filter());
    if (!path.isEmpty()) open_file(path);
  });
  open->setShortcut(QKeySequence::Open);
  QAction* close = file->addAction(tr("&Close"), this, &MainWindow::close_active);
  QAction* save = file->addAction(tr("&Save"), this, &MainWindow::save);
  save->setShortcut(QKeySequence::Save);
  QAction* save_as = file->addAction(tr("Save &As..."), this, &MainWindow::save_as);
  for (QAction* a : {close, save, save_as})
    kind_actions_.emplace_back(a, std::vector<int>{kModel, kTemplate, kProject});
  file->addAction(tr("Open Active &Template"), this, [this] {
    open_file(QString::fromStdString(settings().get("CGenTemplate")));
  });
  file->addSeparator();
  QAction* print = file->addAction(tr("&Print..."), this, &MainWindow::print_document);
  print->setShortcut(QKeySequence::Print);
  QAction* preview = file->addAction(tr("Print Pre&view"), this, &MainWindow::print_preview);
  for (QAction* a : {print, preview}) kind_actions_.emplace_back(a, std::vector<int>{kModel, kTemplate});
  file->addAction(tr("P&rint Setup..."), this, &MainWindow::print_setup);
  QAction* clear = file->addAction(tr("Clear A&uto-Open"), this, &MainWindow::clear_auto_open);
  kind_actions_.emplace_back(clear, std::vector<int>{kNoDocument});
  file->addSeparator();
  recent_menu_ = file->addMenu(tr("Recent &Files"));
  update_recent_menu();
  file->addSeparator();
  QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
  exit->setShortcut(QKeySequence::Quit);
}

void MainWindow::update_recent_menu() {
  if (!recent_menu_) return;
  recent_menu_->clear();
  for (int i = 0; i < recent_.size(); ++i) {
    const QString path = recent_[i];
    recent_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), this,
                            [this, path] { open_file(path); });
  }
  recent_menu_->setEnabled(!recent_.isEmpty());
}

void MainWindow::create_edit_menus() {
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  add_menu(edit, {kModel, kTemplate});
  auto editor_action = [this, edit](const QString& text, QKeySequence keys, void (QPlainTextEdit::*slot)()) {
    QAction* a = edit->addAction(text, this, [this, slot] {
      Document* document = active_document();
      if (document && document->kind() != DocKind::project)
        (static_cast<TextDocument*>(document)->editor().*slot)();
    });
    a->setShortcut(keys);
  };
  editor_action(tr("&Undo"), QKeySequence::Undo, &QPlainTextEdit::undo);
  edit->addSeparator();
  editor_action(tr("Cu&t"), QKeySequence::Cut, &QPlainTextEdit::cut);
  editor_action(tr("&Copy"), QKeySequence::Copy, &QPlainTextEdit::copy);
  editor_action(tr("&Paste"), QKeySequence::Paste, &QPlainTextEdit::paste);
  edit->addAction(tr("&Delete"), this, [this] {
    Document* document = active_document();
    if (document && document->kind() != DocKind::project)
      static_cast<TextDocument*>(document)->editor().textCursor().removeSelectedText();
  });
  editor_action(tr("Select &All"), QKeySequence::SelectAll, &QPlainTextEdit::selectAll);
  edit->addSeparator();
  add_disabled(edit, "&Find...");
  add_disabled(edit, "R&eplace...");
  QAction* go_to = edit->addAction(tr("&Go to Line..."), this, [this] {
    bool ok = false;
    int line = QInputDialog::getInt(this, tr("Go to Line"), tr("Line:"), 1, 1, 1 << 30, 1, &ok);
    if (ok) go_to_line(line);
  });
  go_to->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  QAction* separator = edit->addSeparator();
  kind_visible_.emplace_back(separator, std::vector<int>{kTemplate});
  auto template_edit = [this](void (*edit)(CodeEditor&)) {
    return [this, edit] {
      if (TextDocument* tem = active_text(DocKind::template_)) edit(tem->editor());
    };
  };
  QAction* insert = edit->addAction(tr("&Insert File..."), this, &MainWindow::insert_file);
  QAction* indent = edit->addAction(tr("I&ndent"), this, template_edit(&indent_lines));
  indent->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketRight));
  QAction* undent = edit->addAction(tr("U&ndent"), this, template_edit(&undent_lines));
  undent->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_BracketLeft));
  QAction* wrapper = edit->addAction(tr("Apply &Wrapper..."), this, &MainWindow::apply_wrapper);
  QMenu* transform = edit->addMenu(tr("T&ransform"));
  transform->addAction(tr("&Lines into simple statements"), this, template_edit(&transform_lines));
  transform->addAction(tr("&Chars to escaped chars"), this, template_edit(&escape_chars));
  for (QAction* a : {insert, indent, undent, wrapper, transform->menuAction()})
    kind_visible_.emplace_back(a, std::vector<int>{kTemplate});

  QMenu* project_edit = menuBar()->addMenu(tr("&Edit"));
  add_menu(project_edit, {kProject});
  add_disabled(project_edit, "&Undo");
  project_edit->addSeparator();
  project_edit->addAction(tr("Cu&t"), this, &MainWindow::cut_node);
  project_edit->addAction(tr("&Copy"), this, &MainWindow::copy_node);
  project_edit->addAction(tr("&Paste"), this, &MainWindow::paste_node);
  project_edit->addAction(tr("&Delete"), this, &MainWindow::delete_node);
  project_edit->addSeparator();
  project_edit->addAction(tr("P&roperties..."), this, &MainWindow::edit_node_properties);
}

void MainWindow::create_add_menus() {
  QMenu* model_add = menuBar()->addMenu(tr("&Add"));
  add_menu(model_add, {kModel});
  for (const ModelSkeleton* row = model_skeletons_begin(); row != model_skeletons_end(); ++row) {
    model_add->addAction(tr(row->menu_text), this, [this, row] {
      if (TextDocument* model = active_text(DocKind::model)) insert_skeleton(model->editor(), *row);
    });
  }
  model_add->addSeparator();
  model_add->addAction(tr("&Characteristics..."), this, &MainWindow::show_characteristics);

  QMenu* project_add = menuBar()->addMenu(tr("&Add"));
  add_menu(project_add, {kProject});
  project_add->addAction(tr("Add &Subsystem"), this, &MainWindow::add_subsystem);
  project_add->addAction(tr("Add &Generation Rule"), this, &MainWindow::add_generation_rule);

  QMenu* template_add = menuBar()->addMenu(tr("&Add"));
  add_menu(template_add, {kTemplate});
  // Each wraps the selection (or nothing) in the statement and its .end.
  const std::pair<const char*, const char*> statements[] = {
      {"&Block", "block"},
      {"&Object Iterator", "each_obj"},
      {"&Function Iterator", "each_function"},
      {"&Process Iterator", "each_process"},
      {"&State Iterator", "each_state"},
      {"&Module", "module"},
      {"P&ragma Iterator", "each_pragma_value"},
      {"Foreign &Type Iterator", "each_foreign_type"},
      {"&Literal Iterator", "each_literal"},
      {"&Var Item Iterator", "each_var_item"},
  };
  for (const auto& [text, statement] : statements) {
    const QString name = QString::fromLatin1(statement);
    template_add->addAction(tr(text), this, [this, name] {
      if (TextDocument* tem = active_text(DocKind::template_)) quill::apply_wrapper(tem->editor(), name);
    });
  }
}

void MainWindow::create_run_menus() {
  QMenu* model_run = menuBar()->addMenu(tr("&Run"));
  add_menu(model_run, {kModel});
  QAction* formatter = model_run->addAction(tr("DSM Text &Formatter"), this, &MainWindow::run_formatter);
  formatter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* generation = model_run->addAction(tr("Code &Generation"), this, &MainWindow::run_code_generation);
  generation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  QMenu* checking = model_run->addMenu(tr("&Checking"));
  checking->addAction(tr("DSM &Syntax"), this, &MainWindow::run_syntax_check);
  checking->addAction(tr("&Model-Template Compatibility"), this, &MainWindow::run_compatibility_check);
  for (QAction* a : {formatter, generation}) kind_actions_.emplace_back(a, std::vector<int>{kModel});

  QMenu* run = menuBar()->addMenu(tr("&Run"));
  add_menu(run, {kTemplate, kProject});
  QAction* generator = run->addAction(tr("Code &Generator"), this, &MainWindow::run_code_generator);
  generator->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  kind_actions_.emplace_back(generator, std::vector<int>{kTemplate, kProject});
}

void MainWindow::create_other_menus() {
  QMenu* options = menuBar()->addMenu(tr("&Options"));
  add_menu(options, {kNoDocument, kModel, kTemplate, kProject});
  options->addAction(tr("&DSM Input Options..."), this, &MainWindow::dsm_input_options);
  options->addAction(tr("Select Template by &Title..."), this, &MainWindow::select_template_by_title);
  options->addAction(tr("Select Template by &File..."), this, &MainWindow::select_template_by_file);
  options->addAction(tr("&Output Directory..."), this, &MainWindow::choose_output_directory);
  options->addAction(tr("&Advanced Generation Options..."), this, &MainWindow::advanced_generation_options);
  QAction* active = options->addAction(tr("Set as &Active"), this, &MainWindow::set_as_active_template);
  kind_actions_.emplace_back(active, std::vector<int>{kTemplate});

  QMenu* shortcuts = menuBar()->addMenu(tr("&Shortcuts"));
  add_menu(shortcuts, {kNoDocument});
  shortcuts->addAction(tr("&Generate Code from DSM..."), this, &MainWindow::shortcut_generation);

  QMenu* tools = menuBar()->addMenu(tr("&Tools"));
  add_menu(tools, {kNoDocument, kModel, kTemplate, kProject});
  tools->addAction(tr("&Editor..."), this, &MainWindow::editor_tools);

  QMenu* window = menuBar()->addMenu(tr("&Window"));
  add_menu(window, {kModel, kTemplate, kProject});
  window->addAction(tr("&Cascade"), mdi_, &QMdiArea::cascadeSubWindows);
  window->addAction(tr("&Tile"), mdi_, &QMdiArea::tileSubWindows);
  window->addAction(tr("Ne&xt"), mdi_, &QMdiArea::activateNextSubWindow);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  add_menu(help, {kNoDocument, kModel, kTemplate, kProject});
  help->addAction(tr("&About Quillwork..."), this, [this] {
    QMessageBox::about(this, tr("About Quillwork"),
                       tr("Quillwork workbench\nModel-driven source code generator"));
  });
}

void MainWindow::update_menus() {
  Document* document = active_document();
  const int kind = document ? static_cast<int>(document->kind()) : kNoDocument;
  auto belongs = [kind](const std::vector<int>& kinds) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
  };
  for (auto& [menu, kinds] : menus_) menu->menuAction()->setVisible(belongs(kinds));
  for (auto& [action, kinds] : kind_actions_) action->setEnabled(belongs(kinds));
  for (auto& [action, kinds] : kind_visible_) action->setVisible(belongs(kinds));
}

}  // namespace quill
