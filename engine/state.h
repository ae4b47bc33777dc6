// The runtime state of a game: program, control items, variable and object tables, pending output.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace marvo {

inline constexpr int kTableSize = 1000;       // variable and object slots
inline constexpr int kNoObject = kTableSize;  // "none" for the current object
inline constexpr int kTalkSlots = 90;
inline constexpr int kOnceSlots = 60;
inline constexpr int kMaxWords = 99;
inline constexpr int kMaxPieces = 99;
inline constexpr int kProgramLimit = 90000;  // the program counter never advances to this

struct Variable {
  std::string name;  // empty = free slot
  std::int32_t value = 0;
  std::string kind;  // "vip" for a characteristic
};

struct GameObject {
  std::string name;  // empty = free slot; used slots form an unbroken run from slot 0
  std::string mask;
  std::string synonym;
  std::string description;
  std::string descriptor;
  std::string location;
  std::string content;
};

struct RuntimeState {
  std::vector<std::string> program;
  std::int32_t pc = 0;
  std::int32_t locationLine = 0;
  std::string currentLocation;
  std::int32_t menuMarker = 0;
  std::array<std::int32_t, kOnceSlots> once{};
  std::array<std::int32_t, kTalkSlots> talk{};
  std::int32_t talkDepth = 0;
  std::int32_t ifDepth = 0;
  std::int32_t saveRegister = 0;
  std::int32_t commonLine = 0;
  bool commonFound = false;
  bool clearOutputFlag = false;

  std::vector<std::string> textQueue;
  std::vector<std::string> menuQueue;
  // A menu line dropped from the front of the full menu queue held "%": the objects' text then has
  // no line of its own at the READ.
  bool droppedMenuTookObjects = false;
  std::string objectsText;
  std::array<bool, kTableSize> shown{};

  std::string impossibleReply;
  int currentObject = kNoObject;

  std::array<Variable, kTableSize> vars;
  std::array<GameObject, kTableSize> objects;
};

}  // namespace marvo
