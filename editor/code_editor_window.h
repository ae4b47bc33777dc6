// The code editor window "Code Edit": the scenario document's editor view and the variable pane.
#pragma once

#include <QDialog>
#include <QTextCursor>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "property_list.h"

class QAction;
class QUrl;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class ScenarioHighlighter;
class ProblemsPanel;
struct Problem;
class WalkthroughPanel;

namespace marvo {
class Dialogs;
class ScenarioDocument;
}

class CodeEditorWindow : public QDialog {
  Q_OBJECT

 public:
  CodeEditorWindow(marvo::ScenarioDocument& document, marvo::Dialogs& dialogs, QWidget* parent = nullptr);

  // The scenario text this window shows and edits.
  marvo::ScenarioDocument& document() const { return document_; }

  // The read-only variable pane variablePane, rewritten by the engine's monitor.
  void setVariablePane(const std::vector<std::string>& lines);

  // Scrolling: the index of the first visible line, and scrolling so that `target` becomes the
  // first visible line as far as the text allows. The caret and the selection stay where they are.
  int firstVisibleLine() const;
  void scrollToLine(int target);
  // Puts the caret at the start of line `index` (0-based) and keeps that line in view once the
  // window is shown; an index outside the text is ignored.
  void moveCaretToLine(int index);

  // Commands that lead to other windows, wired by the application.
  std::function<void()> beginGame;          // F9: after the window has closed
  std::function<void()> openMapEditor;      // F5: the editor closes once the map editor closes
  std::function<void()> openObjectPlacer;   // context menu "Создать объект"
  std::function<void()> openLibraryEditor;  // context menu "Marvo.lib"
  std::function<void()> openNpcMaker;       // makeDialogue: context menu "Диалог NPC" and F3
  std::function<std::vector<std::string>()> libraryLines;  // the library text, for the checker
  std::function<QString()> scenarioFolder;  // the scenario file's folder, for "Run walkthroughs"

  // The checker (Ctrl+F7, context menu "Проверить сценарий"): fills the problems list under the
  // text and underlines the lines concerned. Returns the number of errors.
  int checkScenario();
  // Puts the caret on a problem's line of the scenario text.
  void goToProblem(const Problem& problem);
  // Shift+F1: the reference page for the caret's line (Windows-1251) and 0-based column.
  std::function<void(const std::string& line, int column)> openReference;
  // How "Publish to web..." opens the published page (served on 127.0.0.1): the desktop's browser
  // by default.
  std::function<void(const QUrl& page)> openPublishedPage;

  // Handlers of the context menu and of the window keys.
  void createObject();
  void editLibrary();
  void makeDialogue();
  void publishToWeb();  // context menu "Publish to web..."
  void runWalkthroughs();  // Ctrl+F9 and the context menu
  void toggleCommonLocation();  // F1

  QPlainTextEdit* scenarioView = nullptr;
  QPlainTextEdit* variablePane = nullptr;
  QComboBox* locationBox = nullptr;
  QLineEdit* searchField = nullptr;
  QLabel* lineIndicator = nullptr;
  QCheckBox* autoCompleteBox = nullptr;
  QListWidget* propertyPopup = nullptr;
  QMenu* contextMenu = nullptr;
  QAction* createObjectAction = nullptr;
  QAction* libraryAction = nullptr;
  QAction* dialogueAction = nullptr;
  QAction* runWalkthroughsAction = nullptr;
  WalkthroughPanel* walkthroughs = nullptr;
  QAction* checkScenarioAction = nullptr;
  ProblemsPanel* Problems = nullptr;
  QAction* publishAction = nullptr;

  static constexpr int kNpcMakerKey = Qt::Key_F3;

  // Shows the window maximised.
  void setVisible(bool visible) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

  marvo::ScenarioDocument& document_;
  marvo::Dialogs& dialogs_;

 private:
  void buildControls();
  void buildContextMenu();
  void addWalkthroughCommand();
  void wireProblems();
  void checkBeforeGame();
  int runChecker(bool onlyWhenErrors);
  void showProblems();
  void markProblemLines(const std::unordered_map<int, bool>& lines);  // 0-based line -> is an error
  QObject* problemsList() const;

  // Keys: the window's own keys (wherever the focus is), then those of each control.
  bool windowKey(QKeyEvent* key);
  bool memoKeyPress(QKeyEvent* key);
  void memoKeyRelease(QKeyEvent* key);
  bool listKeyPress(QKeyEvent* key);
  bool comboKeyPress(QKeyEvent* key);
  bool searchKeyPress(QKeyEvent* key);

  void refreshLineIndicator();
  void activated();
  void rebuildLocationList();
  void jumpToLocation(int index);
  void search();
  void leaveForGame();
  void leaveForMapEditor();

  // Typing aids.
  void normaliseCaretLine();
  void continueMenuLine();
  void collectPendingProperty();
  void showPropertyList();
  void insertProperty();
  void dismissPropertyList();

  int caretLine() const;
  // Caret and view to the start of a new text; while the window is hidden this waits until it is
  // shown, so that a hidden editor never lays out lines (a line of megabytes takes long).
  void caretToStart();
  bool caretToStartPending_ = false;

  ScenarioHighlighter* highlighter_ = nullptr;
  marvo::editor::PropertyList properties_;

  bool commonToggle_ = false;
  int savedLine_ = 0;
  // Set when the property list was dismissed by a key other than Enter and the navigation keys;
  // "=" then adds what the author typed after the dismissal (from pendingStart_) to the list.
  bool pendingProperty_ = false;
  QTextCursor pendingStart_;
  bool enterWentIntoMemo_ = false;
};
