// Conversion between Windows-1251 and UTF-8.
#include "codec.h"

#include "cp1251.h"

namespace marvo {

namespace {
void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

struct ReverseTable {
  // Code points below 0x2200 cover every character of the code page.
  signed short byteOf[0x2200];
  ReverseTable() {
    for (auto& b : byteOf) b = -1;
    for (int i = 0; i < 0x80; ++i) byteOf[i] = static_cast<short>(i);
    for (int i = 0; i < 128; ++i) byteOf[cp1251::kUpperHalf[i]] = static_cast<short>(0x80 + i);
  }
};
const ReverseTable& reverseTable() {
  static const ReverseTable table;
  return table;
}
}  // namespace

std::string cp1251ToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size() * 2);
  for (unsigned char c : in) {
    if (c < 0x80)
      out += static_cast<char>(c);
    else
      appendUtf8(out, cp1251::kUpperHalf[c - 0x80]);
  }
  return out;
}

std::string utf8ToCp1251(std::string_view in) {
  const auto& table = reverseTable();
  std::string out;
  out.reserve(in.size());
  std::size_t i = 0;
  while (i < in.size()) {
    auto b = static_cast<unsigned char>(in[i]);
    char32_t cp;
    int extra;
    if (b < 0x80) {
      cp = b;
      extra = 0;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else {
      out += '?';
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= in.size() || (static_cast<unsigned char>(in[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(in[j]) & 0x3F);
    }
    if (!ok) {
      out += '?';
      i = j > i + 1 ? j : i + 1;
      continue;
    }
    i = j;
    int byte = cp < 0x2200 ? table.byteOf[cp] : -1;
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

}  // namespace marvo
