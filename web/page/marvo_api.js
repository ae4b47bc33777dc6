// The engine's C API (marvo.wasm) for JavaScript: used by the player's engine worker and by the
// Node tests.
'use strict';
function marvoApi(M) {
  const utf8 = new TextEncoder();
  // Copies bytes into the module's memory (NUL-terminated) for the length of one call.
  const withBytes = (bytes, use) => {
    const p = M._malloc(bytes.length + 1);
    M.HEAPU8.set(bytes, p);
    M.HEAPU8[p + bytes.length] = 0;
    try {
      return use(p, bytes.length);
    } finally {
      M._free(p);
    }
  };
  const text = (ptr) => M.UTF8ToString(ptr);
  const jsonLines = (s) => s.split('\n').filter((l) => l).map((l) => JSON.parse(l));
  return {
    // Begin game with the bytes of the scenario and library files.
    start(scenario, library) {
      withBytes(scenario, (s, sn) => withBytes(library, (l, ln) => M._marvo_start(s, sn, l, ln)));
    },
    restart() { M._marvo_restart(); },
    talk(command) { withBytes(utf8.encode(command), (p) => M._marvo_talk(p)); },
    tick() { M._marvo_tick(); },
    // Undo and redo of a turn: true when done (the events are then those of the last turn replayed).
    undo() { return M._marvo_undo() === 1; },
    redo() { return M._marvo_redo() === 1; },
    // Load game from .sav bytes: 0 loaded, 1 no saved game, 2 most commands fit nothing here
    // (the last two only with `check`, and the game is then kept).
    load(sav, check) { return withBytes(sav, (p, n) => M._marvo_load(p, n, check ? 1 : 0)); },
    // The same load in steps (see web_api.cpp): begin 0 or 1, continue returns the commands left,
    // finish 0 or 2, adopt takes a load that finish answered with 2.
    loadBegin(sav, check) { return withBytes(sav, (p, n) => M._marvo_load_begin(p, n, check ? 1 : 0)); },
    loadContinue(count) { return M._marvo_load_continue(count); },
    loadFinish(check) { return M._marvo_load_finish(check ? 1 : 0); },
    loadAdopt() { return M._marvo_load_adopt(); },
    loadSize() { return M._marvo_load_size(); },
    save() {
      const p = M._marvo_save();
      return M.HEAPU8.slice(p, p + M._marvo_save_size());
    },
    // The events of the last call as JSON Lines text, and parsed.
    eventsText() { return text(M._marvo_events()); },
    events() { return jsonLines(text(M._marvo_events())); },
    viewsText(monitor) { return text(M._marvo_views(monitor ? 1 : 0)); },
    views(monitor) { return jsonLines(text(M._marvo_views(monitor ? 1 : 0))); },
    choices() { return JSON.parse(text(M._marvo_choices())); },
    lastError() { return text(M._marvo_last_error()); },
    unmatchedCommands() { return M._marvo_unmatched_commands(); },
    checkedCommands() { return M._marvo_checked_commands(); },
    linesExecuted() { return M._marvo_lines_executed(); },
  };
}
if (typeof module !== 'undefined') module.exports = marvoApi;
