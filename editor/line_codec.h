// Fast Windows-1251 <-> QString conversion for editor lines: one byte per UTF-16 unit, so a column
// in the widget is the same column in the core.
#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>
#include <vector>

namespace marvo::editor {

// Units Windows-1251 cannot hold (each half of a surrogate pair too) become "?".
void appendCp1251(QStringView text, std::string& out);
std::string toCp1251(QStringView text);
void appendQt(std::string_view cp1251, QString& out);
QString toQString(std::string_view cp1251);
// The whole text of `lines`, each followed by a line break, as a text area takes it.
QString linesToQt(const std::vector<std::string>& lines);

}  // namespace marvo::editor
