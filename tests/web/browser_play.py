#!/usr/bin/env python3
"""Plays a program built for the web in headless Chromium.

Serves the program's folder (index.html, index.js, index.wasm, index.data)
on 127.0.0.1, opens it in headless Chromium (software WebGL), and runs a
list of steps through the DevTools protocol:

  wait <ms>             lets the page run that long
  frames <n>            waits until the runtime has presented n more frames
  key <code> [<ms>]     presses and releases a key (DOM code: Digit1, Space,
                        ArrowLeft ...), held <ms> (default 100)
  down <code> / up <code>
  shot <file.png>       saves the frame the program draws next as a PNG
  drawn <file.png>      as shot, and fails when the frame is all one colour
  like <file.png> <native.bmp> <share>
                        as shot, and fails when more than <share> of the
                        pixels differ from the native screenshot by more
                        than 48 levels
  colour <x> <y> <rrggbb>
                        as shot (the frame saved in no file), and fails
                        unless pixel (x, y) has that colour
  at <n>                the next shot, drawn or like step saves presented
                        frame n (counted from the page's start) instead
  profile <ms>          records the page's CPU time that long and prints
                        where it went (WebAssembly, the JavaScript side,
                        idle ...) and how many frames were presented
  open [<query>]        opens the page again, with another query (files kept
                        in IndexedDB stay)
  newtab [<query>]      closes the page's tab, as a person closes it, and
                        opens the page in a new tab of the same browser
  exists <path>         fails unless the browser's file system has the file
  write <path> <text>   writes the text into the browser's file system,
                        "\n" standing for a line break (in /app it is kept
                        for the next opening after two seconds)
  silent                fails unless sound buffers were played since the
                        previous sound step and all of them were silent
  sounded <peak>        fails unless a sound buffer played since the
                        previous sound step reached <peak> (0 ... 1)

The sound steps look at what the program's mixer handed to the browser:
headless Chromium plays to no device, so every buffer SDL fills for Web
Audio (its ScriptProcessorNode's output) is measured before it leaves.

Prints the page's console and the time to the first frame; exits 1 when
the page failed (an uncaught error, an abort, or no frame at all).

  browser_play.py build-web/zorvelin "frames 30; shot a.png; key Digit1" [?query]

The optional query gives the program its command line (args=...) and
KV_ variables (?args=100&KV_NO_BATCH=1).

Needs Chromium (the chromium command) and any python3 of 3.8 or later:
the DevTools connection is Python's standard library (devtools_socket.py
beside this file).
"""
import asyncio
import base64
import functools
import http.server
import json
import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

import devtools_socket

KEYS = {
    "Space": (" ", 32), "Enter": ("\r", 13), "Escape": ("", 27),
    "ArrowLeft": ("", 37), "ArrowUp": ("", 38), "ArrowRight": ("", 39), "ArrowDown": ("", 40),
}


def key_info(code):
    if code in KEYS:
        return KEYS[code]
    if code.startswith("Digit"):
        return (code[5:], ord(code[5:]))
    if code.startswith("Key"):
        return (code[3:].lower(), ord(code[3:]))
    raise SystemExit(f"unknown key code {code}")


