"""Axolite from Python: the engine of axolite-cli with NumPy arrays.

check, run, explain, train, study, netgen and plot call the same engine functions as the
commands of the same names of ``axolite-cli`` and give the same numbers as its ``--json``
output. Failures raise :class:`Error` with the program's own Russian message; a long
computation releases the GIL and stops at Ctrl+C (KeyboardInterrupt), and can report its
percentage to a ``progress`` function.

A description (``source``) is a file path (``str`` or ``os.PathLike``) or its text: a ``str``
holding a line break or a ``;`` is text, as are ``bytes`` (UTF-8 or code page 1251).
"""

import os as _os

from . import _axolite
from ._axolite import CheckError, Error

__all__ = [
    "Error", "CheckError", "Result", "CheckResult", "RunResult", "TrainResult", "StudyResult",
    "check", "run", "explain", "train", "study", "netgen", "plot", "draw_graphs",
    "series_colour", "__version__",
]

__version__ = _axolite.version

FAMILIES = ("network", "rk", "exact")


def _handle_array(method, doc):
    """A property: the array that the result's handle gives by `method`."""
    return property(lambda self: getattr(self._handle, method)(), doc=doc)


class Result:
    """The tool's JSON result as an object: every member is an attribute (``r.steps``) and an
    item (``r["steps"]``); ``data`` is the whole dict."""

    def __init__(self, data):
        self.data = data

    def __getattr__(self, name):
        try:
            return self.__dict__["data"][name]
        except KeyError:
            raise AttributeError(name) from None

    def __getitem__(self, name):
        return self.data[name]

    def __dir__(self):
        return sorted(set(super().__dir__()) | set(self.data))

    def __repr__(self):
        shown = ", ".join(f"{k}={v!r}" for k, v in self.data.items()
                          if not isinstance(v, (list, dict)))
        return f"{type(self).__name__}({shown})"


class CheckResult(Result):
    """The check of a description, as ``axolite-cli check --json`` gives it: ``correct``,
    ``abandoned``, ``lines``, ``errors``, ``warnings``, ``rows`` (dicts of kind, line, text),
    ``messages``, ``neurons``, ``t0``, ``t1``, ``h``, ``inputlayer``, ``outputs``,
    ``initstate_count``."""


class Series:
    """The three families of series of a run, each a read-only steps × outputs float64 array,
    or None when the run has none: ``network`` (the output activity y1..yn), ``rk`` (the
    Runge-Kutta solution) and ``exact`` (the exact values). A column the family lacks is NaN."""

    def __init__(self, handle):
        self.network = handle.series(0)
        self.rk = handle.series(1)
        self.exact = handle.series(2)

    def __iter__(self):
        return iter((self.network, self.rk, self.exact))

    def __repr__(self):
        shapes = {f: (a.shape if a is not None else None)
                  for f, a in zip(FAMILIES, self)}
        return f"Series({shapes})"


class RunResult(Result):
    """A simulated description, with the numbers of ``axolite-cli run --json --series``.

    From the tool's JSON: ``correct``, ``rows``, ``messages``, ``neurons``, ``t0``, ``t1``,
    ``h``, ``steps``, ``counters``, ``outputs_present``, ``stats`` and, with a reference
    option, ``exact_present``, ``rk_present``, ``network_error``, ``rk_error``,
    ``exact_stats``, ``rk_stats``, ``stage_counters``.

    Arrays (read-only; they stay valid after the result is gone):

    - ``series``: :class:`Series` (network, rk, exact; steps × outputs);
    - ``x``: the time of every step, t0 + i·h;
    - ``activity`` and ``external_input``: every neuron over the run (steps × neurons), views
      over the engine's own memory, not copies;
    - ``column(family, k)``: series yk (1..4) of "network", "rk" or "exact" as a view over the
      engine's memory, or None.
    """

    def __init__(self, data, handle):
        super().__init__(data)
        self._handle = handle
        self._series = None

    @property
    def series(self):
        if self._series is None:
            self._series = Series(self._handle)
        return self._series

    x = _handle_array("x", "The time of every step, t0 + i·h.")
    activity = _handle_array("activity", "Every neuron's activity, steps × neurons (a view).")
    external_input = _handle_array("external_input",
                                   "Every neuron's external input, steps × neurons (a view).")

    def column(self, family, k):
        """Series yk (k = 1..4) of the family ("network", "rk" or "exact") over the engine's
        memory, or None when absent."""
        return self._handle.column(FAMILIES.index(family), k - 1)

    def explain(self, neuron, step):
        """The value of ``neuron`` (from 1) at ``step`` (from 0) explained with the engine's
        own numbers, as ``axolite-cli explain --json`` gives it. Raises Error for a neuron or
        step outside the run."""
        return Result(self._handle.explain(neuron, step))

    def plot(self, path=None, **options):
        """The picture of this run; see :func:`plot`."""
        return plot(self, path, **options)


