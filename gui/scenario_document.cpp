// The scenario document: line operations on the text, loading and saving it, its recovery.
#include "gui/scenario_document.h"

#include <QFile>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "engine/text.h"
#include "game/scenario_file.h"
#include "gui/qt_codec.h"
#include "gui/recovery_writer.h"

namespace marvo {

using namespace literals;

namespace {

// The text a new author sees before opening anything.
std::vector<std::string> defaultTemplate() {
  return {"",        "", "", std::string("*- - - - - - Первая локация - - - - - - - - "_w),
          ":loc1",   "", "", "",
          "READ",    "", "", std::string("* - - - - - Локация общего назначения - - - - - - - - - -"_w),
          ":common", "", "", "RETURN",
          "",        ""};
}

std::filesystem::path toPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

ScenarioFormat formatFor(bool plainText) { return plainText ? ScenarioFormat::PlainText : ScenarioFormat::Rtf; }

}  // namespace

ScenarioDocument::ScenarioDocument(QObject* parent) : QObject(parent), text_(new QTextDocument(this)) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  // The text can change without the code editor being shown (the map export, the generators):
  // any change sets the flag. Loading a text (Open, New) passes through a changed state too, with
  // the undo history empty; every edit, and every undo or redo of one, has a history.
  connect(text_, &QTextDocument::modificationChanged, this, [this](bool changed) {
    if (changed && (text_->isUndoAvailable() || text_->isRedoAvailable())) state_.changed();
  });
  connect(text_, &QTextDocument::contentsChange, this,
          [this](int position, int, int charsAdded) { updateSymbols(position, charsAdded); });
  recovery_ = new RecoveryWriter(*this, this);
  setLines(defaultTemplate());
}

ScenarioDocument::~ScenarioDocument() = default;

// ---- Lines ------------------------------------------------------------------------------------
// The document holds each line as a block; after the final line break stands one more, empty
// block that is not a line (when the author removes that break, the last block is a line).

