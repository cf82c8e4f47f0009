#include "ui/shell/about_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace tavrel::ui {

AboutWindow::AboutWindow(const EditorState& state, QWidget* parent) : QDialog(parent) {
  setObjectName("frmAbout");
  const QString title = Ui(state, Str::EditorTitle);
  setWindowTitle(UiFormat(state, Str::AboutTitle, title));

  auto* lblTitle = new QLabel(title, this);
  lblTitle->setObjectName("lblTitle");
  QFont big = lblTitle->font();
  big.setPointSizeF(big.pointSizeF() * 1.3);
  big.setBold(true);
  lblTitle->setFont(big);

  auto* lblVersion = new QLabel(Ui(state, Str::AboutVersion), this);
  lblVersion->setObjectName("lblVersion");

  auto* label1 = new QLabel(UiFormat(state, Str::AboutQtVersion, qVersion()), this);
  label1->setObjectName("Label1");

  auto* ok = new QPushButton(Ui(state, Str::Ok), this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTitle);
  layout->addWidget(lblVersion);
  layout->addWidget(label1);
  layout->addSpacing(8);
  layout->addLayout(buttons);
}

}  // namespace tavrel::ui
