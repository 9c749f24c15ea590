#!/usr/bin/env python3
"""Start-up time: from process start until the first item plays.

corvane: launched under a private Xvfb with the speech capture file; the
track announcement is written right after playback of the command-line file
has started, so the time to that line is the start-up cost.
mpv: `mpv --no-video --ao=null --end=0.05 <file>` from start to exit (it must
open, decode and play 50 ms, then quit), the closest outside figure.

Usage: startup_bench.py <corvane binary> [runs]
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def make_file(folder):
    path = os.path.join(folder, "bench.mp3")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=60",
                    "-metadata", "title=Bench", "-c:a", "libmp3lame", "-b:a", "128k", path], check=True)
    return path


def corvane_once(binary, media, env):
    root = tempfile.mkdtemp(prefix="corvane-bench-")
    try:
        for d in ("config/Corvane", "state", "cache", "runtime"):
            os.makedirs(os.path.join(root, d), mode=0o700)
        with open(os.path.join(root, "config/Corvane/Corvane.ini"), "w") as f:
            f.write("[Speech]\nTrackChange=1\n[Playback]\nCheckForUpdates=0\n")
        log = os.path.join(root, "speech.log")
        e = dict(env, HOME=root, XDG_CONFIG_HOME=os.path.join(root, "config"),
                 XDG_STATE_HOME=os.path.join(root, "state"), XDG_CACHE_HOME=os.path.join(root, "cache"),
                 XDG_RUNTIME_DIR=os.path.join(root, "runtime"), CORVANE_SPEECH_LOG=log, NO_AT_BRIDGE="1")
        start = time.monotonic()
        p = subprocess.Popen([binary, media], env=e, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while True:
            if os.path.exists(log) and "SPEAK" in open(log).read():
                elapsed = time.monotonic() - start
                break
            if time.monotonic() - start > 20:
                elapsed = float("nan")
                break
            time.sleep(0.001)
        p.terminate()
        p.wait()
        return elapsed
    finally:
        shutil.rmtree(root, ignore_errors=True)


def mpv_once(media):
    start = time.monotonic()
    subprocess.run(["mpv", "--no-config", "--no-video", "--ao=null", "--end=0.05", "--really-quiet", media],
                   check=True)
    return time.monotonic() - start


def main():
    binary = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    folder = tempfile.mkdtemp()
    xvfb = subprocess.Popen(["Xvfb", ":97", "-nolisten", "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    try:
        media = make_file(folder)
        env = dict(os.environ, DISPLAY=":97")
        corvane = [corvane_once(binary, media, env) for _ in range(runs)]
        mpv = [mpv_once(media) for _ in range(runs)] if shutil.which("mpv") else []
        def show(name, xs):
            if xs:
                print("%-8s min %.3f s  median %.3f s  max %.3f s  (%d runs)" %
                      (name, min(xs), statistics.median(xs), max(xs), len(xs)))
        show("corvane", corvane)
        show("mpv", mpv)
    finally:
        xvfb.terminate()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
