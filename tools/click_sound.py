"""The Geiger-counter click "knack2.wav".

A real counter's click is the loudspeaker's answer to one short discharge pulse: a hard
edge, a burst of broadband crackle that dies within a millisecond or two, and the speaker
cone ringing on a little longer. The file is 6 ms long, so that many clicks in quick
succession stay distinct; it begins and ends at exactly zero and has no DC offset, so that
no extra pop is heard at either end.
"""

import wave

import numpy as np

RATE = 44100
LENGTH_MS = 6.0
PEAK_DBFS = -3.0


def click_samples(seed=7):
    rng = np.random.default_rng(seed)
    n = int(RATE * LENGTH_MS / 1000)
    t = np.arange(n) / RATE
    crackle = rng.normal(0.0, 1.0, n) * np.exp(-t / 0.0007)
    # Differencing the noise tilts it towards the treble, as the small speaker does.
    crackle = np.diff(crackle, prepend=0.0)
    ring = (np.sin(2 * np.pi * 3300 * t) * np.exp(-t / 0.0014)
            + 0.5 * np.sin(2 * np.pi * 1150 * t + 0.6) * np.exp(-t / 0.0022))
    edge = np.zeros(n)
    edge[1:4] = [1.0, -0.7, 0.35]
    signal = 0.8 * edge + 0.45 * crackle / np.abs(crackle).max() + 0.55 * ring
    # The envelope opens within two samples and closes smoothly over the last millisecond,
    # so the first and last samples are exactly zero.
    envelope = np.ones(n)
    envelope[0] = 0.0
    fade = int(RATE * 0.001)
    envelope[-fade:] = 0.5 * (1 + np.cos(np.linspace(0, np.pi, fade)))
    signal *= envelope
    # Remove the DC part along the envelope, so the ends stay at zero.
    signal -= envelope * (signal.sum() / envelope.sum())
    peak = 10 ** (PEAK_DBFS / 20) * 32767
    samples = np.round(signal / np.abs(signal).max() * peak).astype(np.int16)
    samples[0] = samples[-1] = 0
    return samples


def make_click(path, seed=7):
    samples = click_samples(seed)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.astype("<i2").tobytes())
    return samples
