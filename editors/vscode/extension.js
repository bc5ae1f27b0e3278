// The VS Code client of the KV BASIC language server: starts `kvbasic lsp`
// (the program named by the setting kvbasic.command) for .bas files.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function activate(context) {
  const command = vscode.workspace.getConfiguration('kvbasic').get('command') || 'kvbasic';
  const server = { command, args: ['lsp'] };
  // One client, so one server, for the whole workspace: a program and the
  // libraries it INCLUDEs (lib/*.bas) share it, and a library's unsaved
  // text reaches the program's errors.
  client = new LanguageClient('kvbasic', 'KV BASIC', { run: server, debug: server }, {
    documentSelector: [{ language: 'kvbasic' }],
  });
  context.subscriptions.push(client);
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
