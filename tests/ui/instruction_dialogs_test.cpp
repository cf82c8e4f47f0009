// Every dialog of the instruction catalogue on a statement of the sample
// game: what its controls show, OK without changes, OK after changing every
// control, Cancel after changes; then the word conventions and bad input.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "app/guide.h"
#include "app/instruction_catalogue.h"
#include "instruction_test_support.h"
#include "script/describe.h"
#include "support/scripted_prompt.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using tavrel::ui::test::Click;

namespace {

int16_t OpcodeOf(std::string_view form) {
  for (int op = 0; op <= 67; ++op)
    if (GuideFor(int16_t(op)).form == form) return int16_t(op);
  return -1;
}

// What a list showing `word` reads, as the user sees it (empty: no entry
// is chosen). -2 chooses the leading entry of a list that has one; a
// person, item or skill reads "n(HEX)name", a scene n and its name, a
// portrait its number, a range of numbers the number at that place, a list
// of strings the string; a word with no record chooses nothing.
QString ShownFor(const EditorState& state, const ListFormat& format, int16_t word) {
  if (format.currentString != 0 && word == -2) {
    const QString current = ui::Ui(state, format.currentString);
    return format.currentMarked ? "---" + current + "---" : current;
  }
  const NameTables& names = state.game.names;
  auto record = [word](const auto& records) {
    if (word < 0 || size_t(word) >= records.size()) return QString();
    return QString::number(word) + "(" + QString::number(word, 16).toUpper() + ")" + Q(records[size_t(word)].name);
  };
  const bool inRange = word >= 0 && word < format.count;
  switch (format.source) {
    case ListSource::Persons:
      return record(names.persons);
    case ListSource::Items:
      return record(names.items);
    case ListSource::Skills:
      return record(names.skills);
    case ListSource::Scenes:
      if (word < 0 || size_t(word) >= names.scenes.size()) return {};
      return QString::number(word) + Q(names.scenes[size_t(word)].name);
    case ListSource::Portraits:
      return word >= 0 && size_t(word) < state.game.portraits.size() ? QString::number(word) : QString();
    case ListSource::Numbers:
      return inRange ? QString::number(format.first + word) : QString();
    case ListSource::Strings:
      return inRange ? ui::Ui(state, format.first + word) : QString();
    case ListSource::None:
      break;
  }
  return {};
}

int16_t ExpectedWord(const ListFormat& format, int entry) {
  if (format.currentString != 0) return int16_t(entry == 0 ? -2 : entry - 1);
  return int16_t(entry);
}

const char* OkName(std::string_view form) { return form == "frmStatement_0x01" ? "Comok" : "cmdok"; }
const char* CancelName(std::string_view form) { return form == "frmStatement_0x01" ? "Comcancel" : "cmdcancel"; }

}  // namespace

class InstructionDialogsTest : public QObject {
  Q_OBJECT
 private:
  test::SampleEditor sample_;
  test::ScriptedPrompt prompt_;
  QString Ui(int n) const { return ui::Ui(sample_.state, n); }

  // Changes every enabled control; returns the words OK should then write.
  std::vector<int16_t> ChangeEverything(QDialog& dialog, std::span<const CatalogueRow> rows, const Statement& s) {
    std::vector<int16_t> expected = s.data;
    for (const CatalogueRow& row : rows) {
      QWidget* widget = dialog.findChild<QWidget*>(Q(std::string(row.name)));
      if (widget == nullptr || !widget->isEnabled()) continue;
      switch (row.control) {
        case FieldControl::List: {
          auto* list = static_cast<QComboBox*>(widget);
          const int next = (std::max(list->currentIndex(), 0) + 1) % list->count();
          list->setCurrentIndex(next);
          expected[size_t(row.word)] = ExpectedWord(row.list, next);
          break;
        }
        case FieldControl::Text: {
          const int16_t value = int16_t(-1000 - row.word);
          static_cast<QLineEdit*>(widget)->setText(QString::number(value));
          expected[size_t(row.word)] = value;
          break;
        }
        case FieldControl::Check: {
          auto* check = static_cast<QCheckBox*>(widget);
          const bool on = check->checkState() != Qt::Checked;
          check->setCheckState(on ? Qt::Checked : Qt::Unchecked);
          expected[size_t(row.word)] = on ? 1 : 0;
          break;
        }
        case FieldControl::DialogueText:
          static_cast<QPlainTextEdit*>(widget)->setPlainText("改過的對話");
          break;
      }
    }
    return expected;
  }

