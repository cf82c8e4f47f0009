#include "ui/shell/game_path_window.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tavrel::ui {
namespace {

// The drive whose tree holds `path`: the longest drive root it starts with.
int DriveOf(const QStringList& drives, const QString& path) {
  const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
  int best = -1;
  qsizetype bestLength = -1;
  for (int i = 0; i < drives.size(); ++i) {
    QString root = QDir::fromNativeSeparators(drives[i]);
    const QString withSlash = root.endsWith('/') ? root : root + '/';
    const bool inside = clean.compare(QDir::cleanPath(root), Qt::CaseInsensitive) == 0 ||
                        clean.startsWith(withSlash, Qt::CaseInsensitive);
    if (inside && root.size() > bestLength) {
      best = i;
      bestLength = root.size();
    }
  }
  return best;
}

}  // namespace

QStringList GamePathWindow::Drives() {
  QStringList drives;
#ifdef Q_OS_WIN
  for (const QFileInfo& drive : QDir::drives()) drives << QDir::toNativeSeparators(drive.absolutePath());
#else
  drives << QDir::rootPath();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
    if (volume.isValid() && volume.isReady()) drives << volume.rootPath();
#endif
  drives.removeDuplicates();
  std::sort(drives.begin(), drives.end());
  return drives;
}

QString GamePathWindow::DirectoryText(const QString& path) {
  if (path.isEmpty()) return {};
  // cleanPath drops a trailing separator but keeps the one of a root ("/", "C:/").
  return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
}

GamePathWindow::GamePathWindow(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
  const QString previous = Q(state_.gameDirectory);
  state_.gameDirectory.clear();

  setObjectName("Getgamepath");
  setWindowTitle(Ui(state_, Str::GamePathTitle));
  setModal(true);

  drives_ = new QComboBox(this);
  drives_->setObjectName("Drive1");
  drives_->addItems(Drives());

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setReadOnly(true);

  tree_ = new QTreeView(this);
  tree_->setObjectName("Dir1");
  tree_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, &GamePathWindow::showChosenPath);

  auto* pathLabel = new QLabel(Ui(state_, Str::GamePathField), this);
  pathLabel->setObjectName("lblPath");
  path_ = new QLineEdit(this);
  path_->setObjectName("txtPath");
  path_->setPlaceholderText(Ui(state_, Str::GamePathFieldHint));
  path_->setClearButtonEnabled(true);
  pathLabel->setBuddy(path_);

  auto* ok = new QPushButton(Ui(state_, Str::Ok), this);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  auto* cancel = new QPushButton(Ui(state_, Str::Cancel), this);
  cancel->setObjectName("CancelButton");
  connect(ok, &QPushButton::clicked, this, &GamePathWindow::takeDirectory);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(drives_, &QComboBox::currentIndexChanged, this, &GamePathWindow::showDrive);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(path_, 1);
  auto* left = new QVBoxLayout;
  left->addWidget(drives_);
  left->addWidget(tree_, 1);
  left->addLayout(pathRow);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  resize(460, 380);

  const QString start = !previous.isEmpty() && QFileInfo(previous).isDir() ? previous : QDir::homePath();
  openAt(start);
  showChosenPath();
  path_->setFocus();
}

void GamePathWindow::showChosenPath() { path_->setText(openDirectory()); }

void GamePathWindow::openAt(const QString& path) {
  const int drive = DriveOf(Drives(), path);
  if (drive < 0) return;
  {
    const QSignalBlocker block(drives_);
    drives_->setCurrentIndex(drive);
  }
  showDrive(drive);
  const QModelIndex index = model_->index(QDir::fromNativeSeparators(path));
  if (index.isValid() && index != tree_->rootIndex()) {
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
  }
}

void GamePathWindow::showDrive(int position) {
  if (position < 0) return;
  const QString root = QDir::fromNativeSeparators(drives_->itemText(position));
  model_->setRootPath(root);
  tree_->setRootIndex(model_->index(root));
  tree_->setCurrentIndex(QModelIndex());
  tree_->clearSelection();
  showChosenPath();
}

QString GamePathWindow::openDirectory() const {
  const QModelIndex current = tree_->currentIndex();
  if (current.isValid()) return DirectoryText(model_->filePath(current));
  if (drives_->currentIndex() < 0) return {};
  return DirectoryText(drives_->currentText());
}

// The field's path when one was typed, else the tree's; a path that is no
// directory is named in a message and the window stays open.
void GamePathWindow::takeDirectory() {
  QString typed = path_->text().trimmed();
  // A path copied from a file manager may come in quotes.
  if (typed.size() >= 2 && typed.startsWith(u'"') && typed.endsWith(u'"')) typed = typed.mid(1, typed.size() - 2);
  const QFileInfo typedDirectory(QDir::fromNativeSeparators(typed));
  if (!typed.isEmpty() && !typedDirectory.isDir()) {
    ShowMessage(this, UiFormat(state_, Str::GamePathNotFound, typed));
    path_->setFocus();
    return;
  }
  state_.gameDirectory = U8(typed.isEmpty() ? openDirectory() : DirectoryText(typedDirectory.absoluteFilePath()));
  accept();
}

}  // namespace tavrel::ui
