#include "workbench/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPageSetupDialog>
#include <QStatusBar>
#include <QTreeWidget>

#include "foundation/paths.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "project/project_file.h"
#include "project/project_node.h"
#include "workbench/characteristics_dialog.h"
#include "workbench/code_editor.h"
#include "workbench/desktop_integration.h"
#include "workbench/dialogs.h"
#include "workbench/generated_files_window.h"
#include "workbench/generation_commands.h"
#include "workbench/node_properties_dialog.h"
#include "workbench/option_dialogs.h"
#include "workbench/project_document.h"
#include "workbench/template_catalog.h"
#include "workbench/template_dialogs.h"
#include "workbench/template_edits.h"
#include "workbench/text_document.h"
#include "workbench/workbench_sink.h"

namespace quill {

namespace {

constexpr const char* kClipboardFormat = "QuillProjItem";

std::string std_text(const QString& text) { return text.toStdString(); }

// A start argument that asks for no document: a dash or slash, then e or E
// (unless it names a file that exists, as an absolute path may).
bool is_no_document_switch(const QString& argument) {
  if (argument.size() < 2) return false;
  const bool switch_char = argument[0] == QLatin1Char('-') || argument[0] == QLatin1Char('/');
  const bool e = argument[1] == QLatin1Char('e') || argument[1] == QLatin1Char('E');
  return switch_char && e && !QFileInfo::exists(argument);
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs) : dialogs_(std::move(dialogs)) {
  if (!dialogs_) dialogs_ = std::make_unique<QtDialogs>(this);
  profile_.load(profile_path());
  load_settings_from(profile_);
  for (int n = 1; n <= kMaxRecentFiles; ++n) {
    std::string file = profile_.get(kRecentSection, "File" + std::to_string(n));
    if (!file.empty()) recent_ << QString::fromStdString(file);
  }
  files_window_ = new GeneratedFilesWindow(*dialogs_, this);
  previous_sink_ = install_sink(std::make_unique<WorkbenchSink>(*dialogs_, files_window_));

  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
    update_menus();
    update_title();
  });
  setAcceptDrops(true);
  createActions();
  statusBar()->showMessage(QStringLiteral("Ready"));
  update_menus();
  update_title();
  resize(1000, 700);
  set_file_types(*dialogs_);
}

MainWindow::~MainWindow() {
  // The windows close while this one is taken apart: no more menu updates.
  disconnect(mdi_, nullptr, this, nullptr);
  for (Document* document : documents()) disconnect(document, nullptr, this, nullptr);
  // The sink refers to this window's dialogs: put the earlier one back first.
  install_sink(std::move(previous_sink_));
}

// --- documents --------------------------------------------------------------

QMdiSubWindow* MainWindow::add_document(Document* document) {
  QMdiSubWindow* window = mdi_->addSubWindow(document);
  connect(document, &Document::modification_changed, this, &MainWindow::update_title);
  if (auto* project = qobject_cast<ProjectDocument*>(document)) {
    connect(&project->tree(), &QTreeWidget::itemDoubleClicked, this,
            &MainWindow::edit_node_properties);
  }
  window->resize(560, 380);
  window->show();
  mdi_->setActiveSubWindow(window);
  return window;
}

Document* MainWindow::new_document(DocKind kind) {
  ++untitled_count_;
  Document* document = kind == DocKind::project
                           ? static_cast<Document*>(new ProjectDocument(untitled_count_))
                           : new TextDocument(kind, untitled_count_);
  add_document(document);
  return document;
}

QMdiSubWindow* MainWindow::find_window(const QString& path) const {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    auto* document = qobject_cast<Document*>(window->widget());
    if (document && document->path() == absolute) return window;
  }
  return nullptr;
}

void MainWindow::note_opened(const Document& document) {
  remember_recent(document.path());
  if (document.kind() == DocKind::model) settings().set("ModelName", std_text(document.path()));
  if (document.kind() == DocKind::project) settings().set("ProjName", std_text(document.path()));
}

