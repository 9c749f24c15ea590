#!/usr/bin/env python3
"""Writes docs/demo.mid: a short tune of our own that the start script plays
when it is given no files, so a newcomer hears something at once."""

import os
import struct

TEMPO_US = 500000  # 120 beats per minute
TICKS = 480

# (note, beats) pairs; 0 is a rest. A small melody in C major.
MELODY = [(60, 1), (64, 1), (67, 1), (72, 2), (71, 1), (67, 1), (69, 2),
          (65, 1), (69, 1), (72, 1), (77, 2), (76, 1), (72, 1), (74, 2),
          (67, 1), (72, 1), (76, 1), (79, 1), (77, 1), (74, 1), (71, 1), (72, 4)]
BASS_LINE = [(48, 4), (53, 4), (55, 4), (48, 4)]


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)


def track(events):
    body = b"".join(events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def voice(notes, channel, program, velocity):
    events = [b"\x00" + bytes([0xC0 | channel, program])]
    for note, beats in notes:
        length = beats * TICKS
        if note == 0:
            events.append(varlen(length) + bytes([0x90 | channel, 0, 0]))
            continue
        events.append(b"\x00" + bytes([0x90 | channel, note, velocity]))
        events.append(varlen(length) + bytes([0x80 | channel, note, 0]))
    return events


def main():
    tempo = [b"\x00\xff\x51\x03" + struct.pack(">I", TEMPO_US)[1:]]
    data = b"MThd" + struct.pack(">IHHH", 6, 1, 3, TICKS)
    data += track(tempo)
    data += track(voice(MELODY, 0, 0, 100))   # piano
    data += track(voice(BASS_LINE * 2, 1, 32, 80))  # acoustic bass
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs", "demo.mid")
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
