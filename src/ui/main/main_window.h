#pragma once
// The main window: the event selector with the instructions of the chosen
// event and the words of the chosen instruction, the dialogue selector with
// the chosen dialogue's text, and the file, battle, patcher and help menus.
// The window keeps no data: every list shows EditorState, every button
// gathers the selection and calls a command of app/commands.h.
#include <QMainWindow>
#include <QString>
#include <utility>

#include "app/editor_state.h"
#include "app/exports.h"
#include "app/find.h"
#include "app/history.h"
#include "app/scene_objects.h"
#include "script/decode.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPushButton;

namespace tavrel::ui {
class CheckWindow;
class FindWindow;
class StatementListModel;
}  // namespace tavrel::ui

namespace tavrel::ui {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(EditorState& state, QWidget* parent = nullptr);

  // As after the game-directory window closed: the title names the
  // directory and reading is enabled.
  void setGameDirectory(const QString& directory);
  // The read-files command; false when the files could not be read or the
  // user kept unsaved changes. A read game directory becomes the newest of
  // the recent ones.
  bool readFiles();
  // File -> recent game directories: sets and reads `directory`, or says
  // it is missing. False when nothing was read.
  bool openRecentDirectory(const QString& directory);
  // The save command with its question; false when nothing was written.
  bool saveFiles();

  // The selection other windows work on.
  int currentEvent() const;
  int currentLine() const;  // the current line of the instruction list, -1: none
  int currentDialogue() const;

  // Choosing an event: decode it and show its lines.
  void refreshInstructionList();
  // Choosing an instruction: its words, or message 132 for a label.
  void showInstructionWords();
  // Refill the dialogue selector, keeping its position where possible.
  void refreshDialogueList();

  // Find and check (main_window_find.cpp).
  FindWindow* openFind();
  CheckWindow* openCheck();
  // Shows a result's place: the event and its line, or the dialogue.
  void showPlace(const Place& place);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction (main_window.cpp).
  void buildEventFrame();
  void buildDialogueFrame();
  void buildMenus();
  void buildStatusBar();
  void buildShortcuts();
  void connectCommands();
  // Title with the unsaved-changes mark, and the status bar.
  void refreshChrome();
  // The place of a step about to be made: the chosen event, line and dialogue.
  StepPlace place() const;
  void reportUnknownWords(const DecodeReport& report);

  // Files and side windows (main_window_files.cpp).
  void chooseGameDirectory();
  void refreshRecentMenu();
  bool saveFiles(bool ask);
  bool settleUnsavedChanges(int actionText);
  void exportTalk();
  void exportKdef();
  QString FallbackNote(const ExportWritten& written) const;

  // The text forms of events and dialogue (main_window_text.cpp).
  void exportScript();
  void importScript();
  void exportDialogue();
  void importDialogue();
  QString textStart() const;
  void openBattleEditor();
  void openPatcher();
  void openPortraitReplacement();
  void openPortraitWindow();
  void openAbout();

  // Events and the clipboard (main_window_events.cpp).
  // The selector's choice: the edits of the event left are settled first.
  void eventChosen();
  // When the shown event holds instruction edits not yet committed, asks
  // whether to commit them (a "change event" step), drop them (a step of its
  // own, so undo brings them back) or cancel; false for cancel. Before
  // choosing another event, reading, saving, closing and whatever decodes
  // the shown event again.
  bool settleUncommittedEdits();
  void fillEventSelector();
  void fillInstructionLines(int line);
  void addEvent();
  void deleteEvent();
  void modifyEvent();
  void copyInstructions();
  void copyWholeEvent();
  void pasteInstructions();
  void pasteWholeEvent();
  void popUpEditMenu(const QPoint& globalPos);

  // Instructions and their words (main_window_instructions.cpp).
  void showWord();
  void modifyWord();
  void modifyInstruction();
  void insertInstruction();
  void deleteInstruction();
  void openGuide();

  // Undo and redo (main_window_history.cpp).
  void buildHistoryMenu();
  void undo();
  void redo();
  // After an undo or redo: the lists show the restored tables, with the
  // event, line and dialogue of the step chosen.
  void showStep(const StepPlace& where);
  void refreshHistoryActions();