Document* MainWindow::open_file(const QString& path) {
  if (QMdiSubWindow* existing = find_window(path)) {
    mdi_->setActiveSubWindow(existing);
    return qobject_cast<Document*>(existing->widget());
  }
  DocKind kind;
  if (!kind_of_path(path, kind)) {
    dialogs_->show_box(BoxKind::error,
                       QStringLiteral("Can't open '%1':\nthe workbench opens object models (.dsm),\n"
                                      "templates (.tem) and projects (.qpj).")
                           .arg(path));
    return nullptr;
  }
  std::unique_ptr<Document> document;
  if (kind == DocKind::project)
    document = std::make_unique<ProjectDocument>(0);
  else
    document = std::make_unique<TextDocument>(kind, 0);
  QString error_text;
  if (!document->load(path, error_text)) {
    dialogs_->show_box(BoxKind::error, error_text);
    return nullptr;
  }
  Document* opened = document.release();
  add_document(opened);
  note_opened(*opened);
  return opened;
}

bool MainWindow::save_document(Document& document, bool ask_name) {
  QString path = document.path();
  if (ask_name || path.isEmpty()) {
    path = dialogs_->save_file_name(QStringLiteral("Save As"), save_filter(document.kind()),
                                    document.display_name());
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QString::fromLatin1(kind_row(document.kind()).extension);
  }
  QString error_text;
  if (!document.save_as(path, error_text)) {
    dialogs_->show_box(BoxKind::error, error_text);
    return false;
  }
  note_opened(document);
  update_title();
  return true;
}

bool MainWindow::save() {
  Document* document = active_document();
  return document && save_document(*document, false);
}

bool MainWindow::save_as() {
  Document* document = active_document();
  return document && save_document(*document, true);
}

bool MainWindow::may_close(Document& document) {
  if (!document.is_modified()) return true;
  switch (dialogs_->ask_save_changes(document.display_name())) {
    case SaveChoice::save: return save_document(document, false);
    case SaveChoice::discard: return true;
    case SaveChoice::cancel: return false;
  }
  return false;
}

bool MainWindow::close_active() {
  QMdiSubWindow* window = mdi_->activeSubWindow();
  if (!window) return true;
  auto* document = qobject_cast<Document*>(window->widget());
  if (document && !may_close(*document)) return false;
  if (document) document->setWindowModified(false);  // asked already
  window->close();
  delete window;
  update_menus();
  update_title();
  return true;
}

Document* MainWindow::active_document() const {
  QMdiSubWindow* window = mdi_->activeSubWindow();
  if (!window) {
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    if (windows.isEmpty()) return nullptr;
    window = windows.last();
  }
  return qobject_cast<Document*>(window->widget());
}

TextDocument* MainWindow::active_text(DocKind kind) const {
  Document* document = active_document();
  return document && document->kind() == kind ? static_cast<TextDocument*>(document) : nullptr;
}

ProjectDocument* MainWindow::active_project() const {
  Document* document = active_document();
  return document && document->kind() == DocKind::project ? static_cast<ProjectDocument*>(document)
                                                          : nullptr;
}

QList<Document*> MainWindow::documents() const {
  QList<Document*> out;
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (auto* document = qobject_cast<Document*>(window->widget())) out << document;
  }
  return out;
}

void MainWindow::open_at_start(const QStringList& arguments) {
  if (!arguments.isEmpty()) {
    if (!is_no_document_switch(arguments.first())) open_file(arguments.first());
    return;
  }
  for (const char* key : {"CGenProj", "CGenModel"}) {
    const std::string last = settings().get(key);
    if (!last.empty()) {
      open_file(QString::fromStdString(last));
      return;
    }
  }
}

// --- project commands -------------------------------------------------------

void MainWindow::add_subsystem() {
  if (ProjectDocument* project = active_project()) project->add_subsystem();
}

void MainWindow::add_generation_rule() {
  if (ProjectDocument* project = active_project()) project->add_generation_rule();
}

void MainWindow::edit_node_properties() {
  ProjectDocument* project = active_project();
  if (!project) return;
  ProjectNode* node = &project->selected_node();
  const NodeType type = node->type_id();
  if ((type == NodeType::model_file || type == NodeType::template_file) && node->parent())
    node = node->parent();
  NodePropertiesDialog dialog(*node, *dialogs_, this);
  dialog.set_status([this](const QString& text) { statusBar()->showMessage(text); });
  if (!dialogs_->run_dialog(dialog)) return;
  dialog.apply();
  project->node_changed(*node);
}

