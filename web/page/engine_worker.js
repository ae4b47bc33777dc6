// The web player's engine thread: the game runs here, one message per command, so that a long
// replay never holds up the page; the command log is kept in the browser's storage from here too.
// Runs after marvo_api.js in a worker made by player.js. Every request gets one final reply in
// the order of the requests; progress and storage news come between them.
'use strict';
const MAX_LINES = 1000;  // the page keeps the latest lines; a replay sends it no more than these
const STEP_MS = 50;  // a load reports its progress this often

let game = null;  // the engine's API (marvoApi)
let base = '';  // the page's address: the game's files lie beside it
let storageKey = '';
let storing = false;  // the stored log stays untouched until the player has chosen to resume or not
let aside = null;  // the events of a load that waits for the player's word (marvo_load_adopt)
let storedLog = null;  // the stored game while the page asks whether to resume it

const reply = (message) => self.postMessage(message);

// --- Events -----------------------------------------------------------------------------------

// Events of many calls (a replay) cut to what the page can show: what follows the last clearing
// of the screen, of which the last MAX_LINES output lines, and every message.
function condenser() {
  let lines = [];
  let outs = 0;
  return {
    add(text) {
      for (const line of text.split('\n')) {
        if (!line) continue;
        if (line.startsWith('{"clear"')) {
          lines = [];
          outs = 0;
        } else if (line.startsWith('{"out"')) {
          ++outs;
        }
        lines.push(line);
      }
      if (outs > 2 * MAX_LINES) {
        let drop = outs - MAX_LINES;
        lines = lines.filter((l) => !(drop > 0 && l.startsWith('{"out"') && drop--));
        outs = MAX_LINES;
      }
    },
    events: () => lines.map((l) => JSON.parse(l)),
  };
}

// What the page shows after a call: its events, the lists, the menu choices on offer.
function turn(events = game.events()) {
  return { events, views: game.views(false), choices: game.choices(), lastError: game.lastError() };
}

// --- Loads --------------------------------------------------------------------------------------

// Replays a saved game in steps, telling the page how far it is; 0 loaded, 1 no saved game,
// 2 most commands fit nothing here (with `check`: the loaded game then waits aside).
function load(bytes, check) {
  if (game.loadBegin(bytes, check) === 1) return { result: 1 };
  const total = game.loadSize();
  const seen = condenser();
  seen.add(game.eventsText());
  let left = total;
  let chunk = 64;
  while (left > 0) {
    const started = performance.now();
    let done = 0;
    while (left > 0 && performance.now() - started < STEP_MS) {
      left = game.loadContinue(chunk);
      seen.add(game.eventsText());
      done += chunk;
    }
    // Steps of about STEP_MS whatever a command costs.
    chunk = Math.max(1, Math.min(65536, Math.round((done * STEP_MS) / Math.max(1, performance.now() - started))));
    reply({ op: 'progress', done: total - left, total });
  }
  const lastError = game.lastError();
  const result = game.loadFinish(check);
  const shown = { events: seen.events(), lastError };
  if (result === 2) {
    aside = shown;
    return { result, unmatched: game.unmatchedCommands(), checked: game.checkedCommands() };
  }
  return { result, turn: Object.assign(turn(), shown) };
}

// --- The stored command log ---------------------------------------------------------------------

// IndexedDB holds the log (gzip-compressed where the browser can), far beyond what localStorage
// takes. Writes go one after another, each with the latest log; when one fails, the older copy is
// deleted, so that reopening the page never resumes a game older than the one played last.
const DB_NAME = 'marvo-if';
const STORE = 'logs';
let db = null;
function openDb() {
  if (!db) {
    db = new Promise((resolve, reject) => {
      const request = indexedDB.open(DB_NAME, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(STORE);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => reject(request.error);
    });
    db.catch(() => { db = null; });
  }
  return db;
}
async function storeRequest(mode, act) {
  const database = await openDb();
  return new Promise((resolve, reject) => {
    const tx = database.transaction(STORE, mode);
    const request = act(tx.objectStore(STORE));
    tx.oncomplete = () => resolve(request.result);
    tx.onabort = tx.onerror = () => reject(tx.error || request.error);
  });
}
async function squeeze(bytes, stream) {
  const piped = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(piped).arrayBuffer());
}
const canCompress = typeof CompressionStream === 'function' && typeof DecompressionStream === 'function';

async function readStored(legacy) {
  try {
    const record = await storeRequest('readonly', (store) => store.get(storageKey));
    if (record) return record.gzip ? await squeeze(record.data, new DecompressionStream('gzip')) : record.data;
  } catch (e) {
    // Unreadable storage holds nothing to resume.
  }
  // What the page kept in localStorage before the log moved here.
  return legacy ? Uint8Array.from(legacy, (c) => c.charCodeAt(0)) : null;
}

