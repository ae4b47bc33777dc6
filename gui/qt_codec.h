// Conversion between the core's Windows-1251 strings and QString, wherever text meets a widget.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <string>
#include <string_view>
#include <vector>

namespace marvo {

QString toQt(std::string_view cp1251);
void appendQt(std::string_view cp1251, QString& out);
// Characters that Windows-1251 cannot hold become "?" (one for each character).
std::string fromQt(const QString& text);
QStringList toQt(const std::vector<std::string>& lines);
std::vector<std::string> fromQt(const QStringList& lines);

// One byte for each UTF-16 unit, so that a column in a widget is the same column in the core:
// units Windows-1251 cannot hold (each half of a surrogate pair too) become "?".
std::string toCp1251(QStringView text);
void appendCp1251(QStringView text, std::string& out);
// The whole text of `lines`, each followed by a line break, as a text area takes it.
QString linesToQt(const std::vector<std::string>& lines);

}  // namespace marvo
