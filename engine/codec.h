// Conversion between Windows-1251 (inside the program) and UTF-8 (terminals, Qt, source files).
#pragma once

#include <string>
#include <string_view>

namespace marvo {

std::string cp1251ToUtf8(std::string_view cp1251);
// Characters that Windows-1251 cannot hold become "?"; invalid UTF-8 bytes become "?" as well.
std::string utf8ToCp1251(std::string_view utf8);

}  // namespace marvo