class TrainResult(Result):
    """A trained layered network, with the numbers of ``axolite-cli train --json``:
    ``method``, ``iterations_done``, ``last_pattern``, ``norm``, ``norm_text``, ``percent``,
    ``interrupted``, ``stopped_at_local_minimum``, ``rows`` (input, target, response, error,
    marker per pattern), ``probes``, ``messages`` and, with ``mse=True``, ``mse`` and
    ``mse_per_iteration``.

    Arrays (read-only): ``norms`` (float32, the norm after every iteration), ``errors``
    (float64, the mean squared error after every iteration, with ``mse=True``),
    ``responses`` (patterns × outputs), ``weights`` (one layers × previous-layer float32
    array per layer after the input layer) and ``biases`` (one per layer).
    """

    def __init__(self, data, handle):
        super().__init__(data)
        self._handle = handle

    norms = _handle_array("norms", "The norm after every iteration (float32).")
    errors = _handle_array("errors", "The mean squared error after every iteration (mse=True).")

    @property
    def responses(self):
        import numpy
        rows = [row["response"] for row in self.data["rows"]]
        array = numpy.array(rows, dtype=numpy.float32).reshape(len(rows), -1)
        array.setflags(write=False)
        return array

    @property
    def weights(self):
        return [self._handle.weights(layer) for layer in range(1, self._handle.layer_count())]

    @property
    def biases(self):
        return [self._handle.biases(layer) for layer in range(self._handle.layer_count())]

    def investigate(self, inputs):
        """The trained network's response to the inputs (the network is not changed)."""
        return self._handle.investigate([float(v) for v in inputs])

    def write_net(self, path):
        """Writes the trained network as a description (.net) and its model files (.neu)
        beside it, as ``axolite-cli train --write-net`` does."""
        self._handle.write_net(_os.fspath(path))


class StudyResult(Result):
    """The step-size study, as ``axolite-cli study --json`` gives it: ``against`` ("exact" or
    "rk"), ``rows`` (h, steps, network_error, rk_error, network_order, rk_order; None where
    the study has no value) and ``note``. The columns as arrays: ``h``, ``network_error``,
    ``rk_error`` (NaN for None)."""

    def _column(self, name):
        import numpy
        values = [numpy.nan if row[name] is None else row[name] for row in self.data["rows"]]
        return numpy.array(values, dtype=float)

    h = property(lambda self: self._column("h"), doc="The step of every row.")
    network_error = property(lambda self: self._column("network_error"),
                             doc="The network's error of every row (NaN where none).")
    rk_error = property(lambda self: self._column("rk_error"),
                        doc="The Runge-Kutta error of every row (NaN where none).")


def _source(source):
    """(path, text) of a description given as a path or as its text."""
    if isinstance(source, bytes):
        return None, source
    if isinstance(source, str) and ("\n" in source or ";" in source):
        return None, source.encode("utf-8")
    return _os.fsdecode(_os.fspath(source)), None


def _assignments(name, mapping):
    """{N: "FORMULA"} as the tool's "N=FORMULA" items."""
    if mapping is None:
        return []
    if not isinstance(mapping, dict):
        raise TypeError(f"{name}: a dict {{number: formula}}")
    return [f"{k}={v}" for k, v in mapping.items()]


def _number_text(value):
    return value if isinstance(value, str) else repr(float(value))


def _system(rk):
    """The system as the tool's text "a1 b1 c1 d1 e1; a2 ...", from a text or from rows."""
    if rk is None:
        return ""
    if isinstance(rk, str):
        return rk
    return "; ".join(" ".join(_number_text(v) for v in row) for row in rk)


def _values(values):
    if values is None:
        return ""
    if isinstance(values, str):
        return values
    return " ".join(_number_text(v) for v in values)


def _path(path):
    return "" if path is None else _os.fsdecode(_os.fspath(path))


def _options(options_type, /, **fields):
    """The tool's options of a command, filled from the fields."""
    options = options_type()
    for name, value in fields.items():
        setattr(options, name, value)
    return options


def check(source):
    """Checks a description as the check window does.

    source: the path of a .net file or the description's text.

    Returns a :class:`CheckResult` (``correct``, ``rows`` of kind, line and text, the counts
    and the record's fields); an incorrect description is a result, not an exception. Raises
    Error when the file cannot be read.
    """
    path, text = _source(source)
    return CheckResult(_axolite._check(path, text))


