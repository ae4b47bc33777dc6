// Browser test of published games: serves them from 127.0.0.1 with python3's http.server, plays
// them in headless Chromium (Debian's, driven by puppeteer-core) by typing and by clicking menu
// lines, and compares the page with `marvo-cli play` for the same commands; then save, restart
// (asked first), reload and resume, load the .sav, refused loads, the phone layout, the default
// title and the icon, menu lines (never rewritten, 24 px tall), a large saved game replayed in the
// page's worker, the browser's storage running full, the clock and the runaway guard.
// Usage: node browser_test.mjs --sites DIR --cli MARVO_CLI --npm NPM_DIR --out ARTIFACT_DIR
//          [--large-save-bytes N]
//   DIR holds published folders: sample/ (the sample game, with its scenario and library also as
//   DIR/sample.scn and DIR/sample.lib), large/ (the sample game without --title), clock/ and
//   runaway/. The large saved game has about N bytes (1000000 unless given).
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { checks } from './checks.mjs';

const opt = {};
for (let i = 2; i < process.argv.length; i += 2) opt[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
opt.sites = path.resolve(opt.sites);
opt.cli = path.resolve(opt.cli);
const puppeteer = createRequire(path.join(path.resolve(opt.npm), 'package.json'))('puppeteer-core');
fs.mkdirSync(opt.out, { recursive: true });

const { check, finish } = checks('browser');
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
// How long to wait for what must come: a guard against a hang, not a limit (a busy machine is slow).
const kWait = 120000;
async function newPage() {
  const page = await browser.newPage();
  page.setDefaultTimeout(kWait);
  page.setDefaultNavigationTimeout(kWait);
  return page;
}

// --- What marvo-cli shows for the same commands ------------------------------------------------

const commands = ['2', '1', 'взять ключ', 'инвентарь', '1', '2', 'осмотреть сундук', 'взять записку',
  'взять сундук', '1', 'осмотреть записку', 'поднять половицу', '', 'бросить фонарь', 'помощь'];
function desktopView() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'marvo-web-cli-'));
  const events = execFileSync(opt.cli, ['play', '--events', '--no-clock', '--library', path.join(opt.sites, 'sample.lib'),
    '--save-log', path.join(work, 'expected.sav'), path.join(opt.sites, 'sample.scn')],
  { cwd: work, input: commands.join('\n') + '\n', stdio: ['pipe', 'pipe', 'ignore'] }).toString('utf8');
  const view = { pane: [], messages: [], inventory: [], characteristics: [] };
  for (const line of events.split('\n').filter((l) => l)) {
    const e = JSON.parse(line);
    if ('clear' in e) view.pane = [];
    if ('out' in e) view.pane.push(e.out);
    if ('message' in e) view.messages.push(e.message);
    if ('inventory' in e) view.inventory = e.inventory;
    if ('characteristics' in e) view.characteristics = e.characteristics;
  }
  view.sav = fs.readFileSync(path.join(work, 'expected.sav'));
  fs.rmSync(work, { recursive: true, force: true });
  return view;
}

// --- Server and browser ------------------------------------------------------------------------

async function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

const port = await freePort();
const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', opt.sites],
  { stdio: 'ignore' });
const base = `http://127.0.0.1:${port}`;
for (let i = 0; i < 100; ++i) {
  try {
    if ((await fetch(`${base}/sample/`)).ok) break;
  } catch (e) { /* not up yet */ }
  await sleep(100);
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'marvo-web-chromium-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-dev-shm-usage'],
});

// --- Page helpers ------------------------------------------------------------------------------

