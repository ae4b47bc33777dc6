// Plain-text scenarios: decoding to Windows-1251 lines, with notes on what had to change.
#include "plain_text.h"

#include <cstring>

#include "engine/cp1251.h"
#include "engine/file_io.h"
#include "engine/text.h"

namespace marvo {

using namespace literals;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kBroken = 0xFFFFFFFF;

// One UTF-8 sequence at `i` (advanced past it): the code point, or kBroken for a sequence that is
// cut short, overlong, a surrogate or beyond U+10FFFF (then only its valid prefix is consumed).
char32_t nextUtf8(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i++]);
  if (b < 0x80) return b;
  int extra;
  char32_t cp, min;
  if (b >= 0xC2 && b <= 0xDF) {
    extra = 1;
    cp = b & 0x1F;
    min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2;
    cp = b & 0x0F;
    min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    extra = 3;
    cp = b & 0x07;
    min = 0x10000;
  } else
    return kBroken;
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return kBroken;
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kBroken;
  return cp;
}

std::string hexCodePoint(char32_t cp) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (; cp != 0 || digits.size() < 4; cp >>= 4) digits.insert(digits.begin(), kHex[cp & 0xF]);
  return "U+" + digits;
}

// Builds Windows-1251 lines from code points and remembers what could not be kept as it was.
class LineCollector {
 public:
  explicit LineCollector(std::string_view encoding) : encoding_(encoding) {}

  void put(char32_t cp) {
    if (cp == 0) {
      nul();
      return;
    }
    const bool lfAfterCr = cp == '\n' && afterCr_;
    afterCr_ = cp == '\r';
    if (lfAfterCr) return;
    if (cp == '\r' || cp == '\n') {
      out_.lines.push_back(std::move(current_));
      current_.clear();
      open_ = false;
      return;
    }
    open_ = true;
    if (cp == kBroken) {
      current_ += '?';
      note(concat("неверная последовательность "_w, encoding_, " заменена на «?»"_w));
      return;
    }
    const int byte = cp1251::byteFor(cp);
    if (byte >= 0) {
      current_ += static_cast<char>(byte);
      return;
    }
    current_ += '?';
    note(concat("символ "_w, hexCodePoint(cp), " нельзя записать в Windows-1251; заменён на «?»"_w));
  }

  void nul() {
    if (nulCount_++ == 0) nulLine_ = out_.lines.size() + 1;
  }

  PlainText finish() {
    if (open_) out_.lines.push_back(std::move(current_));
    if (linesNoted_ > kMaxLineNotes)
      out_.notes.push_back(
          {lastNotedLine_, concat("и ещё строк с заменой на «?»: "_w, std::to_string(linesNoted_ - kMaxLineNotes))});
    if (nulCount_ > 0) out_.notes.insert(out_.notes.begin(), nulNote(nulLine_, nulCount_));
    return std::move(out_);
  }

  static TextNote nulNote(std::size_t line, std::size_t count) {
    return {line, concat("нулевые байты (NUL, всего "_w, std::to_string(count),
                         ") удалены; все строки после них сохранены"_w)};
  }

 private:
  // One note per line: the first change on it.
  void note(std::string text) {
    const std::size_t line = out_.lines.size() + 1;
    if (line == lastNotedLine_) return;
    lastNotedLine_ = line;
    if (++linesNoted_ <= kMaxLineNotes) out_.notes.push_back({line, std::move(text)});
  }

  std::string_view encoding_;
  PlainText out_;
  std::string current_;
  bool open_ = false;
  bool afterCr_ = false;
  std::size_t nulCount_ = 0;
  std::size_t nulLine_ = 0;
  std::size_t lastNotedLine_ = 0;
  std::size_t linesNoted_ = 0;
};

PlainText decodeUtf8(std::string_view bytes) {
  LineCollector lines("UTF-8");
  for (std::size_t i = 0; i < bytes.size();) lines.put(nextUtf8(bytes, i));
  return lines.finish();
}

PlainText decodeUtf16(std::string_view bytes, bool bigEndian) {
  LineCollector lines("UTF-16");
  auto unitAt = [&](std::size_t i) -> char32_t {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
  };
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        lines.put(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    lines.put(unit >= 0xD800 && unit <= 0xDFFF ? kBroken : unit);
  }
  if (i < bytes.size()) lines.put(kBroken);  // an odd last byte
  return lines.finish();
}

// Windows-1251 bytes: the common case stays a plain split; NUL bytes are taken out first.
PlainText decodeCp1251(std::string_view bytes) {
  PlainText out;
  const void* first = std::memchr(bytes.data(), 0, bytes.size());
  if (!first) {
    out.lines = splitLines(bytes, false);
    return out;
  }
  const auto firstAt = static_cast<std::size_t>(static_cast<const char*>(first) - bytes.data());
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i < firstAt; ++i) {
    if (bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))) ++lineEnds;
  }
  std::string kept;
  kept.reserve(bytes.size());
  std::size_t count = 0;
  for (char c : bytes) {
    if (c == '\0')
      ++count;
    else
      kept += c;
  }
  out.lines = splitLines(kept, false);
  out.notes.push_back(LineCollector::nulNote(lineEnds + 1, count));
  return out;
}

}  // namespace

bool looksLikeUtf8(std::string_view bytes) {
  bool nonAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    if (nextUtf8(bytes, i) == kBroken) return false;
    nonAscii = true;
  }
  return nonAscii;
}

PlainText decodePlainText(std::string_view content) {
  if (content.starts_with(kUtf8Bom)) return decodeUtf8(content.substr(kUtf8Bom.size()));
  if (content.starts_with(kUtf16LeBom)) return decodeUtf16(content.substr(kUtf16LeBom.size()), false);
  if (content.starts_with(kUtf16BeBom)) return decodeUtf16(content.substr(kUtf16BeBom.size()), true);
  if (looksLikeUtf8(content)) return decodeUtf8(content);
  return decodeCp1251(content);
}

}  // namespace marvo
