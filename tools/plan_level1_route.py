#!/usr/bin/env python3
"""Plans a way through Zorvelin's first level for the end-to-end test.

Simulates the game's frame logic (the cat's walking and scrolling, the flag
touches and the two patrolling guards of level 1, which start at world x 0
when the program starts) and steers the cat from flag to flag, waiting or
stepping back whenever a guard would catch it within the next frames. It
writes the key changes as entries of the scripted input source, with frames
counted from the first frame of the level, plus "#@" lines that tell the
test where things are at chosen frames:

    #@ <frame> cat <xpos> <ypos> <scrollx> <scrolly> flags <left>

Usage: tools/plan_level1_route.py > tests/game/data/level1_route.txt
"""
import sys

UP, DOWN, LEFT, RIGHT, KEY_M = 200, 208, 203, 205, 50
FLAGS = {"a": (32, 192), "b": (32, 416), "c": (32, 640), "d": (448, 192), "e": (448, 416),
         "f": (448, 640), "g": (896, 192), "h": (896, 416), "i": (896, 640)}
ORDER = "dgabehifc"
LOOKAHEAD = 25


def boxes_overlap(x1, y1, w1, h1, x2, y2, w2, h2):
    lo1x, hi1x = min(x1, x1 + w1), max(x1, x1 + w1)
    lo2x, hi2x = min(x2, x2 + w2), max(x2, x2 + w2)
    lo1y, hi1y = min(y1, y1 + h1), max(y1, y1 + h1)
    lo2y, hi2y = min(y2, y2 + h2), max(y2, y2 + h2)
    return max(lo1x, lo2x) <= min(hi1x, hi2x) and max(lo1y, lo2y) <= min(hi1y, hi2y)


class Game:
    def __init__(self):
        self.xpos, self.ypos, self.scrollx, self.scrolly = 300, 140, -160, -112
        self.g1x, self.g1s = 0, 0
        self.flags = set(FLAGS)

    def copy(self):
        g = Game.__new__(Game)
        g.__dict__ = dict(self.__dict__)
        g.flags = set(self.flags)
        return g

    def walk(self, h, v):
        # The seven key tests of zorvelin (drawing left out).
        if v == -1:
            self.ypos -= 3
        if v == 1:
            self.ypos += 3
        if h == -1:
            self.xpos -= 3
        if h == 1:
            self.xpos += 3
        if self.xpos > 408 and self.scrollx > -320:
            self.xpos, self.scrollx = 408, self.scrollx - 3
        if self.xpos >= 608:
            self.xpos = 608
        if self.xpos < 200 and self.scrollx < 0:
            self.xpos, self.scrollx = 200, self.scrollx + 3
        if self.xpos <= 0:
            self.xpos = 0
        if self.ypos > 248 and self.scrolly > -224:
            self.ypos, self.scrolly = 248, self.scrolly - 3
        if self.ypos >= 448:
            self.ypos = 448
        if self.ypos < 152:
            self.ypos, self.scrolly = 152, self.scrolly + 3
        self.scrollx = min(0, max(-320, self.scrollx))
        self.scrolly = min(0, max(-224, self.scrolly))

    def frame(self, h, v):
        """One game frame; returns 'caught', 'done' or None."""
        self.walk(h, v)
        for name in "abcdefghi":
            fx, fy = FLAGS[name]
            if name in self.flags and boxes_overlap(self.xpos, self.ypos, 32, 32,
                                                    fx + self.scrollx, fy + self.scrolly, 32, 32):
                self.flags.discard(name)
        caught = False
        for k in (0, 1):
            if boxes_overlap(self.xpos + 12, self.ypos + 12, 8, 8,
                             self.g1x + self.scrollx, 300 + self.scrolly + 224 * k, 32, 32):
                caught = True
            if self.g1x <= 0 or self.g1s == 0:
                self.g1s, self.g1x = 0, self.g1x + 4
            if self.g1x >= 928 or self.g1s == 1:
                self.g1s, self.g1x = 1, self.g1x - 4
        if caught:
            return "caught"
        return "done" if not self.flags else None

    def world(self):
        return self.xpos - self.scrollx, self.ypos - self.scrolly


def survives(game, h, v, frames):
    g = game.copy()
    for _ in range(frames):
        if g.frame(h, v) == "caught":
            return False
    return True


def sign(n):
    return (n > 0) - (n < 0)


def plan():
    game = Game()
    keys = []
    events = []
    target = 0
    frame = 0
    while True:
        while target < len(ORDER) and ORDER[target] not in game.flags:
            target += 1
        cx, cy = game.world()
        tx, ty = FLAGS[ORDER[target]]
        want = (sign(tx - cx), sign(ty - cy))
        candidates = sorted({(h, v) for h in (-1, 0, 1) for v in (-1, 0, 1)},
                            key=lambda c: (abs(tx - cx - 3 * c[0]) + abs(ty - cy - 3 * c[1]), c != want))
        if frame == 0:
            candidates = [(0, 0)]  # the first frame of a level without keys
        choice = None
        for c in candidates:
            after = game.copy()
            if after.frame(*c) == "caught":
                continue
            if survives(after, 0, 0, LOOKAHEAD) or survives(after, c[0], c[1], LOOKAHEAD):
                choice = c
                break
        if choice is None:
            sys.exit(f"no safe move at frame {frame}")
        keys.append(choice)
        before = len(game.flags)
        result = game.frame(*choice)
        if result == "caught":
            sys.exit(f"caught at frame {frame}")
        if len(game.flags) < before or frame in (0, 1):
            events.append((frame, game.xpos, game.ypos, game.scrollx, game.scrolly, len(game.flags)))
        frame += 1
        if result == "done":
            return keys, events
        if frame > 5000:
            sys.exit("no way found")


def main():
    keys, events = plan()
    out = ["# Level 1 of Zorvelin, all nine flags, no catch (tools/plan_level1_route.py).",
           "# Frames count from the level's first frame. M is pressed and released at",
           "# once, so the music stops and only the collect sounds are heard."]
    held = {UP: False, DOWN: False, LEFT: False, RIGHT: False}
    for frame, (h, v) in enumerate(keys):
        now = {UP: v == -1, DOWN: v == 1, LEFT: h == -1, RIGHT: h == 1}
        for code in (UP, DOWN, LEFT, RIGHT):
            if now[code] != held[code]:
                out.append(f"{frame} key {code} {'down' if now[code] else 'up'}")
        held = now
        if frame == 2:
            out.append(f"2 key {KEY_M} down")
        if frame == 4:
            out.append(f"4 key {KEY_M} up")
    end = len(keys)
    for code in (UP, DOWN, LEFT, RIGHT):
        if held[code]:
            out.append(f"{end} key {code} up")
    for frame, x, y, sx, sy, left in events:
        out.append(f"#@ {frame} cat {x} {y} {sx} {sy} flags {left}")
    out.append(f"#@ {end - 1} done")
    print("\n".join(out))


if __name__ == "__main__":
    main()