  // Where events start (main_window_scenes.cpp).
  void buildSceneMenu();
  QString eventItemText(const EventStarts& starts, int32_t event) const;
  // Every item of the event selector anew from the object tables.
  void refreshEventTexts();
  // The selector's rows that hold `text` (a scene name or any part of an
  // item) stay in its list; a number chooses that event.
  void filterEvents(const QString& text);
  void chooseTypedEvent();
  void openSceneWindow(int scene = -1, int object = -1);
  void popUpEventMenu(const QPoint& at);
  // Find and check (main_window_find.cpp).
  void buildFindActions();
  void findStep(int direction);
  void showDialogueUses();
  // The stale marks of the find and check windows after an edit.
  void refreshFindWindows();
  // The chosen event's statements as the list shows them, for a search.
  std::vector<Statement> shownStatements(int32_t& event) const;

  // Dialogue (main_window_dialogue.cpp).
  void showDialogue();
  void addDialogue();
  void modifyDialogue();
  void deleteDialogue();

  EditorState& state_;
  QString baseTitle_;
  QString lastTextPath_;  // where the last text export or import went

  QGroupBox* eventFrame_ = nullptr;
  QComboBox* eventSelector_ = nullptr;
  QLineEdit* eventFilter_ = nullptr;
  QListView* instructionList_ = nullptr;
  StatementListModel* instructionLines_ = nullptr;
  QListWidget* wordList_ = nullptr;
  std::pair<int, int> wordsShownFor_{-1, -1};  // the event and line whose words the panel shows
  QLineEdit* wordEdit_ = nullptr;
  QPushButton* insertEventButton_ = nullptr;
  QPushButton* deleteEventButton_ = nullptr;
  QPushButton* modifyEventButton_ = nullptr;
  QPushButton* insertStatementButton_ = nullptr;
  QPushButton* deleteStatementButton_ = nullptr;
  QPushButton* modifyStatementButton_ = nullptr;
  QPushButton* modifyWordButton_ = nullptr;
  QPushButton* guideButton_ = nullptr;

  QGroupBox* dialogueFrame_ = nullptr;
  QComboBox* dialogueSelector_ = nullptr;
  QLineEdit* dialogueEdit_ = nullptr;
  QPushButton* insertTalkButton_ = nullptr;
  QPushButton* modifyTalkButton_ = nullptr;
  QPushButton* deleteTalkButton_ = nullptr;

  QMenu* fileMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QMenu* historyMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* setPathAction_ = nullptr;
  QAction* readFileAction_ = nullptr;
  QAction* saveFileAction_ = nullptr;
  QAction* exportTalkAction_ = nullptr;
  QAction* exportKdefAction_ = nullptr;
  QAction* exportScriptAction_ = nullptr;
  QAction* importScriptAction_ = nullptr;
  QAction* exportDialogueAction_ = nullptr;
  QAction* importDialogueAction_ = nullptr;
  QAction* exitAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* copyAllAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* pasteAllAction_ = nullptr;
  QAction* portraitReplaceAction_ = nullptr;
  QAction* battleEditorAction_ = nullptr;
  QAction* zdatPatcherAction_ = nullptr;
  QMenu* picturesMenu_ = nullptr;
  QAction* portraitsAction_ = nullptr;
  QAction* aboutAction_ = nullptr;
  QMenu* sceneMenu_ = nullptr;
  QAction* sceneObjectsAction_ = nullptr;
  QAction* eventObjectsAction_ = nullptr;
  QAction* findAction_ = nullptr;
  QAction* findNextAction_ = nullptr;
  QAction* findPreviousAction_ = nullptr;
  QAction* checkAction_ = nullptr;
  QPushButton* whereUsedTalkButton_ = nullptr;
  FindWindow* findWindow_ = nullptr;
  CheckWindow* checkWindow_ = nullptr;

  QLabel* directoryStatus_ = nullptr;
  QLabel* countStatus_ = nullptr;
  QLabel* eventStatus_ = nullptr;
};

}  // namespace tavrel::ui
