// Web player figures: the size of a published folder, raw and gzip-compressed, and (with --native)
// the counting loop through the WebAssembly engine under Node against the native engine
// (bench_engine). The test command checks the size itself (tests/web/published_size.mjs).
// Usage: node web_bench.mjs --assets WEB_BUILD_DIR --site PUBLISHED_DIR [--native BENCH_ENGINE]
import { spawnSync } from 'node:child_process';
import { loadMarvo, publishedSize } from '../tests/web/marvo_node.mjs';

const opt = {};
for (let i = 2; i < process.argv.length; i += 2) opt[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
let ok = true;
function report(name, value, limit, unit, higherIsBetter) {
  const pass = higherIsBetter ? value >= limit : value <= limit;
  ok &&= pass;
  console.log(`${name.padEnd(60)} ${value.toFixed(2).padStart(12)} ${unit}  (${higherIsBetter ? 'need >=' : 'limit'} ` +
    `${limit})  ${pass ? 'OK' : 'FAIL'}`);
}

if (opt.native) {
  // The same counting loop as bench_engine's "counting loop with JUMP", timed inside Node (its
  // start-up and the module's compilation are not counted): one game to let the engine's code reach
  // the optimising compiler, then the median of seven.
  const marvo = await loadMarvo(opt.assets);
  const loop = Buffer.from('x = 0\n:loop\nx = x + 1\nIF x < 4000000\nJUMP loop\nENDIF\nREAD\n');
  marvo.start(loop, Buffer.alloc(0));
  const rates = [];
  for (let i = 0; i < 7; ++i) {
    const before = marvo.linesExecuted();
    const start = performance.now();
    marvo.start(loop, Buffer.alloc(0));
    const ms = performance.now() - start;
    rates.push((marvo.linesExecuted() - before) / ms / 1000);
  }
  rates.sort((a, b) => a - b);
  const web = rates[3];
  // (Its exit status speaks of its own limits; only its figure is taken here.)
  const nativeOut = spawnSync(opt.native).stdout.toString();
  const native = Number(/counting loop with JUMP.*?median\s+([\d.]+)/.exec(nativeOut)[1]);
  console.log(`counting loop: web ${web.toFixed(2)} Mlines/s under Node ${process.version}, native ${native.toFixed(2)} Mlines/s`);
  report('counting loop, web build under Node / native', (100 * web) / native, 50, '%', true);
}

// What a player downloads.
const { raw, gzip } = publishedSize(opt.site);
console.log(`published folder: ${raw} bytes, ${gzip} bytes gzip-compressed`);
report('published folder of the sample game', raw / 1024, 1024, 'KiB', false);
process.exit(ok ? 0 : 1);
