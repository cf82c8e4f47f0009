// The main window driven offscreen on the generated sample game: the whole
// edit road down to the saved bytes, the clipboard, deleting and inserting
// instructions, events and dialogue, the exports, the game-directory window
// and the unsaved-changes questions.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "app/commands.h"
#include "app/exports.h"
#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

using Words = std::vector<int16_t>;

QStringList Lines(QAbstractItemView* list) {
  QStringList lines;
  QAbstractItemModel* model = list->model();
  for (int k = 0; k < model->rowCount(); ++k) lines << model->data(model->index(k, 0)).toString();
  return lines;
}

// Runs `act` on the modal dialog that the next step opens, once it is up.
void OnModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) qFatal("no modal window opened");
    act(modal);
  });
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  // A sample game read through the window, as the user does it.
  struct Session {
    SampleGame game;
    ScriptedPrompt prompt;
    std::unique_ptr<MainWindow> window;

    explicit Session(GameCharset charset = GameCharset::Gbk) : game(charset, false) {
      if (!game.ok()) qFatal("sample game: %s", qPrintable(game.error));
      window = std::make_unique<MainWindow>(game.state);
      window->setGameDirectory(game.dir);
      Find<QAction>(*window, "mnu_readfile")->trigger();
      if (!game.state.loaded) qFatal("the sample game was not read");
      prompt.Clear();
    }
    ~Session() {
      game.state.modified = false;  // no save question when the window goes
    }
    MainWindow& w() { return *window; }
    EditorState& state() { return game.state; }
    QComboBox* events() { return Find<QComboBox>(w(), "Combokdef"); }
    QListView* lines() { return Find<QListView>(w(), "listkdef"); }
    int lineCount() { return lines()->model()->rowCount(); }
    int currentRow() { return lines()->currentIndex().isValid() ? lines()->currentIndex().row() : -1; }
    QListWidget* words() { return Find<QListWidget>(w(), "Liststatement"); }
    QComboBox* talk() { return Find<QComboBox>(w(), "Combotalk"); }
    QString ui(int n) const { return Q(game.state.text().UiString(n)); }

    // A new event of these words, added with the add button and chosen.
    int eventOf(Words words) {
      Click(w(), "cmdinsertkdef");
      const int event = state().eventCount() - 1;
      state().game.events.events.back().words = std::move(words);
      events()->setCurrentIndex(event);
      prompt.Clear();
      return event;
    }
    Words wordsOf(int event) const { return game.state.game.events.events.at(size_t(event)).words; }
    QStringList shape() {
      QStringList out;
      for (const Statement& s : state().game.events.events.at(size_t(events()->currentIndex())).statements)
        out << (s.islabel ? Q(s.note) : QString::number(s.Id));
      return out;
    }
    void choose(int line) { lines()->setCurrentIndex(lines()->model()->index(line, 0)); }
  };

 private slots:
  void opensWithOnlyTheAlwaysEnabledCommands() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    MainWindow w(game.state);
    QCOMPARE(w.windowTitle(), Q(game.state.text().UiString(Str::EditorTitle)));
    for (const char* on : {"mnu_setpath", "mnu_exit", "mnu_copy", "mnu_copyAll", "mnu_about"})
      QVERIFY2(Find<QAction>(w, on)->isEnabled(), on);
    for (const char* off : {"mnu_readfile", "mnu_Savefile", "mnu_exporttalkfile", "mnu_Exportkdef", "mnu_paste",
                            "mnu_pasteAll", "mnu_replacetalk", "mnu_War", "mnu_z_modify", "mnu_portraits"})
      QVERIFY2(!Find<QAction>(w, off)->isEnabled(), off);
    QVERIFY(!Find<QWidget>(w, "Frame1")->isEnabled());
    QVERIFY(!Find<QWidget>(w, "Frame2")->isEnabled());
    QVERIFY(!Find<QMenu>(w, "mnu_edit")->menuAction()->isVisible());

    w.setGameDirectory(game.dir);
    QCOMPARE(w.windowTitle(), Q(game.state.text().UiString(Str::EditorTitle)) + "-" + game.dir);
    QVERIFY(Find<QAction>(w, "mnu_readfile")->isEnabled());
    QVERIFY(w.readFiles());
    for (const char* on :
         {"mnu_Savefile", "mnu_exporttalkfile", "mnu_Exportkdef", "mnu_replacetalk", "mnu_War", "mnu_z_modify",
          "mnu_exportscript", "mnu_importscript", "mnu_exportdialogue", "mnu_importdialogue", "mnu_portraits"})
      QVERIFY2(Find<QAction>(w, on)->isEnabled(), on);
    QVERIFY(Find<QWidget>(w, "Frame1")->isEnabled());
    QCOMPARE(Find<QComboBox>(w, "Combokdef")->count(), game.state.eventCount());
    QCOMPARE(Find<QComboBox>(w, "Combokdef")->currentIndex(), 0);
    QCOMPARE(Find<QComboBox>(w, "Combotalk")->count(), game.state.talkCount());
    QCOMPARE(Find<QComboBox>(w, "Combotalk")->currentIndex(), 0);
    QVERIFY(Find<QLabel>(w, "statusCounts")->text().contains(QString::number(game.state.eventCount())));
  }

  // Read, choose an event and an instruction, edit a word, modify the
  // instruction and the event, save: kdef.grp changes in that word only.
  void editRoadChangesExactlyTheEditedWord() {
    Session s;
    const QByteArray grpBefore = FileBytes(s.game.path("kdef.grp"));
    const QByteArray idxBefore = FileBytes(s.game.path("kdef.idx"));
    const QByteArray talkBefore = FileBytes(s.game.path("talk.grp"));

    // The first dialogue instruction of the game: its first word is a dialogue number.
    int event = -1, line = -1, wordIndex = 0;
    for (int k = 0; k < s.state().eventCount() && event < 0; ++k) {
      s.events()->setCurrentIndex(k);
      int position = 0;
      const auto& statements = s.state().game.events.events[size_t(k)].statements;
      for (size_t i = 0; i < statements.size(); ++i) {
        if (!statements[i].islabel && statements[i].Id == 1 && statements[i].DataNum >= 1) {
          event = k, line = int(i), wordIndex = position + 1;
          break;
        }
        position += statements[i].EncodedLength();
      }
    }
    QVERIFY2(event >= 0, "the sample game has a dialogue instruction");
    QCOMPARE(s.events()->currentIndex(), event);

    s.choose(line);
    const int16_t old = s.state().game.events.events[size_t(event)].words[size_t(wordIndex)];
    QCOMPARE(s.words()->count(), 4);
    QCOMPARE(s.words()->item(0)->text(), QString("1"));
    s.words()->setCurrentRow(1);
    auto* word = Find<QLineEdit>(s.w(), "txtword");
    QCOMPARE(word->text(), QString::number(old));

    const int16_t edited = int16_t((old + 1) % s.state().talkCount());
    word->clear();
    QTest::keyClicks(word, QString::number(edited));
    Click(s.w(), "cmdmodifyword");
    QCOMPARE(s.words()->item(1)->text(), QString::number(edited));
    Click(s.w(), "cmdmodifystatement");
    QCOMPARE(s.currentRow(), line);
    QCOMPARE(s.state().game.events.events[size_t(event)].statements[size_t(line)].data[0], edited);
    Click(s.w(), "cmdmodifykdef");
    QVERIFY(s.state().modified);
    QVERIFY(s.w().windowTitle().endsWith(" *"));

    Find<QAction>(s.w(), "mnu_Savefile")->trigger();
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    // The question lists the one file the save writes: the word keeps the
    // events' lengths, so kdef.idx stays as it is.
    const QString question = s.prompt.asked()[0].text;
    QVERIFY2(question.contains("kdef.grp") && !question.contains("kdef.idx") && !question.contains("talk"),
             qPrintable(question));
    QVERIFY(!s.state().modified);
    QVERIFY(!s.w().windowTitle().endsWith(" *"));

    const QByteArray grpAfter = FileBytes(s.game.path("kdef.grp"));
    QCOMPARE(grpAfter.size(), grpBefore.size());
    const qsizetype at = qsizetype(s.state().game.events.offsets[size_t(event)] + wordIndex) * 2;
    QByteArray expected = grpBefore;
    expected[at] = char(uint16_t(edited) & 0xFF);
    expected[at + 1] = char(uint16_t(edited) >> 8);
    QVERIFY2(grpAfter == expected, "kdef.grp differs exactly in the edited word");
    QCOMPARE(FileBytes(s.game.path("kdef.idx")), idxBefore);
    QCOMPARE(FileBytes(s.game.path("talk.grp")), talkBefore);

    // Reading again shows the edit.
    QVERIFY(s.w().readFiles());
    s.events()->setCurrentIndex(event);
    s.choose(line);
    QCOMPARE(s.words()->item(1)->text(), QString::number(edited));
  }

  void modifyInstructionRefusesWordsThatAreNoNumbers() {
    Session s;
    const int event = s.eventOf({10, 7, 13, -1});
    s.choose(0);
    const QStringList before = Lines(s.lines());
    for (const char* bad : {"40000", "-32769", "7x", ""}) {
      s.words()->setCurrentRow(1);
      auto* word = Find<QLineEdit>(s.w(), "txtword");
      word->setText(bad);
      Click(s.w(), "cmdmodifyword");
      s.prompt.Clear();
      Click(s.w(), "cmdmodifystatement");
      QVERIFY2(s.prompt.asked().size() == 1, bad);
      QCOMPARE(s.state().game.events.events[size_t(event)].statements[0].data[0], int16_t(7));
      QCOMPARE(Lines(s.lines()), before);
    }
    // The extremes are numbers.
    s.words()->item(1)->setText("-32768");
    s.prompt.Clear();
    Click(s.w(), "cmdmodifystatement");
    QCOMPARE(s.prompt.asked().size(), size_t(0));
    QCOMPARE(s.state().game.events.events[size_t(event)].statements[0].data[0], int16_t(-32768));
  }

  void choosingALabelShowsNoWords() {
    Session s;
    s.eventOf({5, 1, 0, 13, -1});
    QCOMPARE(s.shape(), (QStringList{"5", "13", ":Label0", "-1"}));
    s.choose(0);
    QCOMPARE(Lines(s.words()), (QStringList{"5", "1", "0"}));
    s.choose(1);
    QCOMPARE(Lines(s.words()), QStringList{"13"});  // no data words: the opcode alone
    // Choosing an event chooses no instruction and shows no words of the event left.
    s.events()->setCurrentIndex(0);
    QCOMPARE(s.currentRow(), -1);
    QCOMPARE(s.words()->count(), 0);
    s.events()->setCurrentIndex(s.state().eventCount() - 1);
    s.choose(2);
    QCOMPARE(s.words()->count(), 0);
    QCOMPARE(s.prompt.asked().back().text, s.ui(132));
  }

  void copyLinesTwoAndFourAndPasteAtLineZero() {
    Session s;
    const int source = s.eventOf({10, 1, 10, 2, 10, 3, 10, 4, 10, 5, -1});
    const QStringList sourceLines = Lines(s.lines());
    QItemSelectionModel* selection = s.lines()->selectionModel();
    selection->clearSelection();
    selection->select(s.lines()->model()->index(4, 0), QItemSelectionModel::Select);
    selection->select(s.lines()->model()->index(2, 0), QItemSelectionModel::Select);
    QVERIFY(!Find<QAction>(s.w(), "mnu_paste")->isEnabled());
    Find<QAction>(s.w(), "mnu_copy")->trigger();
    QVERIFY(Find<QAction>(s.w(), "mnu_paste")->isEnabled());

    const int target = s.eventOf({13, 14, -1});
    s.choose(0);
    Find<QAction>(s.w(), "mnu_paste")->trigger();
    QCOMPARE(s.wordsOf(target), (Words{10, 3, 10, 5, 13, 14, -1}));
    const QStringList pasted = Lines(s.lines());
    QCOMPARE(pasted.size(), 5);
    QCOMPARE(pasted[0], sourceLines[2]);
    QCOMPARE(pasted[1], sourceLines[4]);
    QCOMPARE(s.currentRow(), 0);
    QCOMPARE(s.wordsOf(source), (Words{10, 1, 10, 2, 10, 3, 10, 4, 10, 5, -1}));
    QVERIFY(s.state().modified);
  }

  void pastedConditionalWithoutItsLabelJumpsToTheEnd() {
    Session s;
    s.eventOf({5, 2, 0, 10, 7, 13, -1});
    s.choose(0);
    Find<QAction>(s.w(), "mnu_copy")->trigger();
    const int target = s.eventOf({13, 14, -1});
    s.choose(0);
    Find<QAction>(s.w(), "mnu_paste")->trigger();
    QCOMPARE(s.wordsOf(target), (Words{5, 3, 0, 13, 14, -1}));
    QCOMPARE(s.shape(), (QStringList{"5", "13", "14", "-1", ":Label0"}));
    QCOMPARE(s.lineCount(), 5);
  }

  void wholeEventPasteAsksFirst() {
    Session s;
    s.eventOf({5, 2, 0, 10, 7, 13, -1});
    Find<QAction>(s.w(), "mnu_copyAll")->trigger();
    QVERIFY(Find<QAction>(s.w(), "mnu_pasteAll")->isEnabled());
    const int target = s.eventOf({14, 14, 14, -1});
    s.prompt.Queue(Answer::No);
    Find<QAction>(s.w(), "mnu_pasteAll")->trigger();
    QCOMPARE(s.prompt.asked().back().text, s.ui(319));
    QCOMPARE(s.wordsOf(target), (Words{14, 14, 14, -1}));
    Find<QAction>(s.w(), "mnu_pasteAll")->trigger();
    QCOMPARE(s.wordsOf(target), (Words{5, 2, 0, 10, 7, 13, -1}));
    QCOMPARE(s.lineCount(), 5);
  }

  void rightButtonReleaseOverTheListPopsUpTheEditMenu() {
    Session s;
    auto* menu = Find<QMenu>(s.w(), "mnu_edit");
    QVERIFY(!menu->isVisible());
    s.w().show();
    QTest::mouseRelease(s.lines()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QTRY_VERIFY(menu->isVisible());
    menu->close();
    QTest::mouseRelease(s.lines()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!menu->isVisible());
  }

  void deleteConditionalWithItsLabelAndRefuseANonEmptyBlock() {
    Session s;
    const int event = s.eventOf({5, 1, 0, 0, 13, -1});
    QCOMPARE(s.shape(), (QStringList{"5", "0", ":Label0", "13", "-1"}));

    // A block with an instruction in it: refused with S133 after the question.
    s.choose(0);
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.prompt.asked().size(), size_t(2));
    QCOMPARE(s.prompt.asked()[1].text, s.ui(133));
    QCOMPARE(s.shape(), (QStringList{"5", "0", ":Label0", "13", "-1"}));

    // Cancelling the question deletes nothing.
    s.prompt.Clear();
    s.choose(1);
    s.prompt.Clear();
    s.prompt.Queue(Answer::Cancel);
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QCOMPARE(s.prompt.asked()[0].text, s.ui(131) + Lines(s.lines())[1]);
    QCOMPARE(s.shape(), (QStringList{"5", "0", ":Label0", "13", "-1"}));

    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.shape(), (QStringList{"5", ":Label0", "13", "-1"}));
    QCOMPARE(s.lineCount(), 4);
    s.choose(0);
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.shape(), (QStringList{"13", "-1"}));
    Click(s.w(), "cmdmodifykdef");
    QCOMPARE(s.wordsOf(event), (Words{13, -1}));
  }

  void deleteLeavesLabelsAndOneLineEventsAlone() {
    Session s;
    s.eventOf({5, 1, 0, 0, 13, -1});
    s.choose(2);  // the label: S132 on choosing
    s.prompt.Clear();
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.prompt.asked().back().text, s.ui(132));
    QCOMPARE(s.shape(), (QStringList{"5", "0", ":Label0", "13", "-1"}));

    s.eventOf({-1});
    s.choose(0);
    s.prompt.Clear();
    Click(s.w(), "cmddeletestatement");
    QCOMPARE(s.prompt.asked().size(), size_t(0));
    QCOMPARE(s.shape(), (QStringList{"-1"}));
  }

  void insertOrdinaryConditionalAndEndInstructions() {
    Session s;
    const int event = s.eventOf({13, -1});
    const int length17 = s.state().attributes[17].length;

    // An ordinary instruction before line 1.
    s.choose(1);
    OnModal([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString("frminsertstatement"));
      Find<QComboBox>(*dialog, "ComboStatment")->setCurrentIndex(17);
      QVERIFY(Find<QWidget>(*dialog, "Frame1")->isHidden());
      Click(*dialog, "cmdok");
    });
    Click(s.w(), "cmdinsertstatement");
    Words expected{13, 17};
    expected.resize(size_t(1 + length17), 0);
    expected.push_back(-1);
    QCOMPARE(s.wordsOf(event), expected);
    QCOMPARE(s.lineCount(), 3);

    // Cancel: nothing inserted.
    s.choose(0);
    OnModal([](QWidget* dialog) {
      Find<QComboBox>(*dialog, "ComboStatment")->setCurrentIndex(3);
      Click(*dialog, "cmdcancel");
    });
    Click(s.w(), "cmdinsertstatement");
    QCOMPARE(s.wordsOf(event), expected);

    // A conditional on either option: its block holds one empty statement.
    for (const char* option : {"Option1", "Option2"}) {
      const int fresh = s.eventOf({13, -1});
      s.choose(0);
      OnModal([option](QWidget* dialog) {
        Find<QComboBox>(*dialog, "ComboStatment")->setCurrentIndex(5);
        QVERIFY(!Find<QWidget>(*dialog, "Frame1")->isHidden());
        QVERIFY(Find<QRadioButton>(*dialog, "Option1")->isChecked());
        Find<QRadioButton>(*dialog, option)->setChecked(true);
        Click(*dialog, "cmdok");
      });
      Click(s.w(), "cmdinsertstatement");
      QCOMPARE(s.shape(), (QStringList{"5", "0", ":Label0", "13", "-1"}));
      const bool yes = QByteArray(option) == "Option1";
      QCOMPARE(s.wordsOf(fresh), yes ? (Words{5, 1, 0, 0, 13, -1}) : (Words{5, 0, 1, 0, 13, -1}));
    }

    // The end instruction.
    const int ends = s.eventOf({13, -1});
    s.choose(0);
    OnModal([](QWidget* dialog) {
      Find<QComboBox>(*dialog, "ComboStatment")->setCurrentIndex(kInsertEndEntry);
      Click(*dialog, "cmdok");
    });
    Click(s.w(), "cmdinsertstatement");
    QCOMPARE(s.wordsOf(ends), (Words{-1, 13, -1}));
  }

  void addAndDeleteEvents() {
    Session s;
    const int count = s.state().eventCount();
    Click(s.w(), "cmdinsertkdef");
    QCOMPARE(s.state().eventCount(), count + 1);
    QCOMPARE(s.events()->count(), count + 1);
    QCOMPARE(s.events()->itemText(count), QString::number(count));
    QCOMPARE(s.prompt.asked().back().text, s.ui(308) + QString::number(count) + s.ui(134));
    QCOMPARE(s.wordsOf(count), (Words{0, -1}));

    // Not the last event: S130, nothing removed.
    s.events()->setCurrentIndex(0);
    s.prompt.Clear();
    Click(s.w(), "cmddeletekdef");
    QCOMPARE(s.prompt.asked().size(), size_t(2));
    QCOMPARE(s.prompt.asked()[0].text, s.ui(129));
    QCOMPARE(s.prompt.asked()[1].text, s.ui(130));
    QCOMPARE(s.state().eventCount(), count + 1);

    // The last one, cancelled, then confirmed.
    s.events()->setCurrentIndex(count);
    s.prompt.Clear();
    s.prompt.Queue(Answer::Cancel);
    Click(s.w(), "cmddeletekdef");
    QCOMPARE(s.state().eventCount(), count + 1);
    Click(s.w(), "cmddeletekdef");
    QCOMPARE(s.state().eventCount(), count);
    QCOMPARE(s.events()->count(), count);
    QCOMPARE(s.events()->currentIndex(), count - 1);
  }

  void addStoreAndDeleteDialogue() {
    Session s;
    const int count = s.state().talkCount();
    Click(s.w(), "cmdinserttalk");
    QCOMPARE(s.state().talkCount(), count + 1);
    QCOMPARE(s.talk()->count(), count + 1);
    QCOMPARE(s.talk()->currentIndex(), count);
    QCOMPARE(s.prompt.asked().back().text, s.ui(124) + QString::number(count) + s.ui(125));
    auto* text = Find<QLineEdit>(s.w(), "txttalk");
    QCOMPARE(text->text(), s.ui(123));

    text->setText(QString::fromUtf8("新的对话*第二行"));
    Click(s.w(), "cmdmodifytalk");
    QCOMPARE(Q(s.state().game.talk.entries.back().text), QString::fromUtf8("新的对话*第二行"));
    QCOMPARE(s.talk()->itemText(count), QString::number(count) + ":" + QString::fromUtf8("新的对话*第二行"));

    s.talk()->setCurrentIndex(0);
    s.prompt.Clear();
    Click(s.w(), "cmddeletetalk");
    QCOMPARE(s.prompt.asked().back().text, s.ui(122));
    QCOMPARE(s.state().talkCount(), count + 1);

    s.talk()->setCurrentIndex(count);
    Click(s.w(), "cmddeletetalk");
    QCOMPARE(s.state().talkCount(), count);
    QCOMPARE(s.talk()->currentIndex(), count - 1);
  }

  void exportsWriteTheExactBytes() {
    Session s;
    QTemporaryDir program;
    s.state().programDir = program.path().toStdString();
    const TextCodec& codec = *s.state().codec;
    auto page = [&](const std::string& utf8) { return QByteArray::fromStdString(codec.ToCodePage(utf8)); };

    Find<QAction>(s.w(), "mnu_exporttalkfile")->trigger();
    const QString talkPath = program.path() + "/talk.txt";
    QCOMPARE(s.prompt.asked().back().title, s.ui(127));
    QVERIFY(s.prompt.asked().back().text.startsWith(s.ui(126)));
    QVERIFY(s.prompt.asked().back().text.endsWith("talk.txt"));
    // The file holds the core's export of the game as the window holds it
    // (its form is app_exports_test's).
    const Bytes talkBytes = ExportTalkText(s.state());
    const QByteArray talk(reinterpret_cast<const char*>(talkBytes.data()), qsizetype(talkBytes.size()));
    QVERIFY(!talk.isEmpty());
    QVERIFY2(FileBytes(talkPath) == talk, "talk.txt");
    // Each dialogue's text, in the code page, is on its line.
    QVERIFY(talk.contains(" 0 0 " + page(s.state().game.talk.entries[0].text) + "\r\n"));

    Find<QAction>(s.w(), "mnu_Exportkdef")->trigger();
    QCOMPARE(s.prompt.asked().back().title, s.ui(138));
    const Bytes kdefBytes = ExportKdefText(s.state());
    const QByteArray kdef(reinterpret_cast<const char*>(kdefBytes.data()), qsizetype(kdefBytes.size()));
    QVERIFY(kdef.startsWith("\r\n" + page(s.state().text().UiString(Str::EventWord)) + "0(0)\r\n"));
    QVERIFY2(FileBytes(program.path() + "/kdefout.txt") == kdef, "kdefout.txt");

    // A second run replaces the file.
    Find<QAction>(s.w(), "mnu_exporttalkfile")->trigger();
    QCOMPARE(FileBytes(talkPath).size(), talk.size());
  }

  // A program directory that cannot be written: the export goes to the
  // user's data directory and the message names both.
  void exportToAnUnwritableDirectoryGoesToTheUsersOwn() {
    Session s;
    QTemporaryDir scratch;
    QFile blocker(scratch.path() + "/program");
    QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the directory should be
    blocker.close();
    s.state().programDir = (scratch.path() + "/program").toStdString();
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (scratch.path() + "/data").toUtf8());
    Find<QAction>(s.w(), "mnu_exporttalkfile")->trigger();
    qputenv("XDG_DATA_HOME", oldData);
    const QString message = s.prompt.asked().back().text;
    QVERIFY2(message.contains(scratch.path() + "/program"), qPrintable(message));
    QVERIFY2(message.contains(scratch.path() + "/data/tavrel"), qPrintable(message));
    QVERIFY(message.endsWith(s.ui(20011)));
    QVERIFY(QFile::exists(scratch.path() + "/data/tavrel/talk.txt"));
  }

  void scriptFolderRoundTripsThroughTheMenus() {
    Session s;
    QTemporaryDir scratch;
    const QString folder = scratch.path() + "/scripts";

    Find<QAction>(s.w(), "mnu_exportscript")->trigger();  // the chooser cancelled: nothing at all
    QCOMPARE(s.prompt.asked().size(), size_t(0));
    QVERIFY(!QDir(folder).exists());

    s.prompt.QueuePath(folder);
    Find<QAction>(s.w(), "mnu_exportscript")->trigger();
    QCOMPARE(s.prompt.pathsAsked().back().kind, PathKind::Folder);
    QVERIFY(s.prompt.asked().back().text.startsWith(s.ui(20005)));
    QVERIFY(QFile::exists(folder + "/header.txt"));
    QVERIFY(QFile::exists(folder + "/0000.kdef.txt"));
    QCOMPARE(s.prompt.pathsAsked().size(), size_t(2));

    // An edit in memory is undone by importing the exported text.
    const Words exported = s.wordsOf(0);
    s.state().game.events.events[0].words = {13, -1};
    ChooseEvent(s.state(), 0);  // shown as a command that changes the words leaves it
    s.prompt.QueuePath(folder);
    Find<QAction>(s.w(), "mnu_importscript")->trigger();
    QCOMPARE(s.prompt.pathsAsked().back().start, folder);  // where the last text went
    QCOMPARE(s.prompt.asked().back().text, s.ui(20006) + QString::number(s.state().eventCount()) + s.ui(20009) + "1");
    QCOMPARE(s.wordsOf(0), exported);
    QVERIFY(s.state().modified);
    QCOMPARE(s.events()->currentIndex(), 0);
    QCOMPARE(s.lineCount(), int(s.state().game.events.events[0].statements.size()));

    // A broken script: the message names the file and line, nothing changes.
    QFile broken(folder + "/0001.kdef.txt");
    QVERIFY(broken.open(QIODevice::Append));
    broken.write("this is no instruction\n");
    broken.close();
    const Words second = s.wordsOf(1);
    s.state().game.events.events[1].words = {14, -1};
    s.prompt.QueuePath(folder);
    Find<QAction>(s.w(), "mnu_importscript")->trigger();
    QVERIFY2(s.prompt.asked().back().text.contains("0001.kdef.txt:"), qPrintable(s.prompt.asked().back().text));
    QCOMPARE(s.wordsOf(1), (Words{14, -1}));
    QVERIFY(second != Words({14, -1}));
  }

  void dialogueFileRoundTripsAndAsksBeforeLosingCharacters() {
    Session s;
    QTemporaryDir scratch;
    const QString file = scratch.path() + "/dialogue.txt";
    s.prompt.QueuePath(file);
    Find<QAction>(s.w(), "mnu_exportdialogue")->trigger();
    QCOMPARE(s.prompt.pathsAsked().back().kind, PathKind::SaveFile);
    QVERIFY(s.prompt.asked().back().text.startsWith(s.ui(20007)));
    QByteArray text = FileBytes(file);
    QVERIFY(text.contains("\n1 "));

    // Entry 1 gets a new text in the file.
    auto rewrite = [&](const QString& entry) {
      QList<QByteArray> lines = text.split('\n');
      for (QByteArray& line : lines)
        if (line.startsWith("1 ")) line = "1 " + entry.toUtf8();
      QFile out(file);
      QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
      out.write(lines.join('\n'));
    };
    rewrite(QString::fromUtf8("改过的对话"));
    s.prompt.QueuePath(file);
    Find<QAction>(s.w(), "mnu_importdialogue")->trigger();
    QCOMPARE(s.prompt.asked().back().text, s.ui(20008) + QString::number(s.state().talkCount()) + s.ui(20009) + "1");
    QCOMPARE(Q(s.state().game.talk.entries[1].text), QString::fromUtf8("改过的对话"));
    QCOMPARE(s.talk()->itemText(1), QString::fromUtf8("1:改过的对话"));

    // A character the game's text cannot hold: asked first; No keeps the table.
    rewrite(QString::fromUtf8("表情😀"));
    s.prompt.Clear();
    s.prompt.QueuePath(file);
    s.prompt.Queue(Answer::No);
    Find<QAction>(s.w(), "mnu_importdialogue")->trigger();
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QVERIFY(s.prompt.asked()[0].text.startsWith(s.ui(20010)));
    QVERIFY(s.prompt.asked()[0].text.contains("dialogue.txt:"));
    QCOMPARE(Q(s.state().game.talk.entries[1].text), QString::fromUtf8("改过的对话"));
    s.prompt.QueuePath(file);
    Find<QAction>(s.w(), "mnu_importdialogue")->trigger();  // Yes
    QVERIFY(Q(s.state().game.talk.entries[1].text).startsWith(QString::fromUtf8("表情")));
  }

  void gamePathWindowCancelLeavesNoDirectoryAndOkTakesTheOpenOne() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    MainWindow w(game.state);
    OnModal([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString("Getgamepath"));
      Click(*dialog, "CancelButton");
    });
    Find<QAction>(w, "mnu_setpath")->trigger();
    QVERIFY(game.state.gameDirectory.empty());
    QVERIFY(w.windowTitle().endsWith("-"));
    QVERIFY(Find<QAction>(w, "mnu_readfile")->isEnabled());

    const QString dir = game.dir;
    OnModal([dir](QWidget* dialog) {
      auto* tree = Find<QTreeView>(*dialog, "Dir1");
      auto* model = qobject_cast<QFileSystemModel*>(tree->model());
      QVERIFY(model != nullptr);
      tree->setCurrentIndex(model->index(dir));
      Click(*dialog, "OKButton");
    });
    Find<QAction>(w, "mnu_setpath")->trigger();
    QCOMPARE(QDir(Q(game.state.gameDirectory)).canonicalPath(), QDir(dir).canonicalPath());
    QVERIFY(w.readFiles());
  }

  void unsavedChangesAskBeforeReadingAgainOrLeaving() {
    Session s;
    Click(s.w(), "cmdinsertkdef");
    QVERIFY(s.state().modified);
    const int count = s.state().eventCount();
    const QByteArray idx = FileBytes(s.game.path("kdef.idx"));

    // Reading again: No to saving, Cancel to going on keeps everything.
    s.prompt.Clear();
    s.prompt.Queue(Answer::No);
    s.prompt.Queue(Answer::Cancel);
    QVERIFY(!s.w().readFiles());
    QCOMPARE(s.state().eventCount(), count);
    QVERIFY(s.state().modified);

    // Leaving: No, then Cancel keeps the window; nothing written.
    s.w().show();
    s.prompt.Queue(Answer::No);
    s.prompt.Queue(Answer::Cancel);
    QVERIFY(!s.w().close());
    QVERIFY(s.w().isVisible());
    QCOMPARE(FileBytes(s.game.path("kdef.idx")), idx);

    // Yes saves first, then reads.
    s.prompt.Clear();
    s.prompt.Queue(Answer::Yes);
    QVERIFY(s.w().readFiles());
    QCOMPARE(s.state().eventCount(), count);
    QVERIFY(FileBytes(s.game.path("kdef.idx")) != idx);
  }

  void guideButtonShowsTheKindMessage() {
    Session s;
    s.eventOf({13, -1});  // a kind too simple for a dialog
    s.choose(0);
    s.prompt.Clear();
    Click(s.w(), "cmdwizard");
    QCOMPARE(s.prompt.asked().size(), size_t(1));
    QVERIFY(s.prompt.asked()[0].text.startsWith(s.ui(139)));
    const QString tail = s.prompt.asked()[0].text;
    QVERIFY(tail.endsWith(s.ui(140)) || tail.endsWith(s.ui(141)));
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
