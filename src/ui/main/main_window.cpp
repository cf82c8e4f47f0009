#include "ui/main/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/commands.h"
#include "ui/main/choice_signals.h"
#include "ui/main/statement_list_model.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"
#include "ui/settings.h"

namespace tavrel::ui {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

// A menu item showing `text` as it is: an "&" in it is no mnemonic mark.
QAction* Item(QMenu* menu, const char* name, const QString& text) {
  QAction* action = menu->addAction(QString(text).replace(u'&', QStringLiteral("&&")));
  action->setObjectName(name);
  return action;
}

}  // namespace

MainWindow::MainWindow(EditorState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
  setObjectName("frmmain");
  baseTitle_ = Ui(state_, Str::EditorTitle);
  setWindowTitle(baseTitle_);
  // Message boxes without a title of their own carry the title of this moment.
  SetDefaultTitle(baseTitle_);

  auto* central = new QWidget(this);
  setCentralWidget(central);
  buildEventFrame();
  buildDialogueFrame();
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(eventFrame_, 1);
  layout->addWidget(dialogueFrame_);

  buildMenus();
  buildStatusBar();
  buildShortcuts();
  connectCommands();

  eventFrame_->setEnabled(false);
  dialogueFrame_->setEnabled(false);
  resize(960, 680);
  // The size and place of the last run, when remembered.
  RememberGeometry(*this, QStringLiteral("main"));
  refreshChrome();
}

void MainWindow::buildEventFrame() {
  eventFrame_ = new QGroupBox(Ui(state_, Str::EventFrame), this);
  eventFrame_->setObjectName("Frame2");

  eventSelector_ = new QComboBox(eventFrame_);
  eventSelector_->setObjectName("Combokdef");
  eventSelector_->setMinimumContentsLength(8);
  eventSelector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  eventSelector_->setContextMenuPolicy(Qt::CustomContextMenu);
  eventFilter_ = new QLineEdit(eventFrame_);
  eventFilter_->setObjectName("txtEventFilter");
  eventFilter_->setPlaceholderText(Ui(state_, Str::EventFilterHint));
  eventFilter_->setClearButtonEnabled(true);
  insertEventButton_ = Button(eventFrame_, "cmdinsertkdef", Ui(state_, Str::AddEvent));
  deleteEventButton_ = Button(eventFrame_, "cmddeletekdef", Ui(state_, Str::DeleteEvent));
  modifyEventButton_ = Button(eventFrame_, "cmdmodifykdef", Ui(state_, Str::ModifyEvent));

  auto* instructionsLabel = new QLabel(Ui(state_, Str::EventInstructions), eventFrame_);
  instructionsLabel->setObjectName("Label3");
  instructionList_ = new QListView(eventFrame_);
  instructionList_->setObjectName("listkdef");
  instructionLines_ = new StatementListModel(state_, instructionList_);
  instructionList_->setModel(instructionLines_);
  instructionList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  instructionList_->setUniformItemSizes(true);
  instructionList_->viewport()->installEventFilter(this);
  instructionList_->installEventFilter(this);
  instructionsLabel->setBuddy(instructionList_);

  insertStatementButton_ = Button(eventFrame_, "cmdinsertstatement", Ui(state_, Str::InsertInstruction));
  deleteStatementButton_ = Button(eventFrame_, "cmddeletestatement", Ui(state_, Str::DeleteInstruction));
  modifyStatementButton_ = Button(eventFrame_, "cmdmodifystatement", Ui(state_, Str::ModifyInstruction));

  auto* wordsTitle = new QLabel(Ui(state_, Str::InstructionFrame), eventFrame_);
  wordsTitle->setObjectName("Label1");
  wordList_ = new QListWidget(eventFrame_);
  wordList_->setObjectName("Liststatement");
  auto* wordLabel = new QLabel(Ui(state_, Str::InstructionWordsFrame), eventFrame_);
  wordLabel->setObjectName("Label2");
  wordEdit_ = new QLineEdit(eventFrame_);
  wordEdit_->setObjectName("txtword");
  wordLabel->setBuddy(wordEdit_);
  modifyWordButton_ = Button(eventFrame_, "cmdmodifyword", Ui(state_, Str::ModifyInstructionWord));
  guideButton_ = Button(eventFrame_, "cmdwizard", Ui(state_, Str::InstructionGuide));

  auto* eventRow = new QHBoxLayout;
  eventRow->addWidget(eventSelector_, 3);
  eventRow->addWidget(eventFilter_, 1);
  eventRow->addWidget(insertEventButton_);
  eventRow->addWidget(deleteEventButton_);
  eventRow->addWidget(modifyEventButton_);
  auto* statementRow = new QHBoxLayout;
  statementRow->addStretch();
  statementRow->addWidget(insertStatementButton_);
  statementRow->addWidget(deleteStatementButton_);
  statementRow->addWidget(modifyStatementButton_);
  auto* left = new QVBoxLayout;
  left->addLayout(eventRow);
  left->addWidget(instructionsLabel);
  left->addWidget(instructionList_, 1);
  left->addLayout(statementRow);

  auto* right = new QVBoxLayout;
  right->addWidget(wordsTitle);
  right->addWidget(wordList_, 1);
  right->addWidget(wordLabel);
  right->addWidget(wordEdit_);
  right->addWidget(modifyWordButton_);
  right->addWidget(guideButton_);

  auto* layout = new QHBoxLayout(eventFrame_);
  layout->addLayout(left, 4);
  layout->addLayout(right, 1);
}

