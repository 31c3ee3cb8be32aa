#!/usr/bin/env python3
"""The command lines of mcbasm, mcbdis and mcbrun: help and version, usage
errors, every kind of bad input, image paths and directories, include
folders, and the map that names methods and lines (or its absence)."""
import os
import subprocess
import sys
import tempfile
import unittest

BIN = None
DOCS = None
HELLO = """.include "runtime.asm"
.method main export="main"
  PUSH_STRING_CELL "hi"
  NATIVE_CALL Debug 1
  RETURN 0, 1
"""
FAULT = """.include "runtime.asm"
.method helper
  PUSH_IMM32 5
  DEREF
  RETURN 0, 2
.method main export="main"
  CALL helper
  RETURN 0, 1
"""


def run(tool, *args, cwd=None):
    return subprocess.run([os.path.join(BIN, tool)] + list(args), capture_output=True, text=True,
                          cwd=cwd, timeout=60, errors="replace")


class Tools(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, name, text):
        path = os.path.join(self.dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)
        return path

    def test_help_and_version_go_to_standard_output(self):
        for tool in ("mcbasm", "mcbdis", "mcbrun"):
            r = run(tool, "--help")
            self.assertEqual((r.returncode, r.stderr), (0, ""), tool)
            self.assertTrue(r.stdout.startswith("usage: " + tool), tool)
            r = run(tool, "--version")
            self.assertEqual(r.returncode, 0, tool)
            self.assertRegex(r.stdout, "^" + tool + r" \d+\.\d+\.\d+\n$")

    def test_usage_errors_have_status_2(self):
        for tool, args in (("mcbasm", []), ("mcbasm", ["--bogus"]), ("mcbasm", ["a.asm"]),
                           ("mcbasm", ["a.asm", "-o"]), ("mcbdis", []), ("mcbdis", ["a", "b"]),
                           ("mcbrun", []), ("mcbrun", ["--bogus", "x"]), ("mcbrun", ["a", "b"])):
            r = run(tool, *args)
            self.assertEqual(r.returncode, 2, (tool, args))
            self.assertIn("usage: " + tool, r.stderr)
        self.assertIn("no image given (-o IMAGE)", run("mcbasm", "a.asm").stderr)

    def test_bad_inputs_fail_cleanly(self):
        empty = self.write("empty.mcb", "")
        r = run("mcbasm", "nope.asm", "-o", "x.mcb", cwd=self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr, "nope.asm: error: cannot open 'nope.asm': No such file or directory\n")
        self.assertIn("is a directory", run("mcbasm", self.dir, "-o", "x.mcb").stderr)
        for args in ([self.dir], [os.path.join(self.dir, "missing.mcb")], [empty]):
            r = run("mcbdis", *args)
            self.assertEqual(r.returncode, 1, args)
            self.assertTrue(r.stderr.startswith("mcbdis: "), r.stderr)
        self.assertIn("the image is empty", run("mcbdis", empty).stderr)
        r = run("mcbrun", os.path.join(self.dir, "missing.mcb"))
        self.assertEqual((r.returncode, r.stderr), (1, "Failed to open '%s/missing.mcb'\n" % self.dir))
        r = run("mcbrun", empty)
        self.assertEqual(r.returncode, 1)
        self.assertIn("empty.mcb: the image is empty", r.stderr)
        garbage = os.path.join(self.dir, "garbage.mcb")
        with open(garbage, "wb") as f:
            f.write(b"\x02ab\xff\xff\x00\x02")
        r = run("mcbrun", garbage)
        self.assertEqual(r.returncode, 1)
        self.assertIn("FATAL: RuntimeException: OPEN BYTECODE EXCEPTION\n", r.stderr)
        self.assertIn("bad magic at byte 6: 0x02, expected 0x01", r.stderr)

    def test_images_run_from_a_path_or_a_directory(self):
        src = self.write("app/hello.asm", HELLO)
        self.assertEqual(run("mcbasm", src, "-o", os.path.join(self.dir, "app", "index.mcb")).returncode, 0)
        self.assertEqual(run("mcbasm", src, "-o", os.path.join(self.dir, "other.mcb")).returncode, 0)
        for target in ("app", "app/index.mcb", "other.mcb"):
            r = run("mcbrun", target, cwd=self.dir)
            self.assertEqual((r.returncode, r.stderr), (0, "LOG: hi\n"), target)
        self.assertIn("LOG: hi", run("mcbrun", os.path.join(self.dir, "app") + "/").stderr)

    def test_includes_name_the_folders_searched(self):
        src = self.write("src/a.asm", '.include "mine.asm"\n')
        r = run("mcbasm", "-I", os.path.join(self.dir, "lib"), src, "-o", os.path.join(self.dir, "a.mcb"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("a.asm:1:10: error: cannot find 'mine.asm' (searched %s/src, %s/lib, " % (self.dir, self.dir),
                      r.stderr)
        self.write("lib/mine.asm", HELLO)
        r = run("mcbasm", "-I", os.path.join(self.dir, "lib"), src, "-o", os.path.join(self.dir, "a.mcb"))
        self.assertEqual((r.returncode, r.stderr), (0, ""))   # runtime.asm from the default folder

    def test_the_map_names_methods_and_lines(self):
        self.write("app.asm", FAULT)
        os.mkdir(os.path.join(self.dir, "app"))
        self.assertEqual(run("mcbasm", "app.asm", "-o", "app/index.mcb", cwd=self.dir).returncode, 0)
        r = run("mcbrun", "app", cwd=self.dir)
        self.assertEqual(r.stderr, "FATAL: RuntimeException: Invalid address\n"
                                   "  at helper (app.asm:4)\n  at main (app.asm:7)\n")
        dis = run("mcbdis", "app", cwd=self.dir).stdout
        self.assertIn("helper:\n", dis)
        self.assertIn("  ; app.asm:4\n  DEREF\n", dis)
        # The names read back as source that gives the same bytes.
        self.write("back.asm", dis)
        self.assertEqual(run("mcbasm", "back.asm", "-o", "back.mcb", cwd=self.dir).returncode, 0)
        with open(os.path.join(self.dir, "back.mcb"), "rb") as a, open(os.path.join(self.dir, "app/index.mcb"), "rb") as b:
            self.assertEqual(a.read(), b.read())
        # A map of other bytes is not believed; without one, offsets are given:
        # the DEREF after helper's 5-byte push, and main's CALL.
        starts = {}
        with open(os.path.join(self.dir, "app/index.mcb.map")) as f:
            for line in f:
                w = line.split()
                if w[0] == "method":
                    starts[w[3]] = int(w[1])
        chain = "  at code offset %d\n  at code offset %d\n" % (starts["helper"] + 5, starts["main"])
        with open(os.path.join(self.dir, "app/index.mcb"), "ab") as f:
            f.write(b"\x00")
        r = run("mcbrun", "app", cwd=self.dir)
        self.assertIn("Ignoring the map: '%s/app/index.mcb.map' belongs to another image" % self.dir, r.stderr)
        self.assertIn(chain, r.stderr)
        os.remove(os.path.join(self.dir, "app/index.mcb.map"))
        r = run("mcbrun", "app", cwd=self.dir)
        self.assertTrue(r.stderr.endswith("Invalid address\n" + chain), r.stderr)
        self.assertEqual(run("mcbasm", "--no-map", "app.asm", "-o", "app/index.mcb", cwd=self.dir).returncode, 0)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "app/index.mcb.map")))

    def test_the_instruction_reference_is_current(self):
        r = run("mcbasm", "--instructions")
        self.assertEqual(r.returncode, 0)
        with open(os.path.join(DOCS, "instructions.md"), encoding="utf-8") as f:
            self.assertEqual(f.read(), r.stdout, "regenerate: build/tools/mcbasm --instructions > docs/instructions.md")
        self.assertIn("| 121 | `RETURN` | i32 a, i32 b | ends the method: drops b |", r.stdout)

    def test_trace_and_profile(self):
        self.write("hot.asm", """.include "runtime.asm"
.method spin params=1
.arg n
.local i
  PUSH_IMM32 0
loop:
  LOAD_LOCAL i
  LOAD_LOCAL n
  CMP_LT
  JUMP_IF_FALSE done
  ADDR_LOCAL i
  INC_AT
  JUMP loop
done:
  RESERVE -1
  RETURN 0, 2
.method main export="main"
  PUSH_IMM32 3000000
  CALL spin
  PUSH_STRING_CELL "done"
  NATIVE_CALL Debug log
  RETURN 0, 1
""")
        self.assertEqual(run("mcbasm", "hot.asm", "-o", "hot.mcb", cwd=self.dir).stderr, "")
        r = run("mcbrun", "--profile", "hot.mcb", cwd=self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stderr.splitlines()
        self.assertEqual(lines[0], "LOG: done")
        self.assertRegex(lines[1], r"^PROFILE: \d+ samples of 1000 us CPU time$")
        self.assertEqual(lines[2], "PROFILE: hottest methods")
        self.assertRegex(lines[3], r"^PROFILE: +\d+\.\d% spin$")
        self.assertIn("PROFILE: hottest lines", lines)
        self.assertRegex(lines[lines.index("PROFILE: hottest lines") + 1], r"spin \(hot\.asm:\d+\)$")
        # A whole trace covers every instruction of every method run.
        r = run("mcbrun", "--trace", "--budget", "50", "hot.mcb", cwd=self.dir)
        traced = [l for l in r.stderr.splitlines() if l.startswith("TRACE: ")]
        self.assertTrue(traced[0].startswith("TRACE: main (hot.asm:18): PUSH_IMM32 3000000 | sp 0: -1"), traced[0])
        self.assertIn("FATAL: RuntimeException: Instruction budget exhausted", r.stderr)
        self.assertIn("  at spin (hot.asm:", r.stderr)
        self.assertEqual(run("mcbrun", "--trace=nothere", "hot.mcb", cwd=self.dir).stderr,
                         "mcbrun: no method 'nothere' to trace in the map\n")
        self.assertEqual(run("mcbrun", "--trace", "--profile", "hot.mcb", cwd=self.dir).returncode, 2)


if __name__ == "__main__":
    BIN = sys.argv.pop(1)
    DOCS = sys.argv.pop(1)
    unittest.main()
