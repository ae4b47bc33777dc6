// Syntax colouring of the scenario text: maps the line classes of the editor core to text formats.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <string>
#include <unordered_map>

#include "syntax.h"

class ScenarioHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  // Not attached to a document until setDocument().
  explicit ScenarioHighlighter(QObject* parent);

  // Lines (0-based) underlined as having problems: true for an error, false for a warning.
  void setProblemLines(std::unordered_map<int, bool> lines);
  const std::unordered_map<int, bool>& problemLines() const { return problemLines_; }

 protected:
  void highlightBlock(const QString& text) override;

 private:
  const QTextCharFormat& formatOf(marvo::editor::LineKind kind) const;

  QTextCharFormat label_, comment_, text_, menu_, talk_, keyword_;
  std::unordered_map<int, bool> problemLines_;
  // Reused for every block: colouring a long text must not allocate per line.
  std::string line_;
  marvo::editor::LineStyle style_;
};