void MainWindow::delete_node() {
  if (ProjectDocument* project = active_project()) project->delete_selected();
}

void MainWindow::copy_node() {
  ProjectDocument* project = active_project();
  if (!project) return;
  ProjectNode& node = project->selected_node();
  if (node.type_id() != NodeType::subsystem && node.type_id() != NodeType::generation_rule) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) {
    dialogs_->show_box(BoxKind::error, QStringLiteral("Failed to open Clipboard!"));
    return;
  }
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kClipboardFormat), QByteArray::fromStdString(write_subtree(node)));
  clipboard->setMimeData(data);
}

void MainWindow::cut_node() {
  copy_node();
  delete_node();
}

void MainWindow::paste_node() {
  ProjectDocument* project = active_project();
  if (!project) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!clipboard) {
    dialogs_->show_box(BoxKind::error, QStringLiteral("Failed to open Clipboard!"));
    return;
  }
  if (!data || !data->hasFormat(QString::fromLatin1(kClipboardFormat))) return;
  const QByteArray entry = data->data(QString::fromLatin1(kClipboardFormat));
  project->paste_node(read_subtree(std::string_view(entry.constData(), entry.size())));
}

// --- run and option commands ------------------------------------------------

void MainWindow::run_formatter() {
  if (TextDocument* model = active_text(DocKind::model)) format_model(*model);
}

void MainWindow::run_code_generation() {
  if (TextDocument* model = active_text(DocKind::model)) generate_from_model(*model);
}

void MainWindow::run_syntax_check() {
  if (TextDocument* model = active_text(DocKind::model)) check_model_syntax(*model);
}

void MainWindow::run_code_generator() {
  if (TextDocument* tem = active_text(DocKind::template_)) generate_from_template(*tem);
  if (ProjectDocument* project = active_project()) generate_project_node(*project);
}

void MainWindow::set_as_active_template() {
  if (TextDocument* tem = active_text(DocKind::template_)) set_active_template(*tem);
}

void MainWindow::select_template_by_file() {
  QString path = dialogs_->open_file_name(QStringLiteral("Select Codegen Template File..."),
                                          QStringLiteral("Template Files (*.tem);;All Files (*)"));
  if (path.isEmpty()) return;
  settings().set("CGenTemplate", std_text(QFileInfo(path).absoluteFilePath()));
  write_profile();
}

void MainWindow::choose_output_directory() {
  QString dir = dialogs_->folder_name(QStringLiteral("Choose Folder"),
                                      QString::fromStdString(settings().get("CGenOutdir")));
  if (dir.isEmpty() || !acceptable_output_dir(dir, *dialogs_)) return;
  settings().set("CGenOutdir", std_text(dir));
}

void MainWindow::run_compatibility_check() {
  if (TextDocument* model = active_text(DocKind::model)) check_compatibility(*model);
}

void MainWindow::select_template_by_title() {
  QList<CatalogEntry> entries;
  QString catalog;
  const CatalogRead result = read_template_catalog(entries, catalog);
  if (result != CatalogRead::ok) {
    dialogs_->show_box(BoxKind::error, catalog_failure_text(result, catalog));
    return;
  }
  TemplateByTitleDialog dialog(entries, *dialogs_, this);
  if (!dialogs_->run_dialog(dialog)) return;
  const QString path = dialog.chosen_path();
  if (path.isEmpty()) return;
  settings().set("CGenTemplate", std_text(QFileInfo(path).absoluteFilePath()));
  write_profile();
}

void MainWindow::advanced_generation_options() {
  GenerationOptionsDialog dialog(*dialogs_, this);
  if (dialogs_->run_dialog(dialog) && dialog.apply()) write_profile();
}

void MainWindow::dsm_input_options() {
  DsmInputOptionsDialog dialog(this);
  if (!dialogs_->run_dialog(dialog)) return;
  dialog.apply();
  write_profile();
}

