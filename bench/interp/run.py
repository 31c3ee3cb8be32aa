#!/usr/bin/env python3
"""Runs each benchmark program on our VM (mcbrun), Lua 5.4 and LuaJIT with
the JIT off, side by side, checks that all print the same result, and prints
a table of our time / their time. Times are the processes' CPU time (user
plus system), which a busy machine disturbs far less than wall time;
--wall takes wall time instead. A program may come in several shapes a
compiler could emit (NAME.asm, NAME.SHAPE.asm); each shape gets its own row
against the same Lua program.

usage: run.py [--wall] BUILD_DIR [program ...]
"""
import glob
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PROGRAMS = ["loop", "fib", "calls", "sieve", "strings", "sort", "tokens"]


WALL = False
# Runs per process: the cores are shared, and a burst of other work can
# cover three runs in a row.
RUNS = 5


def cpu_of_children():
    u = resource.getrusage(resource.RUSAGE_CHILDREN)
    return u.ru_utime + u.ru_stime


def timed(cmd):
    t, c = time.perf_counter(), cpu_of_children()
    r = subprocess.run(cmd, capture_output=True, text=True, errors="replace")
    return (time.perf_counter() - t) if WALL else (cpu_of_children() - c), r


def result_of(r, ours):
    if ours:
        logs = [l[5:] for l in r.stderr.splitlines() if l.startswith("LOG: ")]
        return logs[-1].strip() if logs else "(no result: %s)" % r.stderr.strip()[-200:]
    return r.stdout.strip().splitlines()[-1] if r.stdout.strip() else "(no output)"


def best_of(n, cmd):
    best, last = None, None
    for _ in range(n):
        t, r = timed(cmd)
        best = t if best is None else min(best, t)
        last = r
    return best, last


def main():
    global WALL
    args = sys.argv[1:]
    if args and args[0] == "--wall":
        WALL = True
        args = args[1:]
    build = args[0] if args else os.path.join(ROOT, "build")
    names = args[1:] or PROGRAMS
    mcbasm = os.path.join(build, "tools", "mcbasm")
    mcbrun = os.path.join(build, "tools", "mcbrun")
    rows, failed = [], False
    for name in names:
        lua = os.path.join(HERE, name + ".lua")
        shapes = sorted(glob.glob(os.path.join(HERE, name + ".asm")) + glob.glob(os.path.join(HERE, name + ".*.asm")))
        if not shapes or not os.path.exists(lua):
            continue
        lua_t, r = best_of(RUNS, ["lua5.4", lua])
        theirs = result_of(r, False)
        jit_t = None
        if shutil.which("luajit"):
            jit_t, rj = best_of(RUNS, ["luajit", "-joff", lua])
            # LuaJIT lacks some Lua 5.4 operators; a program it cannot run gets no column.
            if rj.returncode != 0 or result_of(rj, False) != theirs:
                print("%s: luajit cannot run it (%s)" % (name, result_of(rj, False)))
                jit_t = None
        for asm in shapes:
            shape = os.path.basename(asm)[:-len(".asm")]
            with tempfile.TemporaryDirectory() as tmp:
                subprocess.run([mcbasm, "-I", os.path.join(ROOT, "examples", "lib"), asm, "-o",
                                os.path.join(tmp, "index.mcb")], check=True)
                ours, r = best_of(RUNS, [mcbrun, tmp])
                mine = result_of(r, True)
            if mine != theirs:
                failed = True
                print("%s: our result %s differs from lua's %s" % (shape, mine, theirs))
            rows.append([shape, ours, lua_t, jit_t])
    print("%s time, best of %d" % ("wall" if WALL else "CPU", RUNS))
    print("| program | ours (s) | lua5.4 (s) | ours/lua5.4 | luajit -joff (s) | ours/luajit |")
    print("|---|---|---|---|---|---|")
    for name, ours, lua_t, jit_t in rows:
        jit = ("%.3f | %.2f" % (jit_t, ours / jit_t)) if jit_t else "- | -"
        print("| %s | %.3f | %.3f | %.2f | %s |" % (name, ours, lua_t, ours / lua_t, jit))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
