#!/usr/bin/python3
"""What the axolite module costs over the engine it calls.

1. A run of 196 neurons (dense connections) over 20,000 steps: the time of axolite.run seen
   from Python against the time the engine's stages took inside it (lexer, check, preparation,
   simulation); the module's cost is the rest (reading the file, the result's objects, the GIL).
2. A sweep of 1,000 small runs (10 neurons, 1,000 steps): axolite.run in one process against
   starting axolite-cli 1,000 times.

Usage: PYTHONPATH=build/python /usr/bin/python3 bench/python_overhead.py [BUILD_DIR]
"""

import random
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import axolite


def dense_description(neurons, steps, seed=1):
    rng = random.Random(seed)
    lines = [f"neurons {neurons};", f"simtime 0, {steps};", "timestep 1;",
             "outputlayer { neuron 1, weight 1; }", "initstate {"]
    lines += [f"neuron {j + 1}, {rng.uniform(-1, 1)!r};" for j in range(neurons)]
    lines += ["}", "networklayout {"]
    scale = 1.0 / neurons
    lines += [f"neuron {k + 1}, neuron {j + 1}, weight {rng.uniform(-scale, scale)!r};"
              for k in range(neurons) for j in range(neurons)]
    lines += ["}", "end"]
    return "\n".join(lines) + "\n"


def large_run(folder, repetitions=5):
    path = folder / "dense196.net"
    path.write_text(dense_description(196, 20000))
    axolite.run(path, models=folder)  # warm the file cache and the allocator
    ratios = []
    for _ in range(repetitions):
        started = time.perf_counter()
        result = axolite.run(path, models=folder)
        wall = time.perf_counter() - started
        ratios.append((wall, result._handle.engine_seconds))
    wall, engine = min(ratios)
    print(f"196 neurons, 20000 steps: module {wall * 1e3:.1f} ms, engine {engine * 1e3:.1f} ms, "
          f"module's cost {(wall / engine - 1) * 100:+.2f} % (best of {repetitions})")


def sweep(folder, cli, runs=1000):
    path = folder / "small10.net"
    path.write_text(dense_description(10, 1000, seed=2))
    started = time.perf_counter()
    for _ in range(runs):
        axolite.run(path, models=folder).series.network
    module = time.perf_counter() - started
    started = time.perf_counter()
    for _ in range(runs):
        subprocess.run([cli, "run", str(path), "--models", str(folder), "--json", "--series"],
                       check=True, stdout=subprocess.DEVNULL)
    tool = time.perf_counter() - started
    print(f"{runs} runs of 10 neurons, 1000 steps: module {module:.2f} s, "
          f"axolite-cli started {runs} times {tool:.2f} s, {tool / module:.1f}x faster")


def main():
    build = Path(sys.argv[1] if len(sys.argv) > 1 else "build")
    cli = build / "src" / "cli" / "axolite-cli"
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        # Model 0, every neuron's: the sigmoid Y1 = 10, X1 = -10 (section name in code page 1251).
        (folder / "0.neu").write_bytes(
            b"[\xcb\xe8\xed\xe5\xe9\xed\xe0\xff]\r\nID=0\r\nY1=10\r\nX1=-10\r\nXt=0\r\n")
        large_run(folder)
        sweep(folder, cli)


if __name__ == "__main__":
    main()
