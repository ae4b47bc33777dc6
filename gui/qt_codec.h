// Conversion between the core's Windows-1251 strings and QString, used wherever text meets a widget.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

QString toQt(std::string_view cp1251);
// Characters that Windows-1251 cannot hold become "?".
std::string fromQt(const QString& text);
QStringList toQt(const std::vector<std::string>& lines);
std::vector<std::string> fromQt(const QStringList& lines);

}  // namespace marvo
