// Syntax colouring of the scenario text: maps the line classes of the editor core to text formats.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextBlockUserData>
#include <QTextCharFormat>
#include <string>

#include "syntax.h"

namespace marvo {

// Marks a line with problems; it stays with the line while the text around it is edited.
class ProblemMark : public QTextBlockUserData {
 public:
  explicit ProblemMark(bool error) : error(error) {}
  const bool error;  // an error (else a warning)
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

 protected:
  void highlightBlock(const QString& text) override;

 private:
  const QTextCharFormat& formatOf(marvo::editor::LineKind kind) const;

  QTextCharFormat label_, comment_, text_, menu_, talk_, keyword_;
  // Reused for every block: colouring a long text must not allocate per line.
  std::string line_;
  marvo::editor::LineStyle style_;
};

}  // namespace marvo
