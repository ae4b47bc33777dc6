// The Russian texts of file problems.
#include "gui/file_messages.h"

#include <cerrno>
#include <cstring>

namespace marvo {

QString fileErrorReason(int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
      return QStringLiteral("нет прав доступа");
    case EROFS:
      return QStringLiteral("диск или папка только для чтения");
    case ENOSPC:
      return QStringLiteral("на диске нет места");
    case EDQUOT:
      return QStringLiteral("исчерпана дисковая квота");
    case EFBIG:
      return QStringLiteral("файл слишком велик для этого диска");
    case ENOENT:
      return QStringLiteral("такого файла или папки нет (папку могли удалить или переименовать)");
    case ENOTDIR:
      return QStringLiteral("часть пути — не папка");
    case EISDIR:
      return QStringLiteral("это папка, а не файл");
    case ENAMETOOLONG:
      return QStringLiteral("слишком длинное имя");
    case EIO:
      return QStringLiteral("ошибка ввода-вывода");
    case 0:
      return QStringLiteral("неизвестная ошибка");
    default:
      return QString::fromLocal8Bit(std::strerror(errorNumber));
  }
}

QString fileProblem(const std::string& coreError) {
  for (int errorNumber : {EACCES, EPERM, EROFS, ENOSPC, EDQUOT, EFBIG, ENOENT, ENOTDIR, EISDIR, ENAMETOOLONG, EIO}) {
    const std::string reason = std::string(": ") + std::strerror(errorNumber);
    if (coreError.size() > reason.size() && coreError.ends_with(reason))
      return QString::fromLocal8Bit(coreError.substr(0, coreError.size() - reason.size())) + QStringLiteral(": ") +
             fileErrorReason(errorNumber);
  }
  return QString::fromLocal8Bit(coreError);
}

QString scenarioNotOpened(const QString& file, const ScenarioRead& read) {
  return QStringLiteral("Сценарий %1 не открыт: %2.\nТекст сценария остался прежним.")
      .arg(file, fileErrorReason(read.errorNumber));
}

QString scenarioDoubtQuestion(const QString& file, const ScenarioRead& read) {
  QString what;
  switch (read.doubt) {
    case ScenarioDoubt::Empty:
      what = QStringLiteral("Файл %1 пуст (0 байт): в нём нет сценария.").arg(file);
      break;
    case ScenarioDoubt::Binary:
      what = QStringLiteral(
                 "Файл %1 не похож на сценарий: в нём двоичные данные (программа, картинка, архив?), "
                 "а не текст.")
                 .arg(file);
      break;
    case ScenarioDoubt::UnclosedRtf:
      what = QStringLiteral(
                 "Файл %1 — документ RTF без конца (файл, видимо, обрезан при записи или копировании); "
                 "прочитано строк: %2.")
                 .arg(file)
                 .arg(read.lines.size());
      break;
    case ScenarioDoubt::None:
      break;
  }
  return what + QStringLiteral("\nЗаменить им текущий текст сценария?");
}

QString savedGameNotLoaded(const QString& file, int errorNumber) {
  return QStringLiteral("Сохранённая игра %1 не загружена: %2. Игра продолжается.")
      .arg(file, fileErrorReason(errorNumber));
}

QString notASavedGame(const QString& file) {
  return QStringLiteral("«%1» — не сохранённая игра: в файле не текст команд. Игра продолжается.").arg(file);
}

QString otherGameQuestion(const QString& file, const SavedGameFit& fit) {
  return QStringLiteral(
             "«%1» похоже на сохранение другой игры: %2 из %3 команд здесь ни к чему не подходят. Загрузить всё "
             "равно?")
      .arg(file)
      .arg(fit.unmatched)
      .arg(fit.checked);
}

QString scenarioNotSaved(const QString& file, const SaveFailure& failure) {
  return QStringLiteral("Сценарий не сохранён в файл %1: %2.").arg(file, fileErrorReason(failure.errorNumber));
}

QString scenarioNotSavedDetail(const QString& file, bool existed, const SaveFailure& failure) {
  const QString onDisk = existed ? QStringLiteral("Файл %1 на диске остался прежним.").arg(file)
                                 : QStringLiteral("Файл %1 не создан.").arg(file);
  return onDisk + QStringLiteral(
                      " Текст сценария открыт в программе и не потерян: сохраните его в другую папку или под "
                      "другим именем («Сохранить как...»).\nСистема сообщает: %1")
                      .arg(QString::fromLocal8Bit(failure.text));
}

}  // namespace marvo
