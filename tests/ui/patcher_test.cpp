// The z.dat patcher driven offscreen on the sample game: the controls and
// their enabling, the roster, the question, and the bytes of z.dat.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <fstream>

#include "app/program_files.h"
#include "app/zdat_patch.h"
#include "sample/sample_parts.h"
#include "support/scripted_prompt.h"
#include "ui/patcher/zdat_patcher_window.h"
#include "ui/qt_text.h"

using namespace tavrel;
using namespace tavrel::ui;

namespace {

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

// Stands in for the system's file viewer: the files it was asked to open.
class OpenedFiles : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

class PatcherTest : public QObject {
  Q_OBJECT

 private:
  EditorState state_;
  QTemporaryDir scratch_;
  std::filesystem::path game_;
  Bytes original_;

  template <class T>
  T* Find(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  std::filesystem::path Zdat() const { return game_ / "z.dat"; }

 private slots:
  void initTestCase() {
    state_.programDir = TAVREL_BIN_DIR;
    auto started = InitializeEditor(state_, GameCharset::Gbk);
    QVERIFY(started);
    game_ = std::filesystem::path(scratch_.path().toStdString()) / "game";
    sample::SampleOptions options;
    options.attributes = &state_.attributes;
    QVERIFY(sample::WriteSampleGame(game_, options));
    state_.gameDirectory = game_.string();
    QVERIFY(ReadGameFiles(state_));
    original_ = ReadFile(Zdat());
    QVERIFY(original_.size() >= zdat::HighestSiteEnd());
  }
  void init() {
    WriteFile(Zdat(), original_);
    std::filesystem::remove(game_ / "z.dat.bak");
  }

  void opensWithTheFileValuesAndEverythingDisabled() {
    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    QCOMPARE(w.objectName(), QStringLiteral("frmzModify"));
    QCOMPARE(w.windowTitle(), Ui(state_, Str::MenuPatcher));
    QVERIFY(prompt.asked().empty());
    QCOMPARE(Find<QLineEdit>(w, "txtTotalMemory")->text(), QStringLiteral("420000"));
    QCOMPARE(Find<QLineEdit>(w, "txtSDX")->text(), QStringLiteral("sdx"));
    QCOMPARE(Find<QLineEdit>(w, "txtliduishijian")->text(), QStringLiteral("186"));
    QCOMPARE(Find<QLineEdit>(w, "txtlifemax")->text(), QStringLiteral("999"));
    QCOMPARE(Find<QLineEdit>(w, "txtgongjimax")->text(), QStringLiteral("100"));
    QCOMPARE(Find<QLabel>(w, "Label10")->text(), Ui(state_, Str::PatcherNotes));
    QCOMPARE(Find<QCheckBox>(w, "chkcancelgongji")->text(), Ui(state_, Str::NoLimit));
    for (const char* name :
         {"Optwater1", "Optwater2", "txtTotalMemory", "txtMemory1", "txtSDX", "txtWMP", "chkModifyfightfilename",
          "HScrollPerson", "Comboperson", "txtliduishijian", "txtlifemax", "chkCancelAnqi", "txtAnqiMax"})
      QVERIFY2(!Find<QWidget>(w, name)->isEnabled(), name);
    QVERIFY(Find<QRadioButton>(w, "Optwater2")->isChecked());
    // Persons 0 to 255 only, though the sample has more.
    QVERIFY(state_.game.names.persons.size() > 256);
    auto* persons = Find<QComboBox>(w, "Comboperson");
    QCOMPARE(persons->count(), 256);
    QCOMPARE(persons->itemText(12), QStringLiteral("12(C)") + Q(state_.game.names.persons[12].name));
  }

  void groupBoxesEnableTheirControls() {
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkModifyAnqi")->setChecked(true);
    QVERIFY(Find<QWidget>(w, "txtAnqiMax")->isEnabled());
    QVERIFY(Find<QWidget>(w, "chkCancelAnqi")->isEnabled());
    QVERIFY(!Find<QWidget>(w, "chkCancelYujian")->isEnabled());
    Find<QCheckBox>(w, "chkmodifyfight")->setChecked(true);
    QVERIFY(Find<QWidget>(w, "chkModifyfightfilename")->isEnabled());
    Find<QCheckBox>(w, "chkgowater")->setChecked(true);
    QVERIFY(Find<QWidget>(w, "Optwater1")->isEnabled());
    Find<QCheckBox>(w, "chkgowater")->setChecked(false);
    QVERIFY(!Find<QWidget>(w, "Optwater1")->isEnabled());
  }

  void rosterShowsGatheredSlotsAndWritesThem() {
    Bytes z = original_;
    const zdat::FixedSite& roster = zdat::SiteOf(zdat::Site::Roster);
    std::fill_n(z.begin() + roster.offset, roster.width, uint8_t(0));
    z[roster.offset + 1] = 5;
    z[roster.offset + 3] = 7;
    WriteFile(Zdat(), z);

    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkaddlidui")->setChecked(true);
    auto* scroll = Find<QScrollBar>(w, "HScrollPerson");
    auto* persons = Find<QComboBox>(w, "Comboperson");
    QVERIFY(scroll->isEnabled() && persons->isEnabled());
    QCOMPARE(scroll->maximum(), 49);
    QCOMPARE(persons->currentIndex(), 5);
    scroll->setValue(1);
    QCOMPARE(persons->currentIndex(), 7);
    QCOMPARE(Find<QLabel>(w, "Lblliduiperson")->text(), QStringLiteral("1"));
    scroll->setValue(2);
    QCOMPARE(persons->currentIndex(), 0);
    persons->setCurrentIndex(200);  // the user picks person 200 for slot 2
    scroll->setValue(0);
    QCOMPARE(persons->currentIndex(), 5);
    QCOMPARE(int(w.rosterSlots()[2]), 200);

    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QCOMPARE(prompt.asked()[0].text, Ui(state_, Str::PatchQuestion));
    QCOMPARE(prompt.asked()[0].buttons, Buttons::YesNo);
    const Bytes after = ReadFile(Zdat());
    QCOMPARE(int(after[roster.offset]), 5);
    QCOMPARE(int(after[roster.offset + 1]), 7);
    QCOMPARE(int(after[roster.offset + 2]), 200);
    for (uint32_t i = 3; i < roster.width; ++i) QCOMPARE(int(after[roster.offset + i]), 0);
    QCOMPARE(ReadFile(game_ / "z.dat.bak"), z);
  }

  void answeringNoWritesNothing() {
    test::ScriptedPrompt prompt;
    prompt.Queue(Answer::No);
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkModifygongjimax")->setChecked(true);
    Find<QLineEdit>(w, "txtgongjimax")->setText(QStringLiteral("120"));
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QCOMPARE(ReadFile(Zdat()), original_);
  }

  void attackLimitWritesExactlyItsBytesAndSaysNothing() {
    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkModifygongjimax")->setChecked(true);
    Find<QLineEdit>(w, "txtgongjimax")->setText(QStringLiteral("120"));
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));  // the question only
    Bytes expected = original_;
    for (uint32_t at : zdat::kByteLimits[0].values.view()) expected[at] = 120;
    for (uint32_t at : zdat::kByteLimits[0].branches.view()) expected[at] = zdat::kKeepBranch;
    QVERIFY(ReadFile(Zdat()) == expected);
  }

