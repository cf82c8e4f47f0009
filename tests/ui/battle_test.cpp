// The battle editor and the battlefield view driven offscreen on the sample game.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gamefiles/war_sta.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/frm_war_edit.h"
#include "ui/battle/frm_war_map.h"
#include "ui/picture_box.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

class BattleWindows : public QObject {
  Q_OBJECT

  template <class T>
  static T* Child(QWidget& window, const QString& name) {
    T* child = window.findChild<T*>(name);
    if (!child) qWarning("no control %s", qPrintable(name));
    return child;
  }

 private slots:
  void opensWithEveryBattleAndAppliesAndSavesOneField() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const QByteArray before = FileBytes(game.path("war.sta"));
    FrmWarEdit editor(game.state);
    QVERIFY(prompt.asked().empty());
    auto* battles = Child<QComboBox>(editor, "Combowar");
    QVERIFY(battles);
    QCOMPARE(battles->count(), int(before.size() / kBattleRecordSize));
    battles->setCurrentIndex(3);
    auto* experience = Child<QLineEdit>(editor, "txtexp");
    QCOMPARE(experience->text(), QString::number(game.state.battles[3].experience));
    QCOMPARE(Child<QLineEdit>(editor, "txtMap")->text(), QString::number(game.state.battles[3].map));
    for (const char* name : {"ComboPerson_5", "ComboSelectperson_0", "txtpersonx_5", "txtpersony_0", "Comboenemy_19",
                             "txtenemyX_19", "txtenemyy_0", "cmdedit", "cmdaddwar", "cmddelwar", "cmdsave", "cmdshow",
                             "cmdcancel", "txtwarname"})
      QVERIFY2(editor.findChild<QWidget*>(name), name);

    experience->setText("999");
    QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
    QCOMPARE(game.state.battles[3].experience, int16_t(999));
    QTest::mouseClick(Child<QPushButton>(editor, "cmdsave"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));  // where it was saved

    // Exactly the two bytes of battle 3's experience changed.
    const QByteArray after = FileBytes(game.path("war.sta"));
    QCOMPARE(after.size(), before.size());
    const qsizetype at = 3 * qsizetype(kBattleRecordSize) + 14;
    for (qsizetype k = 0; k < after.size(); ++k)
      if (k != at && k != at + 1) QVERIFY2(after[k] == before[k], qPrintable(QString::number(k)));
    QCOMPARE(uint8_t(after[at]) | uint8_t(after[at + 1]) << 8, 999);
  }

  void refusesANumberThatIsNotSixteenBit() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    FrmWarEdit editor(game.state);
    Child<QComboBox>(editor, "Combowar")->setCurrentIndex(1);
    const std::vector<BattleRecord> before = game.state.battles;
    Child<QLineEdit>(editor, "txtenemyX_2")->setText("40000");
    QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(game.state.battles == before);
    QTest::mouseClick(Child<QPushButton>(editor, "cmdaddwar"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(2));
    QVERIFY(game.state.battles == before);
  }

  void addsAndDeletesAtTheEndAndKeepsTheLastBattle() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    FrmWarEdit editor(game.state);
    auto* battles = Child<QComboBox>(editor, "Combowar");
    const int count = battles->count();
    battles->setCurrentIndex(2);
    QTest::mouseClick(Child<QPushButton>(editor, "cmdaddwar"), Qt::LeftButton);
    QCOMPARE(battles->count(), count + 1);
    QCOMPARE(game.state.battles.back().name, std::string(kNewBattleName));
    QCOMPARE(game.state.battles.back().enemies, game.state.battles[2].enemies);
    battles->setCurrentIndex(0);
    while (battles->count() > 1) QTest::mouseClick(Child<QPushButton>(editor, "cmddelwar"), Qt::LeftButton);
    QCOMPARE(game.state.battles.size(), size_t(1));
    prompt.Clear();
    QTest::mouseClick(Child<QPushButton>(editor, "cmddelwar"), Qt::LeftButton);
    QCOMPARE(game.state.battles.size(), size_t(1));
    QCOMPARE(prompt.asked().size(), size_t(1));  // the refusal
  }

  void aPartialWarStaOpensWithItsWholeRecordsAndSaysSo() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    QFile file(game.path("war.sta"));
    QVERIFY(file.resize(2 * qint64(kBattleRecordSize) + 50));
    ScriptedPrompt prompt;
    FrmWarEdit editor(game.state);
    QCOMPARE(Child<QComboBox>(editor, "Combowar")->count(), 2);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(prompt.asked().front().text.contains("50"));

    QVERIFY(QFile::remove(game.path("war.sta")));
    prompt.Clear();
    FrmWarEdit empty(game.state);
    QCOMPARE(Child<QComboBox>(empty, "Combowar")->count(), 0);
    QCOMPARE(prompt.asked().size(), size_t(1));
  }

  void theMapViewDrawsAroundItsCentreAndStopsAtTheEdges() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    FrmWarEdit editor(game.state);  // reads the battles
    frmwarmap view(game.state, 0, "0");
    QVERIFY2(view.problems().isEmpty(), qPrintable(view.problems()));
    auto* picture = Child<PictureBox>(view, "pic1");
    QCOMPARE(picture->image().size(), QSize(640, 480));
    QVERIFY(picture->image().pixel(320, 240) != qRgb(0, 0, 0));  // the centre square's ground

    auto* x = Child<QLineEdit>(view, "txtX");
    auto* y = Child<QLineEdit>(view, "txty");
    QCOMPARE(x->text(), QString("32"));
    QCOMPARE(y->text(), QString("31"));
    QTest::mouseClick(Child<QPushButton>(view, "cmdright"), Qt::LeftButton);
    QCOMPARE(x->text(), QString("33"));
    QTest::mouseClick(Child<QPushButton>(view, "cmdup"), Qt::LeftButton);
    QCOMPARE(y->text(), QString("30"));
    x->setText("0");
    QTest::mouseClick(Child<QPushButton>(view, "cmdleft"), Qt::LeftButton);
    QCOMPARE(x->text(), QString("0"));
    y->setText("64");
    QTest::mouseClick(Child<QPushButton>(view, "cmddown"), Qt::LeftButton);
    QCOMPARE(y->text(), QString("64"));
    x->setText("abc");
    QTest::mouseClick(Child<QPushButton>(view, "cmdright"), Qt::LeftButton);
    QCOMPARE(x->text(), QString("1"));
  }

  void theMapViewShowsWhatItCanOfBadMaps() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    FrmWarEdit editor(game.state);
    for (const char* map : {"26", "-1", "x"}) {
      frmwarmap view(game.state, 0, map);
      QVERIFY2(!view.problems().isEmpty(), map);
    }
    QVERIFY(QFile::remove(game.path("wdx003")));
    frmwarmap noTiles(game.state, 0, "3");
    QVERIFY(!noTiles.problems().isEmpty());
    QVERIFY(QFile::remove(game.path("warfld.grp")));
    frmwarmap noField(game.state, 0, "4");
    QVERIFY(!noField.problems().isEmpty());
    QTest::mouseClick(noField.findChild<QPushButton*>("cmdright"), Qt::LeftButton);
  }
};

QTEST_MAIN(BattleWindows)
#include "battle_test.moc"
