// Text conventions of the system on Windows-1251 byte strings: literals, trimming, lower-casing, tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cp1251.h"

namespace marvo {

// A UTF-8 string literal converted to Windows-1251 at compile time: "ключ"_w.
// A character outside the code page is a compile error.
template <std::size_t N>
struct Cp1251Literal {
  char bytes[N]{};
  std::size_t size = 0;

  consteval Cp1251Literal(const char (&utf8)[N]) {
    std::size_t i = 0;
    while (i + 1 < N) {
      auto b = static_cast<unsigned char>(utf8[i]);
      char32_t cp = 0;
      int extra = 0;
      if (b < 0x80) {
        cp = b;
      } else if ((b & 0xE0) == 0xC0) {
        cp = b & 0x1F;
        extra = 1;
      } else if ((b & 0xF0) == 0xE0) {
        cp = b & 0x0F;
        extra = 2;
      } else if ((b & 0xF8) == 0xF0) {
        cp = b & 0x07;
        extra = 3;
      } else
        throw "invalid UTF-8 in literal";
      ++i;
      for (int k = 0; k < extra; ++k, ++i) {
        if (i + 1 >= N) throw "truncated UTF-8 in literal";
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
      }
      int byte = cp1251::byteFor(cp);
      if (byte < 0) throw "character outside Windows-1251 in literal";
      bytes[size++] = static_cast<char>(byte);
    }
  }
};

inline namespace literals {
template <Cp1251Literal L>
constexpr std::string_view operator""_w() {
  return std::string_view(L.bytes, L.size);
}
}  // namespace literals

// Lower-case of one byte: Latin and Cyrillic capitals to their small letters, everything else kept.
constexpr unsigned char lowerByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x80:
      return 0x90;  // Ђ
    case 0x81:
      return 0x83;  // Ѓ
    case 0x8A:
      return 0x9A;  // Љ
    case 0x8C:
      return 0x9C;  // Њ
    case 0x8D:
      return 0x9D;  // Ќ
    case 0x8E:
      return 0x9E;  // Ћ
    case 0x8F:
      return 0x9F;  // Џ
    case 0xA1:
      return 0xA2;  // Ў
    case 0xA3:
      return 0xBC;  // Ј
    case 0xA5:
      return 0xB4;  // Ґ
    case 0xA8:
      return 0xB8;  // Ё
    case 0xAA:
      return 0xBA;  // Є
    case 0xAF:
      return 0xBF;  // Ї
    case 0xB2:
      return 0xB3;  // І
    case 0xBD:
      return 0xBE;  // Ѕ
    default:
      return c;
  }
}

std::string lower(std::string_view s);
void lowerInPlace(std::string& s);
// Removes every leading and trailing character whose code is 32 or less.
std::string_view trimView(std::string_view s);
std::string trim(std::string_view s);

inline bool contains(std::string_view s, std::string_view part) {
  return !part.empty() && s.find(part) != std::string_view::npos;
}
inline bool startsWith(std::string_view s, std::string_view head) { return s.starts_with(head); }

// Does the lower-cased `s` contain `part` (given in lower case)? No copy is made.
bool containsLowered(std::string_view s, std::string_view part);

// Replaces the first occurrence of `what` in `s`; returns false when there is none.
bool replaceFirst(std::string& s, std::string_view what, std::string_view with);

// Joins texts of any string-like kind: concat("Объект "_w, name, " объявлен повторно"_w).
template <typename... Parts>
std::string concat(const Parts&... parts) {
  std::string out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

// Decimal text of a 32-bit value, with a minus sign when negative.
std::string decimal(std::int64_t v);

// Splits at a single separator character; runs of it count as one cut, empty parts do not arise.
std::vector<std::string_view> splitRuns(std::string_view s, char sep, std::size_t maxParts);

}  // namespace marvo
