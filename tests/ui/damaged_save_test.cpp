// The main window's save on damaged and partial game directories: the save
// question lists the files the save writes, a file read with damage gets a
// question of its own and No leaves it byte for byte; a directory without
// dialogue opens with every window; the scene window says once, for the
// scene it shows, that a scene has no object table.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/main/main_window.h"
#include "ui/pictures/portrait_window.h"
#include "ui/qt_text.h"
#include "ui/scenes/scene_window.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

void Cut(const QString& path, qsizetype bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadWrite));
  QVERIFY(file.resize(file.size() - bytes));
}

// The sample game as it lies in its directory, read through the window.
struct Session {
  SampleGame game{GameCharset::Gbk, false};
  ScriptedPrompt prompt;
  std::unique_ptr<MainWindow> window;

  bool Open() {
    window = std::make_unique<MainWindow>(game.state);
    window->setGameDirectory(game.dir);
    Find<QAction>(*window, "mnu_readfile")->trigger();
    return game.state.loaded;
  }
  ~Session() { game.state.modified = false; }
  MainWindow& w() { return *window; }
  QString ui(int n) const { return Q(game.state.text().UiString(n)); }
};

}  // namespace

class DamagedSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void theQuestionListsTheDamagedFileAndNoLeavesItByteForByte() {
    Session s;
    QVERIFY2(s.game.ok(), qPrintable(s.game.error));
    // talk.idx loses its last entry: the data holds bytes no entry covers.
    Cut(s.game.path("talk.idx"), 4);
    const QByteArray idx = FileBytes(s.game.path("talk.idx"));
    const QByteArray grp = FileBytes(s.game.path("talk.grp"));
    QVERIFY(s.Open());
    // The read says so, naming the file.
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QVERIFY2(s.prompt.asked()[0].text.contains("talk.idx"), qPrintable(s.prompt.asked()[0].text));

    // A dialogue changed through the window, then saved.
    s.prompt.Clear();
    Find<QComboBox>(s.w(), "Combotalk")->setCurrentIndex(1);
    Find<QLineEdit>(s.w(), "txttalk")->setText(QString::fromUtf8("改"));
    Click(s.w(), "cmdmodifytalk");
    s.prompt.Clear();
    s.prompt.Queue(Answer::Ok);  // the save question
    s.prompt.Queue(Answer::No);  // the damage question
    Find<QAction>(s.w(), "mnu_Savefile")->trigger();
    QVERIFY(s.prompt.asked().size() >= 2);
    const QString question = s.prompt.asked()[0].text;
    QCOMPARE(s.prompt.asked()[0].buttons, Buttons::OkCancel);
    QVERIFY2(question.contains("talk.idx") && question.contains("talk.grp"), qPrintable(question));
    QVERIFY2(!question.contains("kdef"), qPrintable(question));
    const QString damage = s.prompt.asked()[1].text;
    QCOMPARE(s.prompt.asked()[1].buttons, Buttons::YesNoDefaultNo);
    QVERIFY2(damage.contains("talk.idx") && damage.contains(QString::number(grp.size())), qPrintable(damage));
    // No: both files as they were, no backup, and the edit still unsaved.
    QCOMPARE(FileBytes(s.game.path("talk.idx")), idx);
    QCOMPARE(FileBytes(s.game.path("talk.grp")), grp);
    QVERIFY(!QFile::exists(s.game.path("talk.grp.bak")));
    QVERIFY(s.game.state.modified);
    QVERIFY(s.w().windowTitle().endsWith(" *"));
    QVERIFY2(s.prompt.asked().back().text.contains("talk.grp"), qPrintable(s.prompt.asked().back().text));

    // The damage question's default (Enter, or a closed box) leaves it too.
    s.prompt.Clear();
    s.prompt.Queue(Answer::Ok);
    Find<QAction>(s.w(), "mnu_Savefile")->trigger();
    QCOMPARE(s.prompt.asked().size(), size_t(3));
    QCOMPARE(FileBytes(s.game.path("talk.grp")), grp);
    QVERIFY(!QFile::exists(s.game.path("talk.grp.bak")));

