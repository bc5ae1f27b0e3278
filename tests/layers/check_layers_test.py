#!/usr/bin/env python3
"""The build's check of the runtime's layers refuses an include and a symbol
that point up, and names the rule; an edge that points down passes."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "runtime")
COMPILER = os.environ.get("CXX", "c++")


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        self.runtime = os.path.join(self.root, "runtime")
        os.makedirs(self.runtime)
        for name in ("check_layers.py", "layers.txt"):
            shutil.copy(os.path.join(SOURCE, name), self.runtime)
        self.stamp = os.path.join(self.root, "checked")

    def tearDown(self):
        shutil.rmtree(self.root)

    def write(self, relative, text):
        path = os.path.join(self.runtime, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
        return path

    def check(self, *arguments):
        return subprocess.run([sys.executable, os.path.join(self.runtime, "check_layers.py")] + list(arguments),
                              capture_output=True, text=True)

    def compile(self, relative, text):
        source = self.write(relative, text)
        subprocess.run([COMPILER, "-c", source, "-o", source + ".o"], check=True)
        return source + ".o"

    def test_an_include_from_platform_into_gfx_fails_and_names_the_rule(self):
        self.write("gfx/renderer.h", "#pragma once\n")
        self.write("platform/window.cpp", '#include "platform/platform.h"\n#include "gfx/renderer.h"\n')
        result = self.check("includes", self.runtime, self.stamp)
        self.assertEqual(result.returncode, 1)
        self.assertIn("runtime/platform/window.cpp:2: platform/ may not include gfx/", result.stdout)
        self.assertIn("each runtime folder uses only the folders below it", result.stdout)
        self.assertFalse(os.path.exists(self.stamp))

    def test_includes_that_point_down_pass(self):
        self.write("gfx/renderer.cpp", '#include "gl/gl_calls.h"\n#include "platform/platform.h"\n')
        self.write("frame/frame.cpp", '#include "gfx/renderer.h"\n#include "debug_local.h"\n')
        result = self.check("includes", self.runtime, self.stamp)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertTrue(os.path.exists(self.stamp))

    def test_a_call_from_platform_into_gfx_fails_and_names_both_ends(self):
        caller = self.compile("platform/clock.cpp", "void PumpWindowMessages();\nvoid Tick() { PumpWindowMessages(); }\n")
        callee = self.compile("gfx/window.cpp", "void PumpWindowMessages() {}\n")
        result = self.check("symbols", "nm", self.stamp, "--layer", "platform", caller, "--layer", "gfx", callee)
        self.assertEqual(result.returncode, 1)
        self.assertIn("clock.cpp.o (platform/) needs PumpWindowMessages(), defined in window.cpp.o (gfx/)",
                      result.stdout)
        self.assertIn("register a hook", result.stdout)

    def test_a_call_down_and_a_list_file_pass(self):
        caller = self.compile("gfx/window.cpp", "void Sleep();\nvoid Wait() { Sleep(); }\n")
        callee = self.compile("platform/clock.cpp", "void Sleep() {}\n")
        listing = self.write("objects.txt", "--layer\nplatform\n%s\n--layer\ngfx\n%s\n" % (callee, caller))
        result = self.check("symbols", "nm", self.stamp, "@" + listing)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertTrue(os.path.exists(self.stamp))


if __name__ == "__main__":
    unittest.main()
