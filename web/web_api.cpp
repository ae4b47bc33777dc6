// The C API of the WebAssembly build: one game per page. Texts returned stay valid until the next
// call of the same function; events and views are UTF-8 JSON Lines.
#include <string>

#include "web_session.h"

namespace {

marvo::web::WebSession& session() {
  static marvo::web::WebSession s;
  return s;
}

std::string& buffer() {
  static std::string b;
  return b;
}

std::string_view bytes(const char* data, int size) {
  return data && size > 0 ? std::string_view(data, static_cast<std::size_t>(size)) : std::string_view();
}

}  // namespace

extern "C" {

// Begin game with the contents of the scenario and library files (RTF or Windows-1251 text).
void marvo_start(const char* scenario, int scenarioSize, const char* library, int librarySize) {
  session().start(bytes(scenario, scenarioSize), bytes(library, librarySize));
}

void marvo_restart() { session().restart(); }

// Talk on one command (UTF-8, NUL-terminated).
void marvo_talk(const char* command) { session().talk(command ? command : ""); }

void marvo_tick() { session().tick(); }

// Undo and redo of a turn: 1 when done (the events are those of the last turn replayed), else 0.
int marvo_undo() { return session().undo() ? 1 : 0; }
int marvo_redo() { return session().redo() ? 1 : 0; }

// Load game from .sav bytes. Returns 0 when loaded, 1 when the bytes are no saved game, 2 when
// most commands fit nothing in this game (only with `check`; the game is then kept).
int marvo_load(const char* sav, int size, int check) {
  return static_cast<int>(session().load(bytes(sav, size), check != 0));
}

// The same load in steps (the page's worker reports progress between them): begin returns 1 for
// bytes that are no saved game, else 0; continue replays up to `count` commands
// and returns how many are left; finish returns 0 when the loaded game took the place of the game
// in progress, 2 when most commands fit nothing here (with `check`; the game is kept and the
// loaded one waits for marvo_load_adopt, which returns 1 when it took its place).
int marvo_load_begin(const char* sav, int size, int check) {
  return static_cast<int>(session().beginLoad(bytes(sav, size), check != 0));
}
int marvo_load_continue(int count) {
  return static_cast<int>(session().continueLoad(count > 0 ? static_cast<std::size_t>(count) : 0));
}
int marvo_load_finish(int check) { return static_cast<int>(session().finishLoad(check != 0)); }
int marvo_load_adopt() { return session().adoptLoad() ? 1 : 0; }
int marvo_load_size() { return static_cast<int>(session().loadSize()); }

// The command log as .sav bytes; its length is marvo_save_size().
const char* marvo_save() {
  buffer() = session().saveText();
  return buffer().data();
}
int marvo_save_size() { return static_cast<int>(buffer().size()); }

const char* marvo_events() { return session().events().c_str(); }

const char* marvo_views(int monitor) {
  static std::string views;
  views = session().views(monitor != 0);
  return views.c_str();
}

const char* marvo_choices() {
  static std::string choices;
  choices = session().choices();
  return choices.c_str();
}

const char* marvo_last_error() { return session().lastError().c_str(); }
int marvo_unmatched_commands() { return session().unmatchedCommands(); }
int marvo_checked_commands() { return session().checkedCommands(); }
int marvo_command_count() { return static_cast<int>(session().commandCount()); }
double marvo_lines_executed() { return static_cast<double>(session().linesExecuted()); }

}  // extern "C"
