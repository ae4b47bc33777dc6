// Drives `marvo-cli lsp` with vscode-languageserver-protocol / vscode-jsonrpc, the libraries VS
// Code's language client is built on: every method, incremental edits with Cyrillic text,
// cancellation, shutdown and exit.
// Usage: node client_test.mjs MARVO_CLI SOURCE_DIR   (run where `npm ci` installed node_modules)
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { readFileSync, mkdtempSync, copyFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import assert from 'node:assert/strict';

const require = createRequire(path.join(process.cwd(), 'node_modules', 'x.js'));
const rpc = require('vscode-jsonrpc/node');
const proto = require('vscode-languageserver-protocol/node');

const [cli, source] = process.argv.slice(2);
const work = mkdtempSync(path.join(tmpdir(), 'marvo-lsp-node-'));
copyFileSync(path.join(source, 'games', 'mayak.scn'), path.join(work, 'mayak.scn'));
copyFileSync(path.join(source, 'games', 'marvo.lib'), path.join(work, 'marvo.lib'));
const uri = 'file://' + path.join(work, 'mayak.scn');
const text = new TextDecoder('windows-1251').decode(readFileSync(path.join(work, 'mayak.scn')));
const lines = text.split(/\r\n|\n/);

const server = spawn(cli, ['lsp', '--diagnostics-delay', '50'], { stdio: ['pipe', 'pipe', 'inherit'] });
const exited = new Promise((resolve) => server.on('exit', (code) => resolve(code)));
const connection = proto.createProtocolConnection(
  new rpc.StreamMessageReader(server.stdout), new rpc.StreamMessageWriter(server.stdin));
const diagnostics = [];
const waiters = [];
connection.onNotification(proto.PublishDiagnosticsNotification.type, (params) => {
  if (params.uri !== uri) return;
  diagnostics.push(params);
  while (waiters.length) waiters.shift()(params);
});
const nextDiagnostics = () => new Promise((resolve) => waiters.push(resolve));
connection.listen();
const timer = setTimeout(() => { console.error('FAIL: timed out'); process.exit(1); }, 60000);

const doc = { textDocument: { uri } };
const at = (line, character) => ({ ...doc, position: { line, character } });
const lineOf = (pattern) => lines.findIndex((l) => pattern.test(l));

// initialize and the first diagnostics of the sample game
const init = await connection.sendRequest(proto.InitializeRequest.type,
  { processId: process.pid, rootUri: null, capabilities: {} });
assert.equal(init.capabilities.textDocumentSync.change, proto.TextDocumentSyncKind.Incremental);
assert.equal(init.capabilities.renameProvider.prepareProvider, true);
await connection.sendNotification(proto.InitializedNotification.type, {});
let published = nextDiagnostics();
await connection.sendNotification(proto.DidOpenTextDocumentNotification.type,
  { textDocument: { uri, languageId: 'marvo', version: 1, text } });
let first = await published;
assert.ok(first.diagnostics.every((d) => d.severity !== 1), 'the sample game has no errors');

// every method on a GOTO line of the game
const gotoLine = lineOf(/^\s*GOTO\s+\S/i);
assert.ok(gotoLine >= 0);
const target = lines[gotoLine].trim().split(/\s+/)[1];
const column = lines[gotoLine].indexOf(target) + 1;
const def = await connection.sendRequest(proto.DefinitionRequest.type, at(gotoLine, column));
assert.equal(def.uri, uri);
assert.equal(lines[def.range.start.line].trim().toLowerCase(), ':' + target.toLowerCase());
const refs = await connection.sendRequest(proto.ReferencesRequest.type,
  { ...at(gotoLine, column), context: { includeDeclaration: true } });
assert.ok(refs.some((r) => r.range.start.line === gotoLine));
assert.ok(refs.some((r) => r.range.start.line === def.range.start.line));
const hover = await connection.sendRequest(proto.HoverRequest.type, at(gotoLine, 1));
assert.match(hover.contents.value, /GOTO/);
const completion = await connection.sendRequest(proto.CompletionRequest.type, at(gotoLine, column));
assert.ok(completion.items.some((i) => i.label === target.toLowerCase()));
const symbols = await connection.sendRequest(proto.DocumentSymbolRequest.type, doc);
assert.ok(symbols.length >= 16, 'sixteen locations and the objects');
const folds = await connection.sendRequest(proto.FoldingRangeRequest.type, doc);
assert.ok(folds.length >= 16);
const prepared = await connection.sendRequest(proto.PrepareRenameRequest.type, at(gotoLine, column));
assert.equal(prepared.placeholder.toLowerCase(), target.toLowerCase());
const renamed = await connection.sendRequest(proto.RenameRequest.type, { ...at(gotoLine, column), newName: 'новоеместо' });
assert.ok(renamed.changes[uri].length >= 2);
await assert.rejects(connection.sendRequest(proto.RenameRequest.type, { ...at(gotoLine, column), newName: 'readroom' }),
  (e) => e.code === -32803 && /read/.test(e.message));
await assert.rejects(connection.sendRequest('marvo/noSuchMethod', {}), (e) => e.code === -32601);

// incremental edits with Cyrillic text: a jump to a missing label, then its label typed in pieces
published = nextDiagnostics();
const end = lines.length - 1;
await connection.sendNotification(proto.DidChangeTextDocumentNotification.type, {
  textDocument: { uri, version: 2 },
  contentChanges: [{ range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } }, text: 'GOTO пристань🚢\n' }],
});
let after = await published;
assert.equal(after.version, 2);
const missing = after.diagnostics.find((d) => d.code === 'missing-label' && d.range.start.line === 0);
assert.ok(missing, JSON.stringify(after.diagnostics));
assert.equal(missing.range.start.character, 0);
assert.equal(missing.range.end.character, 'GOTO пристань🚢'.length, 'UTF-16 units, the wide characters count twice');
published = nextDiagnostics();
for (const [i, piece] of [':при', 'ст', 'ань🚢'].entries()) {
  const col = [0, 4, 6][i];
  await connection.sendNotification(proto.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 3 + i },
    contentChanges: [
      { range: { start: { line: end + 1, character: col }, end: { line: end + 1, character: col } }, text: piece },
    ],
  });
}
after = await published;
assert.equal(after.version, 5, 'one publication after the pause, for the last version');
assert.ok(!after.diagnostics.some((d) => d.code === 'missing-label' && d.range.start.line === 0),
  JSON.stringify(after.diagnostics.filter((d) => d.severity === 1)));
const jump = await connection.sendRequest(proto.DefinitionRequest.type, at(0, 8));
assert.equal(jump.range.start.line, end + 1);
assert.equal(jump.range.start.character, 1);

// cancellation: the server is busy with a large document while the request and its cancellation arrive
const big = Array.from({ length: 60000 }, (_, i) => `:место${i}\n!Текст ${i}\nGOTO место${i + 1}\nREAD`).join('\n');
await connection.sendNotification(proto.DidOpenTextDocumentNotification.type,
  { textDocument: { uri: uri + '.big.scn', languageId: 'marvo', version: 1, text: big } });
const source2 = new rpc.CancellationTokenSource();
const cancelled = connection.sendRequest(proto.DocumentSymbolRequest.type, doc, source2.token);
source2.cancel();
await assert.rejects(cancelled, (e) => e.code === proto.LSPErrorCodes.RequestCancelled);

// shutdown and exit
await connection.sendRequest(proto.ShutdownRequest.type);
await connection.sendNotification(proto.ExitNotification.type);
assert.equal(await exited, 0);
clearTimeout(timer);
connection.dispose();
rmSync(work, { recursive: true, force: true });
console.log('PASS: every method, incremental Cyrillic edits, cancellation, shutdown');
