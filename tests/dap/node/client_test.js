// Drives `kvbasic dap` through the protocol's test client (the library
// debug adapters of VS Code are tested with) on real programs, each built
// for debugging by the adapter's launch:
// - a program of two files with records, recursion and FUNCTIONs: stop on
//   entry, breakpoints with a condition and a hit count, the stack,
//   locals and globals, records and arrays of records, setVariable,
//   evaluate, each kind of step, and its end;
// - the same program failing with a runtime error in a FUNCTION called
//   from a FUNCTION of the INCLUDEd file;
// - a program with errors: launch fails with the translator's messages;
// - pausing it in a busy loop and in KEYWAIT, a breakpoint set while it
//   runs, terminate and disconnect leaving no process and no files;
// - the game: a breakpoint in the SUB that moves the guards, the guard's
//   and the cat's positions, a step into that SUB;
// - examples/life.bas: the locals of a FUNCTION and paging through an array.
//
//   node client_test.js <kvbasic> <source folder> [session]
'use strict';
const assert = require('assert');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { DebugClient } = require('@vscode/debugadapter-testsupport');

// A third argument runs only the sessions whose name holds it.
const [kvbasic, sourceDir, only] = process.argv.slice(2);
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'kvbasic-dap-test-'));
// The adapter's temporary folders go here, so that the test sees them go.
const adapterTemp = path.join(scratch, 'adapter-tmp');
fs.mkdirSync(adapterTemp);

// Building a program under the sanitizers takes a while.
const kLaunchTimeout = 180000;
const kStepTimeout = 30000;

function lineOf(file, text) {
  const lines = fs.readFileSync(file, 'utf8').split('\n');
  const index = lines.findIndex((line) => line.trim().startsWith(text));
  assert.notStrictEqual(index, -1, `${file} has no line starting with ${text}`);
  return index + 1;
}

// The processes whose command line names the adapter's temporary folder.
function programsLeft() {
  const left = [];
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let command = '';
    try { command = fs.readFileSync(`/proc/${pid}/cmdline`, 'latin1'); } catch (e) { continue; }
    if (command.includes(adapterTemp)) left.push(`${pid}: ${command.replace(/\0/g, ' ')}`);
  }
  return left;
}

// The session last started, whose output a failure shows.
let lastOutput = null;

function sleep(ms) { return new Promise((resolve) => setTimeout(resolve, ms)); }

async function startAdapter() {
  // No message box that waits for a click (the software renderer's warning).
  const env = Object.assign({}, process.env, { TMPDIR: adapterTemp, KV_NO_MESSAGEBOX: '1' });
  const dc = new DebugClient(kvbasic, 'dap', 'kvbasic', { env }, true);
  dc.defaultTimeout = kStepTimeout;
  await dc.start();
  // Everything the program writes, for the checks and for a failure's report.
  dc.outputText = '';
  lastOutput = dc;
  dc.on('output', (event) => { dc.outputText += event.body.output; });
  return dc;
}

// initialize and launch; on `initialized` the breakpoints ({path: [lines
// or {line, condition, hitCondition}]}) are set, then configurationDone.
async function launch(dc, args, breakpoints = {}, filters = ['all']) {
  const placed = {};
  const configured = dc.waitForEvent('initialized', kLaunchTimeout).then(async () => {
    for (const [file, lines] of Object.entries(breakpoints)) {
      const wanted = lines.map((entry) => (typeof entry === 'number' ? { line: entry } : entry));
      const response = await dc.setBreakpointsRequest({ source: { path: file }, breakpoints: wanted });
      placed[file] = response.body.breakpoints;
    }
    await dc.setExceptionBreakpointsRequest({ filters });
    return dc.configurationDoneRequest();
  });
  await dc.initializeRequest({ adapterID: 'kvbasic', linesStartAt1: true, columnsStartAt1: true, pathFormat: 'path' });
  const launched = dc.launchRequest(args);
  await Promise.all([launched, configured]);
  return placed;
}

