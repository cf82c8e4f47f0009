// What the editor remembers between runs, with a settings file in a
// temporary directory: the charset and language of the charset window, the
// recent game directories (a missing one included), the window geometry, a
// damaged file, and the start-up that offers the last game directory.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../shared/unprivileged_user.h"
#include "support/sample_game.h"
#include "support/scripted_prompt.h"
#include "ui/battle/battle_editor_window.h"
#include "ui/main/main_window.h"
#include "ui/settings.h"
#include "ui/shell/select_charset_window.h"
#include "ui/startup.h"

using namespace tavrel;
using namespace tavrel::ui;
using namespace tavrel::ui::test;

class SettingsTest : public QObject {
  Q_OBJECT

  QString file() const { return scratch_->filePath(QStringLiteral("settings.ini")); }
  std::unique_ptr<QTemporaryDir> scratch_;

 private slots:
  void init() {
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
    SetInterfaceLanguage(InterfaceLanguage::Chinese);
  }
  void cleanup() {
    UseSettings(nullptr);
    SetInterfaceLanguage(InterfaceLanguage::Chinese);
  }

  void nothingIsRememberedAtFirst() {
    EditorSettings settings(file());
    QVERIFY(settings.problem().isEmpty());
    QVERIFY(!settings.charset());
    QVERIFY(!settings.language());
    QVERIFY(settings.recentDirectories().isEmpty());
  }

  void charsetAndLanguageAreRemembered() {
    EditorSettings(file()).setStartChoice(GameCharset::Big5, InterfaceLanguage::English);
    EditorSettings again(file());
    QCOMPARE(again.charset(), std::optional<GameCharset>(GameCharset::Big5));
    QCOMPARE(again.language(), std::optional<InterfaceLanguage>(InterfaceLanguage::English));
    again.setStartChoice(GameCharset::Gbk, InterfaceLanguage::Chinese);
    QCOMPARE(EditorSettings(file()).charset(), std::optional<GameCharset>(GameCharset::Gbk));
    QCOMPARE(EditorSettings(file()).language(), std::optional<InterfaceLanguage>(InterfaceLanguage::Chinese));
  }

