// The VS Code side of KV BASIC: starts `kvbasic lsp` (the program named by
// the setting kvbasic.command) for .bas files, and `kvbasic dap` for debug
// sessions of type kvbasic.
const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

let client;

function kvbasicCommand() {
  return vscode.workspace.getConfiguration('kvbasic').get('command') || 'kvbasic';
}

// Every debug session gets its own `kvbasic dap`, which builds the program
// for debugging and runs it.
const adapterFactory = {
  createDebugAdapterDescriptor() {
    return new vscode.DebugAdapterExecutable(kvbasicCommand(), ['dap']);
  },
};

const launchTheOpenFile = {
  type: 'kvbasic',
  request: 'launch',
  name: 'Debug the BASIC program',
  program: '${file}',
  stopOnEntry: false,
};

// F5 without a launch.json (or with one that has no kvbasic entry) debugs
// the .bas file open in the editor.
const configurationProvider = {
  provideDebugConfigurations() {
    return [{ ...launchTheOpenFile }];
  },
  resolveDebugConfiguration(folder, configuration) {
    if (!configuration.type && !configuration.request && !configuration.name) {
      const editor = vscode.window.activeTextEditor;
      if (editor && editor.document.languageId === 'kvbasic') Object.assign(configuration, launchTheOpenFile);
    }
    if (!configuration.program) {
      return vscode.window.showErrorMessage('KV BASIC: open a .bas file to debug, or name one as "program" in launch.json')
        .then(() => undefined);
    }
    return configuration;
  },
};

function activate(context) {
  context.subscriptions.push(
    vscode.debug.registerDebugAdapterDescriptorFactory('kvbasic', adapterFactory),
    vscode.debug.registerDebugConfigurationProvider('kvbasic', configurationProvider));

  const server = { command: kvbasicCommand(), args: ['lsp'] };
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