// Runs `action` and waits for the stop it causes; the stop's body and the stack.
async function stopAfter(dc, action, reason, timeout = kStepTimeout) {
  const stopped = dc.waitForEvent('stopped', timeout);
  await action();
  const event = await stopped;
  assert.strictEqual(event.body.reason, reason, `stopped for ${event.body.reason}, not ${reason}: ${JSON.stringify(event.body)}`);
  const stack = (await dc.stackTraceRequest({ threadId: event.body.threadId })).body.stackFrames;
  return { event, stack };
}

async function scopesOf(dc, frame) {
  const scopes = (await dc.scopesRequest({ frameId: frame.id })).body.scopes;
  const byName = {};
  for (const scope of scopes) byName[scope.name] = scope.variablesReference;
  return byName;
}

async function variables(dc, reference, extra = {}) {
  const list = (await dc.variablesRequest(Object.assign({ variablesReference: reference }, extra))).body.variables;
  const byName = {};
  for (const variable of list) byName[variable.name] = variable;
  return byName;
}

async function evaluate(dc, frame, expression, context = 'watch') {
  return (await dc.evaluateRequest({ expression, frameId: frame.id, context })).body;
}

async function evaluateFails(dc, frame, expression, pattern) {
  await assert.rejects(dc.evaluateRequest({ expression, frameId: frame.id, context: 'repl' }), pattern, expression);
}

async function endAndCheckNothingLeft(dc, how) {
  if (how === 'terminate') {
    const terminated = dc.waitForEvent('terminated');
    await dc.terminateRequest({});
    await terminated;
  }
  // After disconnect the adapter ends by itself.
  const adapterEnd = new Promise((resolve) => dc._adapterProcess.on('exit', (code, signal) => resolve({ code, signal })));
  await dc.disconnectRequest({ terminateDebuggee: true });
  assert.deepStrictEqual(await adapterEnd, { code: 0, signal: null });
  assert.deepStrictEqual(programsLeft(), [], 'programs left running');
  // The error log stays, as after kvbasic run; the program's unpacked media
  // and the adapter's build folder are gone.
  assert.deepStrictEqual(fs.readdirSync(adapterTemp).filter((name) => name !== 'ErrorLog.txt'), [],
                         'temporary files left');
}

// The program of two files.
function writeRecordsProgram() {
  const folder = path.join(scratch, 'records');
  fs.mkdirSync(path.join(folder, 'lib'), { recursive: true });
  const main = path.join(folder, 'records.bas');
  const lib = path.join(folder, 'lib', 'calls.bas');
  fs.writeFileSync(main, [
    "' Records, recursion and an INCLUDEd file; the command line picks an ending.",
    'INCLUDE "lib/calls.bas"',
    'KV_RESX = 160',
    'KV_RESY = 120',
    'TYPE Enemy',
    '  x, y, speed',
    '  name$',
    '  path[4]',
    'END TYPE',
    'DIM boss AS Enemy',
    'DIM foes[3] AS Enemy',
    'DIM table[2]',
    'FOR i = 0 TO 2',
    '  foes[i].x = i * 32',
    '  foes[i].name$ = "guard " + i',
    'NEXT',
    'boss.name$ = "B\u00f4ss"',
    'boss.path[2] = 7',
    'title$ = "records"',
    '',
    'total = Fact(5)',
    'mode = VAL(GETCOMMANDLINE$)',
    'IF mode = 1 THEN GOSUB busy',
    'IF mode = 2 THEN KEYWAIT',
    'IF mode = 3 THEN total = Outer(2)',
    'END',
    '',
    'SUB busy:',
    '  count = 0',
    '  WHILE 1',
    '    count = count + 1',
    '  WEND',
    'ENDSUB',
    '',
    'FUNCTION Fact(n)',
    '  IF n <= 1 THEN RETURN 1',
    '  RETURN n * Fact(n - 1)',
    'END FUNCTION',
    '',
  ].join('\n'));
  fs.writeFileSync(lib, [
    "' Two FUNCTIONs, the inner one failing.",
    'FUNCTION Outer(k)',
    '  LOCAL sum',
    '  sum = k * 10',
    '  RETURN Inner(sum) + 1',
    'END FUNCTION',
    '',
    'FUNCTION Inner(v)',
    '  RETURN table[v]',
    'END FUNCTION',
    '',
  ].join('\n'));
  return { folder, main, lib };
}

