// The code editor's Find and Replace bar (Ctrl+F, Ctrl+H) and Go to line bar (Ctrl+G), shown above
// the text. Matching works on the Windows-1251 text, as the engine reads it.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "find_text.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

namespace marvo {

class CodeView;
class ScenarioDocument;

class FindBar : public QWidget {
  Q_OBJECT

 public:
  FindBar(CodeView& view, ScenarioDocument& document, QWidget* parent = nullptr);

  // Shows the bar with the selected text (when it lies on one line) to find; the replace row too.
  void openFind();
  void openReplace();
  // Hides the bar, removes the marks and gives the text the focus.
  void closeBar();

  // Select the next (previous) match after (before) the caret, going round the end of the text.
  // False when there is none.
  bool findNext();
  bool findPrevious();
  // Replaces the selected match (when the selection is one) and selects the next; one undo step.
  bool replaceCurrent();
  // Replaces every match in the text as one undo step; returns how many.
  int replaceAll();
  // Matches in the whole text.
  int matchCount() const;

  QLineEdit* findField() const { return findField_; }
  QLineEdit* replaceField() const { return replaceField_; }
  QCheckBox* matchCaseBox() const { return matchCaseBox_; }
  QCheckBox* wholeWordBox() const { return wholeWordBox_; }
  QLabel* statusLabel() const { return statusLabel_; }
  QWidget* replaceRow() const { return replaceRow_; }
  QToolButton* nextButton() const { return nextButton_; }
  QToolButton* previousButton() const { return previousButton_; }
  QToolButton* replaceButton() const { return replaceButton_; }
  QToolButton* replaceAllButton() const { return replaceAllButton_; }

 signals:
  // The caret was moved to a match (the window refreshes its line indicator).
  void caretMoved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void open(bool withReplace);
  bool find(bool forward);
  // The needle in Windows-1251; false when the find field holds characters the text cannot hold.
  bool needle(std::string& out) const;
  editor::FindOptions options() const;
  bool selectionIsMatch() const;
  void refresh();
  void showCount();

  CodeView& view_;
  ScenarioDocument& document_;
  QLineEdit* findField_ = nullptr;
  QLineEdit* replaceField_ = nullptr;
  QCheckBox* matchCaseBox_ = nullptr;
  QCheckBox* wholeWordBox_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QWidget* replaceRow_ = nullptr;
  QToolButton* nextButton_ = nullptr;
  QToolButton* previousButton_ = nullptr;
  QToolButton* replaceButton_ = nullptr;
  QToolButton* replaceAllButton_ = nullptr;
  QToolButton* closeButton_ = nullptr;
  QTimer* recount_ = nullptr;  // the count follows edits of the text, not on every key
};

class GoToLineBar : public QWidget {
  Q_OBJECT

 public:
  explicit GoToLineBar(CodeView& view, QWidget* parent = nullptr);

  // Shows the bar with the caret's line number (from 1) selected.
  void open();
  void closeBar();
  // Puts the caret at the start of line `number` (from 1; beyond the text: its first or last
  // line) and closes the bar.
  void goTo(int number);

  QLineEdit* lineField() const { return lineField_; }

 signals:
  void caretMoved();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CodeView& view_;
  QLineEdit* lineField_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
};

}  // namespace marvo
