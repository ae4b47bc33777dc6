// Loads the web build's engine (marvo.js + marvo.wasm) into Node behind the page's API wrapper.
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import zlib from 'node:zlib';

const require = createRequire(import.meta.url);
const marvoApi = require('../../web/page/marvo_api.js');

export async function loadMarvo(assetsDir) {
  const createMarvo = require(path.resolve(assetsDir, 'marvo.js'));
  // Handing over the .wasm bytes keeps Emscripten's loader away from Node's fetch.
  const M = await createMarvo({ wasmBinary: fs.readFileSync(path.resolve(assetsDir, 'marvo.wasm')) });
  return marvoApi(M);
}

// What a player downloads from a published folder: its bytes, raw and gzip-compressed.
export function publishedSize(siteDir) {
  let raw = 0;
  let gzip = 0;
  for (const name of fs.readdirSync(siteDir)) {
    const bytes = fs.readFileSync(path.join(siteDir, name));
    raw += bytes.length;
    gzip += zlib.gzipSync(bytes, { level: 9 }).length;
  }
  return { raw, gzip };
}
