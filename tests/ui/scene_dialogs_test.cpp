// The dialogs that show scene tiles: the scene chosen by hand, the tile
// browser, the instruction's tile and the animations.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/instruction_catalogue.h"
#include "instruction_test_support.h"
#include "support/scripted_prompt.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using tavrel::ui::test::Click;
using tavrel::ui::test::Expected;

class SceneDialogsTest : public QObject {
  Q_OBJECT
 private:
  test::SampleEditor sample_;
  test::ScriptedPrompt prompt_;

  // The sample's one scene tile set, read by its names: every scene shows it.
  PictureSet Tiles(int /*scene*/) { return TilesNamed(sample_, "sdx", "smp"); }
  static PictureSet TilesNamed(const test::SampleEditor& sample, const std::string& index, const std::string& data) {
    auto tiles = LoadPictureSet(sample.gameDir, index, data, sample.state.game.palette);
    return tiles ? *tiles : PictureSet{};
  }
  static QImage Centred(const PictureBox& box, const PictureSet& tiles, int tile) {
    const RlePicture* picture = tile >= 0 && size_t(tile) < tiles.size() ? &tiles[size_t(tile)] : nullptr;
    return Expected(box, picture, box.width() / 2, box.height() / 2);
  }

 private slots:
  void initTestCase() {
    const std::string failed = sample_.Start();
    QVERIFY2(failed.empty(), failed.c_str());
  }

  void choosingASceneLoadsItsTilesAndTheBrowserRunsOverThem() {
    const auto where = sample_.Find(17);
    auto dialog = sample_.Open("frmStatement_0x11", where);
    auto* pic2 = dialog->findChild<PictureBox*>("pic2");
    auto* pic1 = dialog->findChild<PictureBox*>("Pic1");
    QVERIFY(pic1 && pic2);
    QVERIFY(test::AllBlack(pic1->image()));
    const PictureSet tiles = Tiles(7);
    QVERIFY(tiles.size() > 40);
    dialog->findChild<QLineEdit*>("txtPicnum")->setText("12");
    QVERIFY(test::AllBlack(pic1->image()));  // no scene chosen yet
    dialog->findChild<QComboBox*>("Combomanual")->setCurrentIndex(7);
    QCOMPARE(pic1->image(), Centred(*pic1, tiles, 6));
    QVERIFY(!test::AllBlack(pic1->image()));
    auto* scroll = dialog->findChild<QScrollBar*>("VScroll1");
    QCOMPARE(scroll->minimum(), 0);
    QCOMPARE(scroll->maximum(), int(tiles.size()) - 1);
    scroll->setValue(scroll->maximum());
    QCOMPARE(dialog->findChild<QLineEdit*>("txtpic")->text(), QString::number(2 * (int(tiles.size()) - 1)));
    QCOMPARE(pic2->image(), Centred(*pic2, tiles, int(tiles.size()) - 1));
    dialog->findChild<QLineEdit*>("txtpic")->setText("10");
    QCOMPARE(pic2->image(), Centred(*pic2, tiles, 5));
    dialog->findChild<QLineEdit*>("txtpic")->setText("abc");
    QVERIFY(test::AllBlack(pic2->image()));
    dialog->findChild<QLineEdit*>("txtpic")->setText("9000");
    QVERIFY(test::AllBlack(pic2->image()));
  }

