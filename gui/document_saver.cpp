// Saving the scenario document: Save, Save as..., the replace question and failed saves.
#include "gui/document_saver.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "gui/dialogs.h"
#include "gui/file_messages.h"
#include "gui/scenario_document.h"

namespace marvo {

namespace {

// Whether `a` and `b` name the same file (through links and relative names alike).
bool sameFile(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  const QFileInfo first(a), second(b);
  const QString canonicalA = first.canonicalFilePath(), canonicalB = second.canonicalFilePath();
  if (!canonicalA.isEmpty() && !canonicalB.isEmpty()) return canonicalA == canonicalB;
  return first.absoluteFilePath() == second.absoluteFilePath();
}

bool writableFolder(const QString& folder) {
  return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

}  // namespace

QString DocumentSaver::nameInWritableFolder(const QString& name) {
  const QFileInfo info(name);
  // A folder that is not there keeps the name: it was typed last, and may be mended in the dialog.
  if (name.isEmpty() || !QFileInfo(info.absolutePath()).isDir() || writableFolder(info.absolutePath())) return name;
  // An installed sample game: the same name where the user may write.
  for (const QString& folder :
       {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), QDir::homePath(), QDir::currentPath()}) {
    if (writableFolder(folder)) return QDir(folder).filePath(info.fileName());
  }
  return name;
}

DocumentSaver::DocumentSaver(ScenarioDocument& document, Dialogs& dialogs, QWidget* parent)
    : document_(document), dialogs_(dialogs), parent_(parent) {}

QStringList DocumentSaver::types() {
  return {QStringLiteral("scenary (*.scn)"), QStringLiteral("plain text scenary (*.scn *.txt)")};
}

DocumentSaver::Result DocumentSaver::save() {
  const auto target = document_.saveTarget();
  if (!target) return saveAs();
  return saveTo(document_.path(), target->format == ScenarioFormat::PlainText);
}

DocumentSaver::Result DocumentSaver::saveAs() {
  const FileDialogRequest request{types().constFirst(), QStringLiteral("scn"),
                                  nameInWritableFolder(document_.offeredName())};
  auto chosen = dialogs_.saveFileOfType(parent_, request, types(), document_.plainText() ? kPlainTextType : 0);
  if (!chosen) return Result::Cancelled;
  document_.setOfferedName(chosen->name);  // the dialog offers the name chosen last
  if (QFileInfo::exists(chosen->name) && !sameFile(chosen->name, document_.path())) {
    const QString question =
        QStringLiteral("Файл %1 уже существует.\nЗаменить его текстом сценария? Прежнее содержимое останется в %1.bak.")
            .arg(chosen->name);
    if (dialogs_.choose(parent_, question, {QStringLiteral("Заменить"), QStringLiteral("Отмена")}) != 0)
      return Result::Cancelled;
  }
  return saveTo(chosen->name, chosen->type == kPlainTextType);
}

DocumentSaver::Result DocumentSaver::saveTo(const QString& file, bool plainText) {
  const bool existed = QFileInfo::exists(file);
  const auto failure = document_.saveTo(file, plainText);
  if (!failure) return Result::Saved;
  const bool elsewhere =
      dialogs_.messageWithAction(parent_, scenarioNotSaved(file, *failure),
                                 scenarioNotSavedDetail(file, existed, *failure), QStringLiteral("Сохранить как..."));
  if (!elsewhere) return Result::Failed;
  return saveAs();
}

}  // namespace marvo
