// The code editor window "Code Edit": the scenario document's editor view, the variable pane, the
// problems list and walkthrough runs, and the keys and menu commands that lead to other windows.
#pragma once

#include <QDialog>
#include <QStringList>
#include <QTextCursor>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "code_view.h"
#include "property_list.h"

class QAction;
class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QUrl;

namespace marvo {

class Dialogs;
class FindBar;
class GoToLineBar;
class OutlinePanel;
class ProblemsPanel;
class ReferencesPanel;
class RenameBar;
class ScenarioDocument;
class ScenarioHighlighter;
class StoryMapWindow;
class SpellingUnderline;
class WalkthroughPanel;
struct Problem;

// What the problems list says about one line of the text: the line is underlined (red when one
// of them is an error) and shows the messages when hovered.
struct LineProblems {
  bool error = false;
  QStringList messages;
};

class CodeEditorWindow : public QDialog {
  Q_OBJECT

 public:
  CodeEditorWindow(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent = nullptr);

  // The scenario text this window shows and edits.
  ScenarioDocument& document() const { return document_; }

  // Where the checker, "Run walkthroughs" and "Publish to web..." read the library text
  // (Windows-1251 lines); called each time they run. Without a source the library is empty.
  void setLibrarySource(std::function<std::vector<std::string>()> source) { librarySource_ = std::move(source); }

  // The read-only variable pane, rewritten by the engine's monitor.
  void setVariablePane(const std::vector<std::string>& lines);

  // Scrolling: the index of the first visible line, and scrolling so that `target` becomes the
  // first visible line as far as the text allows. The caret and the selection stay where they are.
  int firstVisibleLine() const;
  void scrollToLine(int target);
  // Puts the caret at the start of line `index` (0-based) and keeps that line in view once the
  // window is shown; an index outside the text is ignored.
  void moveCaretToLine(int index);

  static constexpr int kDialogueMakerKey = Qt::Key_F3;
  static constexpr QKeyCombination kStoryMapKey{Qt::ControlModifier, Qt::Key_M};
  static constexpr QKeyCombination kPlayTreeKey{Qt::ControlModifier, Qt::Key_T};

  // Shows the window maximised.
  void setVisible(bool visible) override;

  CodeView* scenarioView() const { return scenarioView_; }
  QPlainTextEdit* variablePane() const { return variablePane_; }
  QComboBox* locationBox() const { return locationBox_; }
  QLineEdit* searchField() const { return searchField_; }
  QLabel* lineIndicator() const { return lineIndicator_; }
  // Beside the indicator: says that it counts from 0 and gives the line's number from 1.
  QLabel* lineNumberNote() const { return lineNumberNote_; }
  FindBar* findBar() const { return findBar_; }
  GoToLineBar* goToLineBar() const { return goToLineBar_; }
  QAction* undoAction() const { return undoAction_; }
  QAction* redoAction() const { return redoAction_; }
  QAction* cutAction() const { return cutAction_; }
  QAction* copyAction() const { return copyAction_; }
  QAction* pasteAction() const { return pasteAction_; }
  QCheckBox* autoCompleteBox() const { return autoCompleteBox_; }
  QListWidget* propertyPopup() const { return propertyPopup_; }
  QMenu* contextMenu() const { return contextMenu_; }
  QAction* createObjectAction() const { return createObjectAction_; }
  QAction* libraryAction() const { return libraryAction_; }
  QAction* dialogueAction() const { return dialogueAction_; }
  QAction* checkScenarioAction() const { return checkScenarioAction_; }
  QAction* runWalkthroughsAction() const { return runWalkthroughsAction_; }
  QAction* publishAction() const { return publishAction_; }
  ProblemsPanel* problemsPanel() const { return problemsPanel_; }
  WalkthroughPanel* walkthroughPanel() const { return walkthroughPanel_; }
  OutlinePanel* outlinePanel() const { return outlinePanel_; }
  ReferencesPanel* referencesPanel() const { return referencesPanel_; }
  RenameBar* renameBar() const { return renameBar_; }
  QAction* goToDefinitionAction() const { return goToDefinitionAction_; }
  QAction* findReferencesAction() const { return findReferencesAction_; }
  QAction* renameAction() const { return renameAction_; }
  QAction* storyMapAction() const { return storyMapAction_; }
  QAction* playTreeAction() const { return playTreeAction_; }
  // The story map once "Карта сюжета" has opened it (null before).
  StoryMapWindow* storyMap() const { return storyMap_; }

