// The web player: runs the game in marvo.wasm and shows it as the desktop window does.
'use strict';
(() => {
  const MAX_LINES = 1000;  // the output pane keeps the latest lines
  const $ = (id) => document.getElementById(id);
  const output = $('output');
  const input = $('command');
  const dialog = $('dialog');

  let game = null;  // the engine's API (marvoApi)
  let storageKey = '';
  let resumePending = false;  // the stored log stays untouched until the player has chosen
  let activeChoices = [];  // output lines of the latest call that are clickable menu lines
  const history = [];
  let historyPos = 0;
  let draft = '';

  // --- Output pane, lists, messages -----------------------------------------------------------

  function addLine(s, added) {
    const div = document.createElement('div');
    div.className = 'line';
    div.textContent = s;
    output.append(div);
    added.push(div);
    while (output.childElementCount > MAX_LINES) output.firstElementChild.remove();
  }

  function fillList(ul, items) {
    ul.replaceChildren(...items.map((item) => {
      const li = document.createElement('li');
      li.textContent = item;
      return li;
    }));
  }

  // Menu lines ("N. text") whose number is a registered talk pattern send that number on click.
  // Only the lines after the last echo belong to the menu on offer (a load replays many turns);
  // when a command brought no menu (an impossible one), the menu shown before stays on offer.
  const menuNumber = (div) => (/^\s*(\d+)\s*\./.exec(div.textContent) || [])[1];
  function markChoices(lines) {
    const choices = new Set(game.choices());
    let from = lines.length;
    while (from > 0 && !lines[from - 1].textContent.startsWith('>')) --from;
    const offered = lines.slice(from).filter((div) => div.isConnected && choices.has(menuNumber(div)));
    const previous = activeChoices;
    activeChoices = offered.length ? offered : previous.filter((div) => div.isConnected && choices.has(menuNumber(div)));
    for (const div of previous) {
      if (!activeChoices.includes(div)) div.textContent = div.textContent;
    }
    for (const div of offered) {
      const number = menuNumber(div);
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'choice';
      button.textContent = div.textContent;
      button.addEventListener('click', () => submit(number));
      div.replaceChildren(button);
    }
  }

  // Modal questions one after another; resolves with the value of the chosen button ('' on Esc).
  const questions = [];
  function ask(message, buttons = [{ label: 'OK', value: 'ok' }]) {
    return new Promise((resolve) => {
      questions.push({ message, buttons, resolve });
      if (!dialog.open) nextQuestion();
    });
  }
  function nextQuestion() {
    const q = questions[0];
    if (!q) {
      input.focus();
      return;
    }
    $('dialog-text').textContent = q.message;
    $('dialog-buttons').replaceChildren(...q.buttons.map((b) => {
      const button = document.createElement('button');
      button.value = b.value;
      button.textContent = b.label;
      return button;
    }));
    dialog.returnValue = '';
    dialog.showModal();
    $('dialog-buttons').firstElementChild.focus();
  }
  dialog.addEventListener('close', () => {
    const q = questions.shift();
    if (q) q.resolve(dialog.returnValue);
    nextQuestion();
  });

  // Where an engine message arose, as the desktop shows it beneath the message; the engine's
  // event words the place ("where": "Строка 54 сценария").
  function describeAt(at) {
    if (!at) return '';
    return `\n\n${at.where}: ${at.text.trim()}`;
  }

  // Shows what the last call of the engine did, then refreshes the lists and the stored log.
  function show() {
    const added = [];
    for (const e of game.events()) {
      if ('clear' in e) output.replaceChildren();
      else if ('out' in e) addLine(e.out, added);
      else if ('message' in e) ask(e.message + describeAt(e.at));
      else if ('error' in e) ask((game.lastError() || 'List index out of bounds') + describeAt(e.at));
    }
    for (const e of game.views(false)) {
      if ('inventory' in e) fillList($('inventory'), e.inventory);
      if ('characteristics' in e) fillList($('characteristics'), e.characteristics);
    }
    markChoices(added);
    output.scrollTop = output.scrollHeight;
    remember();
  }

  // --- Commands -----------------------------------------------------------------------------

  function submit(command) {
    if (!game) return;
    if (command !== '' && history[history.length - 1] !== command) history.push(command);
    historyPos = history.length;
    draft = '';
    input.value = '';
    game.talk(command);
    show();
    if (!dialog.open) input.focus();
  }

  $('command-form').addEventListener('submit', (event) => {
    event.preventDefault();
    submit(input.value);
  });

  input.addEventListener('keydown', (event) => {
    if (event.key === 'ArrowUp' && historyPos > 0) {
      if (historyPos === history.length) draft = input.value;
      input.value = history[--historyPos];
    } else if (event.key === 'ArrowDown' && historyPos < history.length) {
      ++historyPos;
      input.value = historyPos === history.length ? draft : history[historyPos];
    } else {
      return;
    }
    event.preventDefault();
    input.setSelectionRange(input.value.length, input.value.length);
  });

  function restart() {
    if (!game) return;
    game.restart();
    show();
    input.focus();
  }

  // --- Saved games --------------------------------------------------------------------------

  function download() {
    if (!game) return;
    const url = URL.createObjectURL(new Blob([game.save()], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = 'savegame.sav';
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
    input.focus();
  }

  async function loadFile(file) {
    const name = file.name;
    if (!/\.sav$/i.test(name)) {
      await ask(`«${name}» — не сохранённая игра: нужен файл .sav. Игра продолжается.`);
      return;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    const result = game.load(bytes, true);
    if (result === 1) {
      await ask(`«${name}» — не сохранённая игра: в файле не текст команд. Игра продолжается.`);
      return;
    }
    if (result === 2) {
      const answer = await ask(
        `«${name}» похоже на сохранение другой игры: ${game.unmatchedCommands()} из ` +
          `${game.checkedCommands()} команд здесь ни к чему не подходят. Загрузить всё равно?`,
        [{ label: 'Не загружать', value: 'keep' }, { label: 'Загрузить', value: 'load' }]);
      if (answer !== 'load') return;
      game.load(bytes, false);
    }
    show();
  }

  // The command log lives in the browser's storage, so that reopening the page can resume.
  function remember() {
    if (resumePending) return;
    try {
      const bytes = game.save();
      if (!bytes.length) localStorage.removeItem(storageKey);
      else localStorage.setItem(storageKey, latin1(bytes));
    } catch (e) {
      // Storage full or disabled: the game goes on; Save still works.
    }
  }
  function latin1(bytes) {
    let s = '';
    for (let i = 0; i < bytes.length; i += 8192) s += String.fromCharCode(...bytes.subarray(i, i + 8192));
    return s;
  }
  function storedLog() {
    try {
      const s = localStorage.getItem(storageKey);
      return s ? Uint8Array.from(s, (c) => c.charCodeAt(0)) : null;
    } catch (e) {
      return null;
    }
  }
  function fnv1a(bytes, h = 0x811c9dc5) {
    for (const b of bytes) h = Math.imul(h ^ b, 0x01000193) >>> 0;
    return h;
  }

  $('restart').addEventListener('click', restart);
  $('save').addEventListener('click', download);
  $('load').addEventListener('click', () => $('load-file').click());
  $('load-file').addEventListener('change', (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (file && game) loadFile(file);
  });
  document.addEventListener('keydown', (event) => {
    if (dialog.open) return;
    if (event.key === 'F9') restart();
    else if (event.ctrlKey && event.key === 'F2') download();
    else if (event.ctrlKey && event.key === 'F3') $('load-file').click();
    else return;
    event.preventDefault();
  });

  // --- Start --------------------------------------------------------------------------------

  async function fetchBytes(name) {
    const response = await fetch(name);
    if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
    return new Uint8Array(await response.arrayBuffer());
  }

  async function main() {
    let scenario, library, module;
    try {
      [scenario, library, module] = await Promise.all([fetchBytes('game.scn'), fetchBytes('marvo.lib'), createMarvo()]);
    } catch (e) {
      input.placeholder = '';
      const reason = `Не удалось загрузить игру (${e.message || e}). Откройте папку игры через веб-сервер: ` +
        'в ней выполните python3 -m http.server и откройте http://127.0.0.1:8000/';
      output.textContent = reason;
      return;
    }
    storageKey = `marvo-if:${location.pathname}:${fnv1a(library, fnv1a(scenario)).toString(16)}`;
    const saved = storedLog();
    resumePending = Boolean(saved && saved.length);
    game = marvoApi(module);
    game.start(scenario, library);
    show();
    input.disabled = false;
    input.placeholder = '';
    input.focus();
    setInterval(() => game.tick(), 1000);
    document.body.dataset.readyMs = String(Math.round(performance.now()));
    document.body.dataset.ready = 'true';
    if (saved && saved.length) {
      const commands = saved.reduce((n, b) => n + (b === 10), 0);
      const answer = await ask(`Продолжить сохранённую игру? Команд в ней: ${commands}.`,
        [{ label: 'Продолжить', value: 'resume' }, { label: 'Начать заново', value: 'new' }]);
      resumePending = false;
      // Esc keeps the stored game as well: nothing is lost unless the player says so.
      if (answer !== 'new') {
        game.load(saved, false);
        show();
      } else {
        remember();
      }
    }
  }

  main();
})();
