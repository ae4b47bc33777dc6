// A test host that records what the engine does, in order, as readable events (UTF-8).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/codec.h"
#include "engine/host.h"

namespace marvo::test {

class RecordingHost : public EngineHost {
 public:
  std::vector<std::string> events;  // "out:TEXT", "msg:TEXT", "clear"
  std::vector<std::string> output;  // the output pane's lines (UTF-8)
  int focusCount = 0;
  int viewsChangedCount = 0;

  void focusInput() override { ++focusCount; }
  void clearOutput() override {
    events.push_back("clear");
    output.clear();
  }
  void appendOutput(std::string_view line) override {
    events.push_back("out:" + cp1251ToUtf8(line));
    output.push_back(cp1251ToUtf8(line));
  }
  void showMessage(std::string_view text) override { events.push_back("msg:" + cp1251ToUtf8(text)); }
  // Where each engine message arose: its program line and name (UTF-8).
  struct Place {
    int line;
    MessageName nameKind;
    std::string name;
    bool operator==(const Place&) const = default;
  };
  std::vector<Place> places;
  void showMessageAt(std::string_view text, const MessageContext& context) override {
    places.push_back({context.line, context.nameKind, cp1251ToUtf8(context.name)});
    showMessage(text);
  }
  void viewsChanged() override { ++viewsChangedCount; }

  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.starts_with("msg:")) out.push_back(e.substr(4));
    return out;
  }
};

// UTF-8 test text to the engine's Windows-1251.
inline std::string w(std::string_view utf8) { return utf8ToCp1251(utf8); }
inline std::vector<std::string> w(const std::vector<std::string>& utf8) {
  std::vector<std::string> out;
  for (const auto& l : utf8) out.push_back(utf8ToCp1251(l));
  return out;
}
inline std::string u(std::string_view cp1251) { return cp1251ToUtf8(cp1251); }

}  // namespace marvo::test
