#!/usr/bin/env python3
"""Runs a command beside a private sound server: a PulseAudio daemon with one
null sink at 16 kHz mono, on a runtime directory of its own, found by the
command through PULSE_RUNTIME_PATH. The daemon is stopped by its pid and the
directory removed; the command's status is the result.

  pulsefixture.py -- COMMAND ARGS...
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time


def main():
    if "--" not in sys.argv:
        print(__doc__)
        return 2
    command = sys.argv[sys.argv.index("--") + 1:]
    runtime = tempfile.mkdtemp(prefix="pulse-fixture-")
    env = dict(os.environ, PULSE_RUNTIME_PATH=runtime)
    env.pop("PULSE_SERVER", None)
    log = open(os.path.join(runtime, "daemon.log"), "w")
    # The daemon's configuration and cookie stay in the runtime directory.
    daemon_env = dict(env, HOME=runtime, XDG_CONFIG_HOME=runtime)
    daemon = subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-n",
         "--log-target=stderr",
         "--load=module-null-sink sink_name=nullsink rate=16000 channels=1 format=s16le",
         "--load=module-native-protocol-unix auth-anonymous=1"],
        stdout=log, stderr=log, env=daemon_env)
    try:
        deadline = time.time() + 15
        while subprocess.run(["pactl", "info"], env=env, capture_output=True).returncode != 0:
            if daemon.poll() is not None or time.time() > deadline:
                log.flush()
                print("the sound server did not start:\n" + open(log.name).read())
                return 1
            time.sleep(0.05)
        return subprocess.run(command, env=env).returncode
    finally:
        daemon.terminate()
        try:
            daemon.wait(timeout=10)
        except subprocess.TimeoutExpired:
            daemon.kill()
            daemon.wait()
        log.close()
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
