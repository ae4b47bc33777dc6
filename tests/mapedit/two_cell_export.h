// The export of the two-cell map (cell A at row 1 column 1, cell B east of it) with default options.
#pragma once

#include <string>
#include <vector>

#include "engine/text.h"

namespace marvo::mapedit::test {

inline std::vector<std::string> twoCellExport() {
  using namespace marvo::literals;
  return {
      "goto A101",
      "",
      std::string("*- - - - Локация A - - - -"_w),
      ":A101",
      "@ ",
      "",
      "",
      "",
      std::string("btn [на восток] B102"_w),
      "Read",
      "",
      "",
      std::string("*- - - - Локация B - - - -"_w),
      ":B102",
      "@ ",
      "",
      "",
      "",
      std::string("btn [на запад] A101"_w),
      "Read",
      "",
      "* End of location",
  };
}

}  // namespace marvo::mapedit::test
