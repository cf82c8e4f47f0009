// The main window on the sample game at scale 100 with one more event of
// 100,000 instructions: reading the game, choosing the longest ordinary event
// and choosing the long event. Every list must hold exactly the lines a fresh
// decoding gives. The times are printed on lines "time: WHAT: N ms (...)",
// which bench/run collects as the editor's figures; no time is judged here.
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QtTest>
#include <memory>

#include "sample/sample_parts.h"
#include "script/encode.h"
#include "script/event_table.h"
#include "support/sample_game.h"
#include "ui/main/main_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;

namespace {

constexpr int kScale = 100;
constexpr int kLongEventInstructions = 100000;

}  // namespace

class MainWindowScaleTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::SampleGame> game_;
  std::unique_ptr<MainWindow> window_;
  int longEvent_ = -1;
  int longestOrdinary_ = -1;

  template <class T>
  T* Find(const char* name) {
    T* found = window_->findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }

  // Chooses the event as the user does and returns the milliseconds until
  // the window has handled everything the choice caused.
  qint64 Choose(int event) {
    QElapsedTimer timer;
    timer.start();
    Find<QComboBox>("Combokdef")->setCurrentIndex(event);
    QCoreApplication::processEvents();
    return timer.elapsed();
  }

  // The instruction list holds one line per statement, each the line a fresh
  // decoding of the event's words gives (label numbers from :Label0, however
  // often the event was chosen before).
  void VerifyLines(int event) {
    KdefEvent fresh;
    fresh.words = game_->state.game.events.events[size_t(event)].words;
    ShowEvent(fresh, game_->state.attributes, game_->state.describeContext());
    QAbstractItemModel* model = Find<QAbstractItemView>("listkdef")->model();
    QCOMPARE(model->rowCount(), int(fresh.statements.size()));
    for (int row = 0; row < model->rowCount(); ++row) {
      const QString shown = model->data(model->index(row, 0)).toString();
      if (shown != Q(fresh.statements[size_t(row)].note))
        QFAIL(qPrintable(QStringLiteral("line %1 of event %2 reads \"%3\", not \"%4\"")
                             .arg(row)
                             .arg(event)
                             .arg(shown, Q(fresh.statements[size_t(row)].note))));
    }
  }

 private slots:
  void initTestCase() {
    game_ = std::make_unique<test::SampleGame>(GameCharset::Gbk, false, kScale);
    QVERIFY2(game_->ok(), qPrintable(game_->error));
    // The long event joins the game's own event files, so the window reads it.
    const std::filesystem::path dir = game_->dir.toStdString();
    Result<EventTable> events = ReadEvents(dir);
    QVERIFY2(events, events ? "" : events.error().c_str());
    sample::SampleOptions options;
    options.scale = kScale;
    options.attributes = &game_->state.attributes;
    KdefEvent long_;
    long_.words = sample::MakeLongEvent(options, kLongEventInstructions);
    events->events.push_back(std::move(long_));
    longEvent_ = int(events->events.size()) - 1;
    QVERIFY(WriteEvents(dir, *events));

    // The longest of the generated events, by words.
    size_t most = 0;
    for (int e = 0; e < longEvent_; ++e)
      if (events->events[size_t(e)].words.size() > most)
        most = events->events[size_t(e)].words.size(), longestOrdinary_ = e;
  }

  void readingFillsTheEventSelector() {
    window_ = std::make_unique<MainWindow>(game_->state);
    window_->resize(960, 640);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->setGameDirectory(game_->dir);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(window_->readFiles());
    QCoreApplication::processEvents();
    qInfo("time: reading the directory: %lld ms (scale %d, %d events, %d dialogues)", timer.elapsed(), kScale,
          game_->state.eventCount(), game_->state.talkCount());
    auto* selector = Find<QComboBox>("Combokdef");
    QCOMPARE(selector->count(), game_->state.eventCount());
    QCOMPARE(selector->count(), longEvent_ + 1);
    QCOMPARE(selector->itemText(longEvent_), QString::number(longEvent_));
  }

  void choosingTheLongestEventShowsItsLines() {
    QVERIFY(window_);
    const qint64 ms = Choose(longestOrdinary_);
    qInfo("time: choosing the longest event: %lld ms (event %d, %d words, %zu lines)", ms, longestOrdinary_,
          game_->state.game.events.events[size_t(longestOrdinary_)].wordCount(),
          game_->state.game.events.events[size_t(longestOrdinary_)].statements.size());
    VerifyLines(longestOrdinary_);
  }

  void choosingAnEventOf100000InstructionsShowsItsLines() {
    QVERIFY(window_);
    const qint64 ms = Choose(longEvent_);
    const KdefEvent& event = game_->state.game.events.events[size_t(longEvent_)];
    qInfo("time: choosing an event of %d instructions: %lld ms (event %d, %d words, %zu lines)", kLongEventInstructions,
          ms, longEvent_, event.wordCount(), event.statements.size());
    int instructions = 0;
    for (const Statement& s : event.statements) instructions += !s.islabel;
    QVERIFY(instructions >= kLongEventInstructions);
    VerifyLines(longEvent_);
    // Choosing an ordinary event afterwards empties the long list again.
    Choose(0);
    VerifyLines(0);
  }

  void cleanupTestCase() { window_.reset(); }
};

QTEST_MAIN(MainWindowScaleTest)
#include "main_window_scale_test.moc"
