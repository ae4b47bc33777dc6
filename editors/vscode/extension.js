// Starts `marvo-cli lsp` for Marvo IF scenarios (language "marvo") through vscode-languageclient.
'use strict';
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
  const settings = vscode.workspace.getConfiguration('marvo.server');
  const args = ['lsp'];
  const library = settings.get('library');
  if (library) args.push('--library', library);
  const server = { command: settings.get('path') || 'marvo-cli', args };
  client = new LanguageClient('marvo', 'Marvo IF', { run: server, debug: server }, {
    documentSelector: [{ scheme: 'file', language: 'marvo' }],
  });
  client.start();
  context.subscriptions.push({ dispose: () => client && client.stop() });
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
