// The code editor's navigation on the symbol index: go to definition (F12, Ctrl+click), find
// references (Shift+F12), rename (F2), the outline of locations, and the story map (Ctrl+M).
#include <QAction>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "checker/checker.h"
#include "code_editor_window.h"
#include "engine/text.h"
#include "game/rename_rules.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "gui/scenario_document.h"
#include "outline_panel.h"
#include "problems_panel.h"
#include "references_panel.h"
#include "storymap/story_map_window.h"
#include "walkthrough_panel.h"

namespace marvo {

namespace {

QString kindName(SymbolKind kind) {
  switch (kind) {
    case SymbolKind::Location:
      return QStringLiteral("локацию");
    case SymbolKind::Object:
      return QStringLiteral("предмет");
    default:
      return QStringLiteral("переменную");
  }
}

const QString kNoName = QStringLiteral(
    "Поставьте курсор на имя локации, предмета или переменной: F12 переходит к определению, Shift+F12 ищет "
    "использования, F2 переименовывает.");

}  // namespace

void CodeEditorWindow::buildNavigation() {
  contextMenu_->addSeparator();
  goToDefinitionAction_ = addKeyItem(contextMenu_, QStringLiteral("Перейти к определению"), QKeySequence(Qt::Key_F12));
  findReferencesAction_ =
      addKeyItem(contextMenu_, QStringLiteral("Найти использования"), QKeySequence(Qt::SHIFT | Qt::Key_F12));
  renameAction_ = addKeyItem(contextMenu_, QStringLiteral("Переименовать..."), QKeySequence(Qt::Key_F2));
  storyMapAction_ = addKeyItem(contextMenu_, QStringLiteral("Карта сюжета"), QKeySequence(kStoryMapKey));
  playTreeAction_ = addKeyItem(contextMenu_, QStringLiteral("Дерево прохождений"), QKeySequence(kPlayTreeKey));
  connect(goToDefinitionAction_, &QAction::triggered, this, [this] { goToDefinition(); });
  connect(findReferencesAction_, &QAction::triggered, this, &CodeEditorWindow::findReferences);
  connect(renameAction_, &QAction::triggered, this, &CodeEditorWindow::startRename);
  connect(storyMapAction_, &QAction::triggered, this, [this] { openStoryMap(); });
  connect(playTreeAction_, &QAction::triggered, this, &CodeEditorWindow::playTreeRequested);

  // The references list shares the place under the text with the problems list.
  referencesPanel_ = new ReferencesPanel(this);
  referencesPanel_->hide();
  if (auto* underText = qobject_cast<QSplitter*>(problemsPanel_->parentWidget())) {
    underText->addWidget(referencesPanel_);
    underText->setStretchFactor(underText->count() - 1, 1);
  }
  referencesPanel_->list()->installEventFilter(this);
  connect(referencesPanel_, &ReferencesPanel::referenceActivated, this, [this](const Reference& r) {
    if (!r.inLibrary) moveCaretToLine(r.line - 1);
    scenarioView_->setFocus();
  });

  outlinePanel_ = new OutlinePanel(document_, this);
  if (auto* side = qobject_cast<QVBoxLayout*>(variablePane_->parentWidget()->layout()))
    side->insertWidget(side->indexOf(variablePane_) - 1, outlinePanel_, 1);
  outlinePanel_->filterField()->installEventFilter(this);
  connect(outlinePanel_, &OutlinePanel::locationActivated, this, [this](int line) {
    moveCaretToLine(line);
    scenarioView_->setFocus();
  });

  renameBar_ = new RenameBar(this);
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) grid->addWidget(renameBar_, 3, 0, 1, 2);
  connect(renameBar_, &RenameBar::renameRequested, this, [this](const QString& name) {
    if (renameSymbol(name).isEmpty()) {
      renameBar_->hide();
      scenarioView_->setFocus();
    }
  });
  connect(renameBar_, &RenameBar::closed, this, [this] { scenarioView_->setFocus(); });

  // The map follows the caret from line to line.
  connect(scenarioView_, &QPlainTextEdit::cursorPositionChanged, this, [this, followed = -1]() mutable {
    if (!storyMap_ || !storyMap_->isVisible()) return;
    const int line = caretLine() + 1;
    if (line == followed) return;
    followed = line;
    storyMap_->followLocation(line);
  });
  connect(walkthroughPanel_, &WalkthroughPanel::finished, this, &CodeEditorWindow::showCoverageOnMap);
}

