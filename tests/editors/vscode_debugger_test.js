// The VS Code extension's debugger (editors/vscode) without VS Code: its
// package.json declares the debugger, breakpoints and launch attributes;
// extension.js, loaded with a stand-in `vscode` module, registers a factory
// that starts `kvbasic dap` and a provider that turns F5 without launch.json
// into debugging the open .bas file; and the adapter the factory names,
// started as VS Code starts it, runs that configuration: stop on entry,
// one step, the program's arguments in a variable.
//
//   node vscode_debugger_test.js <kvbasic> <source folder> <scratch folder>
// Exit code 0 when every check passes, 1 otherwise.
'use strict';
const assert = require('assert');
const { spawn } = require('child_process');
const fs = require('fs');
const Module = require('module');
const path = require('path');

const [kvbasic, sourceFolder, scratch] = process.argv.slice(2);
const extensionFolder = path.join(sourceFolder, 'editors', 'vscode');

function checkPackage() {
  const manifest = JSON.parse(fs.readFileSync(path.join(extensionFolder, 'package.json'), 'utf8'));
  assert.ok(manifest.activationEvents.includes('onDebugResolve:kvbasic'), 'no activation when a kvbasic session starts');
  assert.deepStrictEqual(manifest.contributes.breakpoints, [{ language: 'kvbasic' }]);
  const debuggers = manifest.contributes.debuggers.filter((d) => d.type === 'kvbasic');
  assert.strictEqual(debuggers.length, 1, 'no debugger of type kvbasic');
  const debuggerContribution = debuggers[0];
  assert.ok(debuggerContribution.label && debuggerContribution.languages.includes('kvbasic'));
  const launch = debuggerContribution.configurationAttributes.launch;
  const types = { program: 'string', args: 'array', cwd: 'string', stopOnEntry: 'boolean', env: 'object' };
  for (const [name, type] of Object.entries(types)) {
    assert.strictEqual(launch.properties[name] && launch.properties[name].type, type, `launch attribute ${name}`);
  }
  assert.deepStrictEqual(launch.required, ['program']);
  const bodies = debuggerContribution.initialConfigurations.concat(debuggerContribution.configurationSnippets.map((s) => s.body));
  for (const body of bodies) {
    assert.ok(body.type === 'kvbasic' && body.request === 'launch' && body.program, JSON.stringify(body));
    for (const key of Object.keys(body)) assert.ok(key in launch.properties || ['type', 'request', 'name'].includes(key), key);
  }
  // What the .vsix packs: every file package.json names is there and not
  // left out by .vscodeignore.
  const ignored = fs.readFileSync(path.join(extensionFolder, '.vscodeignore'), 'utf8');
  for (const file of [manifest.main, manifest.contributes.grammars[0].path, manifest.contributes.languages[0].configuration]) {
    assert.ok(fs.existsSync(path.join(extensionFolder, file)), `${file} is missing`);
    assert.ok(!ignored.includes(path.basename(file)), `${file} is left out of the .vsix`);
  }
}

// extension.js with stand-ins for what VS Code hands it.
function loadExtension() {
  const registered = {};
  const window = { activeTextEditor: undefined, shown: [] };
  window.showErrorMessage = (text) => { window.shown.push(text); return Promise.resolve(); };
  const vscode = {
    workspace: { getConfiguration: (section) => ({ get: (key) => (section === 'kvbasic' && key === 'command' ? kvbasic : undefined) }) },
    window,
    debug: {
      registerDebugAdapterDescriptorFactory: (type, factory) => { registered.factory = { type, factory }; return { dispose() {} }; },
      registerDebugConfigurationProvider: (type, provider) => { registered.provider = { type, provider }; return { dispose() {} }; },
    },
    DebugAdapterExecutable: class { constructor(command, args, options) { Object.assign(this, { command, args, options }); } },
  };
  const languageClient = { LanguageClient: class { start() { return Promise.resolve(); } stop() {} dispose() {} } };
  const load = Module._load;
  Module._load = function (request, ...rest) {
    if (request === 'vscode') return vscode;
    if (request === 'vscode-languageclient/node') return languageClient;
    return load.call(this, request, ...rest);
  };
  const extension = require(path.join(extensionFolder, 'extension.js'));
  Module._load = load;
  extension.activate({ subscriptions: [] });
  return { registered, window };
}