  void badValueIsRefusedWithAMessageNamingTheField() {
    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkModifyLifeMax")->setChecked(true);
    Find<QLineEdit>(w, "txtlifemax")->setText(QStringLiteral("40000"));
    Find<QCheckBox>(w, "chkgowater")->setChecked(true);
    Find<QRadioButton>(w, "Optwater1")->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(2));
    const QString message = prompt.asked()[1].text;
    QVERIFY2(message.contains(Ui(state_, Str::MaxLifePatch)) && message.contains(QStringLiteral("40000")),
             qPrintable(message));
    Bytes expected = original_;  // walk on water written, the life limit not
    expected[zdat::SiteOf(zdat::Site::WalkOnWater).offset] = 0x90;
    expected[zdat::SiteOf(zdat::Site::WalkOnWater).offset + 1] = 0x90;
    QVERIFY(ReadFile(Zdat()) == expected);
  }

  void fightFilesAreRenamed() {
    test::ScriptedPrompt prompt;
    QVERIFY(std::filesystem::exists(game_ / "fight000.idx"));
    const Bytes idx = ReadFile(game_ / "fight000.idx");
    ZdatPatcherWindow w(state_);
    Find<QCheckBox>(w, "chkmodifyfight")->setChecked(true);
    Find<QCheckBox>(w, "chkModifyfightfilename")->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(!std::filesystem::exists(game_ / "fight000.idx"));
    QVERIFY(ReadFile(game_ / "fdx000") == idx);
    QVERIFY(std::filesystem::exists(game_ / "fmp000"));
  }

  void shortFileOpensWithAMessageAndStaysItsLength() {
    const size_t size = zdat::TableOf(zdat::NameTable::SceneData).first;
    WriteFile(Zdat(), Bytes(original_.begin(), original_.begin() + long(size)));
    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    QCOMPARE(prompt.asked().size(), size_t(1));
    QVERIFY(prompt.asked()[0].text.contains(QStringLiteral("z.dat")));
    QVERIFY(Find<QLineEdit>(w, "txtSDX")->text().isEmpty());
    Find<QCheckBox>(w, "chkmodifySmp")->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QCOMPARE(prompt.asked().size(), size_t(3));  // the question and the refusal
    QCOMPARE(std::filesystem::file_size(Zdat()), size);
  }

  // The notes button opens the notes of the interface language, found
  // beside the data files; without them a message names the file looked for.
  void theNotesOfTheInterfaceLanguageOpen() {
    OpenedFiles opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    const std::pair<InterfaceLanguage, QString> languages[] = {{InterfaceLanguage::Chinese, "z_modify.txt"},
                                                               {InterfaceLanguage::English, "z_modify-en.txt"}};
    for (const auto& [language, name] : languages) {
      SetInterfaceLanguage(language);
      test::ScriptedPrompt prompt;
      ZdatPatcherWindow w(state_);
      QVERIFY(Find<QLabel>(w, "Label10")->text().contains(name));
      auto* button = Find<QPushButton>(w, "cmdnotes");
      QCOMPARE(button->text(), Ui(state_, Str::OpenPatcherNotes));
      QTest::mouseClick(button, Qt::LeftButton);
      QVERIFY(prompt.asked().empty());
      QCOMPARE(opened.urls.size(), language == InterfaceLanguage::Chinese ? 1 : 2);
      QCOMPARE(opened.urls.back(), QUrl::fromLocalFile(QString(TAVREL_BIN_DIR) + "/" + name));
      QVERIFY(QFile::exists(opened.urls.back().toLocalFile()));
    }
    SetInterfaceLanguage(InterfaceLanguage::Chinese);

    QTemporaryDir elsewhere;
    const std::filesystem::path dataDir = state_.programDir;
    state_.programDir = elsewhere.path().toStdString();
    {
      test::ScriptedPrompt prompt;
      ZdatPatcherWindow w(state_);
      QTest::mouseClick(Find<QPushButton>(w, "cmdnotes"), Qt::LeftButton);
      QCOMPARE(prompt.asked().size(), size_t(1));
      QCOMPARE(prompt.asked()[0].text, UiFormat(state_, Str::PatcherNotesMissing,
                                                QDir::toNativeSeparators(elsewhere.path() + "/z_modify.txt")));
    }
    state_.programDir = dataDir;
    QCOMPARE(opened.urls.size(), 2);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  }

  void missingFileOpensWithAMessage() {
    std::filesystem::remove(Zdat());
    test::ScriptedPrompt prompt;
    ZdatPatcherWindow w(state_);
    QCOMPARE(prompt.asked().size(), size_t(1));
    Find<QCheckBox>(w, "chkgowater")->setChecked(true);
    QTest::mouseClick(Find<QPushButton>(w, "cmdok"), Qt::LeftButton);
    QVERIFY(!std::filesystem::exists(Zdat()));
  }
};

QTEST_MAIN(PatcherTest)
#include "patcher_test.moc"
