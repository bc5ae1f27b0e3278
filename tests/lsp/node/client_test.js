// Drives `kvbasic lsp` through the protocol's client libraries (the ones
// VS Code's client is built on) on the game's source: diagnostics as the
// text changes (every error of the file), completion, hover with the
// command reference, signature help, go to definition, the outline, and a
// clean shutdown; a program of two files (INCLUDE, TYPE, FUNCTION, LOCAL)
// in a temporary folder. Also checks the editors' highlighting: it lists exactly
// the commands the server knows, and VS Code's grammar engine gives the
// game's lines the expected scopes.
//
//   node client_test.js <kvbasic> <source folder>
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');
const rpc = require('vscode-jsonrpc/node');
const lsp = require('vscode-languageserver-protocol');

const [kvbasic, sourceDir] = process.argv.slice(2);
const gamePath = path.join(sourceDir, 'game', 'zorvelin.bas');
const gameText = fs.readFileSync(gamePath, 'utf8');
const uri = 'file://' + gamePath;
const gameLines = gameText.split('\n');

function lineOf(text) {
  const index = gameLines.findIndex((line) => line.startsWith(text));
  assert.notStrictEqual(index, -1, `the game has no line starting with ${text}`);
  return index;
}

function withTimeout(promise, what, ms = 20000) {
  let timer;
  return Promise.race([
    promise,
    new Promise((_, reject) => { timer = setTimeout(() => reject(new Error(`no ${what} within ${ms} ms`)), ms); }),
  ]).finally(() => clearTimeout(timer));
}