  // The spelling check: unknown words of the prose underlined, corrections and the dictionaries in
  // the context menu. Its switch and the «ё»/«е» option are checkable entries of the context menu,
  // remembered in the settings; the note says why it is off when no dictionary is installed.
  SpellingUnderline* spelling() const { return spelling_; }
  QAction* spellingAction() const { return spellingAction_; }
  QAction* yoIsYeAction() const { return yoIsYeAction_; }
  QLabel* spellingNote() const { return spellingNote_; }
  // Fills the context menu for a click at `viewportPos` of the text: for an unknown word there,
  // its corrections (found on a worker when not known yet), "Добавить в словарь игры",
  // "Добавить в словарь пользователя" and "Пропустить" come first.
  void prepareContextMenu(const QPoint& viewportPos);

 public slots:
  // The checker (Ctrl+F7, context menu "Проверить сценарий"): fills the problems list under the
  // text and underlines the lines concerned. Returns the number of errors.
  int checkScenario();
  // Context menu "Publish to web...": the text and the library written as a folder for the web
  // player after the checker has had its say; publishedPageReady() gives the page to open.
  void publishToWeb();
  // Ctrl+F9 and the context menu: the walkthroughs of the scenario's file (NAME.walk and NAME-*.walk
  // beside it, *.walk in the folder NAME beside it) against the text being edited; none while the
  // text has no file.
  void runWalkthroughs();
  // Ctrl+F, Ctrl+H and Ctrl+G (also in the context menu): the find bar, with the replace row, and
  // the go to line bar above the text.
  void openFind();
  void openReplace();
  void openGoToLine();
  // F1: to the common location and back to the line the caret was on.
  void toggleCommonLocation();
  // Context menu "Создать объект", "Marvo.lib" and "Диалог NPC" (also F3): ask for those windows.
  void openObjectPlacer();
  void openLibraryEditor();
  void openDialogueMaker();
  // F12 and Ctrl+click: the caret to the definition of the location, object or variable under it.
  // False (with a message saying why) when there is none in the scenario.
  bool goToDefinition();
  // Shift+F12: every line that defines or uses the name under the caret, in the references list.
  void findReferences();
  // F2: the rename bar for the name under the caret; renameSymbol() renames the location, object
  // or variable under the caret everywhere in the scenario as one undo step. It returns why it
  // cannot (also shown as a message), empty when done.
  void startRename();
  QString renameSymbol(const QString& newName);
  // Ctrl+M and the context menu "Карта сюжета": the story map of the text in a window of its own
  // beside this one, following the caret; clicking there moves the caret here.
  StoryMapWindow* openStoryMap();

 signals:
  // F9: the checker has run (its errors wait in the problems list) and the window has closed.
  void gameRequested();
  // F5: the window closes once the receivers have returned (the map editor shown modally closes).
  void mapEditorRequested();
  void objectPlacerRequested();
  void libraryEditorRequested();
  void dialogueMakerRequested();
  // Shift+F1: the reference page for the caret's line (Windows-1251) and 0-based column.
  void referenceRequested(const std::string& line, int column);
  // "Publish to web..." has written the game: its page, served on 127.0.0.1 (a file:// page when
  // no port could be opened).
  void publishedPageReady(const QUrl& page);
  // Ctrl+T: the play tree of this scenario, shown beside the editor.
  void playTreeRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void buildControls();
  void buildContextMenu();
  // A context menu item whose key the text area or the window handles itself; the menu only
  // shows the key.
  static QAction* addKeyItem(QMenu* menu, const QString& caption, const QKeySequence& keys);
  // Undo, redo, cut, copy, paste, find, replace and go to line: the context menu's first items.
  void addEditingCommands();
  // The text area with the find and go to line bars above it.
  QWidget* textWithBars(QWidget* text);
  // Ctrl+F, Ctrl+H, Ctrl+G and zoom (Ctrl+plus, Ctrl+minus, Ctrl+0) wherever the focus is in the window.
  bool editingKey(QKeyEvent* key);
  void addWalkthroughCommand();
  // Go to definition, references, rename, the outline and the story map.
  void buildNavigation();
  bool navigationKey(QKeyEvent* key);
  bool ctrlClick(QMouseEvent* click);
  // The caret to a 0-based line and column, that line centred in the view.
  void placeCaretAt(int line, int column);
  // The library (as the checker reads it) into the symbol index and the story map when it changed.
  void syncLibrary();
  void showCoverageOnMap();
  QObject* referencesList() const;  // null until built
  QObject* outlineFilter() const;
  void wireProblems();
  std::vector<std::string> libraryLines() const;
  // Puts the caret on a problem's line of the scenario text.
  void goToProblem(const Problem& problem);
  void checkBeforeGame();
  int runChecker(bool onlyWhenErrors);
  void showProblems();
  void markProblemLines(const std::unordered_map<int, LineProblems>& lines);  // by 0-based line
  QObject* problemsList() const;

