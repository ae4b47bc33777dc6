// The benchmark map: every cell named, every description 200 characters of words.
#pragma once

#include <string>

#include "engine/text.h"
#include "mapedit/map_model.h"

namespace marvo::bench {

inline mapedit::Map fullMap() {
  using namespace marvo::literals;
  mapedit::Map map;
  for (int row = 1; row <= mapedit::kMapSize; ++row)
    for (int column = 1; column <= mapedit::kMapSize; ++column)
      map.setName(column, row, std::string("Комната "_w) + std::to_string(mapedit::cellNumber(column, row)));
  std::string description;
  const std::string word = std::string("тропинка "_w);
  while (description.size() < 200) description += word;
  description.resize(200);
  for (int k = 0; k < mapedit::kDescriptionCount; ++k) map.setDescription(k, description);
  return map;
}

}  // namespace marvo::bench
