#pragma once
// The charset window shown once at start-up: the editor works either in
// simplified Chinese (GBK) or in traditional Chinese (BIG5). Closing the
// window without a choice keeps GBK.
#include <QDialog>

#include "text/charset.h"

namespace tavrel::ui {

class SelectCharsetWindow : public QDialog {
  Q_OBJECT
 public:
  explicit SelectCharsetWindow(QWidget* parent = nullptr);

  GameCharset charset() const { return charset_; }

 private:
  void choose(GameCharset charset);

  GameCharset charset_ = GameCharset::Gbk;
};

// Shows the window modally and returns the choice.
GameCharset ChooseCharset(QWidget* parent = nullptr);

}  // namespace tavrel::ui