async function recordsSession(program) {
  const { main } = program;
  const dc = await startAdapter();
  const atFact = lineOf(main, 'total = Fact(5)');
  const atBase = lineOf(main, 'IF n <= 1');
  const atReturn = lineOf(main, 'RETURN n * Fact');
  const first = lineOf(main, 'INCLUDE');
  // A breakpoint on a blank line lands on the next statement; one after the
  // last statement stays unverified.
  const blank = atFact - 1;
  const entry = dc.waitForEvent('stopped', kLaunchTimeout);
  const placed = await launch(dc, { program: main, stopOnEntry: true }, {
    [main]: [blank, { line: atBase, hitCondition: '3' }, { line: atReturn, condition: 'n = 2' }, 400],
  });
  const bps = placed[main];
  assert.deepStrictEqual(bps.map((bp) => bp.verified), [true, true, true, false]);
  assert.strictEqual(bps[0].line, atFact);
  assert.ok(bps[3].message, 'an unverified breakpoint says why');

  let stop = { event: await entry };
  assert.strictEqual(stop.event.body.reason, 'entry');
  let stack = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames;
  assert.strictEqual(stack.length, 1);
  assert.strictEqual(stack[0].name, 'main program');
  assert.strictEqual(stack[0].line, first);
  assert.strictEqual(stack[0].source.path, fs.realpathSync(main));
  assert.deepStrictEqual((await dc.threadsRequest()).body.threads, [{ id: 1, name: 'main' }]);

  // The breakpoint before the call: records and arrays of records.
  stop = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'breakpoint');
  assert.strictEqual(stop.stack[0].line, atFact);
  let scopes = await scopesOf(dc, stop.stack[0]);
  assert.deepStrictEqual(Object.keys(scopes), ['Globals'], 'the main program has no locals');
  const globals = await variables(dc, scopes.Globals);
  assert.strictEqual(globals['title$'].value, '"records"');
  assert.strictEqual(globals.i.value, '3');
  assert.strictEqual(globals.boss.value, 'Enemy');
  const boss = await variables(dc, globals.boss.variablesReference);
  assert.strictEqual(boss['name$'].value, '"B\u00f4ss"');
  assert.strictEqual(boss.x.value, '0');
  assert.strictEqual(boss.path.indexedVariables, 4);
  const bossPath = await variables(dc, boss.path.variablesReference, { filter: 'indexed', start: 1, count: 2 });
  assert.deepStrictEqual(Object.keys(bossPath), ['(1)', '(2)']);
  assert.strictEqual(bossPath['(2)'].value, '7');
  assert.strictEqual(globals.foes.indexedVariables, 3);
  const foes = await variables(dc, globals.foes.variablesReference, { filter: 'indexed', start: 0, count: 3 });
  const foe1 = await variables(dc, foes['(1)'].variablesReference);
  assert.strictEqual(foe1['name$'].value, '"guard 1"');
  assert.strictEqual(foe1.x.value, '32');

  // setVariable: a string, a field of an element (typed as an expression).
  let set = await dc.setVariableRequest({ variablesReference: scopes.Globals, name: 'title$', value: '"changed"' });
  assert.strictEqual(set.body.value, '"changed"');
  set = await dc.setVariableRequest({ variablesReference: foes['(1)'].variablesReference, name: 'x', value: '40 + 59' });
  assert.strictEqual(set.body.value, '99');
  set = await dc.setVariableRequest({ variablesReference: boss.path.variablesReference, name: '(2)', value: '8' });
  assert.strictEqual(set.body.value, '8');
  const frame = stop.stack[0];
  assert.strictEqual((await evaluate(dc, frame, 'title$ + "!"')).result, '"changed!"');
  assert.strictEqual((await evaluate(dc, frame, 'foes[1].x * 2')).result, '198');
  assert.strictEqual((await evaluate(dc, frame, 'boss.path[2] + LEN(boss.name$)', 'hover')).result, '12');
  assert.strictEqual((await evaluate(dc, frame, 'ABS(-3) + MAX(2, 5) - 7 \\ 2 + -7 MOD 2')).result, '4');
  assert.strictEqual((await evaluate(dc, frame, '"a" < "b" AND NOT 0 OR 1 / 0')).result, '1');
  assert.strictEqual((await evaluate(dc, frame, '"n=" + 2.5')).result, '"n=2.5"');
  assert.strictEqual((await evaluate(dc, frame, 'UCASE$(LEFT$(title$, 3)) + STR$(INSTR(title$, "ng")) + TRIM$(" x ")')).result,
                     '"CHA3x"');
  const record = await evaluate(dc, frame, 'boss');
  assert.ok(record.variablesReference > 0, 'a record evaluates to its fields');
  await evaluateFails(dc, frame, 'nosuch + 1', /nosuch/);
  await evaluateFails(dc, frame, 'KEY(1)', /cannot be evaluated/);
  await evaluateFails(dc, frame, '"a" + ', /./);
  await evaluateFails(dc, frame, '"a" < 1', /two numbers or two strings/);

  // Into the FUNCTION.
  stop = await stopAfter(dc, () => dc.stepInRequest({ threadId: 1 }), 'step');
  assert.strictEqual(stop.stack[0].name, 'FUNCTION Fact');
  assert.strictEqual(stop.stack.length, 2);

  // The hit count: the third pass of the base line, n = 3; then the
  // condition n = 2 on the other line.
  stop = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'breakpoint');
  assert.strictEqual(stop.stack[0].line, atBase);
  let locals = await variables(dc, (await scopesOf(dc, stop.stack[0])).Locals);
  assert.strictEqual(locals.n.value, '3');
  assert.strictEqual(stop.stack.length, 4);
  stop = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'breakpoint');
  assert.strictEqual(stop.stack[0].line, atReturn);
  scopes = await scopesOf(dc, stop.stack[0]);
  locals = await variables(dc, scopes.Locals);
  assert.strictEqual(locals.n.value, '2');
  assert.strictEqual(stop.stack.length, 5);
  // The caller's frame has its own n.
  const callerLocals = await variables(dc, (await scopesOf(dc, stop.stack[1])).Locals);
  assert.strictEqual(callerLocals.n.value, '3');
  assert.strictEqual((await evaluate(dc, stop.stack[1], 'n * 10')).result, '30');

  // Out of the recursion (no breakpoints left in it), then a step over a line.
  await dc.setBreakpointsRequest({ source: { path: main }, breakpoints: [] });
  stop = await stopAfter(dc, () => dc.stepOutRequest({ threadId: 1 }), 'step');
  assert.ok(stop.stack.length < 5, 'stepOut leaves the call');
  const depth = stop.stack.length;
  const line = stop.stack[0].line;
  stop = await stopAfter(dc, () => dc.nextRequest({ threadId: 1 }), 'step');
  assert.ok(stop.stack.length <= depth && (stop.stack.length < depth || stop.stack[0].line !== line), 'next moves on');

  // The program ends on its own.
  const exited = dc.waitForEvent('exited');
  const terminated = dc.waitForEvent('terminated');
  await dc.continueRequest({ threadId: 1 });
  assert.strictEqual((await exited).body.exitCode, 0);
  await terminated;
  await endAndCheckNothingLeft(dc, 'disconnect');
}