void MainWindow::buildDialogueFrame() {
  dialogueFrame_ = new QGroupBox(Ui(state_, Str::TalkFrame), this);
  dialogueFrame_->setObjectName("Frame1");

  dialogueSelector_ = new QComboBox(dialogueFrame_);
  dialogueSelector_->setObjectName("Combotalk");
  dialogueSelector_->setMinimumContentsLength(30);
  dialogueSelector_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  dialogueEdit_ = new QLineEdit(dialogueFrame_);
  dialogueEdit_->setObjectName("txttalk");
  insertTalkButton_ = Button(dialogueFrame_, "cmdinserttalk", Ui(state_, Str::AddTalk));
  modifyTalkButton_ = Button(dialogueFrame_, "cmdmodifytalk", Ui(state_, Str::ModifyTalk));
  deleteTalkButton_ = Button(dialogueFrame_, "cmddeletetalk", Ui(state_, Str::DeleteTalk));
  whereUsedTalkButton_ = Button(dialogueFrame_, "cmdwhereusedtalk", Ui(state_, Str::WhereUsed));
  auto* rule = new QLabel(Ui(state_, Str::TalkStarRule), dialogueFrame_);
  rule->setObjectName("lbltalk");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(rule, 1);
  buttons->addWidget(insertTalkButton_);
  buttons->addWidget(modifyTalkButton_);
  buttons->addWidget(deleteTalkButton_);
  auto* selectorRow = new QHBoxLayout;
  selectorRow->addWidget(dialogueSelector_, 1);
  selectorRow->addWidget(whereUsedTalkButton_);
  auto* layout = new QVBoxLayout(dialogueFrame_);
  layout->addLayout(selectorRow);
  layout->addWidget(dialogueEdit_);
  layout->addLayout(buttons);
}

