// The script engine (being built).
#include "engine.h"

namespace marvo {
IndexError::IndexError(long long index)
    : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")"), index_(index) {}
Engine::Engine() {}
void Engine::run(EngineHost&) {}
void Engine::invalidateViews() {}
void Engine::tickClock() {}
std::vector<std::string> Engine::monitorView() const { return {}; }
int Engine::findVariable(std::string_view) const { return kTableSize; }
}  // namespace marvo