async function runtimeErrorSession(program) {
  const { main, lib } = program;
  const dc = await startAdapter();
  // First a breakpoint in the INCLUDEd file, then the error.
  const inLib = lineOf(lib, 'sum = k * 10');
  const first = dc.waitForEvent('stopped', kLaunchTimeout);
  await launch(dc, { program: main, args: ['3'] }, { [lib]: [inLib] });
  const atBreakpoint = await first;
  assert.strictEqual(atBreakpoint.body.reason, 'breakpoint');
  const there = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames[0];
  assert.deepStrictEqual([there.name, there.source.path, there.line], ['FUNCTION Outer', fs.realpathSync(lib), inLib]);
  const { event } = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'exception');
  assert.match(event.body.description, /runtime error 9/);
  const info = (await dc.exceptionInfoRequest({ threadId: 1 })).body;
  assert.strictEqual(info.exceptionId, 'runtime error 9');
  assert.strictEqual(info.breakMode, 'unhandled');
  assert.match(info.description, /array index out of bounds/);
  const stack = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames;
  assert.deepStrictEqual(stack.map((frame) => frame.name), ['FUNCTION Inner', 'FUNCTION Outer', 'main program']);
  assert.strictEqual(stack[0].source.path, fs.realpathSync(lib));
  assert.strictEqual(stack[0].line, lineOf(lib, 'RETURN table[v]'));
  assert.strictEqual(stack[1].line, lineOf(lib, 'RETURN Inner(sum)'));
  const inner = await variables(dc, (await scopesOf(dc, stack[0])).Locals);
  assert.strictEqual(inner.v.value, '20');
  const outer = await variables(dc, (await scopesOf(dc, stack[1])).Locals);
  assert.strictEqual(outer.k.value, '2');
  assert.strictEqual(outer.sum.value, '20');
  // The error ends the program once it goes on.
  const exited = dc.waitForEvent('exited');
  await dc.continueRequest({ threadId: 1 });
  assert.strictEqual((await exited).body.exitCode, 1);
  assert.match(dc.outputText, /runtime error 9/);
  await endAndCheckNothingLeft(dc, 'disconnect');
}