// A client of the Debug Adapter Protocol on the adapter's pipes.
function startAdapter(executable) {
  const child = spawn(executable.command, executable.args, { stdio: ['pipe', 'pipe', 'pipe'] });
  let received = Buffer.alloc(0), stderr = '', seq = 0;
  const messages = [], waiting = [];
  const deliver = () => {
    for (let i = 0; i < waiting.length; ++i) {
      const index = messages.findIndex(waiting[i].matches);
      if (index >= 0) {
        waiting[i].resolve(messages.splice(index, 1)[0]);
        waiting.splice(i--, 1);
      }
    }
  };
  child.stdout.on('data', (chunk) => {
    received = Buffer.concat([received, chunk]);
    for (;;) {
      const headerEnd = received.indexOf('\r\n\r\n');
      if (headerEnd < 0) break;
      const length = Number(/Content-Length: *(\d+)/i.exec(received.subarray(0, headerEnd).toString())[1]);
      if (received.length < headerEnd + 4 + length) break;
      messages.push(JSON.parse(received.subarray(headerEnd + 4, headerEnd + 4 + length).toString()));
      received = received.subarray(headerEnd + 4 + length);
    }
    deliver();
  });
  child.stderr.on('data', (chunk) => { stderr += chunk; });
  let ended = false;
  const exited = new Promise((resolve) => child.on('exit', (code) => {
    ended = true;
    for (const w of waiting.splice(0)) w.fail(`the adapter ended (${code})`);
    resolve(code);
  }));
  const wait = (what, matches) => new Promise((resolve, reject) => {
    const fail = (why) => reject(new Error(`${why} waiting for ${what}; stderr: ${stderr}`));
    const timer = setTimeout(() => fail('timed out'), 60000);
    waiting.push({ matches, resolve: (message) => { clearTimeout(timer); resolve(message); }, fail: (why) => { clearTimeout(timer); fail(why); } });
    deliver();
    if (ended) waiting.splice(0).forEach((w) => w.fail('the adapter had ended'));
  });
  const send = (command, args) => {
    const body = JSON.stringify({ seq: ++seq, type: 'request', command, arguments: args });
    child.stdin.write(`Content-Length: ${Buffer.byteLength(body)}\r\n\r\n${body}`);
    const mine = seq;
    return wait(`the answer to ${command}`, (m) => m.type === 'response' && m.request_seq === mine).then((response) => {
      assert.ok(response.success, `${command} failed: ${response.message}`);
      return response.body || {};
    });
  };
  const event = (name) => wait(`the event ${name}`, (m) => m.type === 'event' && m.event === name).then((m) => m.body || {});
  return { send, event, exited, stderr: () => stderr };
}

async function main() {
  checkPackage();
  const { registered, window } = loadExtension();
  assert.strictEqual(registered.factory.type, 'kvbasic');
  assert.strictEqual(registered.provider.type, 'kvbasic');
  const executable = registered.factory.factory.createDebugAdapterDescriptor({ type: 'kvbasic' });
  assert.strictEqual(executable.command, kvbasic, 'the adapter is not the program of kvbasic.command');
  assert.deepStrictEqual(executable.args, ['dap']);

  // F5 without launch.json: VS Code resolves an empty configuration.
  const provider = registered.provider.provider;
  assert.strictEqual(await provider.resolveDebugConfiguration(undefined, {}), undefined, 'nothing to debug without a .bas file');
  assert.strictEqual(window.shown.length, 1, 'no message without a .bas file');
  fs.mkdirSync(scratch, { recursive: true });
  const program = path.join(scratch, 'arguments.bas');
  fs.writeFileSync(program, 'a$ = GETCOMMANDLINE$\nn = LEN(a$)\nEND\n');
  window.activeTextEditor = { document: { languageId: 'kvbasic', fileName: program } };
  const configuration = await provider.resolveDebugConfiguration(undefined, {});
  assert.strictEqual(configuration.type, 'kvbasic');
  assert.strictEqual(configuration.request, 'launch');
  assert.strictEqual(configuration.program, '${file}');

  // VS Code fills in ${file}; the configuration then goes to the adapter
  // as launch's arguments, with attributes a launch.json may add.
  const launchArguments = { ...configuration, program, args: ['eins', 'zwei'], stopOnEntry: true, cwd: scratch, env: { KV_SEED: '1' } };
  const adapter = startAdapter(executable);
  await adapter.send('initialize', { clientID: 'vscode', adapterID: 'kvbasic', pathFormat: 'path', linesStartAt1: true, columnsStartAt1: true });
  const launched = adapter.send('launch', launchArguments);
  await adapter.event('initialized');
  await adapter.send('configurationDone', {});
  await launched;
  const entry = await adapter.event('stopped');
  assert.strictEqual(entry.reason, 'entry');
  const lineOf = async (threadId) => (await adapter.send('stackTrace', { threadId })).stackFrames[0].line;
  assert.strictEqual(await lineOf(entry.threadId), 1);
  await adapter.send('next', { threadId: entry.threadId });
  const step = await adapter.event('stopped');
  assert.strictEqual(await lineOf(step.threadId), 2);
  const frame = (await adapter.send('stackTrace', { threadId: step.threadId })).stackFrames[0];
  let commandLine;
  for (const scope of (await adapter.send('scopes', { frameId: frame.id })).scopes) {
    const { variables } = await adapter.send('variables', { variablesReference: scope.variablesReference });
    for (const variable of variables) if (variable.name === 'a$') commandLine = variable.value;
  }
  assert.ok(/eins zwei/.test(commandLine), `the program's arguments are ${commandLine}`);
  await adapter.send('disconnect', { terminateDebuggee: true });
  assert.strictEqual(await adapter.exited, 0, `the adapter's exit code; stderr: ${adapter.stderr()}`);
}

main().then(() => console.log('the VS Code debugger contribution passes'), (error) => {
  console.error(`FAIL: ${error.stack || error}`);
  process.exit(1);
});