QObject* CodeEditorWindow::referencesList() const { return referencesPanel_ ? referencesPanel_->list() : nullptr; }

QObject* CodeEditorWindow::outlineFilter() const { return outlinePanel_ ? outlinePanel_->filterField() : nullptr; }

bool CodeEditorWindow::navigationKey(QKeyEvent* key) {
  const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  if (key->keyCombination() == kStoryMapKey) {
    openStoryMap();
    return true;
  }
  if (key->keyCombination() == kPlayTreeKey) {
    emit playTreeRequested();
    return true;
  }
  if (key->key() == Qt::Key_F12 && mods == Qt::NoModifier) {
    goToDefinition();
    return true;
  }
  if (key->key() == Qt::Key_F12 && mods == Qt::ShiftModifier) {
    findReferences();
    return true;
  }
  if (key->key() == Qt::Key_F2 && mods == Qt::NoModifier) {
    startRename();
    return true;
  }
  return false;
}

bool CodeEditorWindow::ctrlClick(QMouseEvent* click) {
  if (click->button() != Qt::LeftButton || !(click->modifiers() & Qt::ControlModifier)) return false;
  scenarioView_->setTextCursor(scenarioView_->cursorForPosition(click->position().toPoint()));
  goToDefinition();
  return true;
}

void CodeEditorWindow::placeCaretAt(int line, int column) {
  moveCaretToLine(line);
  QTextCursor cursor = scenarioView_->textCursor();
  cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, std::max(0, column));
  scenarioView_->setTextCursor(cursor);
}

namespace {

// The symbol under the caret of `view`, the index kept current by the document.
std::optional<names::NameAt> nameUnderCaret(const ScenarioDocument& document, const QPlainTextEdit& view) {
  const QTextCursor caret = view.textCursor();
  const int line = caret.blockNumber();
  return names::symbolAt(document.symbols(), line, document.line(line), caret.positionInBlock());
}

}  // namespace

bool CodeEditorWindow::goToDefinition() {
  syncLibrary();
  const auto found = nameUnderCaret(document_, *scenarioView_);
  if (!found) {
    dialogs_.message(this, kNoName);
    return false;
  }
  const auto def = document_.symbols().definition(found->symbol.kind, found->symbol.name);
  if (!def) {
    dialogs_.message(this, QStringLiteral("«%1» нигде не определено в тексте, который запускает игра: ни в сценарии, "
                                          "ни в библиотеке перед строкой с return.")
                               .arg(toQt(found->symbol.name)));
    return false;
  }
  if (def->source == LineOrigin::Library) {
    dialogs_.message(this, QStringLiteral("«%1» определено в строке %2 библиотеки: откройте её в редакторе "
                                          "библиотеки (контекстное меню, «Marvo.lib»).")
                               .arg(toQt(found->symbol.name))
                               .arg(def->line + 1));
    return false;
  }
  const auto spans = names::nameSpans(document_.line(def->line), def->name, def->kind);
  placeCaretAt(def->line, spans.empty() ? 0 : spans.front().start);
  return true;
}

void CodeEditorWindow::findReferences() {
  syncLibrary();
  const auto found = nameUnderCaret(document_, *scenarioView_);
  if (!found) {
    dialogs_.message(this, kNoName);
    return;
  }
  const SymbolIndex& index = document_.symbols();
  const std::string name(found->symbol.name);
  const auto library = syncedLibrary_;
  QList<Reference> list;
  int previous = -1;
  LineOrigin::Source previousSource = LineOrigin::Scenario;
  for (const Symbol& s : index.occurrences(found->symbol.kind, name)) {
    if (s.line == previous && s.source == previousSource) continue;  // a line once
    previous = s.line;
    previousSource = s.source;
    Reference r;
    r.line = s.line + 1;
    r.inLibrary = s.source == LineOrigin::Library;
    r.role = s.role == SymbolRole::Definition ? QStringLiteral("определение")
             : s.role == SymbolRole::Property ? QStringLiteral("свойство")
                                              : QStringLiteral("использование");
    const std::string text =
        r.inLibrary
            ? (s.line < static_cast<int>(library.size()) ? library[static_cast<std::size_t>(s.line)] : std::string())
            : document_.line(s.line);
    r.text = toQt(trimView(text));
    list.append(r);
  }
  referencesPanel_->setReferences(QStringLiteral("Использования «%1»: %2").arg(toQt(name)).arg(list.size()), list);
  referencesPanel_->show();
  referencesPanel_->list()->setFocus();
}

