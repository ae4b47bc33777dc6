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

// Load game from .sav bytes. Returns 0 when loaded, 1 when the bytes are no saved game, 2 when
// most commands fit nothing in this game (only with `check`; the game is then kept).
int marvo_load(const char* sav, int size, int check) {
  return static_cast<int>(session().load(bytes(sav, size), check != 0));
}

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
