// The problems list of the code editor: findings of the checker (and of any other producer), each
// with its source, line, severity and text; double-click or Enter asks to jump to the line.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace marvo {

struct Problem {
  enum class Severity { Error, Warning, Note };
  QString source;  // where the line is: a file name, or a name such as "сценарий"
  int line = 0;    // 1-based; 0 when the problem has no line
  Severity severity = Severity::Error;
  QString text;
  QString rule;            // the producer's name for the kind of problem (may be empty)
  bool inScenario = true;  // the line is a line of the scenario text the code editor shows
  QVariant data;           // anything the producer wants back when the problem is activated
};

// The list both the problems and the references panels show under the text: a heading above a
// flat list of scenario lines whose third column stretches; `panel` gets the layout.
QTreeWidget* addLineList(QWidget* panel, QLabel* heading, const QStringList& headers, const QString& accessibleName);

class ProblemsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ProblemsPanel(QWidget* parent = nullptr);

  // Replaces the list; the heading shows the counts.
  void setProblems(const QList<Problem>& problems);
  void clear() { setProblems({}); }
  const QList<Problem>& problems() const { return problems_; }
  QTreeWidget* list() const { return list_; }

 signals:
  // Double-click or Enter on a row.
  void problemActivated(const Problem& problem);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void activate(QTreeWidgetItem* item);

  QLabel* heading_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QList<Problem> problems_;
};

}  // namespace marvo

Q_DECLARE_METATYPE(marvo::Problem)
