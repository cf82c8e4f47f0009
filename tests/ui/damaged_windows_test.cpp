// The windows that read game files of their own open on damaged files: the
// battle editor (war.sta), the battlefield view (warfld, wdx / wmp),
// the patcher (z.dat) and the scene picture dialogs (sdx / smp). Each
// opens, shows what it could read and says what it could not, and never
// crashes. A picture whose header claims 32767 x 32767 pixels is damaged and
// drawn as absent; one of the largest size a game picture may have is drawn
// by the picture boxes without holding the whole rectangle.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "../core/damaged_files_support.h"
#include "app/zdat_sites.h"
#include "instruction_test_support.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/battle/battlefield_window.h"
#include "ui/patcher/zdat_patcher_window.h"
#include "ui/picture_box.h"

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

// Runs `open` once for every damage of `file` in `dir` that applies, with the
// damaged file in place; the file is put back afterwards.
template <class Open>
void ForEachDamage(const fs::path& dir, const std::string& file, Open open) {
  const Bytes original = ReadBytes(dir / file);
  for (const tavrel::testing::Damage& damage : tavrel::testing::Damages()) {
    if (damage.indexOnly && !tavrel::testing::IsIndexFile(file)) continue;
    const std::optional<Bytes> damaged = damage.apply(original);
    std::error_code ec;
    fs::remove(dir / file, ec);
    if (damaged) WriteBytes(dir / file, *damaged);
    open(QString::fromStdString(file + ": " + damage.name));
    WriteBytes(dir / file, original);
  }
}

}  // namespace

class DamagedWindows : public QObject {
  Q_OBJECT

