// Bad input through the web build's engine: garbage, huge and runaway scenarios and saved games
// must give the events marvo-cli gives, and the saved-game check must refuse what is no saved
// game or belongs to another game.
// Usage: node bad_input.mjs --cli MARVO_CLI --assets WEB_BUILD_DIR
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { checks } from './checks.mjs';
import { loadMarvo } from './marvo_node.mjs';

const opt = {};
for (let i = 2; i < process.argv.length; i += 2) opt[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
opt.cli = path.resolve(opt.cli);
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'marvo-web-bad-'));

const { check, finish } = checks('bad input');

// Bytes of a fixed pseudo-random course (the engine's own generator).
function garbage(size, seed) {
  const bytes = Buffer.alloc(size);
  let state = seed >>> 0;
  for (let i = 0; i < size; ++i) {
    state = (Math.imul(state, 22695477) + 1) >>> 0;
    bytes[i] = (state >>> 16) & 0xff;
  }
  return bytes;
}

function cliEvents(scenario, library, commands, sav) {
  const dir = fs.mkdtempSync(path.join(work, 'case-'));
  fs.writeFileSync(path.join(dir, 'game.scn'), scenario);
  fs.writeFileSync(path.join(dir, 'game.lib'), library);
  const args = ['play', '--events', '--no-clock', '--library', 'game.lib'];
  if (sav) {
    fs.writeFileSync(path.join(dir, 'game.sav'), sav);
    args.push('--replay', 'game.sav');
  }
  args.push('game.scn');
  // (Its exit status tells whether the engine complained; the events are what is compared.)
  const run = spawnSync(opt.cli, args, { cwd: dir, input: commands.map((c) => c + '\n').join(''),
    stdio: ['pipe', 'pipe', 'ignore'], maxBuffer: 1 << 30 });
  if (run.error || run.stdout === null) throw run.error || new Error('marvo-cli gave no output');
  return run.stdout.toString('utf8');
}

// A fresh engine per case, as marvo-cli is a fresh process: a run that was cut short leaves its
// queued text for the next game start, in both.
async function webEvents(scenario, library, commands, sav) {
  const marvo = await loadMarvo(opt.assets);
  marvo.start(scenario, library);
  let out = marvo.eventsText();
  if (sav) {
    marvo.load(sav, false);
    out += marvo.eventsText();
  }
  for (const c of commands) {
    marvo.talk(c);
    out += marvo.eventsText();
  }
  return out + marvo.viewsText(true);
}

async function same(name, scenario, library = Buffer.alloc(0), commands = [], sav = null) {
  const cli = cliEvents(scenario, library, commands, sav);
  const web = await webEvents(scenario, library, commands, sav);
  let at = 0;
  while (at < cli.length && cli[at] === web[at]) ++at;
  check(cli === web, `${name}: the web engine gives marvo-cli's events`,
    `first difference at character ${at}: cli ${JSON.stringify(cli.slice(at, at + 80))}, web ${JSON.stringify(web.slice(at, at + 80))}`);
}

const cp1251 = (s) => Buffer.from(execFileSync('iconv', ['-f', 'UTF-8', '-t', 'CP1251'], { input: s, maxBuffer: 1 << 30 }));
const sample = fs.readFileSync(new URL('../transcripts/sample_game/scenario.scn', import.meta.url));
const library = fs.readFileSync(new URL('../transcripts/sample_game/marvo.lib', import.meta.url));

// Scenarios.
await same('garbage scenario', garbage(20000, 7), garbage(3000, 8), ['1', '', 'взять ключ', '2']);
await same('garbage after an RTF header', Buffer.concat([Buffer.from('{\\rtf1\\ansi '), garbage(20000, 9)]), library, ['1']);
await same('unbalanced RTF', Buffer.from('{\\rtf1{{{{\\par :a\\par !x\\par READ\\par'), library, ['']);
const huge = [];
for (let i = 0; i < 100000; ++i) huge.push(i % 3 ? `!строка ${i}` : `:м${i}`);
await same('huge scenario (100,000 lines)', cp1251(huge.join('\n') + '\nREAD\n'), library, ['1', '']);
await same('a line of one megabyte', Buffer.concat([Buffer.from(':a\n!'), Buffer.alloc(1 << 20, 0x41), Buffer.from('\nREAD\n')]),
  Buffer.alloc(0), ['']);
await same('runaway scenario', Buffer.from(':loop\nGOTO loop\n'), Buffer.alloc(0), ['xyzzy']);
await same('broken button line', cp1251(':a\n!Начало\nbtn [Вперёд\nREAD\n'), library, ['1']);

// Saved games replayed as "Load game" does.
// Binary bytes are no saved game: marvo-cli, the desktop program and the page's check below refuse
// them, so there is nothing to compare.
const many = [];
for (let i = 0; i < 20000; ++i) many.push(['1', '2', 'взять ключ', '', 'инвентарь'][i % 5]);
await same('huge .sav (20,000 commands)', sample, library, [], cp1251(many.join('\r\n') + '\r\n'));

// The page's check before a load.
const marvo = await loadMarvo(opt.assets);
marvo.start(sample, library);
marvo.talk('2');
const before = marvo.save();
check(marvo.load(garbage(5000, 11), true) === 1 && marvo.load(garbage(5000, 12), false) === 1,
  'binary bytes are no saved game, checked or not');
check(marvo.load(cp1251('xyzzy\r\nплыть на север\r\nоткрыть портал\r\n1\r\n'), true) === 2,
  'a save whose commands mostly fit nothing is another game\'s');
check(Buffer.from(marvo.save()).equals(Buffer.from(before)), 'a refused load keeps the game in progress');
check(marvo.load(cp1251('2\r\n1\r\nвзять ключ\r\nпрыгать\r\n'), true) === 0, 'a save of this game loads');
check(marvo.load(Buffer.alloc(0), true) === 0 && marvo.save().length === 0, 'an empty save just starts the game');

fs.rmSync(work, { recursive: true, force: true });
process.exit(finish());
