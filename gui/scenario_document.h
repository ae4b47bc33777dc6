// The one scenario text of the program: its lines, the file and format it belongs to, the
// modified flag, grouped undo steps for generated insertions, the backup on save and recovery.
#pragma once

#include <QObject>
#include <QString>
#include <QTextCursor>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/document_state.h"
#include "game/scenario_file.h"
#include "game/symbol_index.h"

class QTextDocument;

namespace marvo {

class RecoveryWriter;

// Asked before a window replaces the whole text (the map export): the main window offers to save
// unsaved changes there.
class ReplaceGuard {
 public:
  virtual ~ReplaceGuard() = default;
  // False leaves the text as it is.
  virtual bool mayReplaceText() = 0;
};

class ScenarioDocument : public QObject {
  Q_OBJECT

 public:
  explicit ScenarioDocument(QObject* parent = nullptr);
  ~ScenarioDocument() override;

  // The text as the code editor shows it (a plain-text document, one block a line).
  QTextDocument* textDocument() const { return text_; }

  // The text as Windows-1251 lines, 0-based. The text ends with an empty block after the last line
  // break; that final empty block is not a line.
  std::vector<std::string> lines() const;
  int lineCount() const;
  std::string line(int index) const;  // empty outside 0 .. lineCount() - 1
  // Loads `lines` as an unchanged text with no undo history (the file it belongs to stays).
  void setLines(const std::vector<std::string>& lines);
  // Out-of-range indexes are ignored. Each operation edits only the lines concerned.
  void replaceLine(int index, std::string_view text);
  void insertLine(int index, std::string_view text);  // before `index`; index == count appends
  void appendLine(std::string_view text);
  void clearText();
  // Replaces the whole text as one edit: one Ctrl+Z brings the previous text back, and the text
  // counts as changed (unlike setLines, which loads a text as unchanged and forgets the history).
  void replaceAllLines(const std::vector<std::string>& lines);
  // While one lives, every change of the text joins one undo step.
  class UndoStep {
   public:
    explicit UndoStep(ScenarioDocument& document);
    ~UndoStep();
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

   private:
    QTextCursor cursor_;
  };

  // The file the text came from or was last saved to (empty for none) and its format.
  QString path() const;
  bool plainText() const { return state_.format() == ScenarioFormat::PlainText; }
  // Changed since the last save (also set when the code editor has been shown).
  bool modified() const { return state_.modified(); }
  void markModified() { state_.changed(); }
  // The text differs from what was last loaded or saved (an edit undone back to that text counts
  // as no change; a restored text counts as changed): replacing the text or ending the program
  // asks first.
  bool hasUnsavedChanges() const;
  // The file name a save dialog offers: the file last opened, saved or restored, else the name
  // last chosen in a save dialog, else "newqst.scn". "New" keeps it.
  QString offeredName() const { return offeredName_; }
  void setOfferedName(const QString& name) { offeredName_ = name; }

  // Whether a window may replace the whole text now: the guard's answer, yes without one.
  void setReplaceGuard(ReplaceGuard* guard) { replaceGuard_ = guard; }
  bool mayReplaceText() { return !replaceGuard_ || replaceGuard_->mayReplaceText(); }

  // A text read from `path` (empty for a new text), loaded as unchanged.
  void load(const std::vector<std::string>& lines, const QString& path, bool plainText);
  // "New": an empty text that belongs to no file.
  void clear();
  // Writes the text to `path` (the file it replaces kept as "<path>.bak"); only once it is safely
  // on disk does the text belong to `path`. Returns the failure on failure (nothing changed then).
  std::optional<SaveFailure> saveTo(const QString& path, bool plainText);
  // Where "Save" writes without asking; std::nullopt when a name must be asked for.
  std::optional<DocumentState::SaveTarget> saveTarget() const { return state_.saveTarget(); }
  // Unsaved text of `scenario` (empty: of no file) brought back from `recoveryFile`, left by an
  // ended run; that file now belongs to this run.
  void restore(const std::vector<std::string>& lines, const QString& scenario,
               const std::filesystem::path& recoveryFile);

  // The symbols of the text (with `library` spliced in as game start would, see setLibrary), kept
  // up to date line by line as the text changes; a change of many lines at once is indexed afresh
  // when next asked for.
  const SymbolIndex& symbols() const;
  void setLibrary(const std::vector<std::string>& library);

  // Keeps the recovery file of unsaved text.
  RecoveryWriter& recovery() const { return *recovery_; }

 signals:
  // The whole text was loaded, cleared or replaced: views put the caret at the start.
  void textReplaced();
  // The text now belongs to `path` (opened or saved there).
  void fileChanged(const QString& path);

 private:
  void setBlockText(int index, const QString& text);
  void updateSymbols(int position, int charsAdded);

  // The index covers indexedLines_ lines of the text; stale until rebuilt.
  mutable SymbolIndex symbols_;
  mutable bool symbolsStale_ = true;
  mutable int indexedLines_ = 0;
  std::vector<std::string> library_;

  QTextDocument* text_ = nullptr;
  DocumentState state_;
  RecoveryWriter* recovery_ = nullptr;
  ReplaceGuard* replaceGuard_ = nullptr;
  QString offeredName_ = QStringLiteral("newqst.scn");
};

}  // namespace marvo
