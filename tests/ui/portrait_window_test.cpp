// The portrait window driven offscreen on the sample game: the grid, the
// preview before a replacement (OK and Cancel), adding, exporting, undo, the
// save, and the other windows showing a replaced portrait.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/picture_sets.h"
#include "app/portrait_replace.h"
#include "gamefiles/pictures.h"
#include "gamefiles/png_file.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/picture_box.h"
#include "ui/pictures/portrait_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;
using tavrel::ui::test::SampleGame;
using tavrel::ui::test::ScriptedPrompt;

namespace {

// Sample palette entries: 63 is red's brightest (63, 20, 16) × 4, 1 grey shade 1 (4, 4, 4) × 4.
constexpr uint8_t kBrightRed = 63;
constexpr uint8_t kGreyOne = 1;
constexpr uint32_t kBrightRedRgb = 0xFC5040;

template <class T>
T* Find(QObject& w, const char* name) {
  T* found = w.findChild<T*>(QLatin1String(name));
  if (!found) qFatal("no control %s", name);
  return found;
}

// A 3 × 2 RGB picture: exact bright red, a red a little off, grey 1.
QString WriteTestPng(const QString& path) {
  PixelArea area(3, 2, 0x101010);
  area.pixels[0] = kBrightRedRgb;
  area.pixels[1] = 0xFA5142;
  Result<Bytes> png = EncodePng(area);
  if (!png || !WriteFileAtomic(path.toStdString(), *png, false)) qFatal("cannot write %s", qPrintable(path));
  return path;
}

const std::vector<uint8_t> kMapped = {kBrightRed, kBrightRed, kGreyOne, kGreyOne, kGreyOne, kGreyOne};

// Runs `inside` on the preview once it is shown modally, then presses `button`.
void OnPreview(const std::function<void(PortraitPreview&)>& inside, const char* button, bool* seen) {
  QTimer::singleShot(0, [=] {
    auto* preview = qobject_cast<PortraitPreview*>(QApplication::activeModalWidget());
    if (preview == nullptr) {
      qWarning("no preview shown");
      return;
    }
    *seen = true;
    inside(*preview);
    Find<QPushButton>(*preview, button)->click();
  });
}

}  // namespace

class PortraitWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void gridShowsEveryPortraitWithItsNumberAndWearers() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    PortraitWindow w(game.state);
    QCOMPARE(w.objectName(), QStringLiteral("frmPortraits"));
    auto* grid = Find<QListWidget>(w, "portraitGrid");
    QCOMPARE(grid->count(), int(game.state.game.portraits.size()));
    QVERIFY(grid->item(3)->text().startsWith(QStringLiteral("3 号")));
    // The sample leaves portrait 22 empty.
    QVERIFY(grid->item(22)->text().startsWith(QStringLiteral("22 号（空）")));
    QVERIFY(!grid->item(3)->icon().isNull());
    int worn = -1;
    for (size_t p = 0; p < game.state.game.portraitUsers.size() && worn < 0; ++p)
      if (!game.state.game.portraitUsers[p].empty()) worn = int(p);
    QVERIFY(worn >= 0);
    w.choose(worn);
    const QString name = Q(PortraitUserLines(game.state, worn).front());
    QVERIFY2(Find<QLabel>(w, "portraitUsers")->text().contains(name), qPrintable(name));
    w.choose(22);
    QVERIFY(!Find<QPushButton>(w, "exportPortrait")->isEnabled());
  }

  void replacementShowsThePreviewAndIsAnUndoableStep() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    const RlePicture before = state.game.portraits[4];
    PortraitWindow w(state);
    w.choose(4);
    prompt.QueuePath(WriteTestPng(game.path("new.png")));
    bool seen = false;
    QString mappedText;
    QRgb afterPixel = 0;
    OnPreview(
        [&](PortraitPreview& preview) {
          mappedText = Find<QLabel>(preview, "previewMapped")->text();
          afterPixel = Find<PictureBox>(preview, "previewAfter")->image().pixel(0, 0);
        },
        "previewOk", &seen);
    Find<QPushButton>(w, "replacePortrait")->click();
    QVERIFY(seen);
    QVERIFY2(mappedText.contains(QStringLiteral("1 个像素")), qPrintable(mappedText));
    QCOMPARE(afterPixel & 0xFFFFFF, kBrightRedRgb);

    const IndexedPicture now = DecodePictureIndices(state.game.portraits[4]);
    QCOMPARE(now.width, 3);
    QCOMPARE(now.indices, kMapped);
    // A PNG without offsets keeps the portrait's own.
    QCOMPARE(state.game.portraits[4].yOffset, before.yOffset);
    QVERIFY(state.modified);
    QCOMPARE(state.history.UndoCaption(), int(Str::StepChangePortraitPicture));

    // The speaker replacement window shows the new picture without reading again.
    {
      PortraitReplaceWindow other(state);
      Find<QComboBox>(other, "Combotalkman")->setCurrentIndex(4);
      const QImage& shown = Find<PictureBox>(other, "pic1")->image();
      // Drawn with its top left at (0, box height - y offset).
      QCOMPARE(shown.pixel(0, shown.height() - before.yOffset) & 0xFFFFFF, kBrightRedRgb);
    }

    QVERIFY(state.history.Undo(state));
    QCOMPARE(state.game.portraits[4].data, before.data);
    QVERIFY(!state.modified);
    QVERIFY(state.history.Redo(state));
    QCOMPARE(DecodePictureIndices(state.game.portraits[4]).indices, kMapped);

    // The save writes hdgrp; reading again shows the new portrait.
    QVERIFY(SaveGameFiles(state));
    QVERIFY(QFile::exists(game.path("hdgrp.grp.bak")));
    QVERIFY(ReadGameFiles(state));
    QCOMPARE(DecodePictureIndices(state.game.portraits[4]).indices, kMapped);
  }

  void anEditedExportChangesOnlyThePaintedPixels() {
    // Portrait 5 exported, saved again as RGBA by an image editor with a 3 × 3
    // square painted bright red: its blacks (palette index 0 and the second
    // black entry) and every other pixel keep their indices, and no other
    // portrait changes.
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    const PictureSet before = state.game.portraits;
    const IndexedPicture old = DecodePictureIndices(before[5]);
    Result<Bytes> exported = PictureToPng(before[5], state.game.palette);
    QVERIFY(exported);
    PngReadFailure failure;
    Result<PngImage> image = DecodePng(*exported, failure);
    QVERIFY(image);
    for (int y = 40; y < 43; ++y)
      for (int x = 10; x < 13; ++x) {
        uint8_t* p = &image->rgba[(size_t(y) * 48 + size_t(x)) * 4];
        p[0] = 0xFC, p[1] = 0x50, p[2] = 0x40, p[3] = 255;
      }
    Result<Bytes> edited = EncodeRgbaPng(image->width, image->height, image->rgba, image->texts);
    QVERIFY(edited);
    QVERIFY(WriteFileAtomic(game.path("edited.png").toStdString(), *edited, false));

    PortraitWindow w(state);
    w.choose(5);
    prompt.QueuePath(game.path("edited.png"));
    bool seen = false;
    QString mappedText;
    OnPreview([&](PortraitPreview& preview) { mappedText = Find<QLabel>(preview, "previewMapped")->text(); },
              "previewOk", &seen);
    Find<QPushButton>(w, "replacePortrait")->click();
    QVERIFY(seen);
    QCOMPARE(mappedText, Ui(state, Str::PortraitPreviewExact));
    const IndexedPicture now = DecodePictureIndices(state.game.portraits[5]);
    QCOMPARE(now.width, old.width);
    QCOMPARE(now.height, old.height);
    int changed = 0, blacks = 0;
    for (int y = 0; y < old.height; ++y)
      for (int x = 0; x < old.width; ++x) {
        const size_t k = old.at(x, y);
        const bool painted = x >= 10 && x < 13 && y >= 40 && y < 43;
        if (painted) {
          QCOMPARE(int(now.indices[k]), int(kBrightRed));
          continue;
        }
        QCOMPARE(now.visible[k], old.visible[k]);
        if (now.indices[k] != old.indices[k]) ++changed;
        if (old.visible[k] && (old.indices[k] == 0 || old.indices[k] == 32)) ++blacks;
      }
    QCOMPARE(changed, 0);
    QVERIFY(blacks > 0);
    for (size_t k = 0; k < before.size(); ++k)
      if (k != 5) QVERIFY2(SamePictureBytes(state.game.portraits[k], before[k]), qPrintable(QString::number(k)));

    // The export chosen again unedited: nothing to replace, no step, no change.
    QVERIFY(state.history.Undo(state));
    QVERIFY(!state.modified);
    QVERIFY(WriteFileAtomic(game.path("same.png").toStdString(), *exported, false));
    prompt.QueuePath(game.path("same.png"));
    seen = false;
    OnPreview([](PortraitPreview&) {}, "previewOk", &seen);
    Find<QPushButton>(w, "replacePortrait")->click();
    QVERIFY(seen);
    QVERIFY(!state.modified);
    QVERIFY(SamePictureBytes(state.game.portraits[5], before[5]));
  }

  void aReplacedPortraitChangesNoPixelOfAnyOther() {
    // Portrait 7 exported from the window and chosen as portrait 5's
    // replacement: both draw black with palette index 0 and with its duplicate
    // entry 32. After the save and a fresh read, portrait 5 holds portrait 7's
    // indices and every other portrait is pixel for pixel what the files held
    // before, in the decoded picture and in the window's grid, and byte for byte.
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    Result<Bytes> idxBefore = ReadWholeFile(game.path("hdgrp.idx").toStdString());
    Result<Bytes> grpBefore = ReadWholeFile(game.path("hdgrp.grp").toStdString());
    QVERIFY(idxBefore && grpBefore);
    const PictureSet before = ParsePictureSet(*idxBefore, *grpBefore, state.game.palette);
    QCOMPARE(before.size(), state.game.portraits.size());
    const IndexedPicture seven = DecodePictureIndices(before[7]);
    bool zero = false, duplicate = false;
    for (size_t i = 0; i < seven.indices.size(); ++i) {
      zero = zero || (seven.visible[i] && seven.indices[i] == 0);
      duplicate = duplicate || (seven.visible[i] && seven.indices[i] == 32);
    }
    QVERIFY(zero && duplicate);

    auto icons = [](PortraitWindow& w) {
      std::vector<QImage> out;
      auto* grid = Find<QListWidget>(w, "portraitGrid");
      for (int k = 0; k < grid->count(); ++k) out.push_back(grid->item(k)->icon().pixmap(grid->iconSize()).toImage());
      return out;
    };
    std::vector<QImage> iconsBefore;
    {
      PortraitWindow w(state);
      iconsBefore = icons(w);
      w.choose(7);
      prompt.QueuePath(game.path("seven.png"));
      Find<QPushButton>(w, "exportPortrait")->click();
      QVERIFY(QFile::exists(game.path("seven.png")));
      w.choose(5);
      prompt.QueuePath(game.path("seven.png"));
      bool seen = false;
      OnPreview([](PortraitPreview&) {}, "previewOk", &seen);
      Find<QPushButton>(w, "replacePortrait")->click();
      QVERIFY(seen);
      QVERIFY(state.modified);
    }
    QVERIFY(SaveGameFiles(state));
    QVERIFY(ReadGameFiles(state));
    QCOMPARE(state.game.portraits.size(), before.size());
    const IndexedPicture five = DecodePictureIndices(state.game.portraits[5]);
    QCOMPARE(five.width, seven.width);
    QCOMPARE(five.height, seven.height);
    QCOMPARE(five.indices, seven.indices);
    QCOMPARE(five.visible, seven.visible);
    PortraitWindow again(state);
    const std::vector<QImage> iconsAfter = icons(again);
    QCOMPARE(iconsAfter.size(), iconsBefore.size());
    for (size_t k = 0; k < before.size(); ++k) {
      if (k == 5) continue;
      const IndexedPicture was = DecodePictureIndices(before[k]);
      const IndexedPicture is = DecodePictureIndices(state.game.portraits[k]);
      QVERIFY2(is.width == was.width && is.height == was.height, qPrintable(QString::number(k)));
      QVERIFY2(is.indices == was.indices, qPrintable(QString::number(k)));
      QVERIFY2(is.visible == was.visible, qPrintable(QString::number(k)));
      QVERIFY2(iconsAfter[k] == iconsBefore[k], qPrintable(QString::number(k)));
      QVERIFY2(SamePictureBytes(state.game.portraits[k], before[k]), qPrintable(QString::number(k)));
    }
    QVERIFY(iconsAfter[5] != iconsBefore[5]);
  }

  void cancellingThePreviewChangesNothing() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    const PictureSet before = game.state.game.portraits;
    PortraitWindow w(game.state);
    w.choose(2);
    prompt.QueuePath(WriteTestPng(game.path("new.png")));
    bool seen = false;
    OnPreview([](PortraitPreview&) {}, "previewCancel", &seen);
    Find<QPushButton>(w, "replacePortrait")->click();
    QVERIFY(seen);
    QCOMPARE(game.state.game.portraits[2].data, before[2].data);
    QCOMPARE(game.state.history.size(), size_t(0));
    QVERIFY(!game.state.modified);
    // A save without portrait changes leaves hdgrp alone.
    QVERIFY(SaveGameFiles(game.state));
    QVERIFY(!QFile::exists(game.path("hdgrp.grp.bak")));
  }

  void aDamagedPngIsReportedByName() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    QFile bad(game.path("bad.png"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("\x89PNG\r\n\x1a\nnot really");
    bad.close();
    PortraitWindow w(game.state);
    w.choose(1);
    prompt.QueuePath(game.path("bad.png"));
    Find<QPushButton>(w, "replacePortrait")->click();
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(prompt.asked()[0].text.contains(QStringLiteral("bad.png")));
    QCOMPARE(game.state.history.size(), size_t(0));
  }

  void addingAppendsAPortraitWithTheOffsetsBeforeIt() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    EditorState& state = game.state;
    const size_t count = state.game.portraits.size();
    PortraitWindow w(state);
    prompt.QueuePath(WriteTestPng(game.path("new.png")));
    bool seen = false;
    bool beforeEmpty = false;
    OnPreview(
        [&](PortraitPreview& preview) {
          const QImage& image = Find<PictureBox>(preview, "previewBefore")->image();
          beforeEmpty = (image.pixel(0, 0) & 0xFFFFFF) == 0;
        },
        "previewOk", &seen);
    Find<QPushButton>(w, "addPortrait")->click();
    QVERIFY(seen);
    QVERIFY(beforeEmpty);
    QCOMPARE(state.game.portraits.size(), count + 1);
    QCOMPARE(state.game.portraitUsers.size(), count + 1);
    QCOMPARE(Find<QListWidget>(w, "portraitGrid")->count(), int(count + 1));
    QCOMPARE(w.chosen(), int(count));
    // Sample portraits hang from their bottom left corner (0, 56).
    QCOMPARE(state.game.portraits[count].xOffset, int16_t(0));
    QCOMPARE(state.game.portraits[count].yOffset, int16_t(56));
    QCOMPARE(state.history.UndoCaption(), int(Str::StepAddPortraitPicture));
    QVERIFY(state.history.Undo(state));
    QCOMPARE(state.game.portraits.size(), count);
    QCOMPARE(state.game.portraitUsers.size(), count);
  }

  void exportWritesOneOrAll() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    PortraitWindow w(game.state);
    w.choose(3);
    prompt.QueuePath(game.path("three.png"));
    Find<QPushButton>(w, "exportPortrait")->click();
    Result<Bytes> bytes = ReadWholeFile(game.path("three.png").toStdString());
    QVERIFY(bytes);
    PngReadFailure failure;
    Result<PngImage> png = DecodePng(*bytes, failure);
    QVERIFY(png);
    PaletteMatcher matcher(game.state.game.palette);
    const MappedPicture back = MapPngToPalette(*png, matcher);
    QCOMPARE(back.picture.indices, DecodePictureIndices(game.state.game.portraits[3]).indices);
    QCOMPARE(back.picture.visible, DecodePictureIndices(game.state.game.portraits[3]).visible);

    prompt.QueuePath(game.path("all"));
    Find<QPushButton>(w, "exportAllPortraits")->click();
    QVERIFY(QFile::exists(game.path("all/pictures.txt")));
    QVERIFY(QFile::exists(game.path("all/0000.png")));
    QVERIFY(prompt.asked().back().text.contains(game.path("all")));
    // Cancelling the folder question writes nothing.
    Find<QPushButton>(w, "exportAllPortraits")->click();
    QVERIFY(!QFile::exists(game.path("pictures.txt")));
  }

  // The PNG file questions say what they ask for and show PNG files only.
  void pngFileQuestionsHaveATitleAndAFilter() {
    SampleGame game;
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    PortraitWindow w(game.state);
    w.choose(3);
    const QString filter = Q(game.state.text().UiString(Str::PngFileFilter));
    QVERIFY(filter.contains("*.png"));
    const std::pair<const char*, PathKind> buttons[] = {{"replacePortrait", PathKind::OpenFile},
                                                        {"addPortrait", PathKind::OpenFile},
                                                        {"exportPortrait", PathKind::SaveFile}};
    for (const auto& [button, kind] : buttons) {
      Find<QPushButton>(w, button)->click();  // cancelled: nothing happens
      QVERIFY2(!prompt.pathsAsked().empty(), button);
      const auto& asked = prompt.pathsAsked().back();
      QCOMPARE(asked.kind, kind);
      QCOMPARE(asked.filter, filter);
      QCOMPARE(asked.title,
               Q(game.state.text().UiString(kind == PathKind::OpenFile ? Str::ChoosePngFile : Str::SavePngFile)));
    }
    QCOMPARE(prompt.pathsAsked().size(), size_t(3));
  }
};

QTEST_MAIN(PortraitWindowTest)
#include "portrait_window_test.moc"
