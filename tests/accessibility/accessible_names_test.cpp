// Every field, list, tree and text area of the authoring windows has a name assistive technology
// reads (its own or its label's), hidden ones included, so a screen reader user can tell the controls apart.
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBrowser>
#include <memory>

#include "../support/private_settings.h"
#include "editor/code_editor_window.h"
#include "editor/library_editor_window.h"
#include "gui/dialogs.h"
#include "gui/scenario_document.h"
#include "help/reference_window.h"
#include "mapedit/map_editor_window.h"
#include "npc/dialogue_maker_window.h"
#include "object_placer/object_placer_window.h"

namespace {

// The input controls of `window` that assistive technology would read with no name.
QStringList unnamedControls(QWidget* window) {
  QStringList unnamed;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                         qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QComboBox*>(widget) ||
                         qobject_cast<QGraphicsView*>(widget) || qobject_cast<QTextBrowser*>(widget);
    if (!control || qobject_cast<QHeaderView*>(widget)) continue;
    // A line edit inside a combo box is named by the combo box.
    if (qobject_cast<QComboBox*>(widget->parentWidget())) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
      unnamed << QStringLiteral("%1 (%2)").arg(QLatin1String(widget->metaObject()->className()), widget->objectName());
  }
  return unnamed;
}

}  // namespace

class AccessibleNamesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QAccessible::setActive(true); }

  void everyControlOfTheAuthoringWindowsHasAName() {
    marvo::ScriptedDialogs dialogs;
    marvo::ScenarioDocument document;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<marvo::CodeEditorWindow>(document, dialogs));
    windows.push_back(std::make_unique<marvo::LibraryEditorWindow>(dialogs));
    windows.push_back(std::make_unique<marvo::MapEditorWindow>(document, dialogs));
    windows.push_back(std::make_unique<marvo::DialogueMakerWindow>(document, dialogs));
    windows.push_back(std::make_unique<marvo::ObjectPlacerWindow>(document, dialogs));
    windows.push_back(std::make_unique<marvo::ReferenceWindow>());
    QStringList unnamed;
    for (auto& window : windows)
      for (const QString& control : unnamedControls(window.get()))
        unnamed << QLatin1String(window->metaObject()->className()) + QStringLiteral(": ") + control;
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
  }
};

int main(int argc, char** argv) {
  marvo::test::usePrivateSettings();
  QApplication app(argc, argv);
  AccessibleNamesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "accessible_names_test.moc"
