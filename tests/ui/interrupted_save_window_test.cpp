// The editor opening a game directory in which a save was cut off: the save
// is finished or undone before anything is read, one message says which,
// and the window shows the game as it then is.
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "base/crc32.h"
#include "gamefiles/save_journal.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"
#include "ui/startup.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;
namespace fs = std::filesystem;

namespace {

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The directory as a dialogue save leaves it when stopped right after its
// first rename: talk.idx new, talk.grp old, both copies of each beside, the
// journal naming them. Gives the new talk.grp.
Bytes CutOffDialogueSave(const fs::path& dir, EditorState& state, const std::string& text) {
  StoreDialogue(state, 0, text);
  Bytes idx, grp;
  EncodeTalk(std::as_const(state.game.talk), state.text(), idx, grp);
  const Bytes oldIdx = ReadBytes(dir / "talk.idx"), oldGrp = ReadBytes(dir / "talk.grp");
  SaveJournal journal;
  journal.files.push_back({"talk.idx", idx.size(), Crc32(idx), true, oldIdx.size(), Crc32(oldIdx), KeepOld::Backup, 0});
  journal.files.push_back({"talk.grp", grp.size(), Crc32(grp), true, oldGrp.size(), Crc32(oldGrp), KeepOld::Backup, 0});
  const std::string journalText = EncodeSaveJournal(journal);
  WriteBytes(SaveJournalPath(dir), Bytes(journalText.begin(), journalText.end()));
  WriteBytes(dir / "talk.idx.old", oldIdx);
  WriteBytes(dir / "talk.grp.old", oldGrp);
  WriteBytes(dir / "talk.grp.tmp", grp);
  WriteBytes(dir / "talk.idx", idx);
  return grp;
}

}  // namespace

class InterruptedSaveWindow : public QObject {
  Q_OBJECT

 private slots:
  void aSaveWithEveryNewCopyWholeIsFinishedAndShown() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    const fs::path dir = game.dir.toStdString();
    const Bytes oldGrp = ReadBytes(dir / "talk.grp");
    const Bytes newGrp = CutOffDialogueSave(dir, game.state, "存档中断后完成");
    EditorState fresh;
    fresh.programDir = game.state.programDir;
    QVERIFY(InitializeEditor(fresh, GameCharset::Gbk));
    ScriptedPrompt prompt;
    MainWindow w(fresh);
    w.setGameDirectory(game.dir);
    QVERIFY(w.readFiles());
    QVERIFY(!prompt.asked().empty());
    QCOMPARE(prompt.asked().front().text,
             CoreText(fresh, FormatInterfaceString(Str::SaveRecoveredFinished, dir.string(), "talk.idx, talk.grp")));
    QCOMPARE(ReadBytes(dir / "talk.grp"), newGrp);
    QCOMPARE(ReadBytes(dir / "talk.grp.bak"), oldGrp);
    QVERIFY(!fs::exists(SaveJournalPath(dir)));
    QCOMPARE(fresh.game.talk.entries[0].text.str(), std::string("存档中断后完成"));
    QCOMPARE(w.findChild<QComboBox*>("Combotalk")->count(), fresh.talkCount());
  }

  void aSaveWithANewCopyCutShortIsUndone() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    const fs::path dir = game.dir.toStdString();
    const Bytes oldIdx = ReadBytes(dir / "talk.idx"), oldGrp = ReadBytes(dir / "talk.grp");
    const std::string oldText = game.state.game.talk.entries[0].text.str();
    const Bytes newGrp = CutOffDialogueSave(dir, game.state, "不会留下的话");
    WriteBytes(dir / "talk.grp.tmp", Bytes(newGrp.begin(), newGrp.begin() + ptrdiff_t(newGrp.size() / 2)));
    EditorState fresh;
    fresh.programDir = game.state.programDir;
    QVERIFY(InitializeEditor(fresh, GameCharset::Gbk));
    ScriptedPrompt prompt;
    MainWindow w(fresh);
    w.setGameDirectory(game.dir);
    QVERIFY(w.readFiles());
    QVERIFY(!prompt.asked().empty());
    QCOMPARE(
        prompt.asked().front().text,
        CoreText(fresh, FormatInterfaceString(Str::SaveRecoveredUndone, dir.string(), "talk.idx, talk.grp") + "\n" +
                            FormatInterfaceString(Str::SaveRecoveredLeftovers, "talk.grp.tmp, talk.grp.old")));
    QCOMPARE(ReadBytes(dir / "talk.idx"), oldIdx);
    QCOMPARE(ReadBytes(dir / "talk.grp"), oldGrp);
    for (const char* left : {"talk.idx.old", "talk.grp.old", "talk.grp.tmp", "talk.idx.bak", "tavrel-save.journal"})
      QVERIFY2(!fs::exists(dir / left), left);
    QCOMPARE(fresh.game.talk.entries[0].text.str(), oldText);
  }

  // The editor started on the directory (as from the command line): after
  // the charset window, the first and only word about the save is the
  // recovery's, before any message of the read.
  void theEditorStartedOnTheDirectorySaysItFirst() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    const fs::path dir = game.dir.toStdString();
    const Bytes oldGrp = ReadBytes(dir / "talk.grp");
    const Bytes newGrp = CutOffDialogueSave(dir, game.state, "启动时完成的保存");
    ScriptedPrompt prompt;
    QTimer::singleShot(0, [] {
      if (QWidget* charsets = QApplication::activeModalWidget()) QTest::keyClick(charsets, Qt::Key_Return);
    });
    EditorState state;
    auto window = StartEditor(state, game.dir);
    QVERIFY(window);
    QVERIFY(state.loaded);
    QVERIFY(!prompt.asked().empty());
    const QString said =
        CoreText(state, FormatInterfaceString(Str::SaveRecoveredFinished, dir.string(), "talk.idx, talk.grp"));
    QCOMPARE(prompt.asked().front().text, said);
    for (size_t k = 1; k < prompt.asked().size(); ++k)
      QVERIFY2(!prompt.asked()[k].text.contains(QStringLiteral("talk.idx, talk.grp")),
               qPrintable(prompt.asked()[k].text));
    QCOMPARE(ReadBytes(dir / "talk.grp"), newGrp);
    QCOMPARE(ReadBytes(dir / "talk.grp.bak"), oldGrp);
    for (const char* left : {"talk.idx.old", "talk.grp.old", "talk.grp.tmp", "tavrel-save.journal"})
      QVERIFY2(!fs::exists(dir / left), left);
    QCOMPARE(state.game.talk.entries[0].text.str(), std::string("启动时完成的保存"));
    window->close();
  }

  // A directory whose recovery cannot be carried out is not read: the
  // window keeps what it showed.
  void aDirectoryThatCannotBeRecoveredIsNotRead() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    const fs::path dir = game.dir.toStdString();
    CutOffDialogueSave(dir, game.state, "x");
    // The new copy's place is taken by a folder: the rename cannot be made.
    fs::remove(dir / "talk.grp.tmp");
    fs::create_directory(dir / "talk.grp.tmp");
    EditorState fresh;
    fresh.programDir = game.state.programDir;
    QVERIFY(InitializeEditor(fresh, GameCharset::Gbk));
    ScriptedPrompt prompt;
    MainWindow w(fresh);
    w.setGameDirectory(game.dir);
    QVERIFY(!w.readFiles());
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(!fresh.loaded);
    QVERIFY(fs::exists(SaveJournalPath(dir)));
  }
};

QTEST_MAIN(InterruptedSaveWindow)
#include "interrupted_save_window_test.moc"
