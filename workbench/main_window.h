// The workbench window: a multi-document area holding models, templates and
// projects, the menus of the active document's kind, recent files, dropped
// files, and the profile read at start and written at exit.
#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "foundation/messages.h"
#include "workbench/dialogs.h"
#include "workbench/document_kind.h"
#include "workbench/profile.h"

class QMdiArea;
class QPrinter;
class QMdiSubWindow;
class QMenu;

namespace quill {

class Document;
class GeneratedFilesWindow;
class ProjectDocument;
class TextDocument;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Reads the profile, fills the settings store and installs the workbench's
  // message sink. dialogs replaces the real dialogs (tests); null for the real ones.
  explicit MainWindow(std::unique_ptr<Dialogs> dialogs = nullptr);
  ~MainWindow() override;

  // Opens what the command line names, else the last project, else the last model.
  void open_at_start(const QStringList& arguments);

  Document* new_document(DocKind kind);
  // Opens a file (or shows it when it is open already); null with a message box
  // when it cannot be opened.
  Document* open_file(const QString& path);
  bool save();
  bool save_as();
  // Closes the active document, asking about unsaved changes; false when cancelled.
  bool close_active();

  Document* active_document() const;
  TextDocument* active_text(DocKind kind) const;
  ProjectDocument* active_project() const;
  QList<Document*> documents() const;

  // Project commands on the active project document.
  void add_subsystem();
  void add_generation_rule();
  void edit_node_properties();
  void delete_node();
  void copy_node();
  void cut_node();
  void paste_node();

  // Run and option commands on the active document.
  void run_formatter();
  void run_code_generation();
  void run_syntax_check();
  void run_code_generator();
  void run_compatibility_check();
  void set_as_active_template();
  void select_template_by_file();
  void select_template_by_title();
  void choose_output_directory();
  void advanced_generation_options();
  void dsm_input_options();
  void editor_tools();
  void shortcut_generation();
  void show_characteristics();

  // Template edit commands on the active template document.
  void insert_file();
  void apply_wrapper();

  // Printing of the active model or template.
  void print_document();
  void print_preview();
  void print_setup();
  void go_to_line(int line);
  void clear_auto_open();

  // Writes the settings into the profile and the profile to quill.ini.
  bool write_profile();
  GeneratedFilesWindow& generated_files() const { return *files_window_; }
  Dialogs& dialogs() const { return *dialogs_; }
  QStringList recent_files() const { return recent_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createActions();
  void create_file_menu();
  void create_edit_menus();
  void create_add_menus();
  void create_run_menus();
  void create_other_menus();
  void add_menu(QMenu* menu, std::initializer_list<int> kinds);
  void update_menus();
  void update_title();
  void update_recent_menu();
  void remember_recent(const QString& path);
  QMdiSubWindow* add_document(Document* document);
  QMdiSubWindow* find_window(const QString& path) const;
  bool save_document(Document& document, bool ask_name);
  bool may_close(Document& document);
  void note_opened(const Document& document);

  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<MessageSink> previous_sink_;
  GeneratedFilesWindow* files_window_ = nullptr;
  QMdiArea* mdi_ = nullptr;
  Profile profile_;
  QStringList recent_;
  QMenu* recent_menu_ = nullptr;
  // Each menu with the document kinds it belongs to (kNoDocument: none open).
  std::vector<std::pair<QMenu*, std::vector<int>>> menus_;
  // Actions enabled only for some kinds, and actions shown only for some kinds.
  std::vector<std::pair<QAction*, std::vector<int>>> kind_actions_;
  std::vector<std::pair<QAction*, std::vector<int>>> kind_visible_;
  int untitled_count_ = 0;
  std::unique_ptr<QPrinter> printer_;
};

inline constexpr int kNoDocument = -1;
inline constexpr int kMaxRecentFiles = 4;

}  // namespace quill