int ScenarioDocument::lineCount() const {
  const int blocks = text_->blockCount();
  return text_->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

std::vector<std::string> ScenarioDocument::lines() const {
  // One pass over the document's raw text is far cheaper than asking every block for its text.
  const std::size_t count = static_cast<std::size_t>(lineCount());
  const QString raw = text_->toRawText();
  const QStringView all(raw);
  std::vector<std::string> out;
  out.reserve(count);
  qsizetype start = 0;
  while (out.size() < count && start <= all.size()) {
    qsizetype end = all.indexOf(QChar::ParagraphSeparator, start);
    if (end < 0) end = all.size();
    out.push_back(toCp1251(all.sliced(start, end - start)));
    start = end + 1;
  }
  return out;
}

void ScenarioDocument::setLines(const std::vector<std::string>& lines) {
  // Straight into the document: QPlainTextEdit::setPlainText would also re-apply the character
  // format to the whole new text, a second pass over every line. Undo history and the modified
  // flag are reset as a newly loaded text should have them.
  text_->setPlainText(linesToQt(lines));
  text_->setModified(false);
  symbolsStale_ = true;
  emit textReplaced();
}

std::string ScenarioDocument::line(int index) const {
  if (index < 0 || index >= lineCount()) return {};
  return toCp1251(text_->findBlockByNumber(index).text());
}

void ScenarioDocument::setBlockText(int index, const QString& text) {
  QTextCursor cursor(text_->findBlockByNumber(index));
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  if (cursor.hasSelection()) cursor.removeSelectedText();
  cursor.insertText(text);
  cursor.endEditBlock();
}

void ScenarioDocument::replaceLine(int index, std::string_view text) {
  if (index < 0 || index >= lineCount()) return;
  QTextCursor batch(text_);
  batch.beginEditBlock();
  setBlockText(index, toQt(text));
  // An emptied last block would no longer count as a line: give the text its final break.
  if (text.empty() && index == text_->blockCount() - 1) {
    batch.movePosition(QTextCursor::End);
    batch.insertBlock();
  }
  batch.endEditBlock();
}

void ScenarioDocument::insertLine(int index, std::string_view text) {
  const int count = lineCount();
  if (index < 0 || index > count) return;
  QTextCursor cursor(text_);
  cursor.beginEditBlock();
  if (index < text_->blockCount()) {
    // Block `index` is a line or the empty block after the final break: put the new line before it.
    cursor.setPosition(text_->findBlockByNumber(index).position());
    cursor.insertText(toQt(text));
    cursor.insertBlock();
  } else {
    // The last line has no final break.
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(toQt(text));
    cursor.insertBlock();
  }
  cursor.endEditBlock();
}

void ScenarioDocument::appendLine(std::string_view text) { insertLine(lineCount(), text); }

void ScenarioDocument::clearText() {
  text_->setPlainText(QString());
  text_->setModified(false);
  symbolsStale_ = true;
  emit textReplaced();
}

void ScenarioDocument::replaceAllLines(const std::vector<std::string>& lines) {
  const QString text = linesToQt(lines);
  // Only what lies between the common beginning and the common end of the old and the new text is
  // replaced: the document's blocks are slow to make, and a text exported again after a small
  // change of the map differs in a few lines. The edit is one undo step; an equal text is left
  // alone. The document holds a paragraph separator where the text has a line break.
  const QString old = text_->toRawText();
  const auto same = [&](qsizetype i, qsizetype j) {
    const QChar n = text[j];
    return old[i] == (n == QLatin1Char('\n') ? QChar(QChar::ParagraphSeparator) : n);
  };
  const qsizetype shorter = std::min(old.size(), text.size());
  qsizetype head = 0;
  while (head < shorter && same(head, head)) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head && same(old.size() - 1 - tail, text.size() - 1 - tail)) ++tail;
  if (head + tail < old.size() || head + tail < text.size()) {
    QTextCursor cursor(text_);
    cursor.beginEditBlock();
    cursor.setPosition(static_cast<int>(head));
    cursor.setPosition(static_cast<int>(old.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(text.sliced(head, text.size() - tail - head));
    cursor.endEditBlock();
  }
  emit textReplaced();
}

ScenarioDocument::UndoStep::UndoStep(ScenarioDocument& document) : cursor_(document.text_) { cursor_.beginEditBlock(); }

ScenarioDocument::UndoStep::~UndoStep() { cursor_.endEditBlock(); }

// ---- Symbols ---------------------------------------------------------------------------------

namespace {
// An edit of more lines than this is left to a fresh build (a few milliseconds for a large text).
constexpr int kLinesUpdatedOneByOne = 200;
}  // namespace

const SymbolIndex& ScenarioDocument::symbols() const {
  if (symbolsStale_) {
    const auto all = lines();
    symbols_.build(all, library_);
    indexedLines_ = static_cast<int>(all.size());
    symbolsStale_ = false;
  }
  return symbols_;
}

void ScenarioDocument::setLibrary(const std::vector<std::string>& library) {
  library_ = library;
  symbolsStale_ = true;
}

// The changed text runs from `position` to `position + charsAdded`: the lines it touches are read
// again, and lines the edit added or removed are inserted or removed there.
void ScenarioDocument::updateSymbols(int position, int charsAdded) {
  if (symbolsStale_) return;
  const int count = lineCount();
  const int delta = count - indexedLines_;
  const int first = text_->findBlock(position).blockNumber();
  const int last = std::min(text_->findBlock(position + charsAdded).blockNumber(), count - 1);
  const int changedNow = last - first + 1;       // lines of the new text the edit touched
  const int changedBefore = changedNow - delta;  // the lines they replace
  if (first < 0 || changedBefore < 0 || changedNow < 0 || first + changedBefore > indexedLines_ ||
      std::max(changedNow, changedBefore) > kLinesUpdatedOneByOne) {
    symbolsStale_ = true;
    return;
  }
  const auto source = SymbolIndex::Source::Scenario;
  for (int i = 0; i < std::min(changedNow, changedBefore); ++i)
    symbols_.replaceLine(source, first + i, line(first + i));
  for (int i = changedBefore; i < changedNow; ++i) symbols_.insertLine(source, first + i, line(first + i));
  for (int i = changedNow; i < changedBefore; ++i) symbols_.removeLine(source, first + changedNow);
  indexedLines_ = count;
}

// ---- The file ---------------------------------------------------------------------------------

QString ScenarioDocument::path() const { return QFile::decodeName(QByteArray::fromStdString(state_.path().string())); }

bool ScenarioDocument::hasUnsavedChanges() const { return text_->isModified(); }

void ScenarioDocument::load(const std::vector<std::string>& lines, const QString& path, bool plainText) {
  setLines(lines);
  state_.loaded(toPath(path), formatFor(plainText));
  recovery_->setScenario(path);
  if (!path.isEmpty()) {
    offeredName_ = path;
    emit fileChanged(path);
  }
}

void ScenarioDocument::clear() {
  state_.loaded({}, ScenarioFormat::Rtf);
  recovery_->setScenario(QString());
  clearText();
}

std::optional<SaveFailure> ScenarioDocument::saveTo(const QString& path, bool plainText) {
  const auto format = formatFor(plainText);
  if (auto failure = saveScenarioFile(toPath(path), lines(), format)) return failure;
  // Only once the text is safely on disk.
  state_.saved(toPath(path), format);
  text_->setModified(false);
  offeredName_ = path;
  recovery_->setScenario(path);
  emit fileChanged(path);
  return std::nullopt;
}

void ScenarioDocument::restore(const std::vector<std::string>& lines, const QString& scenario,
                               const std::filesystem::path& recoveryFile) {
  setLines(lines);
  text_->setModified(true);
  state_.restored(toPath(scenario));
  if (!scenario.isEmpty()) offeredName_ = scenario;
  recovery_->adopt(recoveryFile, scenario);
}

}  // namespace marvo