void MainWindow::buildMenus() {
  QMenuBar* bar = menuBar();
  fileMenu_ = bar->addMenu(Ui(state_, Str::MenuFile));
  fileMenu_->setObjectName("mnu_file");
  setPathAction_ = Item(fileMenu_, "mnu_setpath", Ui(state_, Str::MenuSetGameDirectory));
  readFileAction_ = Item(fileMenu_, "mnu_readfile", Ui(state_, Str::MenuReadFiles));
  recentMenu_ = fileMenu_->addMenu(Ui(state_, Str::MenuRecentDirectories));
  recentMenu_->setObjectName("mnu_recent");
  refreshRecentMenu();
  saveFileAction_ = Item(fileMenu_, "mnu_Savefile", Ui(state_, Str::MenuSaveFiles));
  exportTalkAction_ = Item(fileMenu_, "mnu_exporttalkfile", Ui(state_, Str::MenuExportTalk));
  exportKdefAction_ = Item(fileMenu_, "mnu_Exportkdef", Ui(state_, Str::MenuExportKdef));
  fileMenu_->addSeparator();
  exportScriptAction_ = Item(fileMenu_, "mnu_exportscript", Ui(state_, Str::MenuExportScript));
  importScriptAction_ = Item(fileMenu_, "mnu_importscript", Ui(state_, Str::MenuImportScript));
  exportDialogueAction_ = Item(fileMenu_, "mnu_exportdialogue", Ui(state_, Str::MenuExportDialogue));
  importDialogueAction_ = Item(fileMenu_, "mnu_importdialogue", Ui(state_, Str::MenuImportDialogue));
  fileMenu_->addSeparator();
  exitAction_ = Item(fileMenu_, "mnu_exit", Ui(state_, Str::MenuExit));

  buildHistoryMenu();

  // The edit menu is never shown in the menu bar; its items pop up over the
  // instruction list.
  editMenu_ = bar->addMenu(Ui(state_, Str::MenuEdit));
  editMenu_->setObjectName("mnu_edit");
  editMenu_->menuAction()->setVisible(false);
  copyAction_ = Item(editMenu_, "mnu_copy", Ui(state_, Str::MenuCopyInstructions));
  copyAllAction_ = Item(editMenu_, "mnu_copyAll", Ui(state_, Str::MenuCopyEvent));
  pasteAction_ = Item(editMenu_, "mnu_paste", Ui(state_, Str::MenuPasteInstructions));
  pasteAllAction_ = Item(editMenu_, "mnu_pasteAll", Ui(state_, Str::MenuPasteEvent));
  editMenu_->addSeparator();
  portraitReplaceAction_ = Item(editMenu_, "mnu_replacetalk", Ui(state_, Str::ReplacePortraitsTitle));
  buildFindActions();
  // Undo and redo pop up over the list too.
  editMenu_->addSeparator();
  editMenu_->addAction(undoAction_);
  editMenu_->addAction(redoAction_);

  picturesMenu_ = bar->addMenu(Ui(state_, Str::MenuPictures));
  picturesMenu_->setObjectName("mnu_pictures");
  portraitsAction_ = Item(picturesMenu_, "mnu_portraits", Ui(state_, Str::MenuPortraits));

  // The battle editor and the patcher are menus without items: menu-bar
  // entries that act when clicked.
  battleEditorAction_ = bar->addAction(Ui(state_, Str::MenuBattleEditor));
  battleEditorAction_->setObjectName("mnu_War");
  zdatPatcherAction_ = bar->addAction(Ui(state_, Str::MenuPatcher));
  zdatPatcherAction_->setObjectName("mnu_z_modify");

  buildSceneMenu();

  helpMenu_ = bar->addMenu(Ui(state_, Str::MenuHelp));
  helpMenu_->setObjectName("mnu_help");
  aboutAction_ = Item(helpMenu_, "mnu_about", Ui(state_, Str::MenuAbout));

  for (QAction* off : {readFileAction_, saveFileAction_, exportTalkAction_, exportKdefAction_, exportScriptAction_,
                       importScriptAction_, exportDialogueAction_, importDialogueAction_, pasteAction_, pasteAllAction_,
                       portraitReplaceAction_, battleEditorAction_, zdatPatcherAction_, portraitsAction_,
                       sceneObjectsAction_, findAction_, checkAction_})
    off->setEnabled(false);
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("statusBar");
  directoryStatus_ = new QLabel(bar);
  directoryStatus_->setObjectName("statusDirectory");
  countStatus_ = new QLabel(bar);
  countStatus_->setObjectName("statusCounts");
  eventStatus_ = new QLabel(bar);
  eventStatus_->setObjectName("statusEvent");
  bar->addWidget(directoryStatus_, 1);
  bar->addPermanentWidget(countStatus_);
  bar->addPermanentWidget(eventStatus_);
}

// Keyboard use beyond the menus: the standard keys on the instruction list,
// and Alt+letter for the menu-bar entries (their captions carry no
// mnemonic marks, they are shown exactly as the string table has them).
void MainWindow::buildShortcuts() {
  saveFileAction_->setShortcut(QKeySequence::Save);
  setPathAction_->setShortcut(QKeySequence::Open);
  readFileAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  exitAction_->setShortcut(QKeySequence::Quit);
  aboutAction_->setShortcut(QKeySequence::HelpContents);

  copyAction_->setShortcut(QKeySequence::Copy);
  pasteAction_->setShortcut(QKeySequence::Paste);
  for (QAction* action : {copyAction_, pasteAction_}) {
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    instructionList_->addAction(action);
  }
  auto* deleteKey = new QAction(this);
  deleteKey->setObjectName("deleteStatementKey");
  deleteKey->setShortcut(QKeySequence::Delete);
  deleteKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  instructionList_->addAction(deleteKey);
  connect(deleteKey, &QAction::triggered, this, &MainWindow::deleteInstruction);

  const std::pair<QKeySequence, QAction*> menus[] = {
      {QKeySequence(Qt::ALT | Qt::Key_F), fileMenu_->menuAction()},
      {QKeySequence(Qt::ALT | Qt::Key_W), battleEditorAction_},
      {QKeySequence(Qt::ALT | Qt::Key_Z), zdatPatcherAction_},
      {QKeySequence(Qt::ALT | Qt::Key_H), helpMenu_->menuAction()},
  };
  for (const auto& [keys, action] : menus) {
    auto* shortcut = new QShortcut(keys, this);
    QAction* target = action;
    connect(shortcut, &QShortcut::activated, this, [this, target] {
      if (target->menu() != nullptr)
        menuBar()->setActiveAction(target);
      else if (target->isEnabled())
        target->trigger();
    });
  }
}

