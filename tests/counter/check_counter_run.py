#!/usr/bin/env python3
"""Checks a lesson run with a made-up counter recording as the audio input against the
recording's known clicks.

usage: check_counter_run.py RECORDING.wav ONSETS.txt COUNTER.log TABLE.csv

RECORDING.wav and ONSETS.txt come from make_click_train (it may have played in a loop);
COUNTER.log from the program's counter log; TABLE.csv is the table Ctrl+S saved.
The program's stream and the recording are lined up by the clicks heard, piece by piece: a
capture that falls behind may insert or drop a little sound (Chromium's fake microphone: 10 ms),
after which the stream goes on shifted, or shifted back; at most one such glitch per 10 s is
taken. Then every click counted must be a known click, heard 0 to 2 ms after its onset (so none
in the silence or the noise, which the run must have heard), no known click may be missed unless
it follows another within 10 ms, each interval's count must equal the known clicks in the part
of the stream it took (a click within one step of either end may go either way), every row of
the table must be the counter's, and the table (with the byte order mark spreadsheets need for
its umlauts) must have the histogram, n and mean that follow from its rows. Its last line names
the table's n and mean."""
import bisect
import itertools
import sys
import wave

LATE, MERGED, STEP, GLITCH = 0.002, 0.010, 1 / 60, 0.2


def fail(message):
    sys.exit(f"counter run: {message}")


def read_log(path):
    rate, heard, intervals = 0, [], []
    for line in open(path, encoding="utf-8"):
        kind, *values = line.split()
        values = [float(v) for v in values]
        if kind == "rate":
            rate = int(values[0])
        elif kind in ("click", "dropped"):
            heard.append(values[0] / rate)
        elif kind == "start":
            intervals.append({"from": values[0] / rate, "to": values[0] / rate, "taken": 0})
        elif kind == "take" and intervals:
            intervals[-1]["to"] = values[0] / rate
            intervals[-1]["taken"] += int(values[1])
    return heard, intervals


def read_table(path):
    if open(path, "rb").read(3) != b"\xef\xbb\xbf":
        fail("the table has no byte order mark")
    blocks = open(path, encoding="utf-8-sig", newline="").read().split("\r\n\r\n")
    rows = [line.split(";") for line in blocks[0].splitlines()[1:]]
    histogram = {line.split(";")[0]: int(line.split(";")[1]) for line in blocks[1].splitlines()[1:]}
    n, mean = [line.split(";")[1] for line in blocks[2].splitlines()]
    return rows, histogram, int(n), mean


def main(wav_path, onsets_path, log_path, table_path):
    with wave.open(wav_path) as recording:
        rate, period = recording.getframerate(), recording.getnframes() / recording.getframerate()
    onsets = [int(line) / rate for line in open(onsets_path)]
    heard, intervals = read_log(log_path)
    # The recording as the stream may have heard it, looped, up to the end of the log.
    loops = int(heard[-1] // period) + 2
    known = [loop * period + t for loop in range(-loops, loops) for t in onsets]

    def lag(t, shift):   # after the recording's click nearest to t (negative: before it)
        k = bisect.bisect_left(known, t - shift)
        return min((t - shift - known[j] for j in (k - 1, k) if 0 <= j < len(known)), key=abs)

    def fits(t, shift):
        return abs(lag(t, shift)) <= LATE

    def follow(clicks, shift):   # each click's shift, from one that fits `shift` on
        shifts = []
        for i, t in enumerate(clicks):
            if not fits(t, shift):   # the nearest new shift, which the next click keeps or undoes
                later = clicks[i + 1:i + 2]
                shift = min((t - k for k in known if abs(t - k - shift) <= GLITCH
                             and all(fits(u, t - k) or fits(u, shift) for u in later)),
                            key=lambda new: abs(new - shift), default=None)
                if shift is None:
                    fail(f"a click counted at {t:.4f} s of the stream is none of the recording's")
            shifts.append(shift)
        return shifts

    # The shift most of the first clicks agree on, followed from there both ways.
    start = max((t - k for t in heard[:8] for k in known), key=lambda s: sum(fits(t, s) for t in heard[:16]))
    anchor = next(i for i, t in enumerate(heard) if fits(t, start))
    shifts = (follow(heard[anchor - 1::-1], start)[::-1] if anchor else []) + follow(heard[anchor:], start)
    # However the stream slipped, each click counted is a click of its own in the recording.
    matches = [bisect.bisect_left(known, t - shift - LATE) for t, shift in zip(heard, shifts)]
    if any(later <= earlier for earlier, later in zip(matches, matches[1:])):
        fail("two clicks counted for one of the recording's")
    # [first click, last click, shift] of each stretch the stream kept in step
    pieces = [[run[0][0], run[-1][0], shift] for shift, run in
              ((shift, list(run)) for shift, run in itertools.groupby(zip(heard, shifts), key=lambda p: p[1]))]
    # Each stretch's shift by its earliest click: every click then counts 0 to 2 ms after its onset.
    for piece in pieces:
        lags = [lag(t, piece[2]) for t in heard if piece[0] <= t <= piece[1]]
        if max(lags) - min(lags) > LATE:
            fail(f"clicks counted from {piece[0]:.4f} s of the stream differ by {max(lags) - min(lags):.4f} s in lateness")
        piece[2] += min(lags)
    if len(pieces) - 1 > (heard[-1] - heard[0]) / 10:
        fail(f"the stream slipped {len(pieces) - 1} times against the recording")
    expected = sorted(k + s for first, last, s in pieces for k in known if first - LATE < k + s <= last)
    if max(b - a for a, b in zip(expected, expected[1:])) < 2:
        fail("the run heard neither the recording's silence nor its noise")
    alone = [k for before, k in zip([-1.0] + expected, expected) if k - before > MERGED]
    for k in alone:
        i = bisect.bisect_left(heard, k - 1e-6)   # a microsecond for rounding
        if i == len(heard) or heard[i] - k > LATE:
            fail(f"the recording's click at {k:.4f} s of the stream was not counted")

    rows, histogram, n, mean = read_table(table_path)
    counts = [int(row[1]) for row in rows]
    if not counts or len(counts) > len(intervals) or any(row[2] != "Zählrohr" for row in rows):
        fail(f"{len(counts)} rows from {set(row[2] for row in rows)} in the table, {len(intervals)} intervals in the log")
    for number, (count, interval) in enumerate(zip(counts, intervals[-len(counts):]), 1):
        inside = [k for k in expected if interval["from"] < k <= interval["to"]]
        sure = [k for k in alone if interval["from"] + STEP < k <= interval["to"] - STEP]
        if not (count == interval["taken"] and len(sure) <= count <= len(inside)):
            fail(f"interval {number}: {count} counted, {interval['taken']} taken, {len(sure)} to {len(inside)} known")
    if n != len(counts) or any(histogram.get(str(k), 0) != counts.count(k) for k in range(max(counts) + 1)):
        fail(f"the histogram or n={n} does not follow from the rows {counts}")
    if abs(float(mean.replace(",", ".")) - sum(counts) / n) > 0.05 + 1e-9:
        fail(f"mean {mean} for the rows {counts}")
    print(f"counter run: {len(counts)} intervals {counts}, n={n}, mean {mean}, {len(heard)} clicks all known,"
          f" {len(pieces) - 1} glitches")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