def run(source, *, models=None, activate=None, exact=None, rk=None, rk_init=None,
        ptn_exact=None, ptn_rk=None, ptn_inputs=None, progress=None):
    """Checks and simulates a description, then computes the reference solutions asked for.

    source: the path of a .net file or the description's text.
    models: folder of the neuron models (.neu); by default the current folder, then the
        description's folder and its "models" folder.
    activate: {input neuron: formula of x}, the input layer's activation functions
        (neurons not named get 0), e.g. {1: "sin(x)"}.
    exact: {k: formula of x}, the exact dependency yk (k = 1..4), e.g. {1: "sin(x)"}.
    rk: the linear system of the Runge-Kutta solution, "a1 b1 c1 d1 e1; a2 ...; ..." or rows
        of numbers [[a1, b1, c1, d1, e1], ...].
    rk_init: the initial values "y1 y2 ..." or a sequence of numbers.
    ptn_exact, ptn_rk, ptn_inputs: pattern files (.ptn) to write of the exact values, the
        Runge-Kutta solution and the input activations.
    progress: a function called with the percentage (0..100) while the run goes on; an
        exception it raises stops the run and comes out of this call.

    Returns a :class:`RunResult`. Raises CheckError when the check does not accept the
    description, Error with the system's message when the run is refused (a model file
    missing, too many steps, a formula that is no formula), ValueError for an argument the
    tool would refuse, and KeyboardInterrupt at Ctrl+C.
    """
    path, text = _source(source)
    options = _options(
        _axolite._ReferenceOptions, activate=_assignments("activate", activate),
        exact=_assignments("exact", exact), rk=_system(rk), rk_init=_values(rk_init),
        ptn_exact=_path(ptn_exact), ptn_rk=_path(ptn_rk), ptn_inputs=_path(ptn_inputs))
    data, handle = _axolite._run(path, text, _path(models), options, progress)
    return RunResult(data, handle)


def explain(source, neuron, step, **run_options):
    """Runs the description as :func:`run` does (same keyword arguments) and explains the
    value of ``neuron`` (from 1) at ``step`` (from 0), as ``axolite-cli explain --json``."""
    return run(source, **run_options).explain(neuron, step)


def train(*, input, patterns, iterations, target=None, input_layer=1, hidden=None,
          hidden_kind="sigmoid", output_layer=1, method="online", rate=0.25,
          local_minimum="stop", seed=None, probes=(), mse=False, progress=None):
    """Forms a layered network and trains it on pattern files, as ``axolite-cli train``.

    input: the input pattern file (.ptn).
    target: the target pattern file, for the back-propagation methods.
    patterns: the number of patterns P.
    iterations: the number of iterations T.
    input_layer, output_layer: the neurons of the layer, N or "N:kind" (kind linear, step,
        sigmoid or gaussian).
    hidden: the hidden layers, "n/e,n/e,..." (neurons/ensembles) or a list of n or (n, e).
    hidden_kind: "linear" or "sigmoid".
    method: "online", "randomized", "hebbian" or "competitive".
    rate: the learning rate (read as the dialog reads its field).
    local_minimum: at a local minimum "stop" (answer Yes), "continue" (No) or "off".
    seed: the generator's seed (default: the current time in seconds).
    probes: input vectors to investigate the trained network on.
    mse: also compute the mean squared error after every iteration.
    progress: a function called with the percentage (0..100).

    Returns a :class:`TrainResult`. Raises Error when the training refuses to start (its
    message), ValueError for an argument the tool would refuse, KeyboardInterrupt at Ctrl+C.
    """
    if hidden is None:
        hidden_text = ""
    elif isinstance(hidden, str):
        hidden_text = hidden
    else:
        hidden_text = ",".join(
            f"{h[0]}/{h[1]}" if isinstance(h, (tuple, list)) else str(h) for h in hidden)
    options = _options(
        _axolite._TrainOptions, input=_path(input), target=_path(target), patterns=str(patterns),
        input_layer=str(input_layer), hidden=hidden_text, hidden_kind=hidden_kind,
        output_layer=str(output_layer), method=method, iterations=str(iterations),
        rate=str(rate), local_minimum=local_minimum, seed=seed,
        probes=[_values(p) for p in probes], mse=bool(mse))
    data, handle = _axolite._train(options, progress)
    return TrainResult(data, handle)


def _simtime(simtime):
    return simtime if isinstance(simtime, str) else ",".join(_number_text(v) for v in simtime)


