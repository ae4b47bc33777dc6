// Walkthrough runs in the code editor: the core runs off the UI thread, results come back queued.
#include "walkthrough_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "problems_panel.h"
#include "walkthrough/coverage.h"
#include "walkthrough/runner.h"

namespace marvo {

namespace {
QString utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

// Everything one run owns; the worker fills `result` before it reports back.
struct WalkthroughPanel::Run {
  std::vector<marvo::walk::WalkFile> files;
  marvo::walk::PreparedGame game;
  marvo::walk::RunResult result;
  marvo::walk::Coverage coverage;
  // Failures in the order reported: test index and failure index.
  std::vector<std::pair<std::size_t, std::size_t>> rows;
};

WalkthroughFailureViewer::WalkthroughFailureViewer(const QString& title, const QString& walkthrough,
                                                   const QString& expected, const QString& actual, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  resize(900, 420);
  auto make = [this](const QString& text) {
    auto* edit = new QPlainTextEdit(text, this);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    return edit;
  };
  walkthroughText_ = make(walkthrough);
  expectedText_ = make(expected);
  actualText_ = make(actual);
  auto* columns = new QHBoxLayout(this);
  for (auto [label, edit] :
       {std::pair{QStringLiteral("Прохождение:"), walkthroughText_},
        std::pair{QStringLiteral("Ожидалось:"), expectedText_}, std::pair{QStringLiteral("Получено:"), actualText_}}) {
    auto* column = new QVBoxLayout;
    column->addWidget(new QLabel(label, this));
    column->addWidget(edit, 1);
    columns->addLayout(column, 1);
  }
}

WalkthroughPanel::WalkthroughPanel(QPlainTextEdit& textView, QWidget* parent) : QWidget(parent), textView_(textView) {
  setObjectName(QStringLiteral("walkthroughPanel"));
  summaryLabel_ = new QLabel(this);
  progressBar_ = new QProgressBar(this);
  progressBar_->setTextVisible(true);
  progressBar_->hide();
  coverageShadingBox_ = new QCheckBox(QStringLiteral("Показать непройденные строки"), this);
  auto* top = new QHBoxLayout;
  top->addWidget(summaryLabel_, 1);
  top->addWidget(progressBar_);
  top->addWidget(coverageShadingBox_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(top);
  hide();  // until the first run
  connect(coverageShadingBox_, &QCheckBox::toggled, this, &WalkthroughPanel::applyShading);
}

WalkthroughPanel::~WalkthroughPanel() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void WalkthroughPanel::run(std::vector<std::string> scenario, std::vector<std::string> library,
                           std::vector<std::filesystem::path> walks, const QString& noneNote) {
  if (busy_) return;
  busy_ = true;
  show();
  summaryLabel_->setText(QStringLiteral("Прохождения выполняются..."));
  progressBar_->setValue(0);
  progressBar_->show();
  cancel_ = false;
  auto run = std::make_shared<Run>();
  run_ = run;
  noneNote_ = noneNote;
  worker_ = std::thread(
      [this, run, paths = std::move(walks), scenario = std::move(scenario), library = std::move(library)]() mutable {
        for (const auto& path : paths) run->files.push_back(marvo::walk::readWalkFile(path));
        run->game = marvo::walk::prepareGame(std::move(scenario), std::move(library));
        marvo::walk::RunOptions options;
        options.coverage = true;
        options.cancel = &cancel_;
        options.progress = [this](std::size_t done, std::size_t total) {
          QMetaObject::invokeMethod(
              this,
              [this, done, total] {
                progressBar_->setMaximum(static_cast<int>(total));
                progressBar_->setValue(static_cast<int>(done));
              },
              Qt::QueuedConnection);
        };
        run->result = marvo::walk::runWalkthroughs(run->game, run->files, options);
        run->coverage = marvo::walk::computeCoverage(run->game, run->result.executed);
        QMetaObject::invokeMethod(this, &WalkthroughPanel::showResults, Qt::QueuedConnection);
      });
}

void WalkthroughPanel::showResults() {
  if (worker_.joinable()) worker_.join();
  busy_ = false;
  progressBar_->hide();
  const Run& run = *run_;
  QList<Problem> problems;
  for (std::size_t t = 0; t < run.result.tests.size(); ++t) {
    const auto& test = run.result.tests[t];
    for (std::size_t f = 0; f < test.failures.size(); ++f) {
      const auto& failure = test.failures[f];
      Problem p;
      p.source = utf8(test.file->path);
      p.line = failure.line;
      p.inScenario = false;
      p.rule = problemRule();
      p.text = failure.fault ? QStringLiteral("ошибка: ") + utf8(failure.expected)
                             : QStringLiteral("> ") + utf8(failure.command) + QStringLiteral(" — ожидалось ") +
                                   utf8(failure.expected);
      p.data = static_cast<int>(run_->rows.size());
      problems.append(p);
      run_->rows.emplace_back(t, f);
    }
  }
  if (run.files.empty()) {
    summaryLabel_->setText(noneNote_);
  } else {
    summaryLabel_->setText(QStringLiteral("Прохождения: успешно %1, с ошибками %2; покрытие строк %3%")
                               .arg(run.result.passed)
                               .arg(run.result.failed)
                               .arg(run.coverage.lines.percent()));
  }
  applyShading();
  emit finished(problems);
}

QString WalkthroughPanel::problemRule() { return QStringLiteral("walkthrough"); }

void WalkthroughPanel::openFailure(int index) {
  if (!run_ || busy_ || index < 0 || static_cast<std::size_t>(index) >= run_->rows.size()) return;
  const auto [t, f] = run_->rows[static_cast<std::size_t>(index)];
  const auto& test = run_->result.tests[t];
  const auto& failure = test.failures[f];
  // The walkthrough from the failing command (or the test's start) to the next command.
  QStringList walk;
  const auto& lines = test.file->lines;
  int first = failure.line;
  if (test.test) {
    for (const auto& step : test.test->steps)
      if (step.line <= failure.line) first = step.line;
  }
  for (int n = std::max(1, first); n <= static_cast<int>(lines.size()); ++n) {
    const QString line = utf8(lines[static_cast<std::size_t>(n - 1)].substr(0, 2000));
    if (n > first && (line.trimmed().startsWith(u'>') || line.trimmed().startsWith(u'*'))) break;
    walk << QStringLiteral("%1%2: %3")
                .arg(n == failure.line ? QStringLiteral("→ ") : QStringLiteral("  "))
                .arg(n)
                .arg(line);
  }
  QStringList got;
  for (const auto& line : failure.got) got << utf8(line);
  delete viewer_;
  viewer_ = new WalkthroughFailureViewer(utf8(marvo::walk::where(*test.file, failure.line)), walk.join(u'\n'),
                                         utf8(failure.expected), got.join(u'\n'), this);
  viewer_->show();
}

const std::vector<int>* WalkthroughPanel::unexecutedLines() const {
  if (!run_ || busy_ || run_->files.empty()) return nullptr;
  return &run_->coverage.unexecutedLines;
}

void WalkthroughPanel::applyShading() {
  QList<QTextEdit::ExtraSelection> marks;
  if (run_ && !busy_ && coverageShadingBox_->isChecked()) {
    QTextDocument* doc = textView_.document();
    // A pale shade under dark text, a dim one under the light text of a dark theme.
    const bool dark = textView_.palette().color(QPalette::Base).lightness() < 128;
    const QColor shade = dark ? QColor(0x5A, 0x3C, 0x1E) : QColor(255, 228, 196);
    for (int line : run_->coverage.unexecutedLines) {
      const QTextBlock block = doc->findBlockByNumber(line - 1);
      if (!block.isValid()) continue;
      QTextEdit::ExtraSelection mark;
      mark.cursor = QTextCursor(block);
      mark.format.setBackground(shade);
      mark.format.setProperty(QTextFormat::FullWidthSelection, true);
      marks.append(mark);
    }
  }
  textView_.setExtraSelections(marks);
}

}  // namespace marvo
