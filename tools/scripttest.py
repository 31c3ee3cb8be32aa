#!/usr/bin/env python3
"""Runs one assembly script test: assemble with mcbasm, run with mcbrun,
compare the LOG lines and the exit status with the script's expectations.
With --mcbdis the image is also disassembled and reassembled, which must give
the same bytes.

Expectations are comments in the script:
  ; expect: <text>          the next "LOG: <text>" line, in order (one blank after the
                            colon separates); also at the end of the line that logs
  ; expect fatal: <text>    the run ends with "FATAL: <text>" and status 1
  ; expect status: <n>      the exit status (default 0, or 1 with a fatal line)
  ; args: <words>           extra mcbrun arguments
  ; expect stderr: <text>   a line of standard error, in order among these
                            (leading and trailing blanks aside)
  ; warning: <text>         mcbasm prints this warning (FILE:LINE:COL: warning: <text>);
                            with any of these, the warnings must be exactly these
  ; expect error: L:C: <text>  mcbasm refuses the script with this error
                            (FILE:L:C: error: <text>); with any of these, the errors
                            must be exactly these, in order, and nothing runs
  ; env: NAME=value         set for the run; {app} is the application directory
  ; file: path: text        a file under the application directory (\\n escapes);
                            "; file: path:" with nothing after it, an empty file
--copy-dir DIR copies DIR's files into the application directory.
The script is assembled from its own folder, so the map names it by its
base name ("script.asm:12").
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile


def logged(text):
    """The expected text after "; expect:": one blank after the colon is the
    separator, so a logged line may begin with blanks of its own."""
    return (text[1:] if text.startswith(" ") else text).rstrip()


def expectations(path):
    logs, fatal, status, args = [], None, None, []
    errs, env, files, warnings, asm_errors = [], [], [], [], []
    with open(path, encoding="utf-8") as f:
        for line in f:
            s = line.strip()
            if s.startswith("; expect stderr:"):
                errs.append(s[len("; expect stderr:"):].strip())
            elif s.startswith("; env:"):
                env.append(s[len("; env:"):].strip().split("=", 1))
            elif s.startswith("; file:"):
                name, _, text = s[len("; file:"):].strip().partition(": ")
                if not _ and name.endswith(":"):
                    name = name[:-1]
                files.append((name, text.encode("latin-1", "backslashreplace").decode("unicode_escape")))
            elif s.startswith("; expect:"):
                logs.append(logged(s[len("; expect:"):]))
            elif not s.startswith(";") and "; expect:" in s:
                logs.append(logged(s.split("; expect:", 1)[1]))
            elif s.startswith("; expect fatal:"):
                fatal = s[len("; expect fatal:"):].strip()
            elif s.startswith("; expect status:"):
                status = int(s[len("; expect status:"):].strip())
            elif s.startswith("; args:"):
                args += s[len("; args:"):].split()
            elif s.startswith("; warning:"):
                warnings.append(s[len("; warning:"):].strip())
            elif s.startswith("; expect error:"):
                asm_errors.append(s[len("; expect error:"):].strip())
    if status is None:
        status = 1 if fatal is not None else 0
    return logs, fatal, status, args, errs, env, files, warnings, asm_errors


def in_order(wanted, lines):
    it = iter(lines)
    return all(any(l.strip() == w for l in it) for w in wanted)


def located_errors(stderr):
    """mcbasm's errors as "LINE:COL: text", without the file name."""
    found = (re.match(r"^[^:]*:(\d+:\d+): error: (.*)$", l) for l in stderr.splitlines())
    return [m.group(1) + ": " + m.group(2) for m in found if m]


