// The dialogue instruction's dialog: the text, the portrait with its
// speakers, saving to the existing or to a new dialogue.
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "instruction_test_support.h"
#include "support/scripted_prompt.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using tavrel::ui::test::Click;

class DialogueDialogTest : public QObject {
  Q_OBJECT
 private:
  test::SampleEditor sample_;
  test::ScriptedPrompt prompt_;
  std::pair<int, int> where_;

  Statement& Words(std::vector<int16_t> words) {
    Statement& s = sample_.At(where_);
    s.data = std::move(words);
    s.DataNum = int(s.data.size());
    return s;
  }

 private slots:
  void initTestCase() {
    const std::string failed = sample_.Start();
    QVERIFY2(failed.empty(), failed.c_str());
    where_ = sample_.Find(1);
  }

  void opensOnTheInstructionsDialoguePortraitAndMode() {
    Statement& s = Words({5, 12, 1});
    auto dialog = sample_.Open("frmStatement_0x01", where_);
    QCOMPARE(dialog->findChild<QPlainTextEdit*>("txttalk")->toPlainText(), Q(sample_.state.game.talk.entries[5].text));
    QCOMPARE(dialog->findChild<QComboBox*>("Combotalkman")->currentIndex(), 12);
    QCOMPARE(dialog->findChild<QComboBox*>("ComboShow")->currentText(), Ui(sample_.state, Str::Placement1));
    QVERIFY(dialog->findChild<QRadioButton*>("Option1")->isChecked());
    auto* box = dialog->findChild<PictureBox*>("pic1");
    QCOMPARE(box->image(), test::Expected(*box, &sample_.state.game.portraits[12], 0, box->height()));
    QVERIFY(!test::AllBlack(box->image()));
    auto* speakers = dialog->findChild<QListWidget*>("Listperson");
    const auto& users = sample_.state.game.portraitUsers[12];
    QCOMPARE(speakers->count(), int(users.size()));
    for (int k = 0; k < speakers->count(); ++k)
      QCOMPARE(speakers->item(k)->text(),
               QString::number(users[size_t(k)]) + Q(sample_.state.game.names.persons[size_t(users[size_t(k)])].name));
    const std::string text5 = sample_.state.game.talk.entries[5].text;
    Click(dialog.get(), "Comok");
    QCOMPARE(s.data, (std::vector<int16_t>{5, 12, 1}));
    QCOMPARE(sample_.state.game.talk.entries[5].text, text5);
  }

  void savingToANewDialogueAppendsIt() {
    Statement& s = Words({5, 12, 1});
    const int count = sample_.state.talkCount();
    const std::string text5 = sample_.state.game.talk.entries[5].text;
    auto dialog = sample_.Open("frmStatement_0x01", where_);
    dialog->findChild<QPlainTextEdit*>("txttalk")->setPlainText("新對話*");
    dialog->findChild<QRadioButton*>("Option2")->setChecked(true);
    Click(dialog.get(), "Comok");
    QCOMPARE(sample_.state.talkCount(), count + 1);
    QCOMPARE(s.data[0], int16_t(count));
    QCOMPARE(sample_.state.game.talk.entries.back().text, std::string("新對話*"));
    QCOMPARE(sample_.state.game.talk.entries[5].text, text5);
  }

  void editingTheExistingDialogueChangesItForEveryUser() {
    Statement& s = Words({7, 3, 0});
    auto dialog = sample_.Open("frmStatement_0x01", where_);
    dialog->findChild<QPlainTextEdit*>("txttalk")->setPlainText("共用的對話");
    Click(dialog.get(), "Comok");
    QCOMPARE(s.data[0], int16_t(7));
    QCOMPARE(sample_.state.game.talk.entries[7].text, std::string("共用的對話"));
  }

  void cancelChangesNothing() {
    Statement& s = Words({5, 12, 1});
    const int count = sample_.state.talkCount();
    const std::string text5 = sample_.state.game.talk.entries[5].text;
    auto dialog = sample_.Open("frmStatement_0x01", where_);
    dialog->findChild<QPlainTextEdit*>("txttalk")->setPlainText("不要");
    dialog->findChild<QRadioButton*>("Option2")->setChecked(true);
    Click(dialog.get(), "Comcancel");
    QCOMPARE(sample_.state.talkCount(), count);
    QCOMPARE(sample_.state.game.talk.entries[5].text, text5);
    QCOMPARE(s.data, (std::vector<int16_t>{5, 12, 1}));
  }

  void aWordThatIsNoDialogueOffersOnlyANewOne() {
    Statement& s = Words({-3, 12, 1});
    auto dialog = sample_.Open("frmStatement_0x01", where_);
    QCOMPARE(dialog->findChild<QPlainTextEdit*>("txttalk")->toPlainText(), QString());
    QVERIFY(!dialog->findChild<QRadioButton*>("Option1")->isEnabled());
    QVERIFY(dialog->findChild<QRadioButton*>("Option2")->isChecked());
    const int count = sample_.state.talkCount();
    Click(dialog.get(), "Comok");
    QCOMPARE(s.data[0], int16_t(count));
  }
};

QTEST_MAIN(DialogueDialogTest)
#include "dialogue_dialog_test.moc"
