// The web player: shows the game that marvo.wasm plays in a worker, as the desktop window does.
'use strict';
(() => {
  const MAX_LINES = 1000;  // the output pane keeps the latest lines
  const $ = (id) => document.getElementById(id);
  const output = $('output');
  const input = $('command');
  const dialog = $('dialog');

  let worker = null;
  let ready = false;
  let loading = false;  // a saved game is being replayed: commands wait until it is done
  let turns = 0;  // calls shown so far (body's data-turns, which tests wait on)
  let menuTurn = -1;  // the call whose menu lines are on offer
  let menuChoices = new Set();
  const history = [];
  let historyPos = 0;
  let draft = '';

  // --- The engine's worker ------------------------------------------------------------------

  // Requests are answered one by one in order; progress and storage news come in between.
  const waiting = [];
  function call(request, transfer = []) {
    return new Promise((resolve) => {
      waiting.push(resolve);
      worker.postMessage(request, transfer);
    });
  }
  function heard(event) {
    const m = event.data;
    if (m.op === 'progress') showProgress(m.done, m.total);
    else if (m.op === 'storage') storageNews(m);
    else waiting.shift()(m);
  }
  function makeWorker() {
    const source = ['marvo-api', 'engine-worker'].map((id) => $(id).textContent).join('\n');
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const made = new Worker(url);
    URL.revokeObjectURL(url);
    made.addEventListener('message', heard);
    made.addEventListener('error', (event) => {
      event.preventDefault();
      for (const resolve of waiting.splice(0)) resolve({ op: 'failed', message: event.message });
    });
    return made;
  }

  // --- Output pane, lists, messages -----------------------------------------------------------

  function addLine(s) {
    const div = document.createElement('div');
    div.className = 'line';
    div.textContent = s;
    output.append(div);
    return div;
  }

  // A menu line ("N. text") whose number is a registered talk pattern is a button that sends the
  // number. Lines once shown are never changed (a screen reader would read them again): a newer
  // menu only makes the older buttons look like text, by a rule in the page's head, and a click
  // on one of them sends nothing.
  function addChoice(s, number) {
    const div = document.createElement('div');
    div.className = 'line';
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'choice';
    button.dataset.turn = String(turns);
    button.textContent = s;
    button.addEventListener('click', () => {
      if (button.dataset.turn === String(menuTurn) && menuChoices.has(number) && ready && !loading) submit(number);
      else input.focus();
    });
    div.append(button);
    output.append(div);
    return div;
  }
  const menuNumber = (text) => (/^\s*(\d+)\s*\./.exec(text) || [])[1];
  function offerMenu(turn) {
    menuTurn = turn;
    document.body.dataset.menuTurn = String(turn);
    $('menu-style').textContent = `#output .choice:not([data-turn="${turn}"]) { color: inherit; cursor: text; ` +
      'pointer-events: none; }';
  }

  function fillList(ul, items) {
    ul.replaceChildren(...items.map((item) => {
      const li = document.createElement('li');
      li.textContent = item;
      return li;
    }));
  }

  // Modal questions one after another; resolves with the value of the chosen button ('' on Esc).
  // The button marked `focus` (else the first) has the focus.
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
      if (!input.disabled) input.focus();
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
    const focused = q.buttons.findIndex((b) => b.focus);
    $('dialog-buttons').children[Math.max(0, focused)].focus();
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

  // Shows what a call of the engine did: its events, the lists, the menu now on offer. Only the
  // lines after the last echo belong to the menu (a load replays many turns); when a command
  // brought no menu (an impossible one), the menu shown before stays on offer.
  function show(turn) {
    ++turns;
    const choices = new Set(turn.choices);
    let lastEcho = -1;
    turn.events.forEach((e, i) => {
      if ('out' in e && e.out.startsWith('>')) lastEcho = i;
    });
    let offered = false;
    turn.events.forEach((e, i) => {
      if ('clear' in e) {
        output.replaceChildren();
      } else if ('out' in e) {
        const number = i > lastEcho ? menuNumber(e.out) : undefined;
        if (number !== undefined && choices.has(number)) {
          addChoice(e.out, number);
          offered = true;
        } else {
          addLine(e.out);
        }
      } else if ('message' in e) {
        ask(e.message + describeAt(e.at));
      } else if ('error' in e) {
        ask((turn.lastError || 'List index out of bounds') + describeAt(e.at));
      }
    });
    while (output.childElementCount > MAX_LINES) output.firstElementChild.remove();
    if (offered) offerMenu(turns);
    menuChoices = choices;
    for (const e of turn.views) {
      if ('inventory' in e) fillList($('inventory'), e.inventory);
      if ('characteristics' in e) fillList($('characteristics'), e.characteristics);
    }
    output.scrollTop = output.scrollHeight;
    if (turn.ms !== undefined) document.body.dataset.engineMs = turn.ms.toFixed(2);
    document.body.dataset.turns = String(turns);
  }

  // --- Commands -----------------------------------------------------------------------------

  async function submit(command) {
    if (!ready || loading) return;
    if (command !== '' && history[history.length - 1] !== command) history.push(command);
    historyPos = history.length;
    draft = '';
    input.value = '';
    const answer = await call({ op: 'talk', command });
    show(answer.turn);
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

  // "Отменить ход" (Ctrl+Z in an empty command line) and "Вернуть ход" (Ctrl+Shift+Z): the worker
  // replays the game; the pane shows the last turn replayed.
  async function rewind(op) {
    if (!ready || loading) return;
    const answer = await call({ op });
    if (answer.turn) show(answer.turn);
    if (!dialog.open) input.focus();
  }

  // Starting anew throws the game away, in the browser's storage too: asked first.
  async function restart() {
    if (!ready || loading) return;
    const answer = await ask('Начать игру заново? Эта игра пропадёт, и продолжить её при следующем открытии ' +
      'страницы будет нельзя (сохранить её можно кнопкой «Сохранить»).',
    [{ label: 'Начать заново', value: 'restart' }, { label: 'Отмена', value: 'cancel', focus: true }]);
    if (answer !== 'restart') return;
    show((await call({ op: 'restart' })).turn);
    input.focus();
  }

  // --- Saved games --------------------------------------------------------------------------

  async function download() {
    if (!ready || loading) return;
    const { bytes } = await call({ op: 'save' });
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const a = document.createElement('a');
    a.href = url;
    a.download = 'savegame.sav';
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
    input.focus();
  }

  // A replay runs in the worker; meanwhile the page shows how far it is and stays usable.
  function setLoading(on) {
    loading = on;
    input.disabled = on;
    for (const id of ['restart', 'undo', 'redo', 'save', 'load']) $(id).disabled = on;
    $('progress').hidden = !on;
    if (on) showProgress(0, 1);
    document.body.dataset.loading = String(on);
  }
  function showProgress(done, total) {
    const percent = total ? Math.floor((100 * done) / total) : 100;
    $('progress-bar').value = percent;
    $('progress-label').textContent = `Загрузка сохранённой игры: ${percent} %`;
  }
  async function replay(request) {
    setLoading(true);
    try {
      return await call(request, request.bytes ? [request.bytes.buffer] : []);
    } finally {
      setLoading(false);
      if (!dialog.open) input.focus();
    }
  }

  async function loadFile(file) {
    const name = file.name;
    if (!/\.sav$/i.test(name)) {
      await ask(`«${name}» — не сохранённая игра: нужен файл .sav. Игра продолжается.`);
      return;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    const loaded = await replay({ op: 'load', bytes, check: true });
    if (loaded.result === 1) {
      await ask(`«${name}» — не сохранённая игра: в файле не текст команд. Игра продолжается.`);
      return;
    }
    if (loaded.result === 2) {
      const answer = await ask(
        `«${name}» похоже на сохранение другой игры: ${loaded.unmatched} из ` +
          `${loaded.checked} команд здесь ни к чему не подходят. Загрузить всё равно?`,
        [{ label: 'Не загружать', value: 'keep' }, { label: 'Загрузить', value: 'load' }]);
      if (answer !== 'load') {
        await call({ op: 'drop' });
        return;
      }
      show((await call({ op: 'adopt' })).turn);
      return;
    }
    show(loaded.turn);
  }

  // The worker keeps the command log in the browser's storage; when it cannot, the page says so
  // until a later write succeeds.
  function storageNews(m) {
    const notice = $('notice');
    if (m.stored) {
      notice.hidden = true;
      notice.textContent = '';
      dropLegacy();
      return;
    }
    notice.textContent = `Браузер не сохранил ход игры (${m.reason}): если закрыть страницу, продолжить эту ` +
      'игру будет нельзя. Скачайте её кнопкой «Сохранить»; освободить место можно в настройках браузера ' +
      '(данные сайтов).';
    notice.hidden = false;
  }

  // Earlier versions of the page kept the log in localStorage under this page's path; the worker
  // takes it over once and the page then removes it.
  const legacyPrefix = `marvo-if:${location.pathname}:`;
  function legacyLogs() {
    const found = {};
    try {
      for (let i = 0; i < localStorage.length; ++i) {
        const key = localStorage.key(i);
        if (key.startsWith(legacyPrefix)) found[key] = localStorage.getItem(key);
      }
    } catch (e) {
      // No localStorage: nothing to take over.
    }
    return found;
  }
  function dropLegacy() {
    try {
      for (const key of Object.keys(legacyLogs())) localStorage.removeItem(key);
    } catch (e) {
      // Nothing to remove.
    }
  }

  $('restart').addEventListener('click', restart);
  $('undo').addEventListener('click', () => rewind('undo'));
  $('redo').addEventListener('click', () => rewind('redo'));
  $('save').addEventListener('click', download);
  $('load').addEventListener('click', () => $('load-file').click());
  $('load-file').addEventListener('change', (event) => {
    const file = event.target.files[0];
    event.target.value = '';
    if (file && ready && !loading) loadFile(file);
  });
  document.addEventListener('keydown', (event) => {
    if (dialog.open) return;
    // F9 in the command line is a slip of a typing hand: only outside it does it offer to start anew.
    if (event.key === 'F9' && event.target !== input) restart();
    else if (event.ctrlKey && (event.key === 'z' || event.key === 'Z' || event.code === 'KeyZ') &&
             !(event.target === input && input.value !== '')) rewind(event.shiftKey ? 'redo' : 'undo');
    else if (event.ctrlKey && event.key === 'F2') download();
    else if (event.ctrlKey && event.key === 'F3' && ready && !loading) $('load-file').click();
    else return;
    event.preventDefault();
  });

  // --- Start --------------------------------------------------------------------------------

  async function main() {
    worker = makeWorker();
    const started = await call({ op: 'start', base: document.baseURI, path: location.pathname, legacy: legacyLogs() });
    if (started.op !== 'ready') {
      input.placeholder = '';
      const reason = `Не удалось загрузить игру (${started.message}). Откройте папку игры через веб-сервер: ` +
        'в ней выполните python3 -m http.server и откройте http://127.0.0.1:8000/';
      output.textContent = reason;
      return;
    }
    show(started.turn);
    ready = true;
    input.disabled = false;
    input.placeholder = '';
    input.focus();
    document.body.dataset.readyMs = String(Math.round(performance.now()));
    document.body.dataset.ready = 'true';
    if (started.stored) {
      const answer = await ask(`Продолжить сохранённую игру? Команд в ней: ${started.stored}.`,
        [{ label: 'Продолжить', value: 'resume' }, { label: 'Начать заново', value: 'new' }]);
      // Esc keeps the stored game as well: nothing is lost unless the player says so.
      if (answer !== 'new') show((await replay({ op: 'resume' })).turn);
      else await call({ op: 'fresh' });
    }
  }

  main();
})();