 private slots:
  void battleEditorOpensOnADamagedBattleFile() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const fs::path dir = game.dir.toStdString();
    ForEachDamage(dir, "war.sta", [&](const QString& what) {
      prompt.Clear();
      BattleEditorWindow editor(game.state);
      editor.show();
      const size_t size = fs::exists(dir / "war.sta") ? fs::file_size(dir / "war.sta") : 0;
      auto* battles = editor.findChild<QComboBox*>("Combowar");
      QVERIFY2(battles, qPrintable(what));
      QCOMPARE(size_t(battles->count()), size / kBattleRecordSize);
      QCOMPARE(game.state.battles.size(), size / kBattleRecordSize);
      // A file that is no whole number of records is said to be so.
      if (size % kBattleRecordSize != 0) QVERIFY2(!prompt.asked().empty(), qPrintable(what));
      for (int k = 0; k < battles->count(); ++k) battles->setCurrentIndex(k);
    });
  }

  void battlefieldViewOpensOnDamagedMapsAndTiles() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const fs::path dir = game.dir.toStdString();
    // The view shows a battle of the battle editor's list.
    Result<WarStaContents> read = ReadWarSta(dir, game.state.text());
    QVERIFY(read && !read->battles.empty());
    game.state.battles = read->battles;
    for (const std::string file : {"warfld.idx", "warfld.grp", "wdx", "wmp"}) {
      ForEachDamage(dir, file, [&](const QString& what) {
        BattlefieldWindow view(game.state, 0, "2");
        view.show();
        view.draw();
        auto* x = view.findChild<QLineEdit*>("txtX");
        if (x) {
          x->setText("63");
          view.draw();
          x->setText("0");
          view.draw();
        }
        if (what.endsWith("missing") || what.endsWith("empty")) QVERIFY2(!view.problems().isEmpty(), qPrintable(what));
      });
    }
    // Tiles whose first picture claims the largest size there is.
    WriteBytes(dir / "wmp", tavrel::testing::WithHugeFirstPicture(ReadBytes(dir / "wmp")));
    BattlefieldWindow view(game.state, 0, "2");
    view.show();
    view.draw();
    // It is damaged, drawn as absent, and the view says which tile of which file.
    QVERIFY2(view.problems().contains("wmp"), qPrintable(view.problems()));
  }

  void patcherOpensOnDamagedProgramData() {
    SampleGame game(GameCharset::Big5);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const fs::path dir = game.dir.toStdString();
    const Bytes before = ReadBytes(dir / "z.dat");
    ForEachDamage(dir, "z.dat", [&](const QString& /*damage*/) {
      prompt.Clear();
      ZdatPatcherWindow patcher(game.state);
      patcher.show();
      // A z.dat short of its sites: the patcher says so on opening.
      const size_t size = fs::exists(dir / "z.dat") ? fs::file_size(dir / "z.dat") : 0;
      QCOMPARE(prompt.asked().empty(), size >= zdat::HighestSiteEnd());
      if (!prompt.asked().empty())
        QVERIFY2(prompt.asked().front().text.contains("z.dat"), qPrintable(prompt.asked().front().text));
    });
    QCOMPARE(ReadBytes(dir / "z.dat"), before);
  }

  void sceneDialogsOpenOnDamagedSceneTiles() {
    SampleEditor sample;
    const std::string failed = sample.Start();
    QVERIFY2(failed.empty(), failed.c_str());
    ScriptedPrompt prompt;
    const auto where = sample.Find(17);
    const fs::path dir = sample.gameDir;
    auto exercise = [&](const QString& what) {
      auto dialog = sample.Open("frmStatement_0x11", where);
      QVERIFY2(dialog, qPrintable(what));
      dialog->show();
      dialog->findChild<QComboBox*>("Combomanual")->setCurrentIndex(7);
      for (const char* number : {"0", "1", "12", "-3", "32767"})
        dialog->findChild<QLineEdit*>("txtPicnum")->setText(number);
      auto* scroll = dialog->findChild<QScrollBar*>("VScroll1");
      scroll->setValue(scroll->maximum());
      scroll->setValue(0);
    };
    for (const std::string file : {"sdx", "smp"}) ForEachDamage(dir, file, exercise);
    WriteBytes(dir / "smp", tavrel::testing::WithHugeFirstPicture(ReadBytes(dir / "smp")));
    exercise("smp: huge first picture");
    // The dialog names the damaged tile's file below the files it uses.
    auto dialog = sample.Open("frmStatement_0x11", where);
    QVERIFY(dialog);
    dialog->findChild<QComboBox*>("Combomanual")->setCurrentIndex(7);
    const QString files = dialog->findChild<QLabel*>("lblTileFiles")->text();
    QVERIFY2(files.count("smp") == 2, qPrintable(files));
  }

  void pictureBoxDrawsOnlyTheVisiblePartOfAHugePicture() {
    // As wide and high as a game picture may be (1280 × 800, with a byte for every row).
    RlePicture huge;
    huge.absent = 0;
    huge.width = 1280;
    huge.height = 800;
    huge.xOffset = 20;
    huge.yOffset = 10;
    // Row 0: one run of three pixels from column 0; row 1: skip 2, two pixels.
    huge.data = {5, 0, 3, 1, 2, 3, 4, 2, 2, 4, 5};
    huge.data.resize(huge.data.size() + 798, 0);
    Palette palette{};
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = 0x010101u * uint32_t(i) | 0x400000u;
    ExpandPictureRows(huge, palette);
    PictureBox box;
    box.resize(60, 40);
    box.show();
    box.clear();
    box.drawPicture(huge, 25, 12);  // top-left corner at (5, 2)
    const QImage& image = box.image();
    QCOMPARE(image.size(), QSize(60, 40));
    QCOMPARE(image.pixel(5, 2) & 0xFFFFFFu, palette[1]);
    QCOMPARE(image.pixel(7, 2) & 0xFFFFFFu, palette[3]);
    QCOMPARE(image.pixel(7, 3) & 0xFFFFFFu, palette[4]);
    QCOMPARE(image.pixel(8, 3) & 0xFFFFFFu, palette[5]);
    // The rest of the rectangle inside the box is black; outside it, untouched black too.
    QCOMPARE(image.pixel(50, 30) & 0xFFFFFFu, 0u);
    QCOMPARE(image.pixel(4, 2) & 0xFFFFFFu, 0u);
    // Partly off the box to the left and top.
    box.clear();
    box.drawPicture(huge, 19, 10);  // corner at (-1, 0)
    QCOMPARE(box.image().pixel(0, 0) & 0xFFFFFFu, palette[2]);
    QCOMPARE(box.image().pixel(1, 1) & 0xFFFFFFu, palette[4]);
    QCOMPARE(box.image().pixel(2, 1) & 0xFFFFFFu, palette[5]);
    // A header claiming more than a game picture can be draws nothing.
    RlePicture impossible = huge;
    impossible.width = 32767;
    impossible.height = 32767;
    ExpandPictureRows(impossible, palette);
    box.clear();
    box.drawPicture(impossible, 25, 12);
    QCOMPARE(box.image().pixel(5, 2) & 0xFFFFFFu, 0u);
    QCOMPARE(box.image().pixel(7, 3) & 0xFFFFFFu, 0u);
  }
};

QTEST_MAIN(DamagedWindows)
#include "damaged_windows_test.moc"
