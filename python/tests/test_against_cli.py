"""Every function of the module gives the numbers of axolite-cli --json, bit for bit."""

import math

import numpy as np
import pytest

import axolite
from conftest import EXAMPLES, MODELS, cli

DESCRIPTIONS = sorted(EXAMPLES.glob("*.net")) + sorted((EXAMPLES / "errors").glob("*.net"))


def same(module_value, tool_value):
    """Equal, floats exactly (NaN equal to NaN, the tool writing it as "nan")."""
    if isinstance(tool_value, dict):
        return module_value.keys() == tool_value.keys() and all(
            same(module_value[k], tool_value[k]) for k in tool_value)
    if isinstance(tool_value, list):
        return len(module_value) == len(tool_value) and all(
            same(m, t) for m, t in zip(module_value, tool_value))
    if isinstance(tool_value, str) and tool_value in ("nan", "inf", "-inf"):
        return module_value == float(tool_value) or (
            tool_value == "nan" and isinstance(module_value, float) and math.isnan(module_value))
    return type(module_value) is type(tool_value) and module_value == tool_value


@pytest.mark.parametrize("path", DESCRIPTIONS, ids=lambda p: p.name)
def test_check_gives_the_tools_result(path):
    assert same(axolite.check(path).data, cli("check", path, "--json", expect=None))


def test_check_of_a_text_is_the_check_of_its_file():
    path = EXAMPLES / "ring.net"
    assert axolite.check(path.read_text(encoding="utf-8")).data == axolite.check(path).data


@pytest.mark.parametrize("name", ["ring.net", "oscillator.net", "transfer_kinds.net",
                                  "wait_counts.net", "two_neurons.net", "minimal.net"])
def test_run_gives_the_tools_numbers_and_series(name):
    tool = cli("run", EXAMPLES / name, "--models", MODELS, "--json", "--series")
    result = axolite.run(EXAMPLES / name, models=MODELS)
    series = tool.pop("series")
    assert same(result.data, tool)
    network = result.series.network
    assert network.shape == (tool["steps"], len(series))
    for k, values in enumerate(series):
        assert network[:, k].tolist() == values
        assert result.column("network", k + 1).tolist() == values


def test_run_with_reference_solutions_gives_the_tools_estimates():
    options = ["--exact", "1=sin(x)", "--exact", "2=cos(x)", "--rk", "0 1 0 0 0; -1 0 0 0 0",
               "--rk-init", "0 1"]
    tool = cli("run", EXAMPLES / "oscillator.net", "--models", MODELS, *options, "--json")
    result = axolite.run(EXAMPLES / "oscillator.net", models=MODELS,
                         exact={1: "sin(x)", 2: "cos(x)"}, rk=[[0, 1, 0, 0, 0], [-1, 0, 0, 0, 0]],
                         rk_init=[0, 1])
    assert same(result.data, tool)
    assert result.network_error == tool["network_error"]
    x = result.x
    assert x[1] == result.t0 + 1 * result.h
    np.testing.assert_array_equal(result.series.exact[:, 0], np.sin(x))
    assert result.series.rk.shape == result.series.network.shape


def test_input_activation_matches_the_tools_run(in_tmp):
    tool = cli("run", EXAMPLES / "ring.net", "--models", MODELS, "--activate", "1=sin(x)",
               "--ptn-inputs", in_tmp / "tool.ptn", "--json", "--series")
    result = axolite.run(EXAMPLES / "ring.net", models=MODELS, activate={1: "sin(x)"},
                         ptn_inputs=in_tmp / "module.ptn")
    assert result.series.network.T.tolist() == tool.pop("series")
    assert same(result.data, tool)
    assert (in_tmp / "module.ptn").read_bytes() == (in_tmp / "tool.ptn").read_bytes()
    assert result.external_input[:, 0].tolist() == [math.sin(v) for v in result.x]


def test_explain_gives_the_tools_explanation():
    tool = cli("explain", EXAMPLES / "ring.net", "--models", MODELS, "--neuron", 5, "--step", 40,
               "--json")
    result = axolite.explain(EXAMPLES / "ring.net", 5, 40, models=MODELS)
    assert same(result.data, tool)
    run = axolite.run(EXAMPLES / "ring.net", models=MODELS)
    assert run.activity[40, 4] == tool["value"]