async function buildErrorSession() {
  const broken = path.join(scratch, 'broken.bas');
  fs.writeFileSync(broken, 'x = 1\nPRINT "unended, 0, 0\nGOSUB nowhere\n');
  const dc = await startAdapter();
  await dc.initializeRequest({ adapterID: 'kvbasic' });
  await assert.rejects(dc.launchRequest({ program: broken }), /broken\.bas:2:.*error[\s\S]*broken\.bas:3:.*nowhere/);
  // The messages also went to the debug console.
  assert.match(dc.outputText, /broken\.bas:2:7: error: the string has no closing quote/);
  await endAndCheckNothingLeft(dc, 'disconnect');
}

async function pauseSession(program, mode) {
  const { main } = program;
  const dc = await startAdapter();
  await launch(dc, { program: main, args: [String(mode)] });
  await sleep(1500);
  let stop = await stopAfter(dc, () => dc.pauseRequest({ threadId: 1 }), 'pause');
  if (mode === 1) {
    // Paused in the busy loop; a breakpoint set while it runs stops it at once.
    const loop = [lineOf(main, 'WHILE 1'), lineOf(main, 'count = count + 1'), lineOf(main, 'WEND')];
    assert.ok(loop.includes(stop.stack[0].line), `paused at line ${stop.stack[0].line}`);
    assert.strictEqual((await evaluate(dc, stop.stack[0], 'count > 0')).result, '1');
    await dc.continueRequest({ threadId: 1 });
    await sleep(300);
    stop = await stopAfter(dc, () => dc.setBreakpointsRequest({ source: { path: main }, breakpoints: [{ line: loop[1] }] }),
      'breakpoint');
    assert.strictEqual(stop.stack[0].line, loop[1]);
    await endAndCheckNothingLeft(dc, 'disconnect');
  } else {
    assert.strictEqual(stop.stack[0].line, lineOf(main, 'IF mode = 2 THEN KEYWAIT'));
    await endAndCheckNothingLeft(dc, 'terminate');
  }
}