  // The window opens with the remembered choice, in its language, and Enter
  // confirms it; the language list switches the window's texts at once.
  void charsetWindowStartsWithTheRememberedChoiceAndEnterConfirms() {
    SelectCharsetWindow window(StartChoice{GameCharset::Big5, InterfaceLanguage::English});
    auto* languages = window.findChild<QComboBox*>("cboLanguage");
    QVERIFY(languages);
    QCOMPARE(languages->currentIndex(), 1);
    QCOMPARE(languages->itemText(0), QString::fromUtf8("中文"));
    QCOMPARE(languages->itemText(1), QStringLiteral("English"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Choose charset"));
    QVERIFY(window.findChild<QPushButton*>("Command2")->isDefault());
    QVERIFY(!window.findChild<QPushButton*>("Command1")->isDefault());
    languages->setCurrentIndex(0);
    QCOMPARE(window.windowTitle(), QString::fromUtf8("选择字符集"));
    QCOMPARE(CurrentInterfaceLanguage(), InterfaceLanguage::Chinese);
    languages->setCurrentIndex(1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(window.charset(), GameCharset::Big5);
    QCOMPARE(window.language(), InterfaceLanguage::English);
  }

  void recentDirectoriesNewestFirstAtMostEight() {
    EditorSettings settings(file());
    for (int k = 0; k < 10; ++k) settings.addRecentDirectory(QStringLiteral("/games/%1").arg(k));
    settings.addRecentDirectory(QStringLiteral("/games/5"));
    const QStringList expected{"/games/5", "/games/9", "/games/8", "/games/7",
                               "/games/6", "/games/4", "/games/3", "/games/2"};
    QCOMPARE(settings.recentDirectories(), expected);
    QCOMPARE(EditorSettings(file()).recentDirectories(), expected);
  }

  // File -> recent game directories: the read game directory comes first; a
  // missing one is listed, and says it is missing when chosen.
  void recentMenuReadsAndReportsAMissingDirectory() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    const QString missing = scratch_->filePath(QStringLiteral("gone"));
    auto settings = std::make_unique<EditorSettings>(file());
    settings->addRecentDirectory(missing);
    UseSettings(std::move(settings));
    ScriptedPrompt prompt;
    MainWindow main(game.state);
    auto* recent = main.findChild<QMenu*>("mnu_recent");
    QVERIFY(recent);
    QCOMPARE(recent->actions().size(), 1);
    QCOMPARE(recent->actions().front()->text(), missing);
    recent->actions().front()->trigger();
    QCOMPARE(prompt.asked().size(), size_t(1));
    QCOMPARE(prompt.asked().front().text, QString::fromUtf8("游戏目录 ") + missing + QString::fromUtf8(" 不存在了。"));
    QVERIFY(!game.state.loaded);

    main.setGameDirectory(game.dir);
    QVERIFY(main.readFiles());
    QCOMPARE(Settings()->recentDirectories(), (QStringList{game.dir, missing}));
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions().at(0)->text(), game.dir);
    game.state.loaded = false;
    QVERIFY(main.openRecentDirectory(game.dir));
    QVERIFY(game.state.loaded);
    QCOMPARE(EditorSettings(file()).recentDirectories(), (QStringList{game.dir, missing}));
  }

  void windowGeometryIsRemembered() {
    SampleGame game(GameCharset::Gbk);
    QVERIFY2(game.ok(), qPrintable(game.error));
    UseSettings(std::make_unique<EditorSettings>(file()));
    QSize mainSize, battleSize;
    {
      MainWindow main(game.state);
      main.show();
      QVERIFY(QTest::qWaitForWindowExposed(&main));
      main.resize(main.size() + QSize(37, 23));
      mainSize = main.size();
      main.close();
    }
    {
      BattleEditorWindow editor(game.state);
      editor.show();
      QVERIFY(QTest::qWaitForWindowExposed(&editor));
      editor.resize(editor.size() + QSize(41, 19));
      battleSize = editor.size();
      editor.close();
    }
    UseSettings(std::make_unique<EditorSettings>(file()));  // as the next run reads it
    MainWindow main(game.state);
    QCOMPARE(main.size(), mainSize);
    BattleEditorWindow editor(game.state);
    QCOMPARE(editor.size(), battleSize);
  }

  // A file that cannot be parsed starts the defaults, says so, and is kept
  // aside; the next run finds a clean file and says nothing.
  void damagedFileStartsWithTheDefaultsAndSaysSoOnce() {
    {
      QFile damaged(file());
      QVERIFY(damaged.open(QIODevice::WriteOnly));
      damaged.write("[start\nlanguage=en\ncharset=BIG5\n");
    }
    EditorSettings settings(file());
    QVERIFY(settings.problem().contains(file()));
    QVERIFY(!settings.language());
    QVERIFY(!settings.charset());
    QVERIFY(QFile::exists(file() + QStringLiteral(".damaged")));
    settings.setStartChoice(GameCharset::Gbk, InterfaceLanguage::English);
    EditorSettings next(file());
    QVERIFY(next.problem().isEmpty());
    QCOMPARE(next.language(), std::optional<InterfaceLanguage>(InterfaceLanguage::English));
  }

  // A settings file this user may not read (only an ordinary user can be
  // refused it; as root this runs as `nobody`): the run starts with the
  // defaults, says so, and never writes to the file.
  void unreadableFileStartsWithTheDefaultsAndIsLeftAlone() {
    const QByteArray kept = "[start]\nlanguage=en\ncharset=BIG5\n";
    {
      QFile unreadable(file());
      QVERIFY(unreadable.open(QIODevice::WriteOnly));
      unreadable.write(kept);
    }
    const std::string problem = tavrel::testing::AsUnprivilegedUser(
        {scratch_->path().toStdString()},
        [&] {
          QVERIFY(QFile::setPermissions(file(), QFileDevice::WriteOwner));
          {
            EditorSettings settings(file());
            QVERIFY(settings.problem().contains(file()));
            QVERIFY(!settings.language());
            QVERIFY(!settings.charset());
            settings.setStartChoice(GameCharset::Gbk, InterfaceLanguage::Chinese);
            settings.addRecentDirectory(scratch_->path());
            settings.sync();
          }
          QVERIFY(QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
          QFile after(file());
          QVERIFY(after.open(QIODevice::ReadOnly));
          QCOMPARE(after.readAll(), kept);
          QVERIFY(!QFile::exists(file() + QStringLiteral(".damaged")));
        },
        [] { return QTest::currentTestFailed(); });
    QVERIFY2(problem.empty(), problem.c_str());
  }

  void unknownValuesAreDefaults() {
    {
      QFile odd(file());
      QVERIFY(odd.open(QIODevice::WriteOnly));
      odd.write("[start]\nlanguage=fr\ncharset=UTF8\n");
    }
    EditorSettings settings(file());
    QVERIFY(settings.problem().isEmpty());
    QVERIFY(!settings.language());
    QVERIFY(!settings.charset());
  }

  // The start of the program: the charset window opens with the remembered
  // English and BIG5, Enter takes them, and the last game directory is
  // offered and read.
  void startOffersTheLastDirectoryInTheRememberedLanguage() {
    SampleGame game(GameCharset::Gbk, false);
    QVERIFY2(game.ok(), qPrintable(game.error));
    auto settings = std::make_unique<EditorSettings>(file());
    settings->setStartChoice(GameCharset::Big5, InterfaceLanguage::English);
    settings->addRecentDirectory(game.dir);
    UseSettings(std::move(settings));
    ScriptedPrompt prompt;
    QString title;
    QTimer::singleShot(0, [&title] {
      QWidget* window = QApplication::activeModalWidget();
      if (!window) return;
      title = window->windowTitle();
      QTest::keyClick(window, Qt::Key_Return);
    });
    EditorState state;
    auto main = StartEditor(state);
    QVERIFY(main);
    QCOMPARE(title, QStringLiteral("Choose charset"));
    QCOMPARE(state.charset, GameCharset::Big5);
    QCOMPARE(CurrentInterfaceLanguage(), InterfaceLanguage::English);
    QVERIFY(!prompt.asked().empty());
    QCOMPARE(prompt.asked().front().text, QStringLiteral("Read the last game directory, ") + game.dir + "?");
    QVERIFY(state.loaded);
    QCOMPARE(QDir::cleanPath(QString::fromStdString(state.gameDirectory)), QDir::cleanPath(game.dir));
    QCOMPARE(state.attributes[1].name, std::string("dialogue"));
    main->close();
  }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