def study(*, rk, simtime, timestep, halvings, rk_init=None, exact=None, progress=None):
    """The step-size study of a linear system, as ``axolite-cli study --json``: the Euler
    network and the Runge-Kutta solution on the grid of ``timestep``, then of each halving
    of it, with their errors and observed orders.

    rk, rk_init: the system and its initial values (see :func:`run`).
    simtime: the interval, "T0,T1" or (t0, t1).
    timestep: the first step h.
    halvings: how many times h is halved (0..60).
    exact: {k: formula}, the exact solution yk; without it the network is measured against
        the Runge-Kutta solution.

    Returns a :class:`StudyResult`.
    """
    return StudyResult(_axolite._study(
        _system(rk), _values(rk_init), _simtime(simtime), float(timestep),
        _assignments("exact", exact), int(halvings), progress))


def netgen(*, rk, simtime, timestep, out, rk_init=None, models=None):
    """Writes the Euler network of a linear system as a description (``out``, .net) and its
    model file (into ``models``, by default beside the description), as ``axolite-cli
    netgen``."""
    _axolite._netgen(_system(rk), _values(rk_init), _simtime(simtime), float(timestep),
                     _path(out), _path(models))


_PLOT_CHOICES = {
    "grid_size": (0, 40, 30, 20, 10),
    "height": (100, 80, 60, 40),
    "spacing": (1, 4, 8, 16),
    "kind": ("graphs", "dynamics"),
}


def plot(run_or_source, path=None, *, format=None, kind="graphs", grid=False, no_grid=False,
         grid_size=0, height=100, spacing=1, stretch=False, from_step=0, curves=None,
         final=False, step=-1, no_marking=False, ratio=1.0, **run_options):
    """Draws the graphs view or the dynamics view of a run, as ``axolite-cli plot``.

    run_or_source: a :class:`RunResult`, or a description to run first (with the keyword
        arguments of :func:`run`).
    path: write the picture to this file (through the program's safe writer); its suffix
        .svg or .png chooses the format. Without it the picture's bytes are returned.
    format: "png" (the default) or "svg".
    kind: "graphs" or "dynamics".
    Graphs: grid, grid_size (40, 30, 20, 10), height (100, 80, 60, 40 %), spacing (1, 4, 8,
        16), stretch, from_step (the first step shown), curves (e.g. ["y1", "exact1"]).
    Dynamics: no_grid, final (the final values), step (the columns at this step),
        no_marking.
    ratio: the device pixel ratio of a PNG picture (1 to 4).

    Returns the PNG or SVG bytes (also when a file is written).
    """
    result = run_or_source if isinstance(run_or_source, RunResult) else run(
        run_or_source, **run_options)
    for name, allowed in _PLOT_CHOICES.items():
        value = locals()[name]
        if value not in allowed:
            raise ValueError(f"{name}: one of {allowed}, not {value!r}")
    if not 1.0 <= ratio <= 4.0:
        raise ValueError(f"ratio: a number from 1 to 4, not {ratio!r}")
    if from_step < 0 or step < -1:
        raise ValueError("a step may not be negative")
    if format is None:
        format = "svg" if path is not None and str(path).lower().endswith(".svg") else "png"
    if format not in ("png", "svg"):
        raise ValueError(f"format: 'png' or 'svg', not {format!r}")
    options = _options(
        _axolite._PlotOptions, kind=kind, grid=grid, no_grid=no_grid, grid_size=grid_size,
        height=height, spacing=spacing, stretch=stretch, from_step=from_step,
        curves=list(curves or []), final=final, step=step, no_marking=no_marking,
        ratio=float(ratio))
    data = _axolite._picture(result._handle, options, format)
    if path is not None:
        _axolite._write_file(_path(path), data)
    return data


def series_colour(family, k):
    """The colour (r, g, b; 0..255) of series yk (1..4) of "network", "rk" or "exact" in
    the graphs view."""
    return _axolite._series_colour(FAMILIES.index(family), k - 1)


def draw_graphs(result, ax=None, curves=None):
    """Draws the curves of the graphs view with matplotlib, in the view's colours.

    result: a :class:`RunResult`.
    ax: the axes to draw on (default: the current axes).
    curves: the curves drawn, e.g. ["y1", "exact1"]; by default every present series.

    Returns the axes.
    """
    import matplotlib.pyplot as plt

    ax = ax if ax is not None else plt.gca()
    names = {"network": "y", "rk": "rk", "exact": "exact"}
    for family, series in zip(FAMILIES, result.series):
        if series is None:
            continue
        for k in range(series.shape[1]):
            name = f"{names[family]}{k + 1}"
            column = result.column(family, k + 1)
            if column is None or (curves is not None and name not in curves):
                continue
            r, g, b = series_colour(family, k + 1)
            ax.plot(result.x[:len(column)], column, color=(r / 255, g / 255, b / 255),
                    label=name)
    ax.set_xlabel("x")
    ax.legend()
    return ax
