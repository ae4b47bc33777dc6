// The main window's "Save transcript...": the text of the output pane as a plain UTF-8 file.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "engine/file_io.h"
#include "main_window.h"

namespace marvo {

void MainWindow::saveTranscript() {
  if (busy_) return;
  // Offered beside the scenario, named after it, unless a transcript was saved before.
  if (transcriptDialog_.lastName.isEmpty()) {
    const QFileInfo scenario(scenarioSaveDialog_.lastName);
    transcriptDialog_.lastName =
        scenario.dir().filePath(scenario.completeBaseName() + QStringLiteral("-transcript.txt"));
  }
  auto name = askSave(transcriptDialog_);
  if (!name) return;
  QString text;
  for (const QString& line : outputLines()) text += line + QLatin1Char('\n');
  const QByteArray bytes = text.toUtf8();
  if (auto error = replaceFile(QFile::encodeName(*name).toStdString(), std::string_view(bytes.data(), bytes.size())))
    showError(QString::fromLocal8Bit(*error));
}

}  // namespace marvo
