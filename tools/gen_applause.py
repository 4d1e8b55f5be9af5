#!/usr/bin/python3
"""Synthesises the applause played at zero and writes resources/applause.wav (or the path given).

A small audience clapping: each person claps three to five times a second with
some jitter, and every clap is a short burst of noise (a sharp attack, then an
exponential decay) coloured by a resonant band-pass filter whose centre belongs
to that person's hands, plus a little differenced noise for the crack. People
join in over the first moments and drop out one by one near the end; a few
sparse echoes place them in one room. The mix is freed of DC and normalised to
-3 dBFS. 16-bit mono PCM at 11,025 Hz, 38,608 samples, written by the
standard library's wave module: a 44-byte header and the samples, nothing
else. The seed is fixed, so the output never changes. Standard library only:
any Python 3 runs it, e.g. /usr/bin/python3 tools/gen_applause.py.
"""
import array
import io
import math
import random
import wave

import resource_file

RATE = 11025
SAMPLES = 38608
PEOPLE = 22
SWELL = 0.4          # seconds until everyone claps at full strength
FADE = 1.0           # seconds of dying away at the end
PEAK = 10 ** (-3 / 20) * 32767


def band_pass(f0, q):
    """Biquad band-pass (0 dB at the centre) as (b0, b2, a1, a2); b1 is 0."""
    w = 2 * math.pi * f0 / RATE
    alpha = math.sin(w) / (2 * q)
    a0 = 1 + alpha
    return alpha / a0, -alpha / a0, -2 * math.cos(w) / a0, (1 - alpha) / a0


def clap(rng, centre, gain):
    """One clap: filtered noise under a fast attack and an exponential decay."""
    attack = rng.uniform(0.001, 0.003) * RATE
    tau = rng.uniform(0.003, 0.008) * RATE            # gone after about 5 tau
    length = int(attack + 5 * tau)
    b0, b2, a1, a2 = band_pass(centre * rng.uniform(0.9, 1.1), rng.uniform(1.5, 4.0))
    crack = rng.uniform(0.15, 0.35)
    x1 = x2 = y1 = y2 = prev = 0.0
    out = []
    for n in range(length):
        x = rng.gauss(0, 1)
        y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2
        x2, x1, y2, y1 = x1, x, y1, y
        env = n / attack if n < attack else math.exp(-(n - attack) / tau)
        out.append(gain * env * (y + crack * (x - prev)))
        prev = x
    return out


def crowd(rng):
    total = SAMPLES / RATE
    mix = [0.0] * SAMPLES
    for _ in range(PEOPLE):
        centre = rng.uniform(800, 2500)
        loudness = rng.uniform(0.35, 1.0)              # near and far seats
        period = 1 / rng.uniform(3.0, 5.0)
        t = rng.uniform(0.0, SWELL)                    # joining in
        stop = total - rng.uniform(0.0, FADE)          # dropping out
        while t < stop:
            # Late claps come softer, as hands tire before stopping.
            tail = max(0.0, (t - (total - FADE)) / FADE)
            start = int(t * RATE)
            for i, v in enumerate(clap(rng, centre, loudness * rng.uniform(0.6, 1.0) * (1 - 0.6 * tail))):
                if start + i < SAMPLES:
                    mix[start + i] += v
            t += period * rng.uniform(0.8, 1.2) * (1 + 0.5 * tail)
    return mix


def room(rng, dry):
    """A few sparse reflections within 80 ms, decaying with delay."""
    wet = dry[:]
    for _ in range(24):
        delay = rng.randint(int(0.005 * RATE), int(0.080 * RATE))
        g = rng.choice((-1, 1)) * 0.35 * math.exp(-delay / (0.030 * RATE))
        for i in range(SAMPLES - delay):
            wet[i + delay] += g * dry[i]
    return wet


def shape(x):
    """Swell in and die away, free of DC (an offset weighted by the same
    envelope, so the silent ends stay at zero), normalised."""
    total = SAMPLES / RATE
    env = []
    for n in range(len(x)):
        t = n / RATE
        env.append(math.sin(math.pi / 2 * min(1.0, t / SWELL)) ** 2 * min(1.0, (total - t) / FADE))
    offset = sum(v * e for v, e in zip(x, env)) / sum(env)
    out = [(v - offset) * e for v, e in zip(x, env)]
    scale = PEAK / max(abs(v) for v in out)
    return [round(v * scale) for v in out]


def wav_file(samples):
    out = io.BytesIO()
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(array.array("h", samples).tobytes())  # native order: wave makes it little-endian
    return out.getvalue()


def main():
    rng = random.Random(20240517)
    resource_file.write("applause.wav", wav_file(shape(room(rng, crowd(rng)))))


if __name__ == "__main__":
    main()