async function main() {
  const server = spawn(kvbasic, ['lsp'], { stdio: ['pipe', 'pipe', 'inherit'] });
  const exited = new Promise((resolve) => server.on('exit', (code, signal) => resolve({ code, signal })));
  const connection = rpc.createMessageConnection(
    new rpc.StreamMessageReader(server.stdout), new rpc.StreamMessageWriter(server.stdin));

  // Diagnostics arrive as notifications; each wait takes the next one.
  const published = [];
  let wake = null;
  const publishedFor = new Map();  // how many times, by URI
  connection.onNotification(lsp.PublishDiagnosticsNotification.type, (params) => {
    published.push(params);
    publishedFor.set(params.uri, (publishedFor.get(params.uri) || 0) + 1);
    if (wake) wake();
  });
  async function nextDiagnostics(what) {
    while (published.length === 0) await withTimeout(new Promise((resolve) => { wake = resolve; }), what);
    return published.shift();
  }
  connection.listen();

  const init = await withTimeout(connection.sendRequest(lsp.InitializeRequest.type, {
    processId: process.pid, rootUri: null, capabilities: {},
  }), 'initialize result');
  const capabilities = init.capabilities;
  assert.strictEqual(capabilities.textDocumentSync.change, lsp.TextDocumentSyncKind.Incremental);
  assert.ok(capabilities.hoverProvider && capabilities.definitionProvider && capabilities.documentSymbolProvider);
  assert.ok(capabilities.completionProvider && capabilities.signatureHelpProvider);
  await connection.sendNotification(lsp.InitializedNotification.type, {});

  // The game as it is has no errors.
  await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
    textDocument: { uri, languageId: 'kvbasic', version: 1, text: gameText },
  });
  let diagnostics = await nextDiagnostics('diagnostics after didOpen');
  assert.strictEqual(diagnostics.uri, uri);
  assert.deepStrictEqual(diagnostics.diagnostics, []);

  // Typing errors: three lines inserted at the top, each with its own
  // errors (a string with a character beyond Latin-1 and the BMP, then a
  // syntax error; an unknown command; a GOSUB to no SUB).
  await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 2 },
    contentChanges: [{
      range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } },
      text: 'x$ = "\u{1F600}" : y = (\nFROBNICATE 1, 2\nGOSUB nirgendwo\n',
    }],
  });
  diagnostics = await nextDiagnostics('diagnostics after didChange');
  assert.strictEqual(diagnostics.version, 2);
  const listOf = (published) => published.diagnostics.map((d) => `${d.range.start.line}:${d.range.start.character}: ${d.message}`);
  const latin1 = '0:6: the character U+1F600 in this string is not in Latin-1, the character set of the fonts';
  assert.deepStrictEqual(listOf(diagnostics), [
    latin1,
    '0:16: expected a value, found end of line',  // positions count UTF-16 units: the emoji is two
    '1:0: unknown command FROBNICATE',
    '2:6: GOSUB to unknown SUB nirgendwo',
  ]);
  assert.deepStrictEqual(diagnostics.diagnostics[2].range.end, { line: 1, character: 10 });
  assert.strictEqual(diagnostics.diagnostics[2].severity, lsp.DiagnosticSeverity.Error);

  // An edit after the emoji lands where the editor means it: "(" becomes 2.
  await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 3 },
    contentChanges: [{ range: { start: { line: 0, character: 16 }, end: { line: 0, character: 17 } }, text: '2' }],
  });
  diagnostics = await nextDiagnostics('diagnostics after the second change');
  assert.deepStrictEqual(listOf(diagnostics), [
    latin1, '1:0: unknown command FROBNICATE', '2:6: GOSUB to unknown SUB nirgendwo',
  ]);

  // Back to the game as it is: no errors again.
  await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 4 },
    contentChanges: [{ text: gameText }],
  });
  diagnostics = await nextDiagnostics('diagnostics after the full change');
  assert.deepStrictEqual(diagnostics.diagnostics, []);

  const at = (line, character) => ({ textDocument: { uri }, position: { line, character } });

  // Completion: commands with their argument lists, the game's variables.
  const loadLine = lineOf('LOADSPRITE "katze_rechts.bmp"');
  let items = await connection.sendRequest(lsp.CompletionRequest.type, at(loadLine, 6));
  const loadsprite = items.find((item) => item.label === 'LOADSPRITE');
  assert.ok(loadsprite, 'LOADSPRITE is offered after LOADSP');
  assert.strictEqual(loadsprite.detail, 'LOADSPRITE(file$, slot) -> number');
  assert.ok(items.every((item) => item.label.toUpperCase().startsWith('LOADSP')), 'only names starting with LOADSP');
  const resolved = await connection.sendRequest(lsp.CompletionResolveRequest.type, loadsprite);
  assert.ok(resolved.documentation.value.includes('into the sprite slot'), 'the resolved item has the reference');
  // All names at the start of an empty line: keywords, commands, variables, SUBs, labels.
  await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 5 },
    contentChanges: [{ range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } }, text: '\n' }],
  });
  await nextDiagnostics('diagnostics after an empty line');
  items = await connection.sendRequest(lsp.CompletionRequest.type, at(0, 0));
  const byLabel = new Map(items.map((item) => [item.label, item]));
  for (const [label, kind] of [['WHILE', lsp.CompletionItemKind.Keyword], ['SHOWSCREEN', lsp.CompletionItemKind.Function],
    ['levelgeschafft', lsp.CompletionItemKind.Variable], ['level', lsp.CompletionItemKind.Method],
    ['anfang', lsp.CompletionItemKind.Reference]])
    assert.strictEqual(byLabel.get(label) && byLabel.get(label).kind, kind, `${label} is offered as kind ${kind}`);
  const commands = items.filter((item) => item.kind === lsp.CompletionItemKind.Function).map((item) => item.label);
  assert.ok(commands.length > 100, 'every command is offered');

  // After GOSUB only SUBs, after GOTO only labels (the game's lines moved by one).
  const gosubLine = lineOf('GOSUB intro') + 1;
  items = await connection.sendRequest(lsp.CompletionRequest.type, at(gosubLine, 'GOSUB in'.length));
  assert.deepStrictEqual(items.map((item) => item.label), ['intro']);
  items = await connection.sendRequest(lsp.CompletionRequest.type, at(lineOf('  GOTO anfang') + 1, '  GOTO '.length));
  assert.ok(items.length > 3 && items.every((item) => item.kind === lsp.CompletionItemKind.Reference));

  // Hover: the command's row of docs/commands.md.
  const hover = await connection.sendRequest(lsp.HoverRequest.type, at(loadLine + 1, 3));
  const row = fs.readFileSync(path.join(sourceDir, 'docs', 'commands.md'), 'utf8')
    .split('\n').find((line) => line.startsWith('| `LOADSPRITE` |'));
  const cells = row.split(' | ');
  assert.ok(hover.contents.value.includes(cells[1]) && hover.contents.value.includes(cells[2]), hover.contents.value);
  assert.deepStrictEqual(hover.range, { start: { line: loadLine + 1, character: 0 }, end: { line: loadLine + 1, character: 10 } });

  // Signature help inside a call: the argument the cursor is in.
  await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
    textDocument: { uri, version: 6 },
    contentChanges: [{ range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } }, text: 'a$ = MID$(name$, 2, ' }],
  });
  await nextDiagnostics('diagnostics of an unfinished call');
  const help = await connection.sendRequest(lsp.SignatureHelpRequest.type, at(0, 'a$ = MID$(name$, 2, '.length));
  assert.strictEqual(help.signatures[0].label, 'MID$(string, start, count) -> string');
  assert.strictEqual(help.activeParameter, 2);

  // Go to definition: GOSUB to the SUB, GOTO to the label.
  let location = await connection.sendRequest(lsp.DefinitionRequest.type, at(gosubLine, 'GOSUB in'.length));
  const introLine = lineOf('SUB intro') + 1;
  assert.deepStrictEqual(location, { uri, range: { start: { line: introLine, character: 4 }, end: { line: introLine, character: 9 } } });
  location = await connection.sendRequest(lsp.DefinitionRequest.type, at(lineOf('  GOTO anfang') + 1, '  GOTO an'.length));
  assert.strictEqual(location.range.start.line, lineOf('anfang:') + 1);

  // The outline: the game's SUBs, with the labels inside them.
  const outline = await connection.sendRequest(lsp.DocumentSymbolRequest.type, { textDocument: { uri } });
  const intro = outline.find((symbol) => symbol.name === 'intro');
  assert.strictEqual(intro.kind, lsp.SymbolKind.Function);
  assert.strictEqual(intro.range.start.line, introLine);
  assert.ok(intro.children.some((child) => child.name === 'introschleife'), 'introschleife is inside SUB intro');
  assert.ok(outline.some((symbol) => symbol.name === 'anfang'), 'anfang is a label of the main program');

  // A program of two files: main.bas INCLUDEs lib.bas, which defines a SUB
  // and a TYPE; main.bas has a FUNCTION with a LOCAL.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kvbasic-lsp-'));
  const libText = "' lib.bas\nTYPE Enemy\n  x, y, speed\n  name$\nEND TYPE\nTYPE Shot\n  dx\nEND TYPE\n" +
    'SUB spawn:\n  count = count + 1\nENDSUB\n';
  const mainText = 'INCLUDE "lib.bas"\nDIM boss AS Enemy\nDIM foes[3] AS Enemy\nGOSUB spawn\n' +
    'foes[1].x = Total(2)\nHit foes, 2\nEND\n\nFUNCTION Total(n)\n  LOCAL sum\n  sum = n + boss.speed\n  RETURN sum\nEND FUNCTION\n' +
    'SUB Hit(list[] AS Enemy, k)\n  list[0].x = k\nEND SUB\n';
  const mainLines = mainText.split('\n');
  const libUri = 'file://' + path.join(folder, 'lib.bas');
  const mainUri = 'file://' + path.join(folder, 'main.bas');
  fs.writeFileSync(path.join(folder, 'lib.bas'), libText);
  fs.writeFileSync(path.join(folder, 'main.bas'), mainText);
  try {
    await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
      textDocument: { uri: mainUri, languageId: 'kvbasic', version: 1, text: mainText },
    });
    diagnostics = await nextDiagnostics('diagnostics of main.bas');
    assert.strictEqual(diagnostics.uri, mainUri);
    assert.deepStrictEqual(listOf(diagnostics), [], 'main.bas with its INCLUDE has no errors');
    const inMain = (line, character) => ({ textDocument: { uri: mainUri }, position: { line, character } });
    const mainLine = (text) => mainLines.findIndex((line) => line.startsWith(text));

    // Definition: GOSUB spawn leads into lib.bas, the INCLUDE line to the file.
    location = await connection.sendRequest(lsp.DefinitionRequest.type, inMain(mainLine('GOSUB spawn'), 'GOSUB sp'.length));
    assert.deepStrictEqual(location, { uri: libUri, range: { start: { line: 8, character: 4 }, end: { line: 8, character: 9 } } });
    location = await connection.sendRequest(lsp.DefinitionRequest.type, inMain(0, 3));
    assert.deepStrictEqual(location, { uri: libUri, range: { start: { line: 0, character: 0 }, end: { line: 0, character: 0 } } });

    // After "record." and "records[i]." the fields of its TYPE (not those of Shot).
    const fieldsAt = async (line, after) => (await connection.sendRequest(lsp.CompletionRequest.type,
      inMain(mainLine(line), line.indexOf(after) + after.length))).map((item) => `${item.label}:${item.kind}`);
    const fields = ['x', 'y', 'speed', 'name$'].map((name) => `${name}:${lsp.CompletionItemKind.Field}`);
    assert.deepStrictEqual(await fieldsAt('  sum = n + boss.speed', 'boss.'), fields);
    assert.deepStrictEqual(await fieldsAt('foes[1].x', 'foes[1].'), fields);
    // Also for a parameter that is an array of records.
    assert.deepStrictEqual(await fieldsAt('  list[0].x = k', 'list[0].'), fields);

    // Signature help in calls of the program's own FUNCTION and SUB.
    const signatureAt = async (line, after) => {
      const help = await connection.sendRequest(lsp.SignatureHelpRequest.type,
        inMain(mainLine(line), line.indexOf(after) + after.length));
      assert.ok(help && help.signatures.length === 1, `signature help in "${line}" after "${after}"`);
      return [help.signatures[0].label, help.signatures[0].parameters.map((p) => p.label), help.activeParameter];
    };
    assert.deepStrictEqual(await signatureAt('foes[1].x = Total(2)', 'Total('), ['Total(n) -> number', ['n'], 0]);
    assert.deepStrictEqual(await signatureAt('Hit foes, 2', 'Hit foes, '),
      ['Hit(list[] AS Enemy, k)', ['list[] AS Enemy', 'k'], 1]);

    // A LOCAL and a parameter are offered inside their FUNCTION only.
    const labels = async (line, character) =>
      (await connection.sendRequest(lsp.CompletionRequest.type, inMain(line, character))).map((item) => item.label);
    const inside = await labels(mainLine('  RETURN sum'), 2);
    assert.ok(inside.includes('sum') && inside.includes('n'), 'sum and n are offered in FUNCTION Total');
    for (const name of ['Total', 'boss', 'Enemy', 'spawn', 'FUNCTION', 'END FUNCTION', 'LOCAL', 'INCLUDE', 'TYPE', 'AS'])
      assert.ok(inside.includes(name), `${name} is offered`);
    const outside = await labels(mainLine('END'), 0);
    assert.ok(!outside.includes('sum') && !outside.includes('n'), 'sum and n are not offered outside FUNCTION Total');

    // An error in the included file (as the editor has it) shows at the INCLUDE.
    await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
      textDocument: { uri: libUri, languageId: 'kvbasic', version: 1, text: libText.replace('  count', '  FROBNICATE 1\n  count') },
    });
    diagnostics = await nextDiagnostics('diagnostics of lib.bas');
    assert.deepStrictEqual([diagnostics.uri, ...listOf(diagnostics)], [libUri, '9:2: unknown command FROBNICATE']);
    diagnostics = await nextDiagnostics('diagnostics of main.bas after lib.bas changed');
    assert.deepStrictEqual([diagnostics.uri, ...listOf(diagnostics)],
      [mainUri, '0:0: in "lib.bas" line 10: unknown command FROBNICATE']);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }

  // A library opened alone is checked as part of the program beside it
  // that INCLUDEs it: the program's TYPE and DIM are known in it.
  const project = fs.mkdtempSync(path.join(os.tmpdir(), 'kvbasic-lsp-project-'));
  try {
    fs.mkdirSync(path.join(project, 'lib'));
    const hiText = 'SUB ShowTable:\n  PRINT hiTable[0].name$, 0, 0\n  PRINT STR$(hiTable[1].score), 0, 16\nENDSUB\n';
    const hiPath = path.join(project, 'lib', 'hi.bas');
    fs.writeFileSync(hiPath, hiText);
    fs.writeFileSync(path.join(project, 'game.bas'), 'TYPE Entry\n  name$, score\nEND TYPE\n' +
      'DIM hiTable[10] AS Entry\nGOSUB ShowTable\nEND\nINCLUDE "lib/hi.bas"\n');
    const hiUri = 'file://' + hiPath;
    published.length = 0;
    await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
      textDocument: { uri: hiUri, languageId: 'kvbasic', version: 1, text: hiText },
    });
    diagnostics = await nextDiagnostics('diagnostics of lib/hi.bas opened alone');
    assert.deepStrictEqual([diagnostics.uri, ...listOf(diagnostics)], [hiUri], 'lib/hi.bas has no errors in its program');
    // Its own errors still show, at its own lines.
    await connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
      textDocument: { uri: hiUri, version: 2 },
      contentChanges: [{ range: { start: { line: 2, character: 0 }, end: { line: 2, character: 0 } }, text: '  FROBNICATE 1\n' }],
    });
    diagnostics = await nextDiagnostics('diagnostics of lib/hi.bas after a change');
    assert.deepStrictEqual([diagnostics.uri, ...listOf(diagnostics)], [hiUri, '2:2: unknown command FROBNICATE']);
    // Completion in it knows the program's record.
    items = await connection.sendRequest(lsp.CompletionRequest.type,
      { textDocument: { uri: hiUri }, position: { line: 1, character: '  PRINT hiTable[0].'.length } });
    assert.deepStrictEqual(items.map((item) => item.label), ['name$', 'score']);
    await connection.sendNotification(lsp.DidCloseTextDocumentNotification.type, { textDocument: { uri: hiUri } });
    await nextDiagnostics('the diagnostics of lib/hi.bas cleared');
  } finally {
    fs.rmSync(project, { recursive: true, force: true });
  }

  // A burst of changes to a long file: only the latest text is analysed
  // (far fewer diagnostics than changes, the last of the last version),
  // and a request after the burst is answered.
  const longUri = 'file://' + path.join(os.tmpdir(), 'kvbasic-lsp-long.bas');
  const longText = 'n = 0\n'.repeat(10000) + gameText;
  published.length = 0;
  await connection.sendNotification(lsp.DidOpenTextDocumentNotification.type, {
    textDocument: { uri: longUri, languageId: 'kvbasic', version: 1, text: longText },
  });
  const changes = 1000;
  const sent = [];
  for (let version = 2; version <= changes + 1; ++version)
    sent.push(connection.sendNotification(lsp.DidChangeTextDocumentNotification.type, {
      textDocument: { uri: longUri, version },
      contentChanges: [{ range: { start: { line: 0, character: 4 }, end: { line: 0, character: 5 + String(version - 1).length - 1 } },
        text: String(version) }],
    }));
  await withTimeout(Promise.all(sent), 'the burst of changes to be taken', 60000);
  const longHover = await withTimeout(connection.sendRequest(lsp.HoverRequest.type,
    { textDocument: { uri: longUri }, position: { line: 10000 + loadLine, character: 3 } }), 'hover after the burst', 60000);
  assert.ok(longHover && longHover.contents.value.includes('into the sprite slot'), 'hover after the burst');
  let last;
  do last = await nextDiagnostics('diagnostics of the last change'); while (last.uri !== longUri || last.version !== changes + 1);
  assert.deepStrictEqual(last.diagnostics, [], 'the last text has no errors');
  const analysed = publishedFor.get(longUri);
  assert.ok(analysed < changes / 4, `${changes} changes were analysed ${analysed} times or more`);
  await connection.sendNotification(lsp.DidCloseTextDocumentNotification.type, { textDocument: { uri: longUri } });

  // Unknown requests get an error answer; the server stays.
  await assert.rejects(connection.sendRequest('kvbasic/unknown', {}), (error) => error.code === lsp.ErrorCodes.MethodNotFound);

  // The editors' highlighting knows exactly the server's commands (END and
  // MOD are highlighted as keyword and operator).
  const highlighted = commands.filter((name) => name !== 'END' && name !== 'MOD').sort();
  const vim = fs.readFileSync(path.join(sourceDir, 'editors', 'nvim', 'syntax', 'kvbasic.vim'), 'utf8')
    .split('\n').filter((line) => line.startsWith('syn keyword kvbasicCommand'))
    .flatMap((line) => line.split(/\s+/).slice(3)).sort();
  assert.deepStrictEqual(vim, highlighted, 'editors/nvim/syntax/kvbasic.vim lists the commands of the table');
  const grammar = JSON.parse(fs.readFileSync(path.join(sourceDir, 'editors', 'vscode', 'syntaxes', 'kvbasic.tmLanguage.json'), 'utf8'));
  const listed = grammar.repository.command.patterns.flatMap(({ match }) =>
    match.slice(match.indexOf('(?:') + 3, match.lastIndexOf(')(?!')).split('|'))
    .map((name) => name.replace(/\\/g, '')).sort();
  assert.deepStrictEqual(listed, highlighted, 'the TextMate grammar lists the commands of the table');

  // The grammar as VS Code runs it (vscode-textmate on Oniguruma) on lines
  // of the game: each piece gets the scope the themes colour.
  const vsctm = require('vscode-textmate');
  const oniguruma = require('vscode-oniguruma');
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const grammarPath = path.join(sourceDir, 'editors', 'vscode', 'syntaxes', 'kvbasic.tmLanguage.json');
  const registry = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scope) => scope === 'source.kvbasic'
      ? vsctm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath) : null,
  });
  const textmate = await registry.loadGrammar('source.kvbasic');
  const scopeOf = (line, piece) => {
    // A line of the game, or of the two-file program above.
    const text = gameLines.find((each) => each.startsWith(line)) ?? mainLines.find((each) => each.startsWith(line));
    const at = text.indexOf(piece);
    const token = textmate.tokenizeLine(text, vsctm.INITIAL).tokens.find((t) => t.startIndex <= at && at < t.endIndex);
    return token.scopes[token.scopes.length - 1];
  };
  for (const [line, piece, scope] of [
    ['LOADSPRITE "katze_rechts.bmp"', 'LOADSPRITE', 'support.function.kvbasic'],
    ['LOADSPRITE "katze_rechts.bmp"', 'katze', 'string.quoted.double.kvbasic'],
    ['anfang:', 'anfang', 'entity.name.label.kvbasic'],
    ['anfang:', 'Spielstart', 'comment.line.apostrophe.kvbasic'],
    ['IF levelgeschafft = 1 THEN GOSUB nextlevel', 'IF', 'keyword.control.kvbasic'],
    ['IF levelgeschafft = 1 THEN GOSUB nextlevel', 'levelgeschafft', 'variable.other.kvbasic'],
    ['IF levelgeschafft = 1 THEN GOSUB nextlevel', '1', 'constant.numeric.kvbasic'],
    ['IF levelgeschafft = 1 THEN GOSUB nextlevel', 'nextlevel', 'entity.name.label.kvbasic'],
    ['SUB intro', 'intro', 'entity.name.function.kvbasic'],
    ['FUNCTION Total(n)', 'FUNCTION', 'keyword.control.kvbasic'],
    ['FUNCTION Total(n)', 'Total', 'entity.name.function.kvbasic'],
    ['  LOCAL sum', 'LOCAL', 'keyword.control.kvbasic'],
    ['DIM boss AS Enemy', 'Enemy', 'entity.name.type.kvbasic'],
    ['INCLUDE "lib.bas"', 'INCLUDE', 'keyword.control.kvbasic'],
  ])
    assert.strictEqual(scopeOf(line, piece), scope, `${piece} in "${line}"`);

  await connection.sendRequest(lsp.ShutdownRequest.type);
  await connection.sendNotification(lsp.ExitNotification.type);
  const end = await withTimeout(exited, 'exit of the server');
  assert.deepStrictEqual(end, { code: 0, signal: null });
  connection.dispose();
  console.log('kvbasic lsp: every check passed with the node client');
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
