// Syntax colouring of the scenario text: maps the line classes of the editor core to text formats.
#pragma once

#include <QList>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextBlockUserData>
#include <QTextCharFormat>
#include <string>

#include "syntax.h"

namespace marvo {

// Marks a line with problems; it stays with the line while the text around it is edited.
class ProblemMark : public QTextBlockUserData {
 public:
  explicit ProblemMark(bool error, QStringList messages = {}) : error(error), messages(std::move(messages)) {}
  const bool error;            // an error (else a warning)
  const QStringList messages;  // what the problems list says about the line, shown on hovering it
};

class ScenarioHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  // Not attached to a document until setDocument().
  explicit ScenarioHighlighter(QObject* parent);
  // Lines longer than this stay uncoloured: colouring one would lay out its whole text again.
  static constexpr qsizetype kLongestColouredLine = 10'000;
  // Texts larger than this (in characters) are shown uncoloured: colouring walks every character
  // of the text, seconds for tens of megabytes.
  static constexpr qsizetype kLargestColouredText = 4'000'000;

  // Lines carrying a ProblemMark get a wavy underline (red for errors) over their colours.

  // Colours for a dark background (light text) or a light one; the text is coloured again when
  // this changes while a document is attached.
  void setDarkBackground(bool dark);
  bool darkBackground() const { return dark_; }
  // Takes the background of `view` now and whenever its palette changes.
  void followBackgroundOf(QWidget* view);
  // The formats in use, for checking their colours: labels, comments, text, menu, talk, keywords.
  QList<QTextCharFormat> formats() const { return {label_, comment_, text_, menu_, talk_, keyword_}; }
  QColor underlineColour(bool error) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void highlightBlock(const QString& text) override;

 private:
  const QTextCharFormat& formatOf(marvo::editor::LineKind kind) const;
  void buildFormats();

  bool dark_ = false;
  QTextCharFormat label_, comment_, text_, menu_, talk_, keyword_;
  // Reused for every block: colouring a long text must not allocate per line.
  std::string line_;
  marvo::editor::LineStyle style_;
};

}  // namespace marvo
