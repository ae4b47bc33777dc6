// The code editor's spelling check: the underlines, the context menu's corrections and
// dictionaries, the switch and the «ё»/«е» option in the settings, the note when no dictionary is
// installed.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTextBlock>
#include <QVBoxLayout>

#include "code_editor_window.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "spelling_underline.h"

namespace marvo {

namespace {
const QString kSpellingKey = QStringLiteral("editor/spelling");
const QString kYoIsYeKey = QStringLiteral("editor/spellingYoIsYe");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }
}  // namespace

void CodeEditorWindow::setUpSpelling() {
  spelling_ = new SpellingUnderline(
      document_.textDocument(), [this] { return document_.path(); }, this);
  spelling_->setYoIsYe(settings().value(kYoIsYeKey, true).toBool());
  scenarioView_->setWordUnderlines([this](int line) {
    QList<QPair<int, int>> spans;
    for (const auto& m : spelling_->on(line)) spans.append({m.column, m.length});
    return spans;
  });
  connect(spelling_, &SpellingUnderline::changed, scenarioView_->viewport(), qOverload<>(&QWidget::update));
  connect(&document_, &ScenarioDocument::fileChanged, spelling_, &SpellingUnderline::scenarioFileChanged);
  connect(&document_, &ScenarioDocument::textReplaced, spelling_, &SpellingUnderline::textReplaced);

  // The note sits under the autocompletion switch, in the side column.
  spellingNote_ = new QLabel(this);
  spellingNote_->setWordWrap(true);
  spellingNote_->hide();
  if (auto* column = qobject_cast<QVBoxLayout*>(autoCompleteBox_->parentWidget()->layout()))
    column->insertWidget(column->indexOf(autoCompleteBox_) + 1, spellingNote_);
  connect(spelling_, &SpellingUnderline::noteChanged, this, [this](const QString& note) {
    spellingNote_->setText(note);
    spellingNote_->setVisible(!note.isEmpty());
    spellingAction_->setEnabled(note.isEmpty());
    yoIsYeAction_->setEnabled(note.isEmpty());
  });

  contextMenu_->addSeparator();
  spellingAction_ = contextMenu_->addAction(QStringLiteral("Проверка орфографии"));
  spellingAction_->setCheckable(true);
  spellingAction_->setChecked(settings().value(kSpellingKey, true).toBool());
  yoIsYeAction_ = contextMenu_->addAction(QStringLiteral("Считать «ё» и «е» одной буквой"));
  yoIsYeAction_->setCheckable(true);
  yoIsYeAction_->setChecked(spelling_->yoIsYe());
  connect(spellingAction_, &QAction::toggled, this, [this](bool on) {
    settings().setValue(kSpellingKey, on);
    // Turned on before the editor was first shown: the check starts when it is.
    if (!on || isVisible()) spelling_->setEnabled(on);
  });
  connect(yoIsYeAction_, &QAction::toggled, this, [this](bool same) {
    settings().setValue(kYoIsYeKey, same);
    spelling_->setYoIsYe(same);
  });
  connect(spelling_, &SpellingUnderline::suggestionsReady, this, [this](const std::string& word) {
    if (word == menuWord_.word) showSpellingEntries();  // in place of "Варианты ищутся…"
  });
}

void CodeEditorWindow::startSpelling() {
  if (spellingAction_->isChecked()) spelling_->setEnabled(true);
}

void CodeEditorWindow::prepareContextMenu(const QPoint& viewportPos) {
  menuWord_ = {};
  const QTextCursor at = scenarioView_->cursorForPosition(viewportPos);
  // The caret position nearest the click: over the right half of a word's last letter it is
  // already after the word.
  const auto* unknown = spelling_->at(at.blockNumber(), at.positionInBlock());
  if (!unknown) unknown = spelling_->at(at.blockNumber(), at.positionInBlock() - 1);
  if (unknown) {
    menuWord_ = {unknown->line, unknown->column, unknown->word};
    spelling_->findSuggestions(unknown->word);
  }
  showSpellingEntries();
}

// The entries for the word the menu was opened on, at the top of the menu, in place of those of
// the last time.
void CodeEditorWindow::showSpellingEntries() {
  for (QAction* entry : spellingEntries_) {
    contextMenu_->removeAction(entry);
    entry->deleteLater();
  }
  spellingEntries_.clear();
  if (menuWord_.word.empty()) return;
  QAction* before = contextMenu_->actions().value(0);
  auto add = [&](const QString& text) {
    auto* entry = new QAction(text, contextMenu_);
    contextMenu_->insertAction(before, entry);
    spellingEntries_.append(entry);
    return entry;
  };
  const auto found = spelling_->knownSuggestions(menuWord_.word);
  if (!found) {
    add(QStringLiteral("Варианты ищутся…"))->setEnabled(false);
  } else if (found->empty()) {
    add(QStringLiteral("Нет вариантов"))->setEnabled(false);
  } else {
    for (const std::string& correction : *found) {
      QAction* entry = add(toQt(correction));
      QFont bold = entry->font();
      bold.setBold(true);
      entry->setFont(bold);
      connect(entry, &QAction::triggered, this, [this, correction] { replaceMenuWord(correction); });
    }
  }
  const std::string word = menuWord_.word;
  QAction* game = add(QStringLiteral("Добавить в словарь игры"));
  if (document_.path().isEmpty()) {
    game->setEnabled(false);
    game->setToolTip(QStringLiteral("Словарь игры лежит рядом с файлом сценария: сохраните сценарий."));
  }
  connect(game, &QAction::triggered, this, [this, word] {
    if (auto error = spelling_->addToGameDictionary(word)) dialogs_.message(this, *error);
  });
  connect(add(QStringLiteral("Добавить в словарь пользователя")), &QAction::triggered, this, [this, word] {
    if (auto error = spelling_->addToUserDictionary(word)) dialogs_.message(this, *error);
  });
  connect(add(QStringLiteral("Пропустить")), &QAction::triggered, this, [this, word] { spelling_->ignore(word); });
  auto* separator = new QAction(contextMenu_);
  separator->setSeparator(true);
  contextMenu_->insertAction(before, separator);
  spellingEntries_.append(separator);
}

void CodeEditorWindow::replaceMenuWord(const std::string& correction) {
  const QTextBlock block = scenarioView_->document()->findBlockByNumber(menuWord_.line);
  const int length = static_cast<int>(menuWord_.word.size());
  // The line may have changed while the menu was open: replace only the word that was there.
  if (!block.isValid() || toCp1251(block.text().mid(menuWord_.column, length)) != menuWord_.word) return;
  QTextCursor cursor(block);
  cursor.setPosition(block.position() + menuWord_.column);
  cursor.setPosition(block.position() + menuWord_.column + length, QTextCursor::KeepAnchor);
  cursor.insertText(toQt(correction));
}

}  // namespace marvo