let latest = null;  // the log still to be written
let writing = false;
let failed = false;
let written = false;
function remember() {
  if (!storing) return;
  latest = game.save();
  if (!writing) writeLatest();
}
async function writeLatest() {
  writing = true;
  while (latest) {
    const bytes = latest;
    latest = null;
    try {
      if (!bytes.length) {
        await storeRequest('readwrite', (store) => store.delete(storageKey));
      } else {
        const data = canCompress ? await squeeze(bytes, new CompressionStream('gzip')) : bytes;
        await storeRequest('readwrite', (store) => store.put({ gzip: canCompress, data }, storageKey));
      }
      // The page hears of the first write (it then drops what localStorage held) and of one that
      // succeeds after a failure.
      if (failed || (!written && bytes.length)) reply({ op: 'storage', stored: true });
      if (bytes.length) written = true;
      failed = false;
    } catch (e) {
      try {
        await storeRequest('readwrite', (store) => store.delete(storageKey));
      } catch (ignored) {
        // Nothing stored can be removed either; nothing was written since.
      }
      if (!failed) reply({ op: 'storage', stored: false, reason: (e && (e.name || e.message)) || String(e) });
      failed = true;
    }
  }
  writing = false;
}

// --- Requests ---------------------------------------------------------------------------------

function fnv1a(bytes, h = 0x811c9dc5) {
  for (const b of bytes) h = Math.imul(h ^ b, 0x01000193) >>> 0;
  return h;
}
async function fetchBytes(name) {
  const response = await fetch(new URL(name, base));
  if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
  return new Uint8Array(await response.arrayBuffer());
}

const requests = {
  async start(m) {
    base = m.base;
    let scenario, library;
    try {
      importScripts(new URL('marvo.js', base).href);
      const module = createMarvo({ locateFile: (file) => new URL(file, base).href });
      [scenario, library, game] = await Promise.all([fetchBytes('game.scn'), fetchBytes('marvo.lib'), module]);
    } catch (e) {
      return { op: 'failed', message: String((e && e.message) || e) };
    }
    game = marvoApi(game);
    storageKey = `marvo-if:${m.path}:${fnv1a(library, fnv1a(scenario)).toString(16)}`;
    const stored = await readStored(m.legacy && m.legacy[storageKey]);
    storedLog = stored;
    game.start(scenario, library);
    setInterval(() => game.tick(), 1000);
    const commands = stored ? stored.reduce((n, b) => n + (b === 10), 0) : 0;
    storing = !(stored && stored.length);
    return { op: 'ready', turn: turn(), stored: stored && stored.length ? commands : 0, storageKey };
  },
  talk(m) {
    const started = performance.now();
    game.talk(m.command);
    const ms = performance.now() - started;  // the engine's own time, for the measurements of tests
    remember();
    return { op: 'turn', turn: Object.assign(turn(), { ms }) };
  },
  // "Отменить ход" and "Вернуть ход": the game replayed; the stored log follows.
  undo() {
    const done = game.undo();
    if (done) remember();
    return { op: 'turn', turn: done ? turn() : null };
  },
  redo() {
    const done = game.redo();
    if (done) remember();
    return { op: 'turn', turn: done ? turn() : null };
  },
  restart() {
    game.restart();
    remember();
    return { op: 'turn', turn: turn() };
  },
  load(m) {
    const loaded = load(m.bytes, m.check);
    if (loaded.result === 0) remember();
    return Object.assign({ op: 'loaded' }, loaded);
  },
  // The stored game, after the player chose to resume it.
  resume() {
    const loaded = load(storedLog || new Uint8Array(0), false);
    storedLog = null;
    storing = true;
    remember();
    return Object.assign({ op: 'loaded' }, loaded);
  },
  // The player chose to begin anew instead: the stored game goes.
  fresh() {
    storedLog = null;
    storing = true;
    remember();
    return { op: 'done' };
  },
  adopt() {
    game.loadAdopt();
    const shown = Object.assign(turn(), aside);
    aside = null;
    remember();
    return { op: 'turn', turn: shown };
  },
  drop() {
    aside = null;
    return { op: 'done' };
  },
  save() {
    const bytes = game.save();
    return { op: 'save', bytes };
  },
};

// One request at a time, in order: start is the only one that waits for anything.
let queue = Promise.resolve();
self.onmessage = (event) => {
  const m = event.data;
  queue = queue.then(async () => {
    let answer;
    try {
      answer = await requests[m.op](m);
    } catch (e) {
      answer = { op: 'failed', message: String((e && e.message) || e) };
    }
    reply(answer);
  });
};