def round_trip(mcbdis, mcbasm, image):
    """Why mcbdis's text of the image does not assemble to the same bytes, or
    None. Works in a folder of its own: the application directory stays as
    the script made it."""
    with tempfile.TemporaryDirectory() as tmp:
        text = os.path.join(tmp, "disassembled.asm")
        again = os.path.join(tmp, "disassembled.mcb")
        with open(text, "w", encoding="utf-8") as f:
            r = subprocess.run([mcbdis, image], stdout=f, stderr=subprocess.PIPE, text=True)
        if r.returncode != 0:
            return "mcbdis failed:\n" + r.stderr
        r = subprocess.run([mcbasm, text, "-o", again], capture_output=True, text=True, cwd=tmp)
        if r.returncode != 0:
            return "mcbdis output does not assemble:\n" + r.stderr
        with open(image, "rb") as a, open(again, "rb") as b:
            if a.read() != b.read():
                return "mcbdis output assembles to other bytes than the image"
    return None


def main():
    p = argparse.ArgumentParser()
    p.add_argument("script")
    p.add_argument("--mcbasm", required=True)
    p.add_argument("--mcbrun", required=True)
    p.add_argument("--mcbdis")
    p.add_argument("-I", dest="includes", action="append", default=[])
    p.add_argument("--copy-dir", action="append", default=[])
    a = p.parse_args()

    logs, fatal, status, extra, errs, env_lines, files, warnings, asm_errors = expectations(a.script)
    folder, script = os.path.split(os.path.abspath(a.script))
    with tempfile.TemporaryDirectory() as tmp:
        for d in a.copy_dir:
            for name in os.listdir(d):
                shutil.copy(os.path.join(d, name), tmp)
        for name, text in files:
            target = os.path.join(tmp, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "w", encoding="latin-1") as f:
                f.write(text)
        errs = [e.replace("{app}", tmp) for e in errs]
        env = dict(os.environ)
        for name, value in env_lines:
            env[name] = value.replace("{app}", tmp)
        image = os.path.join(tmp, "index.mcb")
        cmd = [a.mcbasm] + sum((["-I", os.path.abspath(i)] for i in a.includes), []) + [script, "-o", image]
        r = subprocess.run(cmd, capture_output=True, text=True, cwd=folder)
        if asm_errors:
            if r.returncode == 1 and located_errors(r.stderr) == asm_errors:
                return 0
            print("mcbasm errors differ (status %d).\nexpected:\n  " % r.returncode + "\n  ".join(asm_errors) +
                  "\ngot:\n" + r.stderr)
            return 1
        if r.returncode != 0:
            print("assembly failed:\n" + r.stdout + r.stderr)
            return 1
        got_warnings = [l.split(": warning: ", 1)[1] for l in r.stderr.splitlines() if ": warning: " in l]
        if warnings and got_warnings != warnings:
            print("mcbasm warnings differ.\nexpected:\n  " + "\n  ".join(warnings) + "\ngot:\n" + r.stderr)
            return 1
        fault = a.mcbdis and round_trip(a.mcbdis, a.mcbasm, image)
        if fault:
            print(fault)
            return 1
        r = subprocess.run([a.mcbrun, "--verify-heap"] + extra + [tmp], capture_output=True,
                           timeout=120, encoding="utf-8", errors="replace", env=env)
    lines = r.stderr.splitlines()
    got_logs = [l[len("LOG: "):] for l in lines if l.startswith("LOG: ")]
    got_fatal = [l[len("FATAL: "):] for l in lines if l.startswith("FATAL: ")]
    ok = True
    if got_logs != logs:
        ok = False
        print("LOG lines differ.\nexpected:\n  " + "\n  ".join(logs) + "\ngot:\n  " + "\n  ".join(got_logs))
    if fatal is not None and got_fatal != [fatal]:
        ok = False
        print("expected FATAL: %s\ngot: %s" % (fatal, got_fatal))
    if fatal is None and got_fatal:
        ok = False
        print("unexpected FATAL: %s" % got_fatal)
    if not in_order(errs, lines):
        ok = False
        print("standard error lacks, in order:\n  " + "\n  ".join(errs))
    if r.returncode != status:
        ok = False
        print("expected status %d, got %d" % (status, r.returncode))
    if not ok:
        print("--- stderr ---\n" + r.stderr)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
