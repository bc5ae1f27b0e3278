"""The WebSocket client side that Chromium's DevTools protocol needs, with
nothing but Python's standard library: the opening handshake, masked text
frames out, text frames (fragmented or not) in, and answers to pings.

    async with connect("ws://127.0.0.1:9222/devtools/page/...") as socket:
        await socket.send(json.dumps(request))
        async for message in socket:
            ...

Any python3 (3.8 or later) runs it; no package is needed.
"""
import asyncio
import base64
import hashlib
import os
import struct
import urllib.parse

_GUID = "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
_TEXT, _CONTINUATION, _CLOSE, _PING, _PONG = 0x1, 0x0, 0x8, 0x9, 0xA


class HandshakeError(Exception):
    pass


class DevToolsSocket:
    def __init__(self, reader, writer):
        self._reader = reader
        self._writer = writer

    async def send(self, text):
        await self._send_frame(_TEXT, text.encode("utf-8"))

    async def _send_frame(self, opcode, payload):
        # A client masks every frame it sends.
        mask = os.urandom(4)
        header = bytes([0x80 | opcode])
        length = len(payload)
        if length < 126:
            header += bytes([0x80 | length])
        elif length < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", length)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", length)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self._writer.write(header + mask + masked)
        await self._writer.drain()

    async def _read_frame(self):
        first, second = await self._reader.readexactly(2)
        final, opcode = bool(first & 0x80), first & 0x0F
        length = second & 0x7F
        if length == 126:
            length, = struct.unpack(">H", await self._reader.readexactly(2))
        elif length == 127:
            length, = struct.unpack(">Q", await self._reader.readexactly(8))
        mask = await self._reader.readexactly(4) if second & 0x80 else None
        payload = await self._reader.readexactly(length)
        if mask:
            payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        return final, opcode, payload

    async def receive(self):
        """The next text message, or None once the browser closed the socket."""
        parts = []
        while True:
            try:
                final, opcode, payload = await self._read_frame()
            except (asyncio.IncompleteReadError, ConnectionError):
                return None
            if opcode == _PING:
                await self._send_frame(_PONG, payload)
                continue
            if opcode == _CLOSE:
                return None
            if opcode in (_TEXT, _CONTINUATION):
                parts.append(payload)
                if final:
                    return b"".join(parts).decode("utf-8")

    def __aiter__(self):
        return self

    async def __anext__(self):
        message = await self.receive()
        if message is None:
            raise StopAsyncIteration
        return message

    async def close(self):
        if self._writer.is_closing():
            return
        try:
            await self._send_frame(_CLOSE, b"")
        except ConnectionError:
            pass
        self._writer.close()


class connect:
    """async with connect(url) as socket: ... (ws:// on a local port)."""

    def __init__(self, url):
        self._url = urllib.parse.urlsplit(url)
        self._socket = None

    async def __aenter__(self):
        # DevTools answers a screenshot in one message of several megabytes.
        reader, writer = await asyncio.open_connection(self._url.hostname, self._url.port, limit=1 << 26)
        key = base64.b64encode(os.urandom(16)).decode("ascii")
        path = self._url.path + (f"?{self._url.query}" if self._url.query else "")
        writer.write((f"GET {path} HTTP/1.1\r\nHost: {self._url.netloc}\r\nUpgrade: websocket\r\n"
                      f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                      "Sec-WebSocket-Version: 13\r\n\r\n").encode("ascii"))
        await writer.drain()
        response = (await reader.readuntil(b"\r\n\r\n")).decode("latin-1")
        status = response.split("\r\n", 1)[0]
        expected = base64.b64encode(hashlib.sha1((key + _GUID).encode("ascii")).digest()).decode("ascii")
        if " 101 " not in status + " " or expected not in response:
            writer.close()
            raise HandshakeError(f"the browser refused the WebSocket: {status}")
        self._socket = DevToolsSocket(reader, writer)
        return self._socket

    async def __aexit__(self, *exc):
        await self._socket.close()
