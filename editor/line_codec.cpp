// Fast Windows-1251 <-> QString conversion for editor lines.
#include "line_codec.h"

#include <array>
#include <memory>

#include "engine/cp1251.h"

namespace marvo::editor {

namespace {
struct ByteTable {
  std::array<char, 0x10000> byteOf;
  ByteTable() {
    byteOf.fill('?');
    for (int i = 0; i < 0x80; ++i) byteOf[static_cast<std::size_t>(i)] = static_cast<char>(i);
    for (int i = 0; i < 0x80; ++i) byteOf[cp1251::kUpperHalf[i]] = static_cast<char>(0x80 + i);
  }
};

const ByteTable& byteTable() {
  static const auto table = std::make_unique<ByteTable>();
  return *table;
}
}  // namespace

void appendCp1251(QStringView text, std::string& out) {
  const auto& table = byteTable().byteOf;
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(text.size()));
  char* dest = out.data() + start;
  for (QChar ch : text) *dest++ = table[ch.unicode()];
}

std::string toCp1251(QStringView text) {
  std::string out;
  appendCp1251(text, out);
  return out;
}

void appendQt(std::string_view cp1251, QString& out) {
  const qsizetype start = out.size();
  out.resize(start + static_cast<qsizetype>(cp1251.size()));
  QChar* dest = out.data() + start;
  for (unsigned char c : cp1251)
    *dest++ = QChar(c < 0x80 ? static_cast<char16_t>(c) : cp1251::kUpperHalf[c - 0x80]);
}

QString toQString(std::string_view cp1251) {
  QString out;
  appendQt(cp1251, out);
  return out;
}

QString linesToQt(const std::vector<std::string>& lines) {
  qsizetype total = 0;
  for (const auto& line : lines) total += static_cast<qsizetype>(line.size()) + 1;
  QString text;
  text.reserve(total);
  for (const auto& line : lines) {
    appendQt(line, text);
    text.append(QLatin1Char('\n'));
  }
  return text;
}

}  // namespace marvo::editor
