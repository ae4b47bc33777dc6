// The main window's safe saving: the offer to save before the text is replaced, "Save" and
// "Save as..." in RTF or plain text (with a backup of the replaced file), and the recent files.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextDocument>

#include "TForm1.h"
#include "editor/TForm2.h"
#include "gui/dialogs.h"
#include "gui/qt_codec.h"
#include "player/recovery_writer.h"
#include "player/scenario_file.h"

namespace {

const QStringList kScenarioTypes = {QStringLiteral("scenary (*.scn)"),
                                    QStringLiteral("plain text scenary (*.scn *.txt)")};
constexpr int kPlainTextType = 1;
const QString kRecentKey = QStringLiteral("recentFiles");

QSettings settings() { return QSettings(QStringLiteral("marvo"), QStringLiteral("marvo")); }

}  // namespace

void TForm1::buildSaveMenu() {
  Save1 = new QAction(QStringLiteral("Save"), this);
  Save1->setObjectName(QStringLiteral("Save1"));
  // Ctrl+S is "Save as..."; F2 is free in this window and is the classic key for saving.
  Save1->setShortcut(QKeySequence(Qt::Key_F2));
  connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
  File1->insertAction(Saveas1, Save1);

  Recentfiles1 = new QMenu(QStringLiteral("Recent files"), this);
  Recentfiles1->setObjectName(QStringLiteral("Recentfiles1"));
  File1->insertMenu(Save1, Recentfiles1);
  rebuildRecentFiles();
}

bool TForm1::hasUnsavedChanges() const { return editor_ && editor_->Memo1->document()->isModified(); }

bool TForm1::offerSave() {
  if (!hasUnsavedChanges()) return true;
  const int answer = dialogs_.choose(this, QStringLiteral("Текст сценария изменён. Сохранить изменения?"),
                                     {QStringLiteral("Да"), QStringLiteral("Нет"), QStringLiteral("Отмена")});
  if (answer == 1) return true;
  if (answer != 0) return false;
  return saveScenario() == SaveResult::Saved;
}

void TForm1::Saveas1Click() {
  if (!editor_ || busy_) return;
  saveScenarioAs();
}

void TForm1::Save1Click() {
  if (!editor_ || busy_) return;
  saveScenario();
}

TForm1::SaveResult TForm1::saveScenario() {
  if (scenarioFile_.isEmpty()) return saveScenarioAs();
  return saveScenarioTo(scenarioFile_, scenarioPlainText_) ? SaveResult::Saved : SaveResult::Failed;
}

TForm1::SaveResult TForm1::saveScenarioAs() {
  const marvo::FileDialogRequest request{saveDialog1_.filter, saveDialog1_.defaultSuffix, saveDialog1_.lastName};
  auto chosen = dialogs_.saveFileOfType(this, request, kScenarioTypes, scenarioPlainText_ ? kPlainTextType : 0);
  if (!chosen) return SaveResult::Cancelled;
  saveDialog1_.lastName = chosen->name;
  return saveScenarioTo(chosen->name, chosen->type == kPlainTextType) ? SaveResult::Saved : SaveResult::Failed;
}

bool TForm1::saveScenarioTo(const QString& name, bool plainText) {
  const auto format = plainText ? marvo::ScenarioFormat::PlainText : marvo::ScenarioFormat::Rtf;
  if (auto error = marvo::saveScenarioFile(QFile::encodeName(name).toStdString(), editor_->lines(), format)) {
    showError(QString::fromLocal8Bit(*error));
    return false;
  }
  // Only once the text is safely on disk.
  modified_ = false;
  editor_->Memo1->document()->setModified(false);
  scenarioFile_ = name;
  scenarioPlainText_ = plainText;
  if (recovery_) recovery_->setScenario(name);
  addRecentFile(name);
  return true;
}

void TForm1::scenarioReplaced(const QString& file, bool plainText) {
  scenarioFile_ = file;
  scenarioPlainText_ = plainText;
  if (recovery_) recovery_->setScenario(file);
  if (!file.isEmpty()) addRecentFile(file);
}

void TForm1::showReadNotes(const QString& file, const std::vector<marvo::TextNote>& notes) {
  if (notes.empty()) return;
  QStringList lines;
  for (const auto& note : notes)
    lines.append(QStringLiteral("%1:%2: %3").arg(file).arg(note.line).arg(marvo::toQt(note.text)));
  report(lines.join(QLatin1Char('\n')));
}

// ---- recent files ----

void TForm1::addRecentFile(const QString& file) {
  const QString absolute = QFileInfo(file).absoluteFilePath();
  QStringList recent = settings().value(kRecentKey).toStringList();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kRecentFiles) recent.removeLast();
  settings().setValue(kRecentKey, recent);
  rebuildRecentFiles();
}

void TForm1::rebuildRecentFiles() {
  Recentfiles1->clear();
  const QStringList recent = settings().value(kRecentKey).toStringList();
  for (const QString& file : recent) {
    QAction* item = Recentfiles1->addAction(file);
    connect(item, &QAction::triggered, this, [this, file] { openRecentFile(file); });
  }
  Recentfiles1->setEnabled(!recent.isEmpty());
}

void TForm1::openRecentFile(const QString& file) {
  if (!editor_ || busy_ || !offerSave()) return;
  openScenario(file);
}