  // Keys: the window's own keys (wherever the focus is), then those of each control.
  bool windowKey(QKeyEvent* key);
  bool textKeyPress(QKeyEvent* key);
  void textKeyRelease(QKeyEvent* key);
  bool propertyPopupKeyPress(QKeyEvent* key);
  bool locationBoxKeyPress(QKeyEvent* key);
  bool searchFieldKeyPress(QKeyEvent* key);

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

  ScenarioDocument& document_;
  Dialogs& dialogs_;
  std::function<std::vector<std::string>()> librarySource_;

  CodeView* scenarioView_ = nullptr;
  QPlainTextEdit* variablePane_ = nullptr;
  QComboBox* locationBox_ = nullptr;
  QLineEdit* searchField_ = nullptr;
  QLabel* lineIndicator_ = nullptr;
  QLabel* lineNumberNote_ = nullptr;
  FindBar* findBar_ = nullptr;
  GoToLineBar* goToLineBar_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* cutAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* findAction_ = nullptr;
  QAction* replaceAction_ = nullptr;
  QAction* goToLineAction_ = nullptr;
  QCheckBox* autoCompleteBox_ = nullptr;
  QListWidget* propertyPopup_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QAction* createObjectAction_ = nullptr;
  QAction* libraryAction_ = nullptr;
  QAction* dialogueAction_ = nullptr;
  QAction* checkScenarioAction_ = nullptr;
  QAction* runWalkthroughsAction_ = nullptr;
  QAction* publishAction_ = nullptr;
  ProblemsPanel* problemsPanel_ = nullptr;
  WalkthroughPanel* walkthroughPanel_ = nullptr;
  OutlinePanel* outlinePanel_ = nullptr;
  ReferencesPanel* referencesPanel_ = nullptr;
  RenameBar* renameBar_ = nullptr;
  QAction* goToDefinitionAction_ = nullptr;
  QAction* findReferencesAction_ = nullptr;
  QAction* renameAction_ = nullptr;
  QAction* storyMapAction_ = nullptr;
  QAction* playTreeAction_ = nullptr;
  StoryMapWindow* storyMap_ = nullptr;
  std::vector<std::string> syncedLibrary_;
  bool librarySynced_ = false;

  ScenarioHighlighter* highlighter_ = nullptr;

  // The spelling check (code_editor_window_spelling.cpp).
  void setUpSpelling();
  void startSpelling();
  void showSpellingEntries();
  void replaceMenuWord(const std::string& correction);
  SpellingUnderline* spelling_ = nullptr;
  QAction* spellingAction_ = nullptr;
  QAction* yoIsYeAction_ = nullptr;
  QLabel* spellingNote_ = nullptr;
  QList<QAction*> spellingEntries_;
  struct MenuWord {
    int line = -1;
    int column = 0;
    std::string word;  // Windows-1251; empty when the menu was not opened on an unknown word
  } menuWord_;
  editor::PropertyList properties_;

  bool caretToStartPending_ = false;
  bool commonToggle_ = false;
  int savedLine_ = 0;
  // Set when the property list was dismissed by a key other than Enter and the navigation keys;
  // "=" then adds what the author typed after the dismissal (from pendingStart_) to the list.
  bool pendingProperty_ = false;
  QTextCursor pendingStart_;
  bool enterWentIntoText_ = false;
};

}  // namespace marvo
