// The profile in quill.ini and the message boxes of the workbench sink.
#include <QTemporaryDir>
#include <QTest>

#include "foundation/ini_reader.h"
#include "foundation/messages.h"
#include "foundation/platform.h"
#include "foundation/settings.h"
#include "tests/workbench/scripted_dialogs.h"
#include "tests/workbench/test_classes.h"
#include "workbench/generated_files_window.h"
#include "workbench/main_window.h"
#include "workbench/profile.h"
#include "workbench/workbench_sink.h"

using quill::BoxKind;
using quill::settings;
using quill::testing::ScriptedDialogs;

class ProfileTest : public QObject {
  Q_OBJECT

 private slots:
  void keeps_other_lines_and_replaces_keys();
  void directory_follows_the_environment();
  void settings_round_trip_through_quill_ini();
  void sink_shows_boxes_by_severity();
  void question_stores_continue_tx();
  void generated_files_window_lists_and_opens();
};

void ProfileTest::keeps_other_lines_and_replaces_keys() {
  QTemporaryDir dir;
  const std::string path = dir.filePath("quill.ini").toStdString();
  quill::platform::write_file(path,
                              "; my settings\r\n[Other]\r\nX=1\r\n\r\n[LastCodegenSettings]\r\n"
                              "CGenOutdir=/old\r\nCustom=kept\r\n");
  quill::Profile profile;
  QVERIFY(profile.load(path));
  profile.set("LastCodegenSettings", "CGenOutdir", "/new");
  profile.set("LastCodegenSettings", "CGenModel", "/m.dsm");
  profile.set("Browsing", "Editor", "ed");
  QVERIFY(profile.save(path));
  QCOMPARE(QString::fromStdString(profile.text()),
           QStringLiteral("; my settings\n[Other]\nX=1\n\n[LastCodegenSettings]\n"
                          "CGenOutdir=/new\nCustom=kept\nCGenModel=/m.dsm\n\n[Browsing]\nEditor=ed\n"));
  // The engine's own reader finds what was written.
  QCOMPARE(quill::ini_read(dir.path().toStdString(), "quill.ini", "LastCodegenSettings", "CGenModel", ""),
           std::string("/m.dsm"));
  QCOMPARE(profile.get("Other", "Y", "none"), std::string("none"));
}

void ProfileTest::directory_follows_the_environment() {
  struct Row {
    const char* quilldir;
    const char* system_root;
    const char* winbootdir;
    const char* xdg;
    const char* expected;
  } rows[] = {
      {"/q", "/s", "/w", "/x", "/q"},
      {"", "/s", "/w", "/x", "/s"},
      {"", "", "/w", "/x", "/w"},
      {"", "", "", "/x", "/x/quillwork"},
      {"", "", "", "", "/home/u/.config/quillwork"},
  };
  const QByteArray saved = qgetenv("QUILLDIR");
  const QByteArray home = qgetenv("HOME");
  qputenv("HOME", "/home/u");
  for (const Row& row : rows) {
    qputenv("QUILLDIR", row.quilldir);
    qputenv("SystemRoot", row.system_root);
    qputenv("winbootdir", row.winbootdir);
    qputenv("XDG_CONFIG_HOME", row.xdg);
    QCOMPARE(QString::fromStdString(quill::profile_directory()), QString::fromLatin1(row.expected));
  }
  qputenv("QUILLDIR", saved);
  qputenv("HOME", home);
  qunsetenv("SystemRoot");
  qunsetenv("winbootdir");
  qunsetenv("XDG_CONFIG_HOME");
}

