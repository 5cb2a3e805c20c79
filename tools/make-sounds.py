#!/usr/bin/env python3
"""Writes the program's two sounds into res/defaults: ringin.wav (the reminder ring, a soft
three-note bell figure) and notify.wav (the notice chime, two quick rising notes).

Plain additive synthesis with the standard library only, so anyone can regenerate them:
    python3 tools/make-sounds.py
"""
import math
import os
import struct
import wave

RATE = 22050


def bell(freq, start, length, volume, total):
    """A struck bell: fundamental plus two inharmonic partials, fast attack, exponential decay."""
    partials = [(1.0, 1.0), (2.76, 0.35), (5.40, 0.12)]
    out = [0.0] * total
    first = int(start * RATE)
    for i in range(int(length * RATE)):
        t = i / RATE
        attack = min(1.0, t / 0.006)
        env = attack * math.exp(-t * 4.5)
        s = sum(a * math.sin(2 * math.pi * freq * m * t) * math.exp(-t * m * 0.8) for m, a in partials)
        if first + i < total:
            out[first + i] += volume * env * s
    return out


def mix(*tracks):
    return [sum(v) for v in zip(*tracks)]


def write(path, samples):
    peak = max(abs(s) for s in samples) or 1.0
    scale = 0.7 * 32767 / peak
    frames = b"".join(struct.pack("<h", int(s * scale)) for s in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "defaults")
    os.makedirs(root, exist_ok=True)
    # Ring: E5, G#5, B5 (an E major arpeggio), 1.2 s in all.
    total = int(1.2 * RATE)
    ring = mix(bell(659.25, 0.00, 1.2, 1.0, total), bell(830.61, 0.18, 1.0, 0.9, total),
               bell(987.77, 0.36, 0.84, 0.8, total))
    write(os.path.join(root, "ringin.wav"), ring)
    # Notice: A5 then E6, 0.6 s.
    total = int(0.6 * RATE)
    chime = mix(bell(880.0, 0.0, 0.6, 0.8, total), bell(1318.5, 0.09, 0.5, 0.7, total))
    write(os.path.join(root, "notify.wav"), chime)


if __name__ == "__main__":
    main()