void CodeEditorWindow::startRename() {
  const auto found = nameUnderCaret(document_, *scenarioView_);
  if (!found) {
    dialogs_.message(this, kNoName);
    return;
  }
  const std::string written = document_.line(caretLine())
                                  .substr(static_cast<std::size_t>(found->span.start),
                                          static_cast<std::size_t>(found->span.end - found->span.start));
  renameBar_->open(kindName(found->symbol.kind), toQt(written));
}

QString CodeEditorWindow::renameSymbol(const QString& newName) {
  syncLibrary();
  const auto found = nameUnderCaret(document_, *scenarioView_);
  QString problem;
  if (!found) problem = kNoName;
  const std::string name = toCp1251(newName);
  if (problem.isEmpty() && toQt(name) != newName)
    problem = QStringLiteral("В новом имени есть знаки, которых нет в кодировке Windows-1251.");
  if (problem.isEmpty() && found->symbol.kind == SymbolKind::Object && marvo::lower(name) != found->symbol.name) {
    // The object placer's rule: a name an earlier CREATE declares is taken.
    if (const int created = check::findCreate(document_.lines(), name); created >= 0)
      problem = QStringLiteral("Имя «%1» уже занято: предмет с ним создан в строке %2 сценария. Возьмите другое имя.")
                    .arg(newName)
                    .arg(created + 1);
  }
  if (!problem.isEmpty()) {
    dialogs_.message(this, problem);
    return problem;
  }
  const int caretAt = scenarioView_->textCursor().position();
  const auto result =
      names::rename(document_.symbols(), document_.lines(), found->symbol.kind, found->symbol.name, name);
  if (!result.problem.empty()) {
    problem = toQt(result.problem);
    dialogs_.message(this, problem);
    return problem;
  }
  {
    ScenarioDocument::UndoStep step(document_);
    for (int line : result.changed) document_.replaceLine(line, result.lines[static_cast<std::size_t>(line)]);
  }
  QTextCursor caret = scenarioView_->textCursor();
  caret.setPosition(std::min(caretAt, scenarioView_->document()->characterCount() - 1));
  scenarioView_->setTextCursor(caret);
  return {};
}

void CodeEditorWindow::syncLibrary() {
  std::vector<std::string> library = libraryLines();
  if (librarySynced_ && library == syncedLibrary_) return;
  librarySynced_ = true;
  syncedLibrary_ = std::move(library);
  document_.setLibrary(syncedLibrary_);
  if (storyMap_) storyMap_->setLibrary(syncedLibrary_);
}

StoryMapWindow* CodeEditorWindow::openStoryMap() {
  if (!storyMap_) {
    // A window of its own that belongs to this one: usable while this window is shown modally.
    storyMap_ = new StoryMapWindow(document_, dialogs_, this);
    storyMap_->setWindowFlag(Qt::Window);
    storyMap_->setLibrary(syncedLibrary_);
    connect(storyMap_, &StoryMapWindow::locationActivated, this, [this](int line) { moveCaretToLine(line - 1); });
    connect(storyMap_, &StoryMapWindow::lineActivated, this, [this](int line) { moveCaretToLine(line - 1); });
    connect(storyMap_, &StoryMapWindow::mapUpdated, this, [this] { storyMap_->followLocation(caretLine() + 1); });
    // Beside the editor: the right half of the screen.
    if (QScreen* where = screen()) {
      const QRect area = where->availableGeometry();
      storyMap_->setGeometry(area.x() + area.width() / 2, area.y(), area.width() / 2, area.height());
    }
  }
  syncLibrary();
  storyMap_->show();
  storyMap_->raise();
  storyMap_->activateWindow();
  storyMap_->followLocation(caretLine() + 1);
  showCoverageOnMap();
  return storyMap_;
}

void CodeEditorWindow::showCoverageOnMap() {
  if (!storyMap_) return;
  const std::vector<int>* unexecuted = walkthroughPanel_->unexecutedLines();
  if (!unexecuted) return;
  const int count = document_.lineCount();
  std::vector<char> missed(static_cast<std::size_t>(count) + 1, 0);
  for (int line : *unexecuted)
    if (line >= 1 && line <= count) missed[static_cast<std::size_t>(line)] = 1;
  std::vector<int> visited;
  for (int line = 1; line <= count; ++line)
    if (!missed[static_cast<std::size_t>(line)]) visited.push_back(line);
  storyMap_->showCoverage(visited);
}

}  // namespace marvo
