// The main game window "Marvo IF v1.03": output pane, input line, inventory, characteristics, menu.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "game/game.h"
#include "game/play_history.h"
#include "game/recovery.h"
#include "gui/document_saver.h"
#include "gui/scenario_document.h"
#include "player/command_line.h"
#include "player/output_pane.h"

class QAction;
class QDialog;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTimer;
class QUrl;
class QWindow;

namespace marvo {

class CodeEditorWindow;
class Dialogs;
class LibraryEditorWindow;
class ScenarioDocument;
struct TextNote;

class MainWindow : public QMainWindow, public EngineHost, public ReplaceGuard {
  Q_OBJECT

 public:
  // `engine` is the application's one runtime state; the window plays it through its own Game.
  // `document` is the scenario text the game is built from, which the window opens and saves.
  MainWindow(Engine& engine, ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The windows created after this one: the code editor (scenario text and variable pane), the
  // map editor and the library editor. Must be called before any command is used.
  void attachWindows(CodeEditorWindow& editor, QDialog& mapEditor, LibraryEditorWindow& libraryEditor);

  // Opens `path` as "Open File" does after its dialog (also used for the command-line argument,
  // which may come before the window's first activation: the library is loaded first then). A
  // file that cannot be read is refused with the reason; a doubtful one (empty, binary, cut short)
  // replaces the text only when the user says so. Returns whether the scenario was opened.
  bool openScenario(const QString& path);
  // "Load game" after its dialog: refuses a file that is no command log, and asks before
  // replaying one whose commands mostly match nothing in this game.
  void loadGameFrom(const QString& path);
  // A file dropped on the window: a saved game (".sav") is loaded, anything else opened as a
  // scenario after the offer to save unsaved changes.
  void openDroppedFile(const QString& path);
  // Before the program ends: with unsaved changes asks Сохранить / Не сохранять / Отмена. True
  // when it may end (saved, or discarded); then the recovery file is gone.
  bool mayEnd();

  // Before the scenario text is replaced (New, Open File, a recent file, the map export): offers
  // to save unsaved changes. True when the caller may go on (saved, or the user said no); false
  // on Cancel or when the save failed, and then nothing may change.
  bool offerSave();
  // The map export replaces the text only after this offer.
  bool mayReplaceText() override { return offerSave(); }
  // At start: offers each recovery file newer than its scenario (Restore / Discard / Later).
  // Returns whether a text was restored into the code editor.
  bool offerRecovery();
  // At start: offerRecovery(), then the scenario named on the command line (`path`; empty: none)
  // is opened whatever was answered; a restored text is first offered to be saved, as before any
  // text is replaced, and stays on Cancel. Returns whether a restored text is left to be shown.
  bool openAtStart(const QString& path);
  // At start: offers each game in progress an ended run left (Continue / Discard / Later).
  // Continue opens its scenario when it is not the current text (after the offer to save), starts
  // the game and replays it with its clock. Returns whether a game was resumed.
  bool offerPlayRecovery();
  static constexpr int kRecentFiles = 8;

  // The output pane's lines as the player sees them (at most kOutputLimit).
  QStringList outputLines() const;
  static constexpr int kOutputLimit = 200;
  Game& game() { return game_; }
  PlayHistory& playHistory() { return history_; }

  // Started from the desktop: the library read while the current folder has no "marvo.lib".
  void setLibraryFallback(std::filesystem::path library) { libraryFallback_ = std::move(library); }
  // The file "Open File" offers until one has been chosen (the installed sample games).
  void offerScenario(const QString& path) { scenarioOpenDialog_.lastName = path; }

  // Caption of the button of a located message that opens the code editor at the scenario line.
  static QString openEditorCaption();

  // EngineHost: output is buffered during a run and shown when it ends or before a message.
  void focusInput() override;
  void clearOutput() override;
  void appendOutput(std::string_view line) override;
  void showMessage(std::string_view text) override;
  void showMessageAt(std::string_view text, const MessageContext& context) override;
  void viewsChanged() override;

  QPlainTextEdit* outputPane() const { return outputPane_; }
  QLineEdit* commandLine() const { return commandLine_; }
  QLabel* inventoryLabel() const { return inventoryLabel_; }
  QListWidget* inventoryList() const { return inventoryList_; }
  QLabel* characteristicsLabel() const { return characteristicsLabel_; }
  QListWidget* characteristicsList() const { return characteristicsList_; }
  QTimer* clockTimer() const { return clockTimer_; }

  QMenu* fileMenu() const { return fileMenu_; }
  QAction* newAction() const { return newAction_; }
  QAction* openFileAction() const { return openFileAction_; }
  QAction* saveAsAction() const { return saveAsAction_; }
  QAction* saveAction() const { return saveAction_; }
  QMenu* recentFilesMenu() const { return recentFilesMenu_; }
  QAction* exitAction() const { return exitAction_; }
  QMenu* gameMenu() const { return gameMenu_; }
  QAction* beginGameAction() const { return beginGameAction_; }
  QAction* saveGameAction() const { return saveGameAction_; }
  QAction* loadGameAction() const { return loadGameAction_; }
  QAction* saveWalkthroughAction() const { return saveWalkthroughAction_; }
  QAction* saveTranscriptAction() const { return saveTranscriptAction_; }
  QAction* talkAction() const { return talkAction_; }
  QAction* undoTurnAction() const { return undoTurnAction_; }
  QAction* redoTurnAction() const { return redoTurnAction_; }
  QMenu* editMenu() const { return editMenu_; }
  QAction* editScenarioAction() const { return editScenarioAction_; }
  QAction* mapEditorAction() const { return mapEditorAction_; }
  QAction* clearScreenAction() const { return clearScreenAction_; }
  QAction* helpAction() const { return helpAction_; }

 public slots:
  // The commands of the menu, the keys and the clock.
  void newScenario();            // "New"
  void openFile();               // "Open File"
  void saveScenarioAsCommand();  // "Save as..."
  void saveScenarioCommand();    // "Save": to the file the scenario came from, without a dialog
  void exitProgram();            // "Exit": offers to save a modified text, then exitRequested(0)
  void beginGame();              // "Begin game" and F9
  void saveGame();               // "Save game"
  void loadGame();               // "Load game"
  void saveWalkthrough();        // "Save walkthrough..."
  void saveTranscript();         // "Save transcript...": the output pane as UTF-8 text
  void submitCommand();          // "Talk": Enter and F12 in the input line
  void openCodeEditor();         // "Edit scenary"
  void openMapEditor();          // "Map editor"
  void clearScreen();            // "Clear screen"
  void showHelp();               // "Help": referenceRequested(), then the help file when it exists
  void clockTick();              // one second of the game clock
  void undoTurn();               // "Отменить ход": the game as it was before the last command
  void redoTurn();               // "Вернуть ход": the last undone command given again
  // Begins the game on the current text and replays `commands` (Windows-1251), to go on playing
  // from there (a node chosen in the play tree).
  void playPath(const std::vector<std::string>& commands);

 signals:
  // "Exit" is done with the text: the application ends with `code`.
  void exitRequested(int code);
  // "Help" found the help file "marvohlp.hlp" in the current folder: the desktop opens it.
  void documentRequested(const QUrl& document);
  // "Help": the language reference window.
  void referenceRequested();
  // A command was played (typed, clicked or from the play tree): the command log from game start.
  void turnPlayed(const std::vector<std::string>& commandLog);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The window closed by the desktop (its close button, Alt+F4) asks as "Exit" does.
  void closeEvent(QCloseEvent* event) override;

 private:
  // One file dialog of the window: its filter, suffix and the name it offers next time.
  struct FileDialog {
    QString filter;
    QString defaultSuffix;
    QString lastName;
  };

  void buildControls();
  void buildMenu();
  void applyLook();
  // The player's aids (main_window_play.cpp): accessible names, keyboard reach, clickable menu
  // lines, zoom, "Save transcript...".
  void buildPlayAids();
  // "Отменить ход" and "Вернуть ход" in the Game menu (main_window_rewind.cpp).
  void buildRewind();
  // Ctrl+Z and Ctrl+Shift+Z in the empty input line. Returns whether the key was used.
  bool rewindKey(const QKeyEvent& key);
  // A click on a menu line of the output pane: its number is submitted as a command.
  void chooseMenuLine(int line);
  // Key preview: F9, with any modifiers, starts the game. Returns whether the key was used.
  bool previewKey(const QKeyEvent& key);
  // After every change of the output pane model: keeps its latest kOutputLimit lines.
  void outputChanged();
  void windowActivated();
  void onFocusWindowChanged(QWindow* window);
  std::optional<QString> askOpen(FileDialog& dialog);
  std::optional<QString> askSave(FileDialog& dialog);
  void report(const QString& text);
  // The application's standard error display (a message box with the error's text).
  void showError(const QString& text);
  void reloadLibrary();
  // A message or the index error with the place it arose at beneath it. For a scenario line it
  // offers to open the code editor there; the editor opens when the current handler has ended.
  void showLocated(const QString& text, const ErrorLocation& at);
  // Opens the code editor, as "Edit scenary" does, with the caret on scenario line `line` (from 1).
  void openEditorAtLine(int line);
  void openRequestedEditor();
  // Saving, recent files and recovery (main_window_save.cpp, main_window_recovery.cpp).
  void buildSaveMenu();
  using SaveResult = DocumentSaver::Result;
  SaveResult saveScenarioAs();
  SaveResult saveScenario();  // "Save": to the document's file, or through the dialog when there is none
  // Files dragged onto any control of the window: accepted, and opened when dropped.
  bool handleFileDrop(QEvent* event);
  void showReadNotes(const QString& file, const std::vector<TextNote>& notes);
  void addRecentFile(const QString& file);
  void rebuildRecentFiles();
  void openRecentFile(const QString& file);

  // The game in progress kept for a crash (main_window_recovery.cpp): game start through the
  // history, noting what the game is started on; after every engine handler the game is written
  // when its commands changed, and its file goes when none are left.
  void buildPlayRecovery();
  void beginHistory();
  void keepPlay();
  std::optional<PlayRecovery> playInProgress() const;
  // A kept game of `file` goes on here on the current text.
  void resumeGame(std::vector<PlayStep> steps, std::uint32_t pendingTicks, const std::filesystem::path& file);

  // Runs `body` as one engine handler: shows what it produced, also when it throws.
  template <class Body>
  void engineHandler(Body&& body);
  void showResults();
  void showOutput();
  void showViews();

  Engine& engine_;
  Game game_;
  PlayHistory history_{game_};
  ScenarioDocument& document_;
  Dialogs& dialogs_;
  CodeEditorWindow* editor_ = nullptr;
  QDialog* mapEditor_ = nullptr;
  LibraryEditorWindow* libraryEditor_ = nullptr;
  std::filesystem::path libraryFallback_;

  OutputPane* outputPane_ = nullptr;
  CommandLine* commandLine_ = nullptr;
  QLabel* inventoryLabel_ = nullptr;
  QListWidget* inventoryList_ = nullptr;
  QLabel* characteristicsLabel_ = nullptr;
  QListWidget* characteristicsList_ = nullptr;
  QTimer* clockTimer_ = nullptr;

  QMenu* fileMenu_ = nullptr;
  QAction* newAction_ = nullptr;
  QAction* openFileAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  QAction* saveAction_ = nullptr;
  QMenu* recentFilesMenu_ = nullptr;
  QAction* exitAction_ = nullptr;
  QMenu* gameMenu_ = nullptr;
  QAction* beginGameAction_ = nullptr;
  QAction* saveGameAction_ = nullptr;
  QAction* loadGameAction_ = nullptr;
  QAction* saveWalkthroughAction_ = nullptr;
  QAction* saveTranscriptAction_ = nullptr;
  QAction* talkAction_ = nullptr;
  QAction* undoTurnAction_ = nullptr;
  QAction* redoTurnAction_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QAction* editScenarioAction_ = nullptr;
  QAction* mapEditorAction_ = nullptr;
  QAction* clearScreenAction_ = nullptr;
  QAction* helpAction_ = nullptr;

  FileDialog scenarioOpenDialog_;
  FileDialog scenarioSaveDialog_;
  FileDialog gameOpenDialog_;
  FileDialog gameSaveDialog_;
  FileDialog walkthroughDialog_;
  FileDialog transcriptDialog_;

  bool busy_ = false;            // an engine handler is under way (a message box may be open)
  int editorLineRequested_ = 0;  // scenario line to open the code editor at after the handler

  // Output pane model (Windows-1251 lines), shown in the output pane when it is stale.
  std::deque<std::string> output_;
  std::uint64_t outputAppended_ = 0;  // lines ever added to output_
  std::uint64_t outputClears_ = 0;    // times output_ was emptied
  bool outputStale_ = false;
  bool viewsStale_ = false;
  bool focusPending_ = false;
  std::vector<std::string> shownInventory_;
  std::vector<std::string> shownCharacteristics_;
  std::vector<std::string> shownMonitor_;

  // Activation tracking: another window of this program was active since we last were.
  bool activatedOnce_ = false;
  bool otherWindowWasActive_ = false;
  bool libraryLoaded_ = false;  // "marvo.lib" has been read (or tried) at least once
  bool libraryErrorReported_ = false;

  // The game in progress: its scenario file and text at game start, the commands last kept.
  std::filesystem::path playScenario_;
  PlayFingerprint playFingerprint_;
  std::vector<PlayStep> keptSteps_;
};

}  // namespace marvo