void MainWindow::connectCommands() {
  connect(setPathAction_, &QAction::triggered, this, &MainWindow::chooseGameDirectory);
  connect(readFileAction_, &QAction::triggered, this, [this] { readFiles(); });
  connect(saveFileAction_, &QAction::triggered, this, [this] { saveFiles(); });
  connect(exportTalkAction_, &QAction::triggered, this, &MainWindow::exportTalk);
  connect(exportKdefAction_, &QAction::triggered, this, &MainWindow::exportKdef);
  connect(exportScriptAction_, &QAction::triggered, this, &MainWindow::exportScript);
  connect(importScriptAction_, &QAction::triggered, this, &MainWindow::importScript);
  connect(exportDialogueAction_, &QAction::triggered, this, &MainWindow::exportDialogue);
  connect(importDialogueAction_, &QAction::triggered, this, &MainWindow::importDialogue);
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  connect(copyAction_, &QAction::triggered, this, &MainWindow::copyInstructions);
  connect(copyAllAction_, &QAction::triggered, this, &MainWindow::copyWholeEvent);
  connect(pasteAction_, &QAction::triggered, this, &MainWindow::pasteInstructions);
  connect(pasteAllAction_, &QAction::triggered, this, &MainWindow::pasteWholeEvent);
  connect(portraitReplaceAction_, &QAction::triggered, this, &MainWindow::openPortraitReplacement);
  connect(battleEditorAction_, &QAction::triggered, this, &MainWindow::openBattleEditor);
  connect(portraitsAction_, &QAction::triggered, this, &MainWindow::openPortraitWindow);
  connect(zdatPatcherAction_, &QAction::triggered, this, &MainWindow::openPatcher);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::openAbout);

  OnChoice(eventSelector_, this, [this] { eventChosen(); });
  OnChoice(instructionList_, this, [this] { showInstructionWords(); });
  OnChoice(wordList_, this, [this] { showWord(); });
  OnChoice(dialogueSelector_, this, [this] { showDialogue(); });
  connect(instructionList_, &QListView::activated, this, &MainWindow::openGuide);

  connect(insertEventButton_, &QPushButton::clicked, this, &MainWindow::addEvent);
  connect(deleteEventButton_, &QPushButton::clicked, this, &MainWindow::deleteEvent);
  connect(modifyEventButton_, &QPushButton::clicked, this, &MainWindow::modifyEvent);
  connect(insertStatementButton_, &QPushButton::clicked, this, &MainWindow::insertInstruction);
  connect(deleteStatementButton_, &QPushButton::clicked, this, &MainWindow::deleteInstruction);
  connect(modifyStatementButton_, &QPushButton::clicked, this, &MainWindow::modifyInstruction);
  connect(modifyWordButton_, &QPushButton::clicked, this, &MainWindow::modifyWord);
  connect(guideButton_, &QPushButton::clicked, this, &MainWindow::openGuide);
  connect(wordEdit_, &QLineEdit::returnPressed, this, &MainWindow::modifyWord);
  connect(insertTalkButton_, &QPushButton::clicked, this, &MainWindow::addDialogue);
  connect(modifyTalkButton_, &QPushButton::clicked, this, &MainWindow::modifyDialogue);
  connect(deleteTalkButton_, &QPushButton::clicked, this, &MainWindow::deleteDialogue);
  connect(whereUsedTalkButton_, &QPushButton::clicked, this, &MainWindow::showDialogueUses);
}

void MainWindow::refreshChrome() {
  setWindowTitle(state_.modified ? baseTitle_ + " *" : baseTitle_);
  refreshHistoryActions();
  refreshFindWindows();

  directoryStatus_->setText(Q(state_.gameDirectory));
  if (state_.loaded)
    countStatus_->setText(UiFormat(state_, Str::StatusCounts, state_.eventCount(), state_.talkCount()));
  else
    countStatus_->clear();
  const KdefEvent* event = EventAt(state_, currentEvent());
  if (event != nullptr)
    eventStatus_->setText(UiFormat(state_, Str::StatusEvent, currentEvent(), event->wordCount()));
  else
    eventStatus_->clear();
}

// Message 504 once for every decoding that met words of no known instruction.
void MainWindow::reportUnknownWords(const DecodeReport& report) {
  if (report.unknownWords > 0) ShowMessage(this, Ui(state_, Str::UnknownStatements));
}

StepPlace MainWindow::place() const { return StepPlace{currentEvent(), currentLine(), currentDialogue()}; }

int MainWindow::currentEvent() const { return eventSelector_->currentIndex(); }
int MainWindow::currentLine() const {
  const QModelIndex current = instructionList_->currentIndex();
  return current.isValid() ? current.row() : -1;
}
int MainWindow::currentDialogue() const { return dialogueSelector_->currentIndex(); }

}  // namespace tavrel::ui