def png_rows(png):
    """Width, height and the RGBA rows of an 8-bit RGBA PNG (as canvases save)."""
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(png):
        length, = struct.unpack(">I", png[pos:pos + 4])
        kind, body = png[pos + 4:pos + 8], png[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour_type != 6:
                raise SystemExit("the canvas PNG is not 8-bit RGBA")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, previous, rows, at = zlib.decompress(idat), width * 4, bytearray(width * 4), [], 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for x in range(stride):
            a = line[x - 4] if x >= 4 else 0
            b = previous[x]
            c = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def distinct_colours(png):
    width, _, rows = png_rows(png)
    return len({row[x:x + 4] for row in rows for x in range(0, width * 4, 4)})


def unlike_fraction(png, bmp_path):
    """Share of pixels that differ by more than 48 levels in a channel from
    the 24-bit BMP the native runtime saved; 1.0 when the sizes differ."""
    width, height, rows = png_rows(png)
    with open(bmp_path, "rb") as f:
        bmp = f.read()
    offset, = struct.unpack("<I", bmp[10:14])
    bw, bh = struct.unpack("<ii", bmp[18:26])
    if (bw, bh) != (width, height):
        return 1.0
    stride = (bw * 3 + 3) // 4 * 4
    unlike = 0
    for y in range(height):
        base = offset + (bh - 1 - y) * stride
        row = rows[y]
        for x in range(width):
            b, g, r = bmp[base + x * 3:base + x * 3 + 3]
            if max(abs(row[x * 4] - r), abs(row[x * 4 + 1] - g), abs(row[x * 4 + 2] - b)) > 48:
                unlike += 1
    return unlike / (width * height)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


class Page:
    def __init__(self, socket_):
        self.ws = socket_
        self.next_id = 0
        self.pending = {}
        self.console = []
        self.failed = None

    async def reader(self):
        async for message in self.ws:
            data = json.loads(message)
            if "id" in data and data["id"] in self.pending:
                self.pending.pop(data["id"]).set_result(data)
            elif data.get("method") == "Runtime.consoleAPICalled":
                text = " ".join(str(a.get("value", a.get("description", ""))) for a in data["params"]["args"])
                self.console.append(text)
                print("console:", text, flush=True)
                if text.startswith("Aborted("):
                    self.failed = text
            elif data.get("method") == "Runtime.exceptionThrown":
                details = data["params"]["exceptionDetails"]
                text = details.get("exception", {}).get("description", details.get("text"))
                self.console.append(text)
                print("uncaught:", text, flush=True)
                self.failed = text

    async def call(self, method, **params):
        self.next_id += 1
        future = asyncio.get_running_loop().create_future()
        self.pending[self.next_id] = future
        await self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        reply = await asyncio.wait_for(future, 60)
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply.get("result", {})

    async def evaluate(self, expression):
        result = await self.call("Runtime.evaluate", expression=expression, awaitPromise=True,
                                 returnByValue=True)
        return result.get("result", {}).get("value")

    async def key(self, kind, code):
        text, keycode = key_info(code)
        params = {"type": kind, "code": code, "key": text or code, "windowsVirtualKeyCode": keycode,
                  "nativeVirtualKeyCode": keycode}
        if kind == "keyDown" and text:
            params["text"] = text
        await self.call("Input.dispatchKeyEvent", **params)


# Runs in the page before the program: wraps the handler SDL's audio back
# end gives its ScriptProcessorNode, and after the handler has filled the
# output buffer notes the buffer's peak amplitude in window.kvSoundPeaks.
SOUND_PROBE = """
window.kvSoundPeaks = [];
(function () {
  var Context = window.AudioContext || window.webkitAudioContext;
  var handlerProperty = Object.getOwnPropertyDescriptor(ScriptProcessorNode.prototype, 'onaudioprocess');
  if (!Context || !handlerProperty) return;
  var createScriptProcessor = Context.prototype.createScriptProcessor;
  Context.prototype.createScriptProcessor = function () {
    var node = createScriptProcessor.apply(this, arguments);
    var handler = null;
    Object.defineProperty(node, 'onaudioprocess', {
      get: function () { return handler; },
      set: function (fill) {
        handler = fill;
        handlerProperty.set.call(node, function (event) {
          var result = fill.call(this, event);
          var peak = 0;
          for (var c = 0; c < event.outputBuffer.numberOfChannels; ++c) {
            var samples = event.outputBuffer.getChannelData(c);
            for (var i = 0; i < samples.length; ++i) peak = Math.max(peak, Math.abs(samples[i]));
          }
          window.kvSoundPeaks.push(peak);
          return result;
        });
      }
    });
    return node;
  };
})();
"""

# The peaks of the sound buffers played since the last call, and forgets them.
TAKE_PEAKS = "(function () { var p = window.kvSoundPeaks || []; window.kvSoundPeaks = []; return p; })()"

# Frames the runtime has presented (it counts them in Module.kvPresented).
PRESENTED = "typeof Module === 'undefined' ? 0 : (Module.kvPresented || 0)"


async def wait_frames(page, count, timeout):
    start = await page.evaluate(PRESENTED)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        now = await page.evaluate(PRESENTED)
        if now - start >= count:
            return now
        if page.failed:
            return now
        await asyncio.sleep(0.05)
    raise SystemExit(f"timed out waiting for {count} frames (presented {now - start})")



def saved_frame(page, words, png):
    """The shot, drawn and like steps: saves the frame and checks it."""
    with open(words[1], "wb") as out:
        out.write(png)
    colours = distinct_colours(png)
    print(f"{words[1]}: {colours} colours", flush=True)
    if words[0] == "drawn" and colours < 2:
        page.failed = f"{words[1]} is all one colour"
    if words[0] == "like":
        share = unlike_fraction(png, words[2])
        print(f"{words[1]}: {share:.4f} of the pixels unlike {words[2]}", flush=True)
        if share > float(words[3]):
            page.failed = f"{words[1]} is unlike {words[2]}"


async def profile_cpu(page, milliseconds):
    """Samples the page's main thread and prints the share of the samples
    per kind of code: the program and runtime (WebAssembly), the JavaScript
    around it (OpenGL emulation, SDL's browser side), the browser's own
    work (garbage collection, the page's native code), and idle."""
    await page.call("Profiler.enable")
    await page.call("Profiler.setSamplingInterval", interval=200)
    await page.call("Profiler.start")
    frames_before = await page.evaluate(PRESENTED)
    await asyncio.sleep(milliseconds / 1000)
    frames = await page.evaluate(PRESENTED) - frames_before
    recorded = (await page.call("Profiler.stop"))["profile"]
    nodes = {node["id"]: node for node in recorded["nodes"]}
    shares, functions = {}, {}
    for sample in recorded.get("samples", []):
        frame = nodes[sample]["callFrame"]
        url, name = frame.get("url", ""), frame.get("functionName", "")
        if url.startswith("wasm://") or url.endswith(".wasm"):
            kind = "WebAssembly"
        elif url.endswith("index.js"):
            kind = "JavaScript (index.js)"
        elif name in ("(idle)", "(garbage collector)", "(program)"):
            kind = name
        elif not url:
            kind = "the browser's built-ins (WebGL calls and the like)"
            functions[name] = functions.get(name, 0) + 1
        else:
            kind = "other"
        shares[kind] = shares.get(kind, 0) + 1
        if kind == "JavaScript (index.js)":
            functions[name] = functions.get(name, 0) + 1
    total = max(1, sum(shares.values()))
    print(f"profile: {frames} frames in {milliseconds / 1000:.1f} s ({frames * 1000 / milliseconds:.1f} fps)",
          flush=True)
    for kind, count in sorted(shares.items(), key=lambda item: -item[1]):
        print(f"profile: {100 * count / total:5.1f} % {kind}", flush=True)
    top = sorted(functions.items(), key=lambda item: -item[1])[:8]
    busiest = ", ".join(f"{name or '(anonymous)'} {100 * count / total:.1f} %" for name, count in top)
    print(f"profile: busiest JavaScript and built-ins: {busiest}", flush=True)


def devtools_http(debug_port, path, method="GET"):
    """The answer of Chromium's DevTools HTTP endpoint, parsed when it is JSON."""
    request = urllib.request.Request(f"http://127.0.0.1:{debug_port}{path}", method=method)
    with urllib.request.urlopen(request) as reply:
        text = reply.read().decode("utf-8")
    try:
        return json.loads(text)
    except ValueError:
        return text


async def prepare_tab(page):
    await page.call("Runtime.enable")
    await page.call("Page.enable")
    await page.call("Page.addScriptToEvaluateOnNewDocument", source=SOUND_PROBE)


async def run(folder, steps, timeout, query):
    port = free_port()
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    profile = tempfile.mkdtemp(prefix="kvweb-chromium-")
    debug_port = free_port()
    if shutil.which("chromium") is None:
        raise SystemExit("browser_play.py needs Chromium (the chromium command): run scripts/install-web-deps")
    browser = subprocess.Popen(
        ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
         "--enable-unsafe-swiftshader", "--no-first-run", "--mute-audio",
         "--autoplay-policy=no-user-gesture-required", f"--user-data-dir={profile}",
         f"--remote-debugging-port={debug_port}", "--remote-debugging-address=127.0.0.1",
         "--window-size=800,640", "about:blank"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        targets = None
        for _ in range(200):
            try:
                with urllib.request.urlopen(f"http://127.0.0.1:{debug_port}/json/list") as reply:
                    targets = [t for t in json.load(reply) if t["type"] == "page"]
                if targets:
                    break
            except OSError:
                pass
            time.sleep(0.1)
        if not targets:
            raise SystemExit("Chromium did not start")
        target = targets[0]
        async with devtools_socket.connect(target["webSocketDebuggerUrl"]) as ws:
            page = Page(ws)
            reader = asyncio.create_task(page.reader())
            await prepare_tab(page)
            started = time.monotonic()
            await page.call("Page.navigate", url=f"http://127.0.0.1:{port}/index.html{query}")
            await wait_frames(page, 1, timeout)
            print(f"first frame after {time.monotonic() - started:.2f} s", flush=True)
            wanted = "true"
            for step in filter(None, (s.strip() for s in steps.split(";"))):
                words = step.split()
                if words[0] == "wait":
                    await asyncio.sleep(int(words[1]) / 1000)
                elif words[0] == "frames":
                    before = time.monotonic()
                    await wait_frames(page, int(words[1]), timeout)
                    spent = time.monotonic() - before
                    print(f"{words[1]} frames in {spent:.2f} s ({int(words[1]) / spent:.1f} fps)", flush=True)
                elif words[0] == "profile":
                    await profile_cpu(page, int(words[1]))
                elif words[0] == "at":
                    wanted = str(int(words[1]))
                elif words[0] == "open":
                    address = f"http://127.0.0.1:{port}/index.html{words[1] if len(words) > 1 else ''}"
                    await page.call("Page.navigate", url=address)
                    await asyncio.sleep(0.5)
                    await wait_frames(page, 1, timeout)
                elif words[0] == "newtab":
                    # A new tab first (a browser without tabs may end), then
                    # the old one closed and gone before the page opens
                    # again, so that what it saved when it was closed is
                    # saved before the new page reads it.
                    fresh = devtools_http(debug_port, "/json/new?about:blank", "PUT")
                    devtools_http(debug_port, f"/json/close/{target['id']}")
                    for _ in range(100):
                        if all(t["id"] != target["id"] for t in devtools_http(debug_port, "/json/list")):
                            break
                        await asyncio.sleep(0.1)
                    reader.cancel()
                    await page.ws.close()
                    target = fresh
                    page.ws = await devtools_socket.connect(target["webSocketDebuggerUrl"]).__aenter__()
                    reader = asyncio.create_task(page.reader())
                    await prepare_tab(page)
                    address = f"http://127.0.0.1:{port}/index.html{words[1] if len(words) > 1 else ''}"
                    await page.call("Page.navigate", url=address)
                    await asyncio.sleep(0.5)
                    await wait_frames(page, 1, timeout)
                elif words[0] == "exists":
                    found = await page.evaluate(f"(function () {{ try {{ FS.stat({json.dumps(words[1])}); return true; }} catch (e) {{ return false; }} }})()")
                    print(f"{words[1]}: {'there' if found else 'missing'}", flush=True)
                    if not found:
                        page.failed = f"{words[1]} is missing"
                elif words[0] in ("silent", "sounded"):
                    peaks = await page.evaluate(TAKE_PEAKS) or []
                    loudest = max(peaks, default=0)
                    print(f"sound: {len(peaks)} buffers played, peak {loudest:.4f}", flush=True)
                    if not peaks:
                        page.failed = "no sound buffer was played"
                    elif words[0] == "silent" and loudest > 0.001:
                        page.failed = f"sound was played where none should be (peak {loudest:.4f})"
                    elif words[0] == "sounded" and loudest < float(words[1]):
                        page.failed = f"no sound reached {words[1]} (peak {loudest:.4f})"
                elif words[0] == "write":
                    text = step.split(None, 2)[2].replace("\\n", "\n") if len(words) > 2 else ""
                    await page.evaluate(f"FS.writeFile({json.dumps(words[1])}, {json.dumps(text)})")
                elif words[0] == "key":
                    await page.key("keyDown", words[1])
                    await asyncio.sleep((int(words[2]) if len(words) > 2 else 100) / 1000)
                    await page.key("keyUp", words[1])
                elif words[0] == "down":
                    await page.key("keyDown", words[1])
                elif words[0] == "up":
                    await page.key("keyUp", words[1])
                elif words[0] in ("shot", "drawn", "like", "colour"):
                    await page.evaluate(f"Module.kvLastFrame = ''; Module.kvWantFrame = {wanted}")
                    wanted = "true"
                    url = ""
                    for _ in range(int(timeout * 20)):
                        url = await page.evaluate("Module.kvLastFrame || ''")
                        if url or page.failed:
                            break
                        await asyncio.sleep(0.05)
                    if not url.startswith("data:image/png;base64,"):
                        raise SystemExit("no frame to save")
                    png = base64.b64decode(url.split(",", 1)[1])
                    if words[0] == "colour":
                        width, height, rows = png_rows(png)
                        x, y = int(words[1]), int(words[2])
                        seen = rows[y][x * 4:x * 4 + 3].hex() if x < width and y < height else "outside"
                        print(f"pixel ({x}, {y}): {seen}", flush=True)
                        if seen != words[3].lower():
                            page.failed = f"pixel ({x}, {y}) is {seen}, not {words[3]}"
                    else:
                        saved_frame(page, words, png)
                else:
                    raise SystemExit(f"unknown step {step}")
                if page.failed:
                    break
            reader.cancel()
            if page.failed:
                print("the page failed:", page.failed)
                return 1
            return 0
    finally:
        browser.terminate()
        try:
            browser.wait(10)
        except subprocess.TimeoutExpired:
            browser.kill()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    folder = os.path.abspath(sys.argv[1])
    timeout = float(os.environ.get("KV_WEB_TIMEOUT", "90"))
    query = sys.argv[3] if len(sys.argv) > 3 else ""
    sys.exit(asyncio.run(run(folder, sys.argv[2], timeout, query)))


if __name__ == "__main__":
    main()
