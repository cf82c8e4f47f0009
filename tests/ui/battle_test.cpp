// The battle editor and the battlefield view driven offscreen on the sample game.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "gamefiles/war_sta.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/battle/battlefield_window.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"

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
    BattleEditorWindow editor(game.state);
    QVERIFY(prompt.asked().empty());
    auto* battles = Child<QComboBox>(editor, "Combowar");
    QVERIFY(battles);
    QCOMPARE(battles->count(), int(before.size() / kBattleRecordSize));
    battles->setCurrentIndex(3);
    auto* experience = Child<QLineEdit>(editor, "txtexp");
    QCOMPARE(experience->text(), QString::number(game.state.battles[3].experience));
    QCOMPARE(Child<QLineEdit>(editor, "txtMap")->text(), QString::number(game.state.battles[3].map));
    for (const char* name :
         {"ComboPerson_5", "ComboSelectperson_0", "txtpersonx_5", "txtpersony_0", "Comboenemy_19", "txtenemyX_19",
          "txtenemyy_0", "cmdedit", "cmdaddwar", "cmddelwar", "cmdsave", "cmdshow", "cmdcancel", "txtwarname"})
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
    BattleEditorWindow editor(game.state);
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
    BattleEditorWindow editor(game.state);
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
    BattleEditorWindow editor(game.state);
    QCOMPARE(Child<QComboBox>(editor, "Combowar")->count(), 2);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(prompt.asked().front().text.contains("50"));

    QVERIFY(QFile::remove(game.path("war.sta")));
    prompt.Clear();
    BattleEditorWindow empty(game.state);
    QCOMPARE(Child<QComboBox>(empty, "Combowar")->count(), 0);
    QCOMPARE(prompt.asked().size(), size_t(1));
  }

  // 1,001 bytes are five records of 186 bytes and 71 bytes more: the
  // message counts the five battles the list shows.
  void aWarStaOf1001BytesCountsTheFiveBattlesItLists() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    QFile file(game.path("war.sta"));
    QVERIFY(file.resize(1001));
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    QCOMPARE(Child<QComboBox>(editor, "Combowar")->count(), 5);
    QCOMPARE(prompt.asked().size(), size_t(1));
    const QString& text = prompt.asked().front().text;
    QVERIFY2(text.contains("已读入 5 个完整的战斗") && text.contains("末尾 71 个字节"), qPrintable(text));
  }

  // A battlefield warfld does not hold, a square off the 64 x 64 field and a
  // person the database does not hold are refused by name and range; the
  // list keeps the battle as it was.
  void valuesOutsideTheirRangesAreRefusedNamingTheFieldAndTheRange() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    QVERIFY(prompt.asked().empty());
    Child<QComboBox>(editor, "Combowar")->setCurrentIndex(2);
    const std::vector<BattleRecord> before = game.state.battles;
    struct Case {
      const char* box;
      const char* text;
      const char* says;
    };
    for (const Case& c : {Case{"txtMap", "9999", "战斗地图编号为 9999，不在 0 到 25 之间"},
                          Case{"txtMap", "26", "战斗地图编号为 26，不在 0 到 25 之间"},
                          Case{"txtpersonx_4", "64", "4 号参战人的 X 坐标为 64，不在 0 到 63 之间"},
                          Case{"txtenemyy_7", "-1", "E7 号敌人的 Y 坐标为 -1，不在 0 到 63 之间"}}) {
      auto* box = Child<QLineEdit>(editor, c.box);
      const QString kept = box->text();
      box->setText(c.text);
      prompt.Clear();
      QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
      QCOMPARE(prompt.asked().size(), size_t(1));
      QVERIFY2(prompt.asked().front().text.contains(c.says), qPrintable(prompt.asked().front().text));
      QVERIFY(game.state.battles == before);
      prompt.Clear();
      QTest::mouseClick(Child<QPushButton>(editor, "cmdaddwar"), Qt::LeftButton);
      QCOMPARE(prompt.asked().size(), size_t(1));
      QVERIFY(game.state.battles == before);
      box->setText(kept);
    }
    // The last square and the last map are taken.
    Child<QLineEdit>(editor, "txtMap")->setText("25");
    Child<QLineEdit>(editor, "txtpersonx_4")->setText("63");
    prompt.Clear();
    QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
    QVERIFY(prompt.asked().empty());
    QCOMPARE(game.state.battles[2].map, int16_t(25));
    QCOMPARE(game.state.battles[2].personX[4], int16_t(63));
  }

  // A record naming person 9999 (the sample has 320) opens with a warning
  // and shows the number; applying it is refused until a person is chosen.
  void aPersonBeyondTheDatabaseIsListedOnOpeningAndRefusedOnApplying() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    QFile file(game.path("war.sta"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(qint64(kBattleRecordSize) + 66 + 2 * 3));  // battle 1, enemy 3
    QVERIFY(file.write(QByteArray("\x0f\x27", 2)) == 2);         // 9999
    file.close();
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY2(prompt.asked().front().text.contains("战斗1：E3 号敌人为 9999，既不是 -1（无人）也不是 0 到 319 号人物"),
             qPrintable(prompt.asked().front().text));
    Child<QComboBox>(editor, "Combowar")->setCurrentIndex(1);
    QCOMPARE(Child<QComboBox>(editor, "Comboenemy_3")->currentText(), QString("9999"));
    prompt.Clear();
    QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QCOMPARE(game.state.battles[1].enemies[3], int16_t(9999));
    Child<QComboBox>(editor, "Comboenemy_3")->setCurrentIndex(0);  // nobody
    prompt.Clear();
    QTest::mouseClick(Child<QPushButton>(editor, "cmdedit"), Qt::LeftButton);
    QVERIFY(prompt.asked().empty());
    QCOMPARE(game.state.battles[1].enemies[3], kNoPerson);
  }

  // Random bytes: every battle is listed, and the message counts the values
  // out of range and lists the first of them.
  void aRandomWarStaOpensWithAWarningThatCountsTheValuesOutOfRange() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    QByteArray noise(4 * qsizetype(kBattleRecordSize), '\0');
    uint32_t seed = 12345;
    for (char& c : noise) {
      seed = seed * 1103515245u + 12345u;
      c = char((seed >> 16 & 0x3F) | 0x80);  // every number from -32768 to -16385
    }
    QFile file(game.path("war.sta"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(noise) == noise.size());
    file.close();
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    QCOMPARE(Child<QComboBox>(editor, "Combowar")->count(), 4);
    QCOMPARE(prompt.asked().size(), size_t(1));
    // Per battle: the map, 32 persons and 52 coordinates.
    const QString& text = prompt.asked().front().text;
    QVERIFY2(text.contains("4 个战斗中有 340 个数值超出范围"), qPrintable(text));
    QVERIFY2(text.contains("战斗0：战斗地图编号为 -"), qPrintable(text));
    QVERIFY2(text.contains("另有 320 个未列出"), qPrintable(text));
  }

  void theMapViewDrawsAroundItsCentreAndStopsAtTheEdges() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);  // reads the battles
    BattlefieldWindow view(game.state, 0, "0");
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

  // Map 0 laid by hand: grass everywhere, and around the centre (32, 31)
  // three floors of different colours; the view shows each at its anchor, on
  // the one set of an unpatched game and on a set per map.
  void theMapViewDrawsHandPlacedTilesOnBothLayouts() {
    for (bool numbered : {false, true}) {
      SampleGame game(GameCharset::Gbk, true, 1, numbered);
      QVERIFY2(game.ok(), qPrintable(game.error));
      ScriptedPrompt prompt;
      BattleEditorWindow editor(game.state);
      const int grass = 1, pond = 3, paving = 4, road = 6;  // the sample's floor tiles
      Bytes idx, grp;
      for (int m = 0; m < kBattlefieldCount; ++m) {
        for (int layer = 0; layer < 2; ++layer)
          for (int y = 0; y < kBattlefieldSide; ++y)
            for (int x = 0; x < kBattlefieldSide; ++x) {
              int tile = layer == 0 ? grass : 0;
              if (layer == 0 && x == 32 && y == 31) tile = pond;
              if (layer == 0 && x == 33 && y == 31) tile = paving;
              if (layer == 0 && x == 32 && y == 32) tile = road;
              AppendI16(grp, int16_t(2 * tile));
            }
        AppendI32(idx, int32_t(grp.size()));
      }
      QVERIFY(WriteFileAtomic(game.path("warfld.idx").toStdString(), idx, false));
      QVERIFY(WriteFileAtomic(game.path("warfld.grp").toStdString(), grp, false));
      // The markers far off the view.
      BattleRecord& battle = game.state.battles[0];
      battle.personX.fill(0);
      battle.personY.fill(0);
      battle.enemies.fill(kNoPerson);

      const std::string index = numbered ? "wdx000" : "wdx", data = numbered ? "wmp000" : "wmp";
      Result<PictureSet> tiles = LoadPictureSet(game.dir.toStdString(), index, data, game.state.game.palette);
      QVERIFY(tiles);
      auto anchorColour = [&](int t) {
        const RlePicture& p = (*tiles)[size_t(t)];
        return RenderPictureOpaque(p).at(p.xOffset, p.yOffset);
      };
      QVERIFY(anchorColour(pond) != anchorColour(paving) && anchorColour(paving) != anchorColour(road));

      BattlefieldWindow view(game.state, 0, "0");
      QVERIFY2(view.problems().isEmpty(), qPrintable(view.problems()));
      QCOMPARE(Child<QLabel>(view, "lblTileFiles")->text(), Q("图块文件：" + index + " / " + data));
      const QImage image = Child<PictureBox>(view, "pic1")->image();
      QCOMPARE(image.pixel(320, 240) & 0xFFFFFF, anchorColour(pond));
      QCOMPARE(image.pixel(338, 249) & 0xFFFFFF, anchorColour(paving));
      QCOMPARE(image.pixel(302, 249) & 0xFFFFFF, anchorColour(road));
      QCOMPARE(image.pixel(320 + 5 * 36, 240) & 0xFFFFFF, anchorColour(grass));  // five squares right and up
    }
  }

  // The command line's picture of a battle is the view's as it opens.
  void renderBattleWritesWhatTheViewShows() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    QProcess tool;
    const QString png = game.path("battle3.png");
    tool.start(QStringLiteral(TAVREL_BIN_DIR "/tavrel"), {"render-battle", game.dir, "3", "-o", png});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    QVERIFY(QString::fromUtf8(tool.readAllStandardOutput()).contains(QStringLiteral("图块文件：wdx / wmp")));
    BattlefieldWindow view(game.state, 3, QString::number(game.state.battles[3].map));
    const QImage shown = Child<PictureBox>(view, "pic1")->image().convertToFormat(QImage::Format_RGB32);
    const QImage written = QImage(png).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(written.size(), QSize(640, 480));
    QVERIFY(written == shown);
  }

  void theMapViewShowsWhatItCanOfBadMaps() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    BattleEditorWindow editor(game.state);
    for (const char* map : {"26", "-1", "x"}) {
      BattlefieldWindow view(game.state, 0, map);
      QVERIFY2(!view.problems().isEmpty(), map);
    }
    QVERIFY(QFile::rename(game.path("wdx"), game.path("wdx.kept")));
    BattlefieldWindow noTiles(game.state, 0, "3");
    // Every name tried, once: z.dat's (the bare ones), then the numbered ones.
    QVERIFY2(noTiles.problems().contains("wdx, wmp, wdx003, wmp003") && noTiles.problems().count("wdx") == 2,
             qPrintable(noTiles.problems()));
    QVERIFY(Child<QLabel>(noTiles, "lblTileFiles")->text().isEmpty());
    QVERIFY(QFile::rename(game.path("wdx.kept"), game.path("wdx")));
    QVERIFY(QFile::remove(game.path("warfld.grp")));
    BattlefieldWindow noField(game.state, 0, "4");
    QVERIFY(!noField.problems().isEmpty());
    QTest::mouseClick(noField.findChild<QPushButton*>("cmdright"), Qt::LeftButton);
  }
};

QTEST_MAIN(BattleWindows)
#include "battle_test.moc"