    // Yes: written.
    s.prompt.Clear();
    s.prompt.Queue(Answer::Ok);
    s.prompt.Queue(Answer::Yes);
    Find<QAction>(s.w(), "mnu_Savefile")->trigger();
    QVERIFY(FileBytes(s.game.path("talk.grp")) != grp);
    // The damaged original is kept beside it and pushes out no backup.
    QCOMPARE(FileBytes(s.game.path("talk.grp.damaged")), grp);
    QVERIFY(!QFile::exists(s.game.path("talk.grp.bak")));
    QVERIFY(!s.game.state.modified);
  }

  void aDirectoryWithoutDialogueOpensEveryWindowAndWritesNoDialogue() {
    Session s;
    QVERIFY2(s.game.ok(), qPrintable(s.game.error));
    QFile::remove(s.game.path("talk.idx"));
    QFile::remove(s.game.path("talk.grp"));
    QVERIFY(s.Open());
    QCOMPARE(s.prompt.asked().size(), size_t(1));  // one message: the dialogue is missing
    QVERIFY(s.prompt.asked()[0].text.contains("talk.grp"));
    QCOMPARE(Find<QLineEdit>(s.w(), "txttalk")->placeholderText(), s.ui(Str::NoDialogueFiles));
    for (const char* on : {"mnu_War", "mnu_portraits", "mnu_Savefile"})
      QVERIFY2(Find<QAction>(s.w(), on)->isEnabled(), on);
    {
      BattleEditorWindow battles(s.game.state);
      battles.show();
      QVERIFY(Find<QComboBox>(battles, "Combowar")->count() > 0);
      PortraitWindow portraits(s.game.state);
      portraits.show();
      SceneWindow scenes(s.game.state);
      scenes.show();
      QVERIFY(Find<QListWidget>(scenes, "lstScenes")->count() > 0);
    }
    // An event added and saved: still no dialogue files.
    s.prompt.Clear();
    Click(s.w(), "cmdinsertkdef");
    Find<QAction>(s.w(), "mnu_Savefile")->trigger();
    QVERIFY(!s.game.state.modified);
    QVERIFY(!QFile::exists(s.game.path("talk.idx")));
    QVERIFY(!QFile::exists(s.game.path("talk.grp")));
  }

  void theBattleEditorAsksBeforeDroppingACutRecord() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    {
      QFile file(game.path("war.sta"));
      QVERIFY(file.open(QIODevice::Append));
      file.write(QByteArray(100, 'x'));  // 100 bytes of a record that is not whole
    }
    const QByteArray before = FileBytes(game.path("war.sta"));
    ScriptedPrompt prompt;
    BattleEditorWindow battles(game.state);
    battles.show();
    prompt.Clear();
    prompt.Queue(Answer::No);
    Click(battles, "cmdsave");
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY2(prompt.asked()[0].text.contains("war.sta") && prompt.asked()[0].text.contains("100"),
             qPrintable(prompt.asked()[0].text));
    QCOMPARE(FileBytes(game.path("war.sta")), before);
    prompt.Queue(Answer::Yes);
    Click(battles, "cmdsave");
    QCOMPARE(FileBytes(game.path("war.sta")).size(), before.size() - 100);
  }

  void theSceneWindowSaysOnceWhichScenesHaveNoTable() {
    Session s;
    QVERIFY2(s.game.ok(), qPrintable(s.game.error));
    // Object tables for all but the last two scenes.
    const QByteArray idx = FileBytes(s.game.path("alldef.idx"));
    const int tables = int(idx.size() / 4) - 2;
    Cut(s.game.path("alldef.idx"), 8);
    Cut(s.game.path("alldef.grp"), 2 * kSceneTableBytes);
    QVERIFY(s.Open());
    QVERIFY(s.prompt.asked().empty());  // nothing to say at the read
    SceneWindow scenes(s.game.state);
    scenes.show();
    auto* list = Find<QListWidget>(scenes, "lstScenes");
    QCOMPARE(list->count(), int(s.game.state.game.names.scenes.size()));
    auto* note = Find<QLabel>(scenes, "lblSceneNote");
    list->setCurrentRow(0);
    QVERIFY(!note->text().contains("alldef"));
    list->setCurrentRow(tables);
    QVERIFY2(note->text().contains("alldef.idx") && note->text().contains(QString::number(tables - 1)),
             qPrintable(note->text()));
    QCOMPARE(Find<QTableWidget>(scenes, "tblObjects")->rowCount(), 0);
    QVERIFY(s.prompt.asked().empty());
  }
};

QTEST_MAIN(DamagedSaveTest)
#include "damaged_save_test.moc"
