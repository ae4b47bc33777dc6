// Test fixture: plays a scenario (UTF-8 lines) through game start and Talk with a recording host.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "game/game.h"
#include "recording_host.h"

namespace marvo::test {

struct Play {
  Engine engine;
  Game game{engine};
  RecordingHost host;

  void start(const std::vector<std::string>& scenario, const std::vector<std::string>& library = {}) {
    game.begin(w(scenario), w(library), host);
  }
  void say(const std::string& input) { game.talk(w(input), host); }
  std::int32_t var(const std::string& name) const { return engine.valueOf(w(name)); }
  bool has(const std::string& name) const { return engine.findVariable(w(name)) < kTableSize; }
  const std::vector<std::string>& out() const { return host.output; }
  std::vector<std::string> messages() const { return host.messages(); }
  const GameObject* object(const std::string& name) const {
    int slot = engine.findObject(w(name));
    return slot < kTableSize ? &engine.state().objects[static_cast<std::size_t>(slot)] : nullptr;
  }
  std::vector<std::string> inventory() const {
    std::vector<std::string> out;
    for (const auto& i : engine.inventoryView()) out.push_back(u(i));
    return out;
  }
  std::vector<std::string> characteristics() const {
    std::vector<std::string> out;
    for (const auto& i : engine.characteristicsView()) out.push_back(u(i));
    return out;
  }
};

}  // namespace marvo::test
