// The game-directory window: the path field follows the tree, and a typed or
// pasted path is taken by OK or Enter when it names a directory.
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "support/controls.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/qt_text.h"
#include "ui/shell/game_path_window.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(QDir::cleanPath(path)); }

}  // namespace

class GamePathWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void theFieldShowsTheDirectoryTheTreeHasOpen() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    GamePathWindow window(game.state);
    auto* field = Find<QLineEdit>(window, "txtPath");
    QCOMPARE(field->text(), Native(game.dir));  // the directory set before
    QVERIFY(!field->placeholderText().isEmpty());

    QDir(game.scratch.path()).mkdir("other");
    auto* tree = Find<QTreeView>(window, "Dir1");
    auto* model = tree->model();
    const QModelIndex other = qobject_cast<QFileSystemModel*>(model)->index(game.scratch.path() + "/other");
    QVERIFY(other.isValid());
    tree->setCurrentIndex(other);
    QCOMPARE(field->text(), Native(game.scratch.path() + "/other"));
    QTest::mouseClick(Find<QPushButton>(window, "OKButton"), Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(Q(game.state.gameDirectory), Native(game.scratch.path() + "/other"));
    QVERIFY(prompt.asked().empty());
  }

  void aTypedPathIsTakenByOkAndByEnter() {
    QTemporaryDir scratch;
    QDir(scratch.path()).mkpath("games/one");
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    {
      GamePathWindow window(game.state);
      auto* field = Find<QLineEdit>(window, "txtPath");
      field->clear();
      // Pasted with quotes and a trailing separator, as file managers copy paths.
      QTest::keyClicks(field, "\"" + QDir::toNativeSeparators(scratch.path() + "/games/one/") + "\"");
      QTest::mouseClick(Find<QPushButton>(window, "OKButton"), Qt::LeftButton);
      QCOMPARE(window.result(), int(QDialog::Accepted));
      QCOMPARE(Q(game.state.gameDirectory), Native(scratch.path() + "/games/one"));
    }
    {
      GamePathWindow window(game.state);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      auto* field = Find<QLineEdit>(window, "txtPath");
      QCOMPARE(field->text(), Native(scratch.path() + "/games/one"));
      field->setText(scratch.path() + "/games");
      QTest::keyClick(field, Qt::Key_Return);
      QCOMPARE(window.result(), int(QDialog::Accepted));
      QCOMPARE(Q(game.state.gameDirectory), Native(scratch.path() + "/games"));
    }
    QVERIFY(prompt.asked().empty());
  }

  void aPathThatIsNoDirectoryIsNamedAndTheWindowStays() {
    QTemporaryDir scratch;
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    ScriptedPrompt prompt;
    GamePathWindow window(game.state);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* field = Find<QLineEdit>(window, "txtPath");
    for (const QString& wrong : {scratch.path() + "/missing", game.path("kdef.grp")}) {
      prompt.Clear();
      field->setText(wrong);
      QTest::mouseClick(Find<QPushButton>(window, "OKButton"), Qt::LeftButton);
      QCOMPARE(prompt.asked().size(), size_t(1));
      QCOMPARE(prompt.asked()[0].text, UiFormat(game.state, Str::GamePathNotFound, wrong));
      QVERIFY(window.isVisible());
      QVERIFY(game.state.gameDirectory.empty());
    }
  }
};

QTEST_MAIN(GamePathWindowTest)
#include "game_path_window_test.moc"