async function pageView(page) {
  return page.evaluate(() => {
    const texts = (sel) => [...document.querySelectorAll(sel)].map((e) => e.textContent);
    return { pane: texts('#output .line'), inventory: texts('#inventory li'), characteristics: texts('#characteristics li') };
  });
}
const dialogText = (page) => page.evaluate(() => {
  const d = document.getElementById('dialog');
  return d.open ? document.getElementById('dialog-text').textContent : null;
});
async function waitDialog(page, timeout = kWait) {
  await page.waitForSelector('#dialog[open]', { timeout });
  return dialogText(page);
}
async function answer(page, value) {
  await page.click(`#dialog button[value="${value}"]`);
  await page.waitForSelector('#dialog:not([open])');
}
async function openGame(page, site) {
  const start = Date.now();
  await page.goto(`${base}/${site}/`);
  await page.waitForSelector('body[data-ready="true"]', { timeout: kWait });
  return { wall: Date.now() - start, page: Number(await page.$eval('body', (b) => b.dataset.readyMs)) };
}
// The game runs in a worker: a command is shown when the page has counted one more call.
const turnsOf = (page) => page.evaluate(() => Number(document.body.dataset.turns || 0));
async function afterTurn(page, act) {
  const before = await turnsOf(page);
  await act();
  await page.waitForFunction((n) => Number(document.body.dataset.turns) > n, { timeout: kWait }, before);
}
async function typeCommand(page, command) {
  await page.focus('#command');
  await page.keyboard.type(command);
  await afterTurn(page, () => page.keyboard.press('Enter'));
}
// The buttons of the menu on offer (older menu lines stay buttons that send nothing).
const offeredSelector = (page) =>
  page.evaluate(() => `#output button.choice[data-turn="${document.body.dataset.menuTurn}"]`);
// Clicks the menu line "N. ..." when it is offered as a button; returns whether it was.
async function clickChoice(page, number) {
  const buttons = await page.$$(await offeredSelector(page));
  for (const b of buttons) {
    if ((await b.evaluate((e) => e.textContent)).startsWith(`${number}.`)) {
      await afterTurn(page, () => b.click());
      return true;
    }
  }
  return false;
}
// Heights of the menu lines and the buttons of the page (targets at least 24 px tall).
const targetHeights = (page) => page.evaluate(() =>
  [...document.querySelectorAll('#output button.choice, .actions button')].map((b) => b.getBoundingClientRect().height));
async function uploadSave(page, file) {
  const input = await page.$('#load-file');
  await input.uploadFile(file);
}

