// Runs every workbench test class without a screen, with the profile in a
// private directory so that no test touches the user's configuration.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "engine/engine.h"
#include "tests/workbench/test_classes.h"

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir profile_dir;
  qputenv("QUILLDIR", profile_dir.path().toLocal8Bit());
  qputenv("VISUAL", "");
  qputenv("EDITOR", "");
  QApplication app(argc, argv);
  quill::bind_engine_commands();
  int failures = run_profile_tests(argc, argv);
  failures += run_document_tests(argc, argv);
  failures += run_project_tests(argc, argv);
  failures += run_template_edits_tests(argc, argv);
  failures += run_characteristics_tests(argc, argv);
  failures += run_options_tests(argc, argv);
  failures += run_index_tests(argc, argv);
  return failures == 0 ? 0 : 1;
}
