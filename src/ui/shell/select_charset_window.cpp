#include "ui/shell/select_charset_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace tavrel::ui {

// The window's texts are the interface strings as the table has them: no
// charset is chosen yet to convert them for.
SelectCharsetWindow::SelectCharsetWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("frmSelectCharset");
  setWindowTitle(TableText(Str::CharsetTitle));
  setModal(true);

  auto* label = new QLabel(TableText(Str::CharsetPrompt), this);
  label->setObjectName("Label1");
  label->setAlignment(Qt::AlignCenter);

  auto* gbk = new QPushButton(TableText(Str::CharsetGbk), this);
  gbk->setObjectName("Command1");
  gbk->setDefault(true);
  auto* big5 = new QPushButton(TableText(Str::CharsetBig5), this);
  big5->setObjectName("Command2");
  connect(gbk, &QPushButton::clicked, this, [this] { choose(GameCharset::Gbk); });
  connect(big5, &QPushButton::clicked, this, [this] { choose(GameCharset::Big5); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(gbk);
  buttons->addWidget(big5);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addLayout(buttons);
  setMinimumWidth(280);
}

void SelectCharsetWindow::choose(GameCharset charset) {
  charset_ = charset;
  accept();
}

GameCharset ChooseCharset(QWidget* parent) {
  SelectCharsetWindow window(parent);
  window.exec();
  // A window closed without a button press never changed its choice: GBK.
  return window.charset();
}

}  // namespace tavrel::ui