XOR = ["--input", EXAMPLES / "xor_input.ptn", "--target", EXAMPLES / "xor_target.ptn",
       "--patterns", 4, "--input-layer", 2, "--hidden", 4, "--output-layer", "1:sigmoid",
       "--rate", 0.5, "--seed", 1, "--iterations", 3000, "--mse", "--probe", "1 0"]


def xor(**options):
    return axolite.train(input=EXAMPLES / "xor_input.ptn", target=EXAMPLES / "xor_target.ptn",
                         patterns=4, input_layer=2, hidden=[4], output_layer="1:sigmoid",
                         rate=0.5, seed=1, iterations=3000, mse=True, probes=[[1, 0]], **options)


def test_train_gives_the_tools_rows_and_errors(in_tmp):
    tool = cli("train", *XOR, "--write-net", in_tmp / "tool.net", "--json")
    result = xor()
    assert same(result.data, tool)
    assert result.errors.tolist() == tool["mse_per_iteration"]
    assert result.responses[:, 0].tolist() == [row["response"][0] for row in tool["rows"]]
    assert result.investigate([1, 0]).tolist() == tool["probes"][0]["response"]
    (in_tmp / "module").mkdir()
    result.write_net(in_tmp / "module" / "tool.net")
    assert (in_tmp / "module" / "tool.net").read_bytes() == (in_tmp / "tool.net").read_bytes()


def test_trained_arrays_have_the_networks_shape():
    result = xor()
    assert [w.shape for w in result.weights] == [(4, 2), (1, 4)]
    assert [b.shape for b in result.biases] == [(2,), (4,), (1,)]
    # The norm is computed for networks with as many inputs as outputs.
    sine = axolite.train(input=EXAMPLES / "sine_input.ptn", target=EXAMPLES / "sine_target.ptn",
                         patterns=10, hidden=[4], iterations=50, seed=3)
    assert sine.norms.dtype == np.float32 and sine.norms.shape == (sine.iterations_done,)
    assert float(sine.norms[-1]) == sine.norm


@pytest.mark.parametrize("exact", [None, {1: "exp(-x)"}])
def test_study_gives_the_tools_table(exact):
    arguments = ["study", "--rk", "-1", "--rk-init", "1", "--simtime", "0,2", "--timestep", 0.1,
                 "--halvings", 4, "--json"]
    if exact:
        arguments += ["--exact", "1=exp(-x)"]
    result = axolite.study(rk="-1", rk_init=[1], simtime=(0, 2), timestep=0.1, halvings=4,
                           exact=exact)
    assert same(result.data, cli(*arguments))
    assert len(result.h) == 5


def test_netgen_writes_the_tools_files(in_tmp):
    arguments = dict(rk="0 1 0 0 0; -1 0 0 0 0", rk_init="0 1", simtime="0,10", timestep=0.01)
    (in_tmp / "tool").mkdir()
    (in_tmp / "module").mkdir()
    cli("netgen", "--rk", arguments["rk"], "--rk-init", "0 1", "--simtime", "0,10",
        "--timestep", 0.01, "--out", in_tmp / "tool" / "euler.net")
    axolite.netgen(out=in_tmp / "module" / "euler.net", **arguments)
    for name in ("euler.net", *[p.name for p in (in_tmp / "tool").glob("*.neu")]):
        assert (in_tmp / "module" / name).read_bytes() == (in_tmp / "tool" / name).read_bytes()


@pytest.mark.parametrize("kind, options, tool_options", [
    ("graphs", dict(grid=True, curves=["y1", "y4"]), ["--grid", "--curves", "y1,y4"]),
    ("dynamics", dict(step=100), ["--step", 100]),
])
def test_plot_draws_the_tools_picture(in_tmp, kind, options, tool_options):
    cli("plot", EXAMPLES / "ring.net", "--models", MODELS, "--kind", kind, *tool_options,
        "--png", in_tmp / "tool.png")
    run = axolite.run(EXAMPLES / "ring.net", models=MODELS)
    picture = axolite.plot(run, in_tmp / "module.png", kind=kind, **options)
    assert picture[:8] == b"\x89PNG\r\n\x1a\n"
    assert (in_tmp / "module.png").read_bytes() == (in_tmp / "tool.png").read_bytes() == picture
    assert axolite.plot(run, format="svg", kind=kind, **options).startswith(b"<?xml")
