// Plays one golden transcript case (tests/transcripts/<case>/) through the web build's engine and
// compares the events with expected.jsonl, as run_transcript.cmake does through marvo-cli.
// Usage: node run_transcript.mjs ASSETS_DIR CASE_DIR
import fs from 'node:fs';
import path from 'node:path';
import { loadMarvo } from './marvo_node.mjs';

const [assets, caseDir] = process.argv.slice(2);
const file = (name) => path.join(caseDir, name);
const read = (name) => (fs.existsSync(file(name)) ? fs.readFileSync(file(name)) : Buffer.alloc(0));

const marvo = await loadMarvo(assets);
let actual = '';
marvo.start(read('scenario.scn'), read('marvo.lib'));
actual += marvo.eventsText();

// args.txt holds extra marvo-cli arguments; --replay is "Load game" with that file, --undo-word
// WORD makes a line that is WORD the page's undo button.
let undoWord = '';
const args = fs.existsSync(file('args.txt')) ? fs.readFileSync(file('args.txt'), 'utf8').split(/\r?\n/) : [];
for (let i = 0; i < args.length; ++i) {
  if (args[i] === '--replay') {
    const sav = args[++i].replace('@CASE@', caseDir);
    marvo.load(fs.readFileSync(sav), false);
    actual += marvo.eventsText();
  } else if (args[i] === '--undo-word') {
    undoWord = args[++i].trim().toLowerCase();
  } else if (args[i] !== '') {
    console.error(`unsupported argument in args.txt: ${args[i]}`);
    process.exit(2);
  }
}
// Standard input of marvo-cli: UTF-8 lines; a final line end adds no command.
let input = read('input.txt').toString('utf8');
if (input.endsWith('\n')) input = input.slice(0, -1);
if (input !== '' || read('input.txt').length) {
  for (let line of input.split('\n')) {
    if (line.endsWith('\r')) line = line.slice(0, -1);
    if (undoWord !== '' && line.trim().toLowerCase() === undoWord) {
      // marvo-cli says so when there is nothing to undo; the engine then gives no events.
      actual += marvo.undo() ? marvo.eventsText() : '{"out": "Отменять нечего"}\n';
      continue;
    }
    marvo.talk(line);
    actual += marvo.eventsText();
  }
}
actual += marvo.viewsText(true);

const expected = read('expected.jsonl').toString('utf8');
if (actual === expected) process.exit(0);
const a = actual.split('\n');
const e = expected.split('\n');
let i = 0;
while (i < a.length && i < e.length && a[i] === e[i]) ++i;
console.error(`the web engine's transcript differs at line ${i + 1}:\n  expected: ${e[i]}\n  actual:   ${a[i]}`);
process.exit(1);
