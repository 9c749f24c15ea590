"""Media fixtures for the end-to-end tests, made with the ffmpeg tool."""

import os
import subprocess


def make_tone(path, seconds=3.0, freq=440, title=None, artist=None, rate=44100):
    args = ["ffmpeg", "-v", "error", "-y", "-f", "lavfi",
            "-i", "sine=frequency=%d:sample_rate=%d:duration=%s" % (freq, rate, seconds)]
    if title:
        args += ["-metadata", "title=" + title]
    if artist:
        args += ["-metadata", "artist=" + artist]
    if path.endswith(".mp3"):
        args += ["-c:a", "libmp3lame", "-b:a", "64k"]
    args.append(path)
    subprocess.run(args, check=True)
    return path


def write_m3u(path, entries):
    with open(path, "w", encoding="utf-8") as f:
        f.write("#EXTM3U\n")
        for e in entries:
            f.write(e + "\n")
    return path
