// The main game window "Marvo IF v1.03": output pane, input line, inventory, characteristics, menu.
#pragma once

#include <QMainWindow>
#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/host.h"
#include "game/game.h"

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
class CodeEditorWindow;

namespace marvo {
class Dialogs;
class LibraryEditorWindow;
class ScenarioDocument;
struct TextNote;
}

class MainWindow : public QMainWindow, public marvo::EngineHost {
  Q_OBJECT

 public:
  // `engine` is the application's one runtime state; the window plays it through its own Game.
  // `document` is the scenario text the game is built from, which the window opens and saves.
  MainWindow(marvo::Engine& engine, marvo::ScenarioDocument& document, marvo::Dialogs& dialogs,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // The windows created after this one: the code editor (scenario text and variable pane), the
  // map editor and the library editor. Must be called before any command is used.
  void attachWindows(CodeEditorWindow& editor, QDialog& mapEditor, marvo::LibraryEditorWindow& libraryEditor);

  // Opens `path` as "Open File" does after its dialog (also used for the command-line argument,
  // which may come before the window's first activation: the library is loaded first then).
  void openScenario(const QString& path);

  // Handlers of the menu, the keys and the timer.
  void newScenario();
  void openFile();
  void saveScenarioAsCommand();
  void saveScenarioCommand();  // to the file the scenario came from, without a dialog
  void exitProgram();
  void beginGame();
  void saveGame();
  void loadGame();
  void saveWalkthrough();
  void submitCommand();
  void openCodeEditor();
  void openMapEditor();
  void clearScreen();
  void showHelp();
  void clockTick();
  void windowActivated();
  // Key preview: F9, with any modifiers, starts the game. Returns whether the key was used.
  bool previewKey(const QKeyEvent& key);
  // Enter in the input line.
  void commandLineEntered();
  // After every change of the output pane: keeps its latest kOutputLimit lines.
  void outputChanged();

  // Before the scenario text is replaced (New, Open File, a recent file, the map export): offers
  // to save unsaved changes. True when the caller may go on (saved, or the user said no); false
  // on Cancel or when the save failed, and then nothing may change.
  bool offerSave();
  // At start: offers each recovery file newer than its scenario (Restore / Discard / Later).
  // Returns whether a text was restored into the code editor.
  bool offerRecovery();
  static constexpr int kRecentFiles = 8;

  // The output pane's lines as the player sees them (at most kOutputLimit).
  QStringList outputLines() const;
  marvo::Game& game() { return game_; }

  // Ends the program after "Exit"; replaceable so that tests survive it.
  std::function<void(int)> exitApplication;
  // Asks the desktop to open a document (the help file); replaceable for tests.
  std::function<void(const QUrl&)> openDocument;
  // "Help": shows the language reference window.
  std::function<void()> openReference;
  // Started from the desktop: the library read while the current folder has no "marvo.lib".
  std::filesystem::path libraryFallback;
  // The file "Open File" offers until one has been chosen (the installed sample games).
  void offerScenario(const QString& path) { scenarioOpenDialog_.lastName = path; }

  static constexpr int kOutputLimit = 200;

  QPlainTextEdit* outputPane = nullptr;
  QLineEdit* commandLine = nullptr;
  QLabel* inventoryLabel = nullptr;
  QListWidget* inventoryList = nullptr;
  QLabel* characteristicsLabel = nullptr;
  QListWidget* characteristicsList = nullptr;
  QTimer* clockTimer = nullptr;

  QMenu* fileMenu = nullptr;
  QAction* newAction = nullptr;
  QAction* openFileAction = nullptr;
  QAction* saveAsAction = nullptr;
  QAction* saveAction = nullptr;
  QMenu* recentFilesMenu = nullptr;
  QAction* exitAction = nullptr;
  QMenu* gameMenu = nullptr;
  QAction* beginGameAction = nullptr;
  QAction* saveGameAction = nullptr;
  QAction* loadGameAction = nullptr;
  QAction* saveWalkthroughAction = nullptr;
  QAction* talkAction = nullptr;
  QMenu* editMenu = nullptr;
  QAction* editScenarioAction = nullptr;
  QAction* mapEditorAction = nullptr;
  QAction* clearScreenAction = nullptr;
  QAction* helpAction = nullptr;

  // EngineHost: output is buffered during a run and shown when it ends or before a message.
  void focusInput() override;
  void clearOutput() override;
  void appendOutput(std::string_view line) override;
  void showMessage(std::string_view text) override;
  void showMessageAt(std::string_view text, const marvo::MessageContext& context) override;
  void viewsChanged() override;

  // Caption of the button of a located message that opens the code editor at the scenario line.
  static QString openEditorCaption();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

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
  std::optional<QString> askOpen(FileDialog& dialog);
  std::optional<QString> askSave(FileDialog& dialog);
  void report(const QString& text);
  // The application's standard error display (a message box with the error's text).
  void showError(const QString& text);
  void reloadLibrary();
  // A message or the index error with the place it arose at beneath it. For a scenario line it
  // offers to open the code editor there; the editor opens when the current handler has ended.
  void showLocated(const QString& text, const marvo::ErrorLocation& at);
  // Opens the code editor, as "Edit scenary" does, with the caret on scenario line `line` (from 1).
  void openEditorAtLine(int line);
  void openRequestedEditor();
  // Saving, recent files and recovery (main_window_save.cpp, main_window_recovery.cpp).
  void buildSaveMenu();
  enum class SaveResult { Saved, Cancelled, Failed };
  SaveResult saveScenarioAs();
  SaveResult saveScenario();  // "Save": to the document's file, or through the dialog when there is none
  bool saveScenarioTo(const QString& name, bool plainText);
  void showReadNotes(const QString& file, const std::vector<marvo::TextNote>& notes);
  void addRecentFile(const QString& file);
  void rebuildRecentFiles();
  void openRecentFile(const QString& file);
  void onFocusWindowChanged(QWindow* window);
  // Gives the code editor the scenario file's folder, where "Run walkthroughs" looks.
  void wireWalkthroughs();

  // Runs `body` as one engine handler: shows what it produced, also when it throws.
  template <class Body>
  void engineHandler(Body&& body);
  void showResults();
  void showOutput();
  void showViews();

  marvo::Engine& engine_;
  marvo::Game game_;
  marvo::ScenarioDocument& document_;
  marvo::Dialogs& dialogs_;
  CodeEditorWindow* editor_ = nullptr;
  QDialog* mapEditor_ = nullptr;
  marvo::LibraryEditorWindow* libraryEditor_ = nullptr;

  FileDialog scenarioOpenDialog_;
  FileDialog scenarioSaveDialog_;
  FileDialog gameOpenDialog_;
  FileDialog gameSaveDialog_;
  FileDialog walkthroughDialog_;

  bool busy_ = false;  // an engine handler is under way (a message box may be open)
  int editorLineRequested_ = 0;  // scenario line to open the code editor at after the handler

  // Output pane model (Windows-1251 lines), shown in outputPane when it is stale.
  std::deque<std::string> output_;
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
};