async function gameSession() {
  const game = path.join(sourceDir, 'game', 'zorvelin.bas');
  // The intro waits for key 1 (scan code 2), the level's picture for Space (57).
  const script = path.join(scratch, 'zorvelin-input.txt');
  fs.writeFileSync(script, '5 key 2 down\n8 key 2 up\n20 key 57 down\n25 key 57 up\n');
  const dc = await startAdapter();
  const call = lineOf(game, 'GOSUB gegner1');
  const step = lineOf(game, 'gegner1x = gegner1x + 4');
  const stopped = dc.waitForEvent('stopped', kLaunchTimeout);
  await launch(dc, {
    program: game,
    env: { KV_PROGRAM_FOLDER: path.join(sourceDir, 'game', 'media'), KV_INPUT_SCRIPT: script, KV_WINDOWED: '1', KV_UNPACED: '1', KV_SEED: '1' },
  }, { [game]: [call, { line: step, condition: 'gegner1x < -1000' }] });
  const event = await stopped;
  assert.strictEqual(event.body.reason, 'breakpoint');
  let stack = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames;
  assert.strictEqual(stack[0].line, call);
  // Over the call: the breakpoint inside, whose condition never holds, does
  // not end the step.
  let stop = await stopAfter(dc, () => dc.nextRequest({ threadId: 1 }), 'step');
  assert.strictEqual(stop.stack.length, 1);
  assert.strictEqual(stop.stack[0].line, lineOf(game, 'IF gegner2aktiv >= 1'));
  stop = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'breakpoint');
  assert.strictEqual(stop.stack[0].line, call);
  // Into the SUB that moves the guards.
  stop = await stopAfter(dc, () => dc.stepInRequest({ threadId: 1 }), 'step');
  assert.strictEqual(stop.stack[0].name, 'SUB gegner1');
  assert.strictEqual(stop.stack[1].name, 'main program');
  // Its breakpoint, on the second frame's pass of the guards' step.
  await dc.setBreakpointsRequest({ source: { path: game }, breakpoints: [{ line: step, condition: 'gegner1x >= 8' }] });
  stop = await stopAfter(dc, () => dc.continueRequest({ threadId: 1 }), 'breakpoint');
  assert.strictEqual(stop.stack[0].line, step);
  assert.strictEqual(stop.stack[0].name, 'SUB gegner1');
  const globals = await variables(dc, (await scopesOf(dc, stop.stack[0])).Globals);
  assert.ok(Number(globals.gegner1x.value) >= 8, `the guard at ${globals.gegner1x.value}`);
  assert.strictEqual(globals.gegner1schalter.value, '0');
  // The cat: where the level put it, perhaps fallen a little since.
  assert.strictEqual(globals.xpos.value, '300');
  assert.ok(Number(globals.ypos.value) >= 140, `the cat at y ${globals.ypos.value}`);
  assert.strictEqual((await evaluate(dc, stop.stack[0], 'xpos + 12', 'hover')).result, '312');
  const guardOnScreen = Number(globals.gegner1x.value) + Number(globals.scrollx.value);
  assert.strictEqual((await evaluate(dc, stop.stack[0], 'gegner1x+scrollx')).result, String(guardOnScreen));
  assert.strictEqual(globals.feld.indexedVariables, 22 * 30);
  await endAndCheckNothingLeft(dc, 'disconnect');
}

async function lifeSession() {
  const life = path.join(sourceDir, 'examples', 'life.bas');
  const dc = await startAdapter();
  const inside = lineOf(life, 'FUNCTION Neighbours') + 1;
  const stopped = dc.waitForEvent('stopped', kLaunchTimeout);
  await launch(dc, { program: life, args: ['5'], env: { KV_WINDOWED: '1' } }, { [life]: [inside] });
  assert.strictEqual((await stopped).body.reason, 'breakpoint');
  const stack = (await dc.stackTraceRequest({ threadId: 1 })).body.stackFrames;
  assert.strictEqual(stack[0].name, 'FUNCTION Neighbours');
  const locals = await variables(dc, (await scopesOf(dc, stack[0])).Locals);
  assert.ok('x' in locals && 'y' in locals && 'grid' in locals, Object.keys(locals).join(' '));
  assert.strictEqual(locals.grid.indexedVariables, 82 * 62);
  const page = await variables(dc, locals.grid.variablesReference, { filter: 'indexed', start: 100, count: 5 });
  assert.strictEqual(Object.keys(page).length, 5);
  await endAndCheckNothingLeft(dc, 'disconnect');
}

async function main() {
  const program = writeRecordsProgram();
  const sessions = [
    ['records, recursion, steps', () => recordsSession(program)],
    ['a runtime error in a FUNCTION of a FUNCTION', () => runtimeErrorSession(program)],
    ['a program that does not build', buildErrorSession],
    ['pause in a busy loop', () => pauseSession(program, 1)],
    ['pause in KEYWAIT', () => pauseSession(program, 2)],
    ['the game', gameSession],
    ['examples/life.bas', lifeSession],
  ];
  for (const [name, session] of sessions) {
    if (only && !name.includes(only)) continue;
    console.log(`kvbasic dap: ${name}`);
    await session();
  }
  fs.rmSync(scratch, { recursive: true, force: true });
  console.log('kvbasic dap: every check passed with the node client');
}

main().catch((error) => {
  console.error(error);
  if (lastOutput) console.error(`The program's output:\n${lastOutput.outputText}`);
  process.exit(1);
});
