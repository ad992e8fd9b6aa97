"""The arrays of a result, the exceptions, the interruption and the memory of a long sweep."""

import gc
import os
import signal
import subprocess
import sys
import textwrap

import numpy as np
import pytest

import axolite
from conftest import EXAMPLES, MODELS, cli, ring_text


def ring():
    return axolite.run(EXAMPLES / "ring.net", models=MODELS)


def test_arrays_are_read_only_float64_of_the_runs_shape():
    result = ring()
    steps, neurons = result.steps, result.neurons
    arrays = {"network": result.series.network, "x": result.x, "activity": result.activity,
              "external_input": result.external_input, "y1": result.column("network", 1)}
    shapes = {"network": (steps, 4), "x": (steps,), "activity": (steps, neurons),
              "external_input": (steps, neurons), "y1": (steps,)}
    for name, array in arrays.items():
        assert array.dtype == np.float64, name
        assert array.shape == shapes[name], name
        assert not array.flags.writeable, name
        with pytest.raises(ValueError):
            array[0] = 1.0
    assert result.series.rk is None and result.series.exact is None
    assert result.column("rk", 1) is None


def test_histories_are_views_of_the_engines_memory_not_copies():
    result = ring()
    first, second = result.activity, result.activity
    assert first.__array_interface__["data"][0] == second.__array_interface__["data"][0]
    assert not first.flags.owndata
    y1 = result.column("network", 1)
    assert y1.__array_interface__["data"][0] == result.column("network", 1).__array_interface__[
        "data"][0]
    # Output y1 watches neuron 1 with weight 1.
    assert y1.tolist() == result.activity[:, 0].tolist()


def test_an_array_outlives_its_result():
    result = ring()
    activity, y1 = result.activity, result.column("network", 1)
    expected = activity.copy(), y1.copy()
    del result
    gc.collect()
    # New runs reuse the freed memory if the arrays did not keep theirs.
    others = [axolite.run(EXAMPLES / "ring.net", models=MODELS, activate={1: "x"})
              for _ in range(3)]
    np.testing.assert_array_equal(activity, expected[0])
    np.testing.assert_array_equal(y1, expected[1])
    assert others


def test_an_unreadable_file_raises_the_programs_message():
    with pytest.raises(axolite.Error) as raised:
        axolite.run("/nonexistent/ring.net")
    assert raised.value.text == "Невозможно прочитать файл /nonexistent/ring.net"
    assert raised.value.line is None and raised.value.kind == "error"


def test_a_description_with_errors_raises_its_first_error_and_line():
    path = EXAMPLES / "errors" / "missing_punctuation.net"
    tool = cli("check", path, "--json", expect=1)
    first = next(row for row in tool["rows"] if row["kind"] == "Ошибка")
    with pytest.raises(axolite.CheckError) as raised:
        axolite.run(path)
    error = raised.value
    assert (error.text, error.line) == (first["text"], first["line"])
    assert str(error) == f"строка {first['line']}: {first['text']}"
    assert error.rows == tool["rows"]
    assert isinstance(error, axolite.Error)


def test_refusals_carry_the_messages_the_tool_prints():
    tool = cli("run", EXAMPLES / "ring.net", "--models", MODELS, "--exact", "1=sin(", "--json",
               expect=1)
    with pytest.raises(axolite.Error) as raised:
        axolite.run(EXAMPLES / "ring.net", models=MODELS, exact={1: "sin("})
    assert raised.value.text == tool["messages"][-1]["text"]
    with pytest.raises(axolite.Error, match="Имя директории введено неверно."):
        axolite.run(EXAMPLES / "ring.net", models=EXAMPLES / "ring.net")
    with pytest.raises(ValueError, match="--activate"):
        axolite.run(EXAMPLES / "ring.net", models=MODELS, activate={7: "x"})
    with pytest.raises(ValueError, match="--method"):
        axolite.train(input=EXAMPLES / "xor_input.ptn", patterns=4, iterations=1, method="none")
    with pytest.raises(axolite.Error):
        axolite.run(EXAMPLES / "ring.net", models=MODELS).explain(99, 0)


def test_a_model_file_that_is_missing_refuses_the_run(in_tmp):
    tool = cli("run", EXAMPLES / "ring.net", "--models", in_tmp, "--json", expect=1)
    with pytest.raises(axolite.Error) as raised:
        axolite.run(EXAMPLES / "ring.net", models=in_tmp)
    assert raised.value.text == tool["messages"][-1]["text"]


def test_progress_reaches_the_callback_and_its_exception_stops_the_run():
    # Large enough to take several of the progress's visit intervals on a fast machine.
    text = ring_text(196, 60000, chords=20)
    seen = []

    def progress(percent):
        seen.append(percent)
        if len(seen) == 2:
            raise RuntimeError("stop here")

    with pytest.raises(RuntimeError, match="stop here"):
        axolite.run(text, models=MODELS, progress=progress)
    assert len(seen) == 2 and seen[-1] < 100
    # Nothing is left half done: the same run completes afterwards.
    assert axolite.run(text, models=MODELS).steps == 60000


def test_a_training_stops_when_its_progress_function_raises():
    seen = []

    def progress(percent):
        seen.append(percent)
        raise KeyboardInterrupt

    with pytest.raises(KeyboardInterrupt):
        axolite.train(input=EXAMPLES / "xor_input.ptn", target=EXAMPLES / "xor_target.ptn",
                      patterns=4, input_layer=2, hidden=[18, 18, 18], iterations=30000, seed=1,
                      progress=progress)
    assert seen[0] < 100


def test_ctrl_c_interrupts_a_long_run():
    calls = []

    def progress(percent):
        calls.append(percent)
        if len(calls) == 1:
            os.kill(os.getpid(), signal.SIGINT)

    with pytest.raises(KeyboardInterrupt):
        axolite.run(ring_text(196, 20000, chords=20), models=MODELS, progress=progress)
    assert calls[-1] < 100


def test_ctrl_c_interrupts_a_script_in_its_own_process():
    script = textwrap.dedent(f"""
        import axolite, sys
        print("started", flush=True)
        axolite.run({ring_text(196, 50000)!r}, models={str(MODELS)!r})
        print("finished")
    """)
    process = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True)
    assert process.stdout.readline() == "started\n"
    process.send_signal(signal.SIGINT)
    out, err = process.communicate(timeout=60)
    assert "KeyboardInterrupt" in err and "finished" not in out


def resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def test_a_sweep_of_a_hundred_runs_does_not_grow():
    text = ring_text(50, 2000)  # 0.8 MB of history a run
    for _ in range(10):
        axolite.run(text, models=MODELS).series.network.sum()
    gc.collect()
    before = resident_bytes()
    peaks = [float(axolite.run(text, models=MODELS).activity.max()) for _ in range(100)]
    gc.collect()
    assert len(peaks) == 100
    assert resident_bytes() - before < 8 * 2**20