 private slots:
  void initTestCase() {
    const std::string failed = sample_.Start();
    QVERIFY2(failed.empty(), failed.c_str());
  }

  void everyDialog_data() {
    QTest::addColumn<QString>("form");
    for (std::string_view form : CatalogueForms()) {
      const QString name = Q(std::string(form));
      QTest::newRow(name.toUtf8().constData()) << name;
    }
  }

  void everyDialog() {
    QFETCH(QString, form);
    const std::string formName = U8(form);
    const std::span<const CatalogueRow> rows = DialogRows(formName);
    QVERIFY(!rows.empty());
    const int16_t opcode = OpcodeOf(formName);
    QVERIFY(opcode >= 0);
    const auto where = sample_.Find(opcode);
    Statement& s = sample_.At(where);
    QCOMPARE(s.Id, opcode);
    QVERIFY(s.DataNum > rows.back().word);
    const std::vector<int16_t> before = s.data;
    const std::vector<TalkEntry> talkBefore = sample_.state.game.talk.entries;

    // What the controls show.
    {
      auto dialog = sample_.Open(formName, where);
      QVERIFY(dialog);
      QCOMPARE(dialog->objectName(), form);
      QCOMPARE(dialog->windowTitle(), Ui(rows.front().title));
      QCOMPARE(dialog->findChild<QLineEdit*>("txtid")->text(), Q(OpcodeCaption(opcode)));
      QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), Ui(Str::InstructionId));
      for (const CatalogueRow& row : rows) {
        const QString name = Q(std::string(row.name));
        const int16_t word = s.data[size_t(row.word)];
        QWidget* widget = dialog->findChild<QWidget*>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        if (!row.label.empty())
          QCOMPARE(dialog->findChild<QLabel*>(Q(std::string(row.label)))->text(), Q(FieldCaption(sample_.state, row)));
        switch (row.control) {
          case FieldControl::List: {
            auto* list = qobject_cast<QComboBox*>(widget);
            QVERIFY(list != nullptr);
            const std::vector<std::string> entries = ListEntries(sample_.state, row.list);
            QCOMPARE(list->count(), int(entries.size()));
            QVERIFY(list->count() > 1);
            const QString shown = ShownFor(sample_.state, row.list, word);
            if (shown.isEmpty())
              QCOMPARE(list->currentIndex(), -1);
            else
              QCOMPARE(list->currentText(), shown);
            break;
          }
          case FieldControl::Text:
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), QString::number(word));
            break;
          case FieldControl::Check: {
            auto* check = qobject_cast<QCheckBox*>(widget);
            QCOMPARE(check->text(), Q(FieldCaption(sample_.state, row)));
            if (word == 0 || word == 1) QCOMPARE(check->isChecked(), word == 1);
            break;
          }
          case FieldControl::DialogueText:
            QCOMPARE(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(),
                     Q(sample_.state.game.talk.entries.at(size_t(word)).text));
            break;
        }
      }
      Click(dialog.get(), OkName(formName));
      QCOMPARE(dialog->result(), int(QDialog::Accepted));
      QCOMPARE(s.data, before);
      QCOMPARE(sample_.state.talkCount(), int(talkBefore.size()));
    }

    // Every control changed, then OK.
    {
      auto dialog = sample_.Open(formName, where);
      const std::vector<int16_t> expected = ChangeEverything(*dialog, rows, s);
      QVERIFY(expected != before);
      Click(dialog.get(), OkName(formName));
      QCOMPARE(dialog->result(), int(QDialog::Accepted));
      QCOMPARE(s.data, expected);
      QVERIFY(prompt_.asked().empty());
      s.data = before;
      sample_.state.game.talk.entries = talkBefore;
    }

    // Every control changed, then Cancel.
    {
      auto dialog = sample_.Open(formName, where);
      ChangeEverything(*dialog, rows, s);
      Click(dialog.get(), CancelName(formName));
      QCOMPARE(dialog->result(), int(QDialog::Rejected));
      QCOMPARE(s.data, before);
      QCOMPARE(sample_.state.talkCount(), int(talkBefore.size()));
      for (size_t k = 0; k < talkBefore.size(); ++k)
        QCOMPARE(sample_.state.game.talk.entries[k].text, talkBefore[k].text);
    }
  }

  void personListOfThreeHundredTwenty() {
    const auto where = sample_.Find(10);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    auto dialog = sample_.Open("frmStatement_0x0a", where);
    auto* persons = dialog->findChild<QComboBox*>("ComboPerson");
    QCOMPARE(persons->count(), 320);
    QCOMPARE(persons->itemText(0), "0(0)" + Q(sample_.state.game.names.persons[0].name));
    QCOMPARE(persons->itemText(319), "319(13F)" + Q(sample_.state.game.names.persons[319].name));
    persons->setCurrentIndex(26);
    Click(dialog.get(), "cmdok");
    QCOMPARE(s.data[0], int16_t(26));
    s.data = before;
  }

  void minusOneAndWordsOutsideTheList() {
    const auto where = sample_.Find(40);  // facing direction: a fixed list of four
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    for (int16_t word : {int16_t(-1), int16_t(4), int16_t(-7)}) {
      s.data[0] = word;
      auto dialog = sample_.Open("frmStatement_0x28", where);
      QCOMPARE(dialog->findChild<QComboBox*>("Combo1")->currentIndex(), -1);
      Click(dialog.get(), "cmdok");
      QCOMPARE(s.data[0], word);
    }
    const auto person = sample_.Find(10);
    Statement& p = sample_.At(person);
    const int16_t old = p.data[0];
    p.data[0] = 320;  // one past the last person
    auto dialog = sample_.Open("frmStatement_0x0a", person);
    QCOMPARE(dialog->findChild<QComboBox*>("ComboPerson")->currentIndex(), -1);
    Click(dialog.get(), "cmdok");
    QCOMPARE(p.data[0], int16_t(320));
    p.data[0] = old;
    s.data = before;
  }

  void currentSceneEntry() {
    const auto where = sample_.Find(60);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    const QString current = "---" + Ui(Str::LineCurrentScene) + "---";
    s.data[0] = -1;
    {
      auto dialog = sample_.Open("frmStatement_0x3c", where);
      auto* scenes = dialog->findChild<QComboBox*>("ComboAddress");
      QCOMPARE(scenes->currentIndex(), 0);
      QCOMPARE(scenes->currentText(), current);
      Click(dialog.get(), "cmdok");
      QCOMPARE(s.data[0], int16_t(-2));
    }
    s.data[0] = 0;
    {
      auto dialog = sample_.Open("frmStatement_0x3c", where);
      auto* scenes = dialog->findChild<QComboBox*>("ComboAddress");
      QCOMPARE(scenes->currentIndex(), 1);
      QCOMPARE(scenes->currentText(), "0" + Q(sample_.state.game.names.scenes[0].name));
      scenes->setCurrentIndex(5);
      Click(dialog.get(), "cmdok");
      QCOMPARE(s.data[0], int16_t(4));
    }
    {
      auto dialog = sample_.Open("frmStatement_0x3c", where);
      dialog->findChild<QComboBox*>("ComboAddress")->setCurrentIndex(0);
      Click(dialog.get(), "cmdok");
      QCOMPARE(s.data[0], int16_t(-2));
    }
    s.data = before;
  }

  void battleCheckBox() {
    const auto where = sample_.Find(6);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    s.data[3] = 1;
    const int16_t word1 = s.data[1], word2 = s.data[2];
    auto dialog = sample_.Open("frmStatement_0x06", where);
    auto* check = dialog->findChild<QCheckBox*>("Check1");
    QVERIFY(check->isChecked());
    QCOMPARE(check->text(), Ui(Str::ExperienceOnDefeat));
    check->setChecked(false);
    Click(dialog.get(), "cmdok");
    QCOMPARE(s.data[3], int16_t(0));
    QCOMPARE(s.data[1], word1);
    QCOMPARE(s.data[2], word2);
    s.data = before;
  }

  void badNumberIsRefusedAndTheDialogStaysOpen() {
    const auto where = sample_.Find(28);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    auto dialog = sample_.Open("frmStatement_0x1c", where);
    dialog->show();
    dialog->findChild<QComboBox*>("ComboPerson")->setCurrentIndex(7);
    dialog->findChild<QLineEdit*>("txt1")->setText("10");
    dialog->findChild<QLineEdit*>("txt2")->setText("12a");
    prompt_.Clear();
    Click(dialog.get(), "cmdok");
    QCOMPARE(prompt_.asked().size(), size_t(1));
    QVERIFY(prompt_.asked()[0].text.contains(Ui(Str::MoralityRange)));
    QVERIFY(dialog->isVisible());
    QCOMPARE(s.data, before);
    dialog->findChild<QLineEdit*>("txt2")->setText("40000");
    Click(dialog.get(), "cmdok");
    QCOMPARE(prompt_.asked().size(), size_t(2));
    QCOMPARE(s.data, before);
    dialog->findChild<QLineEdit*>("txt2")->setText("-5");
    Click(dialog.get(), "cmdok");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(s.data[0], int16_t(7));
    QCOMPARE(s.data[1], int16_t(10));
    QCOMPARE(s.data[2], int16_t(-5));
    prompt_.Clear();
    s.data = before;
  }

  void missingWordsAreDisabled() {
    const auto where = sample_.Find(28);
    Statement& s = sample_.At(where);
    const Statement saved = s;
    s.DataNum = 1;  // the words 1 and 2 are no longer part of it
    auto dialog = sample_.Open("frmStatement_0x1c", where);
    QVERIFY(dialog->findChild<QComboBox*>("ComboPerson")->isEnabled());
    QVERIFY(!dialog->findChild<QLineEdit*>("txt1")->isEnabled());
    QVERIFY(!dialog->findChild<QLineEdit*>("txt2")->isEnabled());
    QCOMPARE(dialog->findChild<QLineEdit*>("txt1")->text(), QString());
    dialog->findChild<QComboBox*>("ComboPerson")->setCurrentIndex(3);
    Click(dialog.get(), "cmdok");
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(s.data[0], int16_t(3));
    QCOMPARE(s.data[1], saved.data[1]);
    QCOMPARE(s.data[2], saved.data[2]);
    s = saved;
  }

  void sharedItemDialogAndUnknownForms() {
    const auto where = sample_.Find(43);
    auto dialog = sample_.Open(GuideFor(43).form, where);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), Ui(Str::LineHasItem));
    QCOMPARE(dialog->findChild<QLineEdit*>("txtid")->text(), QString("43(2B)"));
    QVERIFY(!MakeInstructionDialog("frmStatement_0x99", sample_.state, where.first, where.second, nullptr));
    QVERIFY(!OpenInstructionDialog("frmStatement_0x99", sample_.state, where.first, where.second, nullptr));
    QVERIFY(!MakeInstructionDialog("frmStatement_0x12", sample_.state, where.first, 100000, nullptr));
  }
};

QTEST_MAIN(InstructionDialogsTest)
#include "instruction_dialogs_test.moc"
