// The main window's aids to the player: names for assistive technology, every control within
// reach of the keyboard, typing that finds the input line, clickable menu lines and the zoom of
// the output pane (remembered between runs).
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <algorithm>

#include "gui/qt_codec.h"
#include "main_window.h"
#include "player/menu_lines.h"

namespace marvo {

namespace {

const QString kTextSizeKey = QStringLiteral("player/outputTextSize");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }

}  // namespace

void MainWindow::buildPlayAids() {
  outputPane_->setAccessibleName(QStringLiteral("Текст игры"));
  outputPane_->setAccessibleDescription(
      QStringLiteral("Всё, что выводит игра; новые строки добавляются в конец. Строку меню можно выбрать щелчком "
                     "или вводом её номера."));
  commandLine_->setAccessibleName(QStringLiteral("Команда"));
  commandLine_->setAccessibleDescription(
      QStringLiteral("Введите команду и нажмите Enter; стрелки вверх и вниз возвращают прежние команды."));
  inventoryList_->setAccessibleName(QStringLiteral("Инвентарь"));
  inventoryList_->setAccessibleDescription(QStringLiteral("Предметы, которые несёт игрок."));
  characteristicsList_->setAccessibleName(QStringLiteral("Характеристики"));
  characteristicsList_->setAccessibleDescription(QStringLiteral("Характеристики игрока."));
  inventoryLabel_->setBuddy(inventoryList_);
  characteristicsLabel_->setBuddy(characteristicsList_);

  // Tab reaches the output pane (read with the arrows) and both lists; typing a character in any
  // of them goes on in the input line.
  for (QWidget* control : std::initializer_list<QWidget*>{outputPane_, inventoryList_, characteristicsList_})
    control->setFocusPolicy(Qt::StrongFocus);
  setTabOrder(commandLine_, outputPane_);
  setTabOrder(outputPane_, inventoryList_);
  setTabOrder(inventoryList_, characteristicsList_);
  outputPane_->setTypingTarget(commandLine_);
  outputPane_->forwardTyping(inventoryList_);
  outputPane_->forwardTyping(characteristicsList_);

  // F10 opens the menu bar at "File", as in most desktop programs: the menu's captions carry no
  // Alt letters, and some items have no key of their own.
  auto* menuKey = new QAction(this);
  menuKey->setObjectName(QStringLiteral("openMenuBarAction"));
  menuKey->setShortcut(QKeySequence(Qt::Key_F10));
  connect(menuKey, &QAction::triggered, this, [this] { menuBar()->setActiveAction(fileMenu_->menuAction()); });
  addAction(menuKey);

  connect(outputPane_, &OutputPane::menuLineClicked, this, &MainWindow::chooseMenuLine);

  outputPane_->setTextSize(settings().value(kTextSizeKey, OutputPane::kDefaultSize).toInt());
  connect(outputPane_, &OutputPane::textSizeChanged, this, [](int size) {
    if (size == OutputPane::kDefaultSize)
      settings().remove(kTextSizeKey);
    else
      settings().setValue(kTextSizeKey, size);
  });

  saveTranscriptAction_ = new QAction(QStringLiteral("Save transcript..."), this);
  saveTranscriptAction_->setObjectName(QStringLiteral("saveTranscriptAction"));
  connect(saveTranscriptAction_, &QAction::triggered, this, &MainWindow::saveTranscript);
  gameMenu_->insertAction(talkAction_, saveTranscriptAction_);
}

void MainWindow::chooseMenuLine(int line) {
  if (busy_ || line < 0 || static_cast<std::size_t>(line) >= output_.size()) return;
  // Still on offer: the game may have moved on since the pane was drawn.
  const auto offered = offeredMenuLines(output_, menuChoices(engine_.state()));
  if (std::find(offered.begin(), offered.end(), static_cast<std::size_t>(line)) == offered.end()) return;
  // As if the player had typed the number: Talk on the input line, logged and kept in the history.
  commandLine_->setText(toQt(menuNumber(output_[static_cast<std::size_t>(line)])));
  commandLine_->setFocus();
  submitCommand();
}

}  // namespace marvo
