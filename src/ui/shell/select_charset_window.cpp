#include "ui/shell/select_charset_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

// Each language is listed by its own name: "中文", "English".
QString OwnName(InterfaceLanguage language) {
  const int number = language == InterfaceLanguage::English ? Str::LanguageEnglish : Str::LanguageChinese;
  return Q(std::string(InterfaceStringText(number, language)));
}

}  // namespace

// The window's texts are the interface strings of the chosen language as the
// table has them: no charset is chosen yet to convert them for.
SelectCharsetWindow::SelectCharsetWindow(StartChoice initial, QWidget* parent) : QDialog(parent), choice_(initial) {
  setObjectName("frmSelectCharset");
  setModal(true);
  SetInterfaceLanguage(choice_.language);

  languagePrompt_ = new QLabel(this);
  languagePrompt_->setObjectName("lblLanguage");
  languages_ = new QComboBox(this);
  languages_->setObjectName("cboLanguage");
  languages_->addItem(OwnName(InterfaceLanguage::Chinese));
  languages_->addItem(OwnName(InterfaceLanguage::English));
  languages_->setCurrentIndex(choice_.language == InterfaceLanguage::English ? 1 : 0);
  languagePrompt_->setBuddy(languages_);

  prompt_ = new QLabel(this);
  prompt_->setObjectName("Label1");
  prompt_->setAlignment(Qt::AlignCenter);

  gbk_ = new QPushButton(this);
  gbk_->setObjectName("Command1");
  big5_ = new QPushButton(this);
  big5_->setObjectName("Command2");
  // Enter confirms the charset chosen last time.
  QPushButton* remembered = choice_.charset == GameCharset::Big5 ? big5_ : gbk_;
  remembered->setDefault(true);
  remembered->setFocus();
  connect(gbk_, &QPushButton::clicked, this, [this] { choose(GameCharset::Gbk); });
  connect(big5_, &QPushButton::clicked, this, [this] { choose(GameCharset::Big5); });
  connect(languages_, &QComboBox::currentIndexChanged, this, &SelectCharsetWindow::chooseLanguage);

  auto* language = new QHBoxLayout;
  language->addWidget(languagePrompt_);
  language->addWidget(languages_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(gbk_);
  buttons->addWidget(big5_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(language);
  layout->addWidget(prompt_);
  layout->addLayout(buttons);
  setMinimumWidth(280);
  setCaptions();
}

void SelectCharsetWindow::setCaptions() {
  setWindowTitle(TableText(Str::CharsetTitle));
  languagePrompt_->setText(TableText(Str::InterfaceLanguagePrompt));
  prompt_->setText(TableText(Str::CharsetPrompt));
  gbk_->setText(TableText(Str::CharsetGbk));
  big5_->setText(TableText(Str::CharsetBig5));
}

void SelectCharsetWindow::chooseLanguage(int index) {
  choice_.language = index == 1 ? InterfaceLanguage::English : InterfaceLanguage::Chinese;
  SetInterfaceLanguage(choice_.language);
  setCaptions();
}

void SelectCharsetWindow::choose(GameCharset charset) {
  choice_.charset = charset;
  accept();
}

StartChoice ChooseStart(StartChoice initial, QWidget* parent) {
  SelectCharsetWindow window(initial, parent);
  window.exec();
  // A window closed without a button press keeps the charset it opened with.
  SetInterfaceLanguage(window.language());
  return window.choice();
}

}  // namespace tavrel::ui