// The sample game published without --title: its name, its icon, its menu lines and a saved game
// far larger than any played by hand (replayed in the page's worker, the page staying responsive),
// and the browser's storage running full.
async function largeGame() {
  const page = await newPage();
  await page.setViewport({ width: 1024, height: 768 });
  const pageErrors = [];
  page.on('pageerror', (e) => pageErrors.push(String(e)));
  await (await page.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await openGame(page, 'large');
  const named = await page.evaluate(() => [document.title, document.getElementById('title').textContent]);
  check(same(named, ['Пример игры Marvo IF: «Старый дом»', 'Пример игры Marvo IF: «Старый дом»']),
    'the title comes from the first comment', JSON.stringify(named));
  const icon = await page.evaluate(async () => {
    const link = document.querySelector('link[rel="icon"]');
    const response = await fetch(link.href);
    return { status: response.status, type: response.headers.get('content-type'), svg: (await response.text()).includes('<svg') };
  });
  check(fs.existsSync(path.join(opt.sites, 'large', 'favicon.svg')) && icon.status === 200 && icon.svg &&
    /svg/.test(icon.type), 'the published folder has the page\'s icon', JSON.stringify(icon));

  // A new menu leaves the lines shown before as they are (a screen reader reads nothing again).
  await page.evaluate(() => {
    const output = document.getElementById('output');
    window.oldNodes = new Set([output, ...output.querySelectorAll('*')]);
    for (const div of output.children) for (const n of div.childNodes) window.oldNodes.add(n);
    output.querySelectorAll('button').forEach((b) => window.oldNodes.add(b.firstChild));
    window.changes = [];
    new MutationObserver((records) => {
      for (const r of records) {
        const old = window.oldNodes.has(r.target);
        if (r.target === output ? r.removedNodes.length > 0 : old) window.changes.push(`${r.type} ${r.target.textContent}`);
      }
    }).observe(output, { subtree: true, childList: true, characterData: true, attributes: true });
  });
  const oldMenu = await page.$$eval('#output button.choice', (bs) => bs.map((b) => b.textContent));
  await typeCommand(page, '1');
  const changes = await page.evaluate(() => window.changes);
  const menus = await page.evaluate(() => [...document.querySelectorAll('#output button.choice')].map((b) =>
    [b.textContent, b.dataset.turn === document.body.dataset.menuTurn, getComputedStyle(b).pointerEvents]));
  check(changes.length === 0, 'a new menu leaves the older lines untouched', JSON.stringify(changes));
  check(same(menus.filter((m) => !m[1]).map((m) => m[0]), oldMenu) && menus.some((m) => m[1] && m[2] !== 'none') &&
    menus.every((m) => m[1] || m[2] === 'none'), 'only the newest menu takes clicks', JSON.stringify(menus));
  const turnsBefore = await turnsOf(page);
  await page.evaluate(() => document.querySelector('#output button.choice').click());  // an older line
  await sleep(300);
  check((await turnsOf(page)) === turnsBefore, 'an older menu line sends nothing');
  const heights = await targetHeights(page);
  check(heights.length > 3 && Math.min(...heights) >= 24, 'menu lines and buttons are 24 px tall at least',
    JSON.stringify(heights));

  // A large saved game: replayed in the worker with a progress bar; no task of the page over 200 ms.
  const big = path.join(downloads, 'large.sav');
  // ("1" goes to the kitchen and back: an even count ends in the hall.)
  fs.writeFileSync(big, '1\r\n1\r\n'.repeat(Math.ceil(Number(opt['large-save-bytes'] || 1000000) / 6)));
  await page.evaluate(() => {
    window.longTasks = [];
    new PerformanceObserver((list) => window.longTasks.push(...list.getEntries().map((e) => e.duration)))
      .observe({ type: 'longtask' });
  });
  const turnsBeforeLoad = await turnsOf(page);
  const loadStart = Date.now();
  await uploadSave(page, big);
  const progress = [];
  const roundTrips = [];
  for (;;) {
    const asked = Date.now();
    const state = await page.evaluate(() => ({ loading: document.body.dataset.loading, turns: Number(document.body.dataset.turns),
      value: document.getElementById('progress').hidden ? null : document.getElementById('progress-bar').value,
      label: document.getElementById('progress-label').textContent }));
    roundTrips.push(Date.now() - asked);
    if (state.value !== null) progress.push(state.value);
    if (state.loading === 'false' && state.turns > turnsBeforeLoad) break;
    if (Date.now() - loadStart > 600000) break;
    await sleep(100);
  }
  const loadMs = Date.now() - loadStart;
  const longTasks = await page.evaluate(() => window.longTasks);
  console.log(`large saved game: ${fs.statSync(big).size} bytes replayed in ${loadMs} ms; longest task of the page ` +
    `${Math.max(0, ...longTasks).toFixed(0)} ms; slowest answer of the page while loading ${Math.max(...roundTrips)} ms`);
  check(progress.some((v) => v > 0 && v < 100), 'the replay shows its progress', JSON.stringify(progress.slice(0, 20)));
  // A figure, not a check: a busy machine stretches every task (scripts/bench holds the limits).
  console.log(`longest task of the page during the replay: ${Math.max(0, ...longTasks).toFixed(0)} ms`);
  const loadedView = await pageView(page);
  check(loadedView.pane.length > 3 && loadedView.pane.length <= 1000 && loadedView.pane.at(-4) === '>1' &&
    loadedView.pane.at(-1) === '2. Подняться на чердак',
    'the replayed game is shown', JSON.stringify(loadedView.pane.slice(-3)));
  const savFile = path.join(downloads, 'savegame.sav');
  fs.rmSync(savFile, { force: true });
  await page.click('#save');
  for (let i = 0; i < 100 && !(fs.existsSync(savFile) && fs.statSync(savFile).size === fs.statSync(big).size); ++i) {
    await sleep(100);
  }
  check(fs.existsSync(savFile) && fs.readFileSync(savFile).equals(fs.readFileSync(big)), 'every command was replayed',
    JSON.stringify(fs.readdirSync(downloads).map((f) => [f, fs.statSync(path.join(downloads, f)).size])));

  // Commands go to the worker one message each: the time from Enter to the page showing the turn.
  const answers = [];
  const engine = [];
  for (let i = 0; i < 15; ++i) {
    const started = Date.now();
    await typeCommand(page, i % 2 ? 'инвентарь' : '');
    answers.push(Date.now() - started);
    engine.push(Number(await page.$eval('body', (b) => b.dataset.engineMs)));
  }
  const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
  console.log(`command with the engine in a worker: median ${median(answers)} ms from the test's keypress to the ` +
    `shown turn, of which the engine ${median(engine).toFixed(2)} ms`);

  // The log of the large game (far beyond localStorage's 5 M characters) is kept: reopening resumes it.
  const before = await pageView(page);
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  const resume = await waitDialog(page);
  const commands = fs.statSync(big).size / 3 + 15;
  check(resume !== null && resume.includes(`Команд в ней: ${commands}.`), 'the large game is stored', resume);
  await answer(page, 'resume');
  await page.waitForFunction(() => document.body.dataset.loading === 'false' && Number(document.body.dataset.turns) > 1,
    { timeout: 600000 });
  check(same(await pageView(page), before), 'the large game resumes where it was');

  // Storage full: the page says so, and reopening it never resumes an older game. (The browser
  // refusing every write is played by the worker's IndexedDB throwing what a full disk throws.)
  const full = await newPage();
  full.on('pageerror', (e) => pageErrors.push(String(e)));
  await full.evaluateOnNewDocument(() => {
    const Original = Blob;
    window.Blob = class extends Original {
      constructor(parts, options) {
        const worker = options && options.type === 'text/javascript';
        super(worker ? ['IDBObjectStore.prototype.put = () => { throw new DOMException("full", "QuotaExceededError"); };\n',
          ...parts] : parts, options);
      }
    };
  });
  await openGame(full, 'large');
  await waitDialog(full);
  await answer(full, 'resume');
  await full.waitForFunction(() => document.body.dataset.loading === 'false' && Number(document.body.dataset.turns) > 1,
    { timeout: 600000 });
  await full.waitForSelector('#notice:not([hidden])', { timeout: kWait }).catch(() => {});
  const notice = await full.$eval('#notice', (e) => (e.hidden ? null : e.textContent));
  check(notice !== null && notice.includes('QuotaExceededError') && notice.includes('«Сохранить»'),
    'a log the browser would not store is reported', notice);
  await typeCommand(full, 'осмотреться');
  await full.close();
  const reopened = await newPage();
  await openGame(reopened, 'large');
  await sleep(300);
  check((await dialogText(reopened)) === null, 'reopening after a failed write resumes no older game');
  await reopened.close();
  check(pageErrors.length === 0, 'no script errors in the large game', pageErrors.join('; '));
  await page.close();
}

const expected = desktopView();
const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'marvo-web-downloads-'));
try {
  const page = await newPage();
  await page.setViewport({ width: 1024, height: 768 });
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const pageErrors = [];
  page.on('pageerror', (e) => pageErrors.push(String(e)));

  // Open and play: numbers by clicking their menu lines where offered, the rest typed.
  const ready = await openGame(page, 'sample');
  console.log(`page interactive after ${ready.page} ms (navigation start), ${ready.wall} ms (test's clock)`);
  check(ready.page <= 1000, 'the page is interactive within 1 s', `${ready.page} ms`);
  check(await page.$eval('#output', (e) => e.getAttribute('role') === 'log' && e.getAttribute('aria-live') === 'polite'),
    'the output pane is an ARIA live region');
  check((await dialogText(page)) === null, 'a fresh browser offers no resume');
  check(await page.evaluate(() => document.activeElement.id === 'command'), 'the input line has the focus');
  let clicks = 0;
  const messages = [];
  for (const command of commands) {
    if (/^\d+$/.test(command) && (await clickChoice(page, command))) ++clicks;
    else await typeCommand(page, command);
    const message = await dialogText(page);
    if (message !== null) {
      messages.push(message);
      await page.keyboard.press('Enter');
    }
  }
  check(clicks >= 3, 'menu lines are clickable', `${clicks} clicks`);
  const played = await pageView(page);
  check(same(played.pane, expected.pane), 'the page shows what marvo-cli play shows',
    `page: ${JSON.stringify(played.pane.slice(-3))}\n  cli:  ${JSON.stringify(expected.pane.slice(-3))}`);
  check(same(played.inventory, expected.inventory) && same(played.characteristics, expected.characteristics),
    'inventory and characteristics lists', JSON.stringify([played.inventory, played.characteristics]));
  // (The page shows where a message arose beneath its text.)
  check(same(messages.map((m, i) => m.slice(0, (expected.messages[i] || '').length)), expected.messages), 'messages',
    JSON.stringify(messages));
  fs.writeFileSync(path.join(opt.out, 'web-transcript.txt'), played.pane.join('\n') + '\n');

  // Up and Down walk the input history.
  await page.focus('#command');
  await page.keyboard.press('ArrowUp');
  const up1 = await page.$eval('#command', (e) => e.value);
  await page.keyboard.press('ArrowUp');
  const up2 = await page.$eval('#command', (e) => e.value);
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  const down = await page.$eval('#command', (e) => e.value);
  check(up1 === 'помощь' && up2 === 'бросить фонарь' && down === '', 'input history', JSON.stringify([up1, up2, down]));

  // Save: the download is the desktop's .sav, byte for byte.
  await page.click('#save');
  const savFile = path.join(downloads, 'savegame.sav');
  for (let i = 0; i < 50 && !fs.existsSync(savFile); ++i) await sleep(100);
  check(fs.existsSync(savFile) && fs.readFileSync(savFile).equals(expected.sav), 'Save downloads the command log as .sav');

  // Starting anew asks first, and F9 typed in the command line is no command at all.
  await page.focus('#command');
  await page.keyboard.type('взя');
  await page.keyboard.press('F9');
  await sleep(300);
  check((await dialogText(page)) === null && (await page.$eval('#command', (e) => e.value)) === 'взя' &&
    same(await pageView(page), played), 'F9 in the command line neither asks nor restarts');
  await page.$eval('#command', (e) => { e.value = ''; });
  await page.focus('#output');
  await page.keyboard.press('F9');
  const f9Question = await waitDialog(page);
  check(f9Question !== null && f9Question.includes('Начать игру заново?'), 'F9 outside the command line asks first',
    f9Question);
  check(await page.evaluate(() => document.activeElement.value === 'cancel'), 'the question offers Отмена first');
  await page.keyboard.press('Escape');
  await page.waitForSelector('#dialog:not([open])');
  check(same(await pageView(page), played), 'Esc on the question keeps the game');

  // Ctrl+Z in the empty command line takes back the last command: the pane shows the turn before
  // it, replayed; "Вернуть ход" gives it again, with the lists as they were.
  await page.focus('#command');
  await page.keyboard.down('Control');
  await afterTurn(page, () => page.keyboard.press('z'));
  await page.keyboard.up('Control');
  const undone = await pageView(page);
  check(undone.pane[0] === '>бросить фонарь' && !undone.pane.includes('>помощь'),
    'Ctrl+Z in the empty command line undoes the last command', JSON.stringify(undone.pane.slice(0, 2)));
  await afterTurn(page, () => page.click('#redo'));
  const redone = await pageView(page);
  check(redone.pane[0] === '>помощь' && same(redone.pane, played.pane.slice(played.pane.lastIndexOf('>помощь'))) &&
    same(redone.inventory, played.inventory) && same(redone.characteristics, played.characteristics),
  '"Вернуть ход" gives the command again', JSON.stringify(redone.pane.slice(0, 2)));

  // Reopen: resume from the browser's storage (still there after the question above).
  await page.reload();
  await page.waitForSelector('body[data-ready="true"]');
  const resume = await waitDialog(page);
  check(resume !== null && resume.includes('Продолжить'), 'reopening offers to resume', resume);
  await answer(page, 'resume');
  await page.waitForFunction((n) => document.querySelectorAll('#output .line').length === n, { timeout: kWait },
    played.pane.length).catch(() => {});
  const resumed = await pageView(page);
  check(same(resumed, played), 'resume restores the game', JSON.stringify(resumed.pane.slice(-3)));

  // Load the .sav after starting anew (asked first).
  await page.click('#restart');
  const restartQuestion = await waitDialog(page);
  check(restartQuestion !== null && restartQuestion.includes('заново'), '"Заново" asks first', restartQuestion);
  await afterTurn(page, () => answer(page, 'restart'));
  check(!same((await pageView(page)).pane, played.pane), 'restart begins the game anew');
  if (fs.existsSync(savFile)) {
    await uploadSave(page, savFile);
    await page.waitForFunction((n) => document.querySelectorAll('#output .line').length === n, { timeout: kWait },
      played.pane.length).catch(() => {});
    check(same(await pageView(page), played), 'Load takes the .sav');
  }

  // Refused loads keep the game in progress.
  const junk = path.join(downloads, 'notes.txt');
  fs.writeFileSync(junk, 'not a saved game\r\n');
  await uploadSave(page, junk);
  const notSav = await waitDialog(page);
  check(notSav !== null && notSav.includes('не сохранённая игра'), 'a file that is no .sav is refused', notSav);
  await page.keyboard.press('Enter');
  const binary = path.join(downloads, 'binary.sav');
  fs.writeFileSync(binary, Buffer.from([0x50, 0x4b, 3, 4, 0, 0, 0, 0, 0xff, 0xfe, 10, 13]));
  await uploadSave(page, binary);
  const binMessage = await waitDialog(page);
  check(binMessage !== null && binMessage.includes('не текст команд'), 'binary content is refused', binMessage);
  await page.keyboard.press('Enter');
  const other = path.join(downloads, 'other.sav');
  fs.writeFileSync(other, Buffer.from('xyzzy\r\nopen portal\r\nswim north\r\n'));
  await uploadSave(page, other);
  const otherMessage = await waitDialog(page);
  check(otherMessage !== null && otherMessage.includes('другой игры'), 'a save of another game is questioned', otherMessage);
  await page.keyboard.press('Enter');  // the focused default keeps the game
  await page.waitForSelector('#dialog:not([open])');
  check(same(await pageView(page), played), 'refused loads keep the game in progress');
  check(pageErrors.length === 0, 'no script errors', pageErrors.join('; '));

  // Screenshot (kept as an artifact) with the game's text on it.
  const shot = path.join(opt.out, 'web-player.png');
  await page.screenshot({ path: shot });
  const light = Number(execFileSync('convert', [shot, '-colorspace', 'Gray', '-threshold', '60%', '-format',
    '%[fx:round(mean*w*h)]', 'info:']).toString());
  check(light > 2000, 'the screenshot shows text', `${light} light pixels`);

  // Phone-sized screen: nothing wider than the screen, the input line and lists on it.
  // (A change to a mobile viewport reloads the page, which offers to resume again.)
  await page.setViewport({ width: 375, height: 667, isMobile: true, hasTouch: true });
  await page.waitForSelector('body[data-ready="true"]');
  if ((await waitDialog(page, 10000).catch(() => null)) !== null) await answer(page, 'resume');
  const phone = await page.evaluate(() => {
    const box = (id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return { right: r.right, bottom: r.bottom };
    };
    return { width: document.documentElement.scrollWidth, input: box('command'), list: box('inventory') };
  });
  check(phone.width <= 375 && phone.input.right <= 375 && phone.input.bottom <= 667 && phone.list.bottom <= 667,
    'the phone layout fits the screen', JSON.stringify(phone));
  const phoneHeights = await targetHeights(page);
  check(phoneHeights.length > 2 && Math.min(...phoneHeights) >= 24, 'phone: menu lines and buttons 24 px tall at least',
    JSON.stringify(phoneHeights));
  await page.screenshot({ path: path.join(opt.out, 'web-player-phone.png') });
  await typeCommand(page, '');  // the location again, with its menu
  const tapped = await page.$(await offeredSelector(page));
  const number = tapped && (await tapped.evaluate((e) => e.textContent.match(/\d+/)[0]));
  const before = (await pageView(page)).pane.length;
  if (tapped) await afterTurn(page, () => tapped.tap());
  const after = (await pageView(page)).pane;
  check(tapped !== null && after.length > before && after.includes(`>${number}`), 'menu lines can be tapped',
    JSON.stringify(after.slice(-4)));
  await typeCommand(page, 'xyzzy');  // an impossible command keeps the menu on offer
  check((await page.$$('#output button.choice')).length > 0, 'the menu stays clickable after an impossible command');
  await page.close();

  await largeGame();

  // The game clock ticks once a second.
  const clockPage = await newPage();
  await openGame(clockPage, 'clock');
  await sleep(2600);
  await typeCommand(clockPage, '');
  const clockLines = (await pageView(clockPage)).pane.filter((l) => l.startsWith('Часы:'));
  const seconds = Number((clockLines.pop() || '').replace(/\D+/g, ''));
  check(seconds >= 2 && seconds <= 4, 'the clock ticks once a second', `${seconds} s after 2.6 s`);
  await clockPage.close();

  // A runaway game is stopped with a message and the page stays usable.
  const runaway = await newPage();
  await runaway.goto(`${base}/runaway/`);
  const stopped = await waitDialog(runaway, 60000);
  check(stopped !== null && stopped.includes('зациклился'), 'the runaway guard stops the run', stopped);
  // Beneath the message, the place in the desktop's words (the event's "where") and its line.
  check(stopped !== null && stopped.endsWith('\n\nСтрока 2 сценария: GOTO loop'),
    'the page shows where the message arose', JSON.stringify(stopped));
  await runaway.keyboard.press('Enter');
  await runaway.waitForSelector('body[data-ready="true"]');
  await typeCommand(runaway, 'xyzzy');
  check((await pageView(runaway)).pane.includes('>xyzzy'), 'the page stays usable after the runaway guard');
  await runaway.close();
} finally {
  await browser.close();
  server.kill();
  fs.rmSync(profile, { recursive: true, force: true });
  fs.rmSync(downloads, { recursive: true, force: true });
}
process.exit(finish());
