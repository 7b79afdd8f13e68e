"""How late a real counter's clicks are registered, from the program's counter log
(--zaehlrohr-protokoll FILE on the desktop; in the browser the console's "zaehlrohr: ..."
lines with #zaehlrohr&protokoll). The test e2e_lesson leaves such a log of a lesson in
build/ci/e2e-artefacts/test_lesson/counter/counter.log.

usage: python3 bench/counter_latency.py COUNTER.log

Two parts for each click a step registered: the stream heard after its onset when its block
reached the program (the input's buffer), and the time from then to the step that registers
it (the wait for the next paced step). The sound server's own capture latency comes before
both and is not in the log."""
import statistics
import sys


def summary(name, values):
    low, *_, high = statistics.quantiles(values, n=20)
    return f"{name}: median {statistics.median(values):.1f} ms, 5..95 % {low:.1f}..{high:.1f} ms, max {max(values):.1f} ms"


def main(path):
    rate, waiting, in_block, to_step, total = 0, [], [], [], []
    for line in open(path, encoding="utf-8"):
        kind, *values = line.split()
        if kind == "rate":
            rate = int(values[0])
        elif kind == "click":
            waiting.append(((int(values[1]) - int(values[0])) * 1000 / rate, float(values[2])))
        elif kind == "start":
            waiting.clear()
        elif kind == "take":
            clicks, now = int(values[1]), float(values[2])
            for age, seen in waiting[:clicks]:
                in_block.append(age)
                to_step.append(now - seen)
                total.append(age + now - seen)
            del waiting[:clicks]
    if len(total) < 2:
        sys.exit("too few registered clicks in the log")
    print(f"{len(total)} clicks registered, stream at {rate} Hz")
    for name, values in (("in the block", in_block), ("to the step", to_step), ("onset to registration", total)):
        print(summary(name, values))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
