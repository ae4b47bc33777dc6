// Conversion between Windows-1251 strings and QString through one table of the code page.
#include "qt_codec.h"

#include <array>
#include <memory>

#include "engine/cp1251.h"

namespace marvo {

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

void appendQt(std::string_view cp1251, QString& out) {
  const qsizetype start = out.size();
  out.resize(start + static_cast<qsizetype>(cp1251.size()));
  QChar* dest = out.data() + start;
  for (unsigned char c : cp1251) *dest++ = QChar(c < 0x80 ? static_cast<char16_t>(c) : cp1251::kUpperHalf[c - 0x80]);
}

QString toQt(std::string_view cp1251) {
  QString out;
  appendQt(cp1251, out);
  return out;
}

std::string fromQt(const QString& text) {
  const auto& table = byteTable().byteOf;
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    // A character beyond the first plane is two units but one character: one "?".
    if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    out += table[ch.unicode()];
  }
  return out;
}

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

}  // namespace marvo