void MainWindow::editor_tools() {
  EditorToolsDialog dialog(*dialogs_, this);
  if (!dialogs_->run_dialog(dialog)) return;
  dialog.apply();
  write_profile();
}

void MainWindow::shortcut_generation() {
  ShortcutDialog dialog(*dialogs_, this);
  dialogs_->run_dialog(dialog);
  write_profile();
}

void MainWindow::show_characteristics() {
  CharacteristicsDialog dialog(*dialogs_, this);
  dialogs_->run_dialog(dialog);
}

void MainWindow::insert_file() {
  TextDocument* tem = active_text(DocKind::template_);
  if (!tem) return;
  const QString path = dialogs_->open_file_name(QStringLiteral("Select File To Insert..."),
                                                QStringLiteral("All Files (*)"));
  if (path.isEmpty()) return;
  std::string bytes;
  if (!platform::read_file(std_text(path), bytes)) {
    dialogs_->show_box(BoxKind::error, QStringLiteral("The file '%1' cannot be opened.").arg(path));
    return;
  }
  QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  insert_text(tem->editor(), text);
}

void MainWindow::apply_wrapper() {
  TextDocument* tem = active_text(DocKind::template_);
  if (!tem) return;
  const QString name = dialogs_->choose_item(QStringLiteral("Apply Wrapper"),
                                             QStringLiteral("Wrap the selection in:"), wrapper_names());
  if (!name.isEmpty()) quill::apply_wrapper(tem->editor(), name);
}

// --- printing ---------------------------------------------------------------

void MainWindow::print_document() {
  Document* document = active_document();
  if (!document || document->kind() == DocKind::project) return;
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), this);
  dialog.setWindowTitle(tr("Print %1").arg(document->display_name()));
  if (!dialogs_->run_dialog(dialog)) return;
  printer_->setDocName(document->display_name());
  static_cast<TextDocument*>(document)->editor().print(printer_.get());
}

void MainWindow::print_preview() {
  Document* document = active_document();
  if (!document || document->kind() == DocKind::project) return;
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer_->setDocName(document->display_name());
  QPrintPreviewDialog preview(printer_.get(), this);
  CodeEditor* editor = &static_cast<TextDocument*>(document)->editor();
  connect(&preview, &QPrintPreviewDialog::paintRequested, editor, &QPlainTextEdit::print);
  dialogs_->run_dialog(preview);
}

void MainWindow::print_setup() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPageSetupDialog dialog(printer_.get(), this);
  dialogs_->run_dialog(dialog);
}

void MainWindow::go_to_line(int line) {
  Document* document = active_document();
  if (document && document->kind() != DocKind::project)
    static_cast<TextDocument*>(document)->editor().go_to_line(line);
}

void MainWindow::clear_auto_open() {
  settings().set("ModelName", "");
  settings().set("ProjName", "");
  write_profile();
}

// --- profile, recent files, closing, dropping ------------------------------

bool MainWindow::write_profile() {
  store_settings_into(profile_);
  for (int n = 1; n <= kMaxRecentFiles; ++n) {
    profile_.set(kRecentSection, "File" + std::to_string(n),
                 n <= recent_.size() ? std_text(recent_[n - 1]) : "");
  }
  const std::string dir = profile_directory();
  if (!dir_exists(dir)) make_dirs(dir);
  return profile_.save(profile_path());
}

void MainWindow::remember_recent(const QString& path) {
  if (path.isEmpty()) return;
  recent_.removeAll(path);
  recent_.prepend(path);
  while (recent_.size() > kMaxRecentFiles) recent_.removeLast();
  update_recent_menu();
}

void MainWindow::update_title() {
  Document* document = active_document();
  if (!document) {
    setWindowTitle(QStringLiteral("Quillwork"));
    setWindowModified(false);
    return;
  }
  setWindowTitle(document->display_name() + QStringLiteral("[*] - Quillwork"));
  setWindowModified(document->is_modified());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    mdi_->setActiveSubWindow(window);
    if (!close_active()) {
      event->ignore();
      return;
    }
  }
  write_profile();
  files_window_->hide();
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) open_file(url.toLocalFile());
  }
  event->acceptProposedAction();
}

}  // namespace quill
