#pragma once
// The charset window shown once at start-up: the editor reads game text
// either as simplified Chinese (GBK) or as traditional Chinese (BIG5), and
// shows its interface in Chinese or in English, chosen in the language list
// above the two charset buttons. The window opens with the choice given
// (the one remembered from the last run) and Enter confirms it; closing the
// window without a button press keeps that charset.
#include <QDialog>

#include "text/charset.h"
#include "text/ui_strings.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace tavrel::ui {

struct StartChoice {
  GameCharset charset = GameCharset::Gbk;
  InterfaceLanguage language = InterfaceLanguage::Chinese;
};

class SelectCharsetWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SelectCharsetWindow(StartChoice initial = {}, QWidget* parent = nullptr);

  GameCharset charset() const { return choice_.charset; }
  InterfaceLanguage language() const { return choice_.language; }
  StartChoice choice() const { return choice_; }

 private:
  void choose(GameCharset charset);
  void chooseLanguage(int index);
  void setCaptions();

  StartChoice choice_;
  QComboBox* languages_ = nullptr;
  QLabel* prompt_ = nullptr;
  QLabel* languagePrompt_ = nullptr;
  QPushButton* gbk_ = nullptr;
  QPushButton* big5_ = nullptr;
};

// Shows the window modally and returns the choice. The run's interface
// language follows the language list while the window is open and is the
// chosen one afterwards.
StartChoice ChooseStart(StartChoice initial = {}, QWidget* parent = nullptr);

}  // namespace tavrel::ui