void ProfileTest::settings_round_trip_through_quill_ini() {
  settings().clear();
  {
    quill::MainWindow window(std::make_unique<ScriptedDialogs>());
    // Defaults when the profile holds nothing.
    QCOMPARE(settings().get("StripReturns"), std::string("false"));
    QCOMPARE(settings().get("BackupFileMap"), std::string("h bkh hxx bkh cpp bkc cxx bkc c bkc"));
    QCOMPARE(settings().get("LanguageTarget"), std::string("c++"));
    QCOMPARE(settings().get("Editor"), std::string("xdg-open"));
    QCOMPARE(settings().get("CGenTemplate"), settings().get("CGenTemplateDefault"));
    QVERIFY(settings().get("CGenTemplate").ends_with("CPP_STD.TEM"));
    settings().set("ModelName", "/models/bank.dsm");
    settings().set("ProjName", "/projects/bank.qpj");
    settings().set("CGenOutdir", "/out");
    settings().set("TraceTemLines", "true");
    settings().set("Editor", "kate");
    QVERIFY(window.write_profile());
  }
  const std::string dir = quill::profile_directory();
  auto read = [&dir](const char* section, const char* key) {
    return quill::ini_read(dir, "quill.ini", section, key, "<absent>");
  };
  QCOMPARE(read("LastCodegenSettings", "CGenModel"), std::string("/models/bank.dsm"));
  QCOMPARE(read("LastCodegenSettings", "CGenProj"), std::string("/projects/bank.qpj"));
  QCOMPARE(read("LastCodegenSettings", "CGenOutdir"), std::string("/out"));
  QCOMPARE(read("Browsing", "Editor"), std::string("kate"));
  settings().clear();
  quill::MainWindow again(std::make_unique<ScriptedDialogs>());
  QCOMPARE(settings().get("ModelName"), std::string("/models/bank.dsm"));
  QCOMPARE(settings().get("ProjName"), std::string("/projects/bank.qpj"));
  QCOMPARE(settings().get("TraceTemLines"), std::string("true"));
  QCOMPARE(settings().get("Editor"), std::string("kate"));
  quill::platform::remove_file(quill::profile_path());
}

void ProfileTest::sink_shows_boxes_by_severity() {
  auto owned = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs& dialogs = *owned;
  quill::MainWindow window(std::move(owned));
  quill::error("bad\r\nthing");
  quill::warning("careful");
  quill::info("done");
  quill::sink().message(quill::Severity::plain, "plain");
  quill::sink().error_list("Duplicate names:", "a\nb\n");
  QCOMPARE(dialogs.shown(), QStringList({
                                "-- Error -- bad\nthing",
                                "-- Warning -- careful",
                                "-- Information -- done",
                                "-- Information -- plain",
                                "-- Error -- Duplicate names:\na\nb\n",
                            }));
}

void ProfileTest::question_stores_continue_tx() {
  auto owned = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs& dialogs = *owned;
  quill::MainWindow window(std::move(owned));
  for (bool answer : {true, false}) {
    dialogs.answer = answer;
    QCOMPARE(quill::ask_question("Go on?"), answer);
    QCOMPARE(settings().get("continue_tx"), std::string(answer ? "true" : "false"));
    QCOMPARE(dialogs.boxes.last().kind, BoxKind::question);
    QCOMPARE(quill::box_caption(dialogs.boxes.last().kind), QStringLiteral("-- Question --"));
  }
}

void ProfileTest::generated_files_window_lists_and_opens() {
  auto owned = std::make_unique<ScriptedDialogs>();
  ScriptedDialogs& dialogs = *owned;
  quill::MainWindow window(std::move(owned));
  quill::GeneratedFilesWindow& files = window.generated_files();
  QCOMPARE(files.windowTitle(), QStringLiteral("Generating Files..."));
  quill::sink().file_created("old.h");
  quill::sink().file_created("-NEW-");
  quill::sink().file_created("gen/a.h");
  quill::sink().file_created("gen/b.h");
  QCOMPARE(files.files(), QStringList({"gen/a.h", "gen/b.h"}));
  QVERIFY(files.isVisible());

  files.select_row(1);
  settings().set("Editor", "");
  files.open_selected_file();
  QCOMPARE(dialogs.shown(), QStringList({"-- Error -- No 'Editor' variable defined in .INI file."}));
  QVERIFY(dialogs.launched.isEmpty());
  settings().set("Editor", "gedit");
  files.open_selected_file();
  QCOMPARE(dialogs.launched, QStringList({"gedit \"gen/b.h\""}));
}

int run_profile_tests(int argc, char* argv[]) {
  ProfileTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "profile_test.moc"
