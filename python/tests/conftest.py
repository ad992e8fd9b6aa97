"""What the tests of the axolite module share: the tool to compare with, the examples."""

import json
import os
import subprocess
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("AXOLITE_SOURCE_DIR", Path(__file__).resolve().parents[2]))
EXAMPLES = SOURCE / "examples"
MODELS = EXAMPLES / "models"
CLI = os.environ.get("AXOLITE_CLI", str(SOURCE / "build" / "src" / "cli" / "axolite-cli"))


def cli(*arguments, expect=0):
    """Runs axolite-cli with the arguments; its JSON output parsed."""
    done = subprocess.run([CLI, *map(str, arguments)], capture_output=True, text=True)
    assert expect is None or done.returncode == expect, done.stdout + done.stderr
    return json.loads(done.stdout) if "--json" in arguments else done.stdout


def ring_text(neurons, steps, chords=1):
    """A ring of linear neurons with a chord every `chords` neurons: as large as a test needs."""
    lines = [f"neurons {neurons};", f"simtime 0, {steps * 0.001:g};", "timestep 0.001;",
             "initstate { neuron 1, 1; }", "outputlayer { neuron 1, weight 1; }",
             "networklayout {"]
    for n in range(1, neurons + 1):
        lines.append(f"  neuron {n}, neuron {n % neurons + 1}, weight 0.5;")
        for c in range(1, chords):
            lines.append(f"  neuron {n}, neuron {(n + c * 7) % neurons + 1}, weight 0.001;")
    lines.append("}")
    return "\n".join(lines) + "\n"


@pytest.fixture
def in_tmp(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    return tmp_path
