// The speaker portrait replacement driven offscreen on the sample game:
// both sides follow their lists, Comok counts, asks and replaces.
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/portrait_replace.h"
#include "sample/sample_parts.h"
#include "support/scripted_prompt.h"
#include "ui/main/portrait_replace_window.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;

class ReplaceTalkTest : public QObject {
  Q_OBJECT

 private:
  EditorState state_;
  QTemporaryDir scratch_;

  template <class T>
  T* Find(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  std::vector<std::vector<int16_t>> Words() const {
    std::vector<std::vector<int16_t>> words;
    for (const KdefEvent& e : state_.game.events.events) words.push_back(e.words);
    return words;
  }
  // A portrait worn by somebody and present in the set.
  int WornPortrait() const {
    for (size_t p = 0; p < state_.game.portraitUsers.size(); ++p)
      if (!state_.game.portraitUsers[p].empty() && p < state_.game.portraits.size() &&
          state_.game.portraits[p].absent == 0)
        return int(p);
    return -1;
  }
  // Whether the box holds a pixel that is not black.
  static bool HasPicture(const PictureBox* box) {
    const QImage& image = box->image();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if ((image.pixel(x, y) & 0xFFFFFF) != 0) return true;
    return false;
  }

 private slots:
  void initTestCase() {
    state_.programDir = TAVREL_BIN_DIR;
    QVERIFY(InitializeEditor(state_, GameCharset::Gbk));
    const std::filesystem::path game = std::filesystem::path(scratch_.path().toStdString()) / "game";
    sample::SampleOptions options;
    options.attributes = &state_.attributes;
    QVERIFY(sample::WriteSampleGame(game, options));
    state_.gameDirectory = game.string();
    QVERIFY(ReadGameFiles(state_));
  }

  void opensWithNothingChosen() {
    PortraitReplaceWindow w(state_);
    QCOMPARE(w.objectName(), QStringLiteral("frmReplacetalk1"));
    QCOMPARE(w.windowTitle(), Ui(state_, Str::ReplacePortraitsTitle));
    for (const char* name : {"Combotalkman", "Combotalkman2"}) {
      auto* list = Find<QComboBox>(w, name);
      QCOMPARE(list->count(), int(state_.game.portraits.size()));
      QCOMPARE(list->currentIndex(), -1);
      QCOMPARE(list->itemText(3), QStringLiteral("3"));
    }
    QCOMPARE(Find<QPushButton>(w, "Comok")->text(), Ui(state_, Str::Ok));
  }

  void eachSideFollowsItsList() {
    const int p = WornPortrait();
    QVERIFY(p >= 0);
    PortraitReplaceWindow w(state_);
    w.show();
    auto* list = Find<QComboBox>(w, "Combotalkman");
    auto* picture = Find<PictureBox>(w, "pic1");
    auto* users = Find<QListWidget>(w, "Listperson");
    list->setCurrentIndex(p);
    QVERIFY(HasPicture(picture));
    const auto expected = PortraitUserLines(state_, p);
    QCOMPARE(users->count(), int(expected.size()));
    QCOMPARE(users->item(0)->text(), Q(expected[0]));
    // The portrait's anchor sits at the box's bottom-left corner: every pixel
    // of the rendered picture lands at (x - xOffset, height - yOffset + y).
    const RlePicture& portrait = state_.game.portraits[size_t(p)];
    const PixelArea area = RenderPictureOpaque(portrait);
    const int left = -portrait.xOffset, top = picture->height() - portrait.yOffset;
    int compared = 0;
    for (int y = 0; y < area.height; ++y)
      for (int x = 0; x < area.width; ++x) {
        const int bx = left + x, by = top + y;
        if (bx < 0 || by < 0 || bx >= picture->image().width() || by >= picture->image().height()) continue;
        QCOMPARE(picture->image().pixel(bx, by) & 0xFFFFFFu, area.at(x, y) & 0xFFFFFFu);
        ++compared;
      }
    QVERIFY(compared > 0);
    // The keyboard moves the choice; the other side stays as it was.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), p + 1);
    QCOMPARE(users->count(), int(PortraitUserLines(state_, p + 1).size()));
    QVERIFY(!HasPicture(Find<PictureBox>(w, "Pic2")));
    QCOMPARE(Find<QListWidget>(w, "Listperson2")->count(), 0);
  }

  void comokCountsAsksAndReplaces() {
    const std::vector<std::vector<int16_t>> before = Words();
    // The portrait used most by the sample's dialogues, and the one used least.
    int from = -1, count = 0, unused = -1, unusedCount = INT32_MAX;
    for (int p = 0; p < int(state_.game.portraits.size()); ++p) {
      const int c = CountPortraitUses(state_, p).dialogues;
      if (c > count) from = p, count = c;
      if (c < unusedCount) unused = p, unusedCount = c;
    }
    QVERIFY(from >= 0 && unused >= 0 && from != unused);
    PortraitReplaceWindow w(state_);
    test::ScriptedPrompt prompt;
    // No choice on the new side: Comok does nothing.
    Find<QComboBox>(w, "Combotalkman")->setCurrentIndex(from);
    QTest::mouseClick(Find<QPushButton>(w, "Comok"), Qt::LeftButton);
    QVERIFY(prompt.asked().empty());

    Find<QComboBox>(w, "Combotalkman2")->setCurrentIndex(unused);
    prompt.Queue(Answer::No);
    QTest::mouseClick(Find<QPushButton>(w, "Comok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QCOMPARE(prompt.asked()[0].text,
             Ui(state_, Str::TalksFound) + QString::number(count) + Ui(state_, Str::ModifyQuestionSuffix));
    QCOMPARE(prompt.asked()[0].buttons, Buttons::YesNo);
    QVERIFY(Words() == before);

    QTest::mouseClick(Find<QPushButton>(w, "Comok"), Qt::LeftButton);  // Yes
    QCOMPARE(prompt.asked().size(), size_t(2));
    QCOMPARE(w.result(), 0);  // the window was not closed
    QCOMPARE(CountPortraitUses(state_, from).dialogues, 0);
    QCOMPARE(CountPortraitUses(state_, unused).dialogues, count + unusedCount);
    QVERIFY(state_.modified);
  }
};

QTEST_MAIN(ReplaceTalkTest)
#include "portrait_replace_window_test.moc"
