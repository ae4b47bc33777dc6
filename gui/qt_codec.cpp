// Conversion between Windows-1251 strings and QString.
#include "qt_codec.h"

#include "engine/codec.h"

namespace marvo {

QString toQt(std::string_view cp1251) { return QString::fromStdString(cp1251ToUtf8(cp1251)); }

std::string fromQt(const QString& text) { return utf8ToCp1251(text.toStdString()); }

QStringList toQt(const std::vector<std::string>& lines) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(lines.size()));
  for (const auto& l : lines) out.append(toQt(l));
  return out;
}

std::vector<std::string> fromQt(const QStringList& lines) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(lines.size()));
  for (const auto& l : lines) out.push_back(fromQt(l));
  return out;
}

}  // namespace marvo