  void animationShowsEveryOtherPictureOnATimer() {
    const auto where = sample_.Find(27);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    auto dialog = sample_.Open("frmStatement_0x1B", where);
    auto* box = dialog->findChild<PictureBox*>("Pic1");
    auto* timer = dialog->findChild<QTimer*>("animationTimer");
    QVERIFY(box && timer);
    dialog->findChild<QLineEdit*>("txtstart")->setText("100");
    dialog->findChild<QLineEdit*>("txtend")->setText("106");
    Click(dialog.get(), "cmdshow");
    QVERIFY(test::AllBlack(box->image()));  // no scene chosen: nothing plays
    QVERIFY(!timer->isActive());
    dialog->findChild<QComboBox*>("Combomanual")->setCurrentIndex(3);
    const PictureSet tiles = Tiles(3);
    QVERIFY(tiles.size() > 53);
    Click(dialog.get(), "cmdshow");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 150);
    for (int tile = 50; tile <= 53; ++tile) {
      QCOMPARE(box->image(), Centred(*box, tiles, tile));
      QVERIFY(!test::AllBlack(box->image()));
      QMetaObject::invokeMethod(timer, "timeout");
    }
    QVERIFY(!timer->isActive());
    QCOMPARE(box->image(), Centred(*box, tiles, 53));
    // Start above end shows nothing new.
    box->clear();
    dialog->findChild<QLineEdit*>("txtstart")->setText("108");
    Click(dialog.get(), "cmdshow");
    QVERIFY(test::AllBlack(box->image()));
    QVERIFY(!timer->isActive());
    Click(dialog.get(), "cmdcancel");
    QCOMPARE(s.data, before);  // the previews never write a word
  }

  void sceneEventListsAndItsThreePictureAnimation() {
    const auto where = sample_.Find(3);
    Statement& s = sample_.At(where);
    const std::vector<int16_t> before = s.data;
    s.data[0] = -2;
    s.data[1] = 199;
    s.data[2] = 1;
    s.data[4] = -1;
    s.data[5] = -2;
    s.data[7] = 10;
    s.data[8] = -2;
    s.data[9] = 12;
    auto dialog = sample_.Open("frmstatement_0x03", where);
    auto* scenes = dialog->findChild<QComboBox*>("ComboAddress");
    QCOMPARE(scenes->currentIndex(), 0);
    QCOMPARE(scenes->currentText(), "---" + Ui(sample_.state, Str::LineCurrentScene) + "---");
    auto* events = dialog->findChild<QComboBox*>("ComboSkey");
    QCOMPARE(events->count(), 201);
    QCOMPARE(events->currentIndex(), 200);
    auto* pass = dialog->findChild<QComboBox*>("ComboPass");
    QCOMPARE(pass->currentText(), Ui(sample_.state, Str::PassableNo));
    pass->setCurrentIndex(0);
    auto* manual = dialog->findChild<QComboBox*>("Combomanual");
    QCOMPARE(manual->currentIndex(), -1);
    auto* timer = dialog->findChild<QTimer*>("Timer1");
    auto* box = dialog->findChild<PictureBox*>("pic1");
    QVERIFY(timer && box);
    QVERIFY(!timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");
    QVERIFY(test::AllBlack(box->image()));  // no scene chosen
    manual->setCurrentIndex(7);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 300);
    const PictureSet tiles = Tiles(7);
    const int anchorY = box->height() - 10;
    for (int tile : {5, -1, 6, 5}) {
      QMetaObject::invokeMethod(timer, "timeout");
      const RlePicture* picture = tile >= 0 ? &tiles[size_t(tile)] : nullptr;
      QCOMPARE(box->image(), Expected(*box, picture, box->width() / 2, anchorY));
      QCOMPARE(test::AllBlack(box->image()), tile < 0);
    }
    Click(dialog.get(), "cmdok");
    QCOMPARE(s.data[0], int16_t(-2));
    QCOMPARE(s.data[1], int16_t(199));
    QCOMPARE(s.data[2], int16_t(-2));  // "keep unchanged" chosen
    QCOMPARE(s.data[4], int16_t(-1));
    QCOMPARE(s.data[5], int16_t(-2));
    s.data = before;
  }

  void aSceneWithoutTilesLeavesThePreviewEmpty() {
    const std::filesystem::path sdx = std::filesystem::path(sample_.gameDir) / "sdx";
    const std::filesystem::path kept = sdx.string() + ".kept";
    std::filesystem::rename(sdx, kept);
    const auto where = sample_.Find(60);
    auto dialog = sample_.Open("frmStatement_0x3c", where);
    prompt_.Clear();
    dialog->findChild<QComboBox*>("Combomanual")->setCurrentIndex(5);
    // Said in the dialog's line, not in a box: z.dat's names (the bare ones),
    // then the numbered ones, each named once.
    QCOMPARE(prompt_.asked().size(), size_t(0));
    const QString text = dialog->findChild<QLabel*>("lblTileFiles")->text();
    QVERIFY2(text.contains("sdx, smp, sdx005, smp005") && text.count("sdx") == 2, qPrintable(text));
    dialog->findChild<QLineEdit*>("txtpic")->setText("4");
    QVERIFY(test::AllBlack(dialog->findChild<PictureBox*>("pic2")->image()));
    QVERIFY(test::AllBlack(dialog->findChild<PictureBox*>("Pic1")->image()));
    prompt_.Clear();
    std::filesystem::rename(kept, sdx);
  }

  void everySceneOfAnUnpatchedGameShowsTheOneSetReadOnce() {
    test::SampleEditor fresh;
    const std::string failed = fresh.Start();
    QVERIFY2(failed.empty(), failed.c_str());
    const auto where = fresh.Find(17);
    auto dialog = fresh.Open("frmStatement_0x11", where);
    auto* manual = dialog->findChild<QComboBox*>("Combomanual");
    auto* files = dialog->findChild<QLabel*>("lblTileFiles");
    auto* pic1 = dialog->findChild<PictureBox*>("Pic1");
    QVERIFY(manual && files && pic1);
    QVERIFY(files->text().isEmpty());
    const PictureSet tiles = TilesNamed(fresh, "sdx", "smp");
    QVERIFY(tiles.size() > 40);
    dialog->findChild<QLineEdit*>("txtPicnum")->setText("12");
    for (int scene = 0; scene < manual->count(); ++scene) {
      manual->setCurrentIndex(scene);
      QCOMPARE(files->text(), QStringLiteral("图块文件：sdx / smp"));
      QCOMPARE(pic1->image(), Centred(*pic1, tiles, 6));
    }
    QVERIFY(manual->count() >= 12);
    QCOMPARE(fresh.state.tileSets.setsRead(), 1);
    QVERIFY(prompt_.asked().empty());
  }

  void aNumberedLayoutShowsEachScenesOwnSet() {
    test::SampleEditor numbered;
    const std::string failed = numbered.Start(true);
    QVERIFY2(failed.empty(), failed.c_str());
    const auto where = numbered.Find(3);
    auto dialog = numbered.Open("frmstatement_0x03", where);
    auto* manual = dialog->findChild<QComboBox*>("Combomanual");
    auto* files = dialog->findChild<QLabel*>("lblTileFiles");
    QVERIFY(manual && files);
    auto* pic2 = dialog->findChild<PictureBox*>("pic2");
    for (int scene : {7, 2}) {
      manual->setCurrentIndex(scene);
      const std::string index = "sdx00" + std::to_string(scene), data = "smp00" + std::to_string(scene);
      QCOMPARE(files->text(), Q("图块文件：" + index + " / " + data));
      const PictureSet tiles = TilesNamed(numbered, index, data);
      dialog->findChild<QLineEdit*>("txtpic")->setText("");
      dialog->findChild<QLineEdit*>("txtpic")->setText(QString::number(2 * (int(tiles.size()) - 1)));
      const int anchorY = pic2->height() - 10;  // the scene-event dialog's boxes
      QCOMPARE(pic2->image(), Expected(*pic2, &tiles.back(), pic2->width() / 2, anchorY));
    }
    // Scene 7's set and scene 2's differ in size: each scene's own was shown.
    QVERIFY(TilesNamed(numbered, "sdx007", "smp007").size() != TilesNamed(numbered, "sdx002", "smp002").size());
    QCOMPARE(numbered.state.tileSets.setsRead(), 2);
    QVERIFY(prompt_.asked().empty());
  }
};

QTEST_MAIN(SceneDialogsTest)
#include "scene_dialogs_test.moc"
