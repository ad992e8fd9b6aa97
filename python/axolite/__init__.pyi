# Types of the axolite package (see help(axolite) and docs/python.md).
import os
from typing import Any, Callable, Iterator, Literal, Mapping, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

Source = Union[str, bytes, os.PathLike[str]]
PathArg = Union[str, os.PathLike[str]]
Numbers = Union[str, Sequence[float]]
System = Union[str, Sequence[Sequence[float]]]
Progress = Optional[Callable[[int], object]]
Family = Literal["network", "rk", "exact"]
FloatArray = npt.NDArray[np.float64]

__version__: str
FAMILIES: tuple[str, str, str]

class Error(Exception):
    text: str
    kind: str
    line: Optional[int]

class CheckError(Error):
    rows: list[dict[str, Any]]
    check: dict[str, Any]

class Result:
    data: dict[str, Any]
    def __init__(self, data: dict[str, Any]) -> None: ...
    def __getattr__(self, name: str) -> Any: ...
    def __getitem__(self, name: str) -> Any: ...

class CheckResult(Result):
    correct: bool
    abandoned: bool
    lines: int
    errors: int
    warnings: int
    rows: list[dict[str, Any]]
    messages: list[dict[str, str]]
    neurons: int
    t0: float
    t1: float
    h: float
    inputlayer: list[float]
    outputs: list[int]
    initstate_count: int

class Series:
    network: Optional[FloatArray]
    rk: Optional[FloatArray]
    exact: Optional[FloatArray]
    def __iter__(self) -> Iterator[Optional[FloatArray]]: ...

class RunResult(CheckResult):
    steps: int
    counters: dict[str, int]
    outputs_present: list[bool]
    stats: list[dict[str, float]]
    network_error: Optional[float]
    rk_error: Optional[float]
    @property
    def series(self) -> Series: ...
    @property
    def x(self) -> FloatArray: ...
    @property
    def activity(self) -> FloatArray: ...
    @property
    def external_input(self) -> FloatArray: ...
    def column(self, family: Family, k: int) -> Optional[FloatArray]: ...
    def explain(self, neuron: int, step: int) -> Result: ...
    def plot(self, path: Optional[PathArg] = ..., **options: Any) -> bytes: ...

class TrainResult(Result):
    method: str
    iterations_done: int
    last_pattern: int
    norm: Optional[float]
    norm_text: str
    percent: int
    interrupted: bool
    stopped_at_local_minimum: bool
    rows: list[dict[str, Any]]
    probes: list[dict[str, Any]]
    messages: list[dict[str, str]]
    @property
    def norms(self) -> npt.NDArray[np.float32]: ...
    @property
    def errors(self) -> FloatArray: ...
    @property
    def responses(self) -> npt.NDArray[np.float32]: ...
    @property
    def weights(self) -> list[npt.NDArray[np.float32]]: ...
    @property
    def biases(self) -> list[npt.NDArray[np.float32]]: ...
    def investigate(self, inputs: Sequence[float]) -> npt.NDArray[np.float32]: ...
    def write_net(self, path: PathArg) -> None: ...

class StudyResult(Result):
    against: str
    rows: list[dict[str, Any]]
    note: Optional[str]
    @property
    def h(self) -> FloatArray: ...
    @property
    def network_error(self) -> FloatArray: ...
    @property
    def rk_error(self) -> FloatArray: ...

def check(source: Source) -> CheckResult: ...
def run(source: Source, *, models: Optional[PathArg] = ...,
        activate: Optional[Mapping[int, str]] = ..., exact: Optional[Mapping[int, str]] = ...,
        rk: Optional[System] = ..., rk_init: Optional[Numbers] = ...,
        ptn_exact: Optional[PathArg] = ..., ptn_rk: Optional[PathArg] = ...,
        ptn_inputs: Optional[PathArg] = ..., progress: Progress = ...) -> RunResult: ...
def explain(source: Source, neuron: int, step: int, **run_options: Any) -> Result: ...
def train(*, input: PathArg, patterns: Union[int, str], iterations: Union[int, str],
          target: Optional[PathArg] = ..., input_layer: Union[int, str] = ...,
          hidden: Union[None, str, Sequence[Union[int, tuple[int, int]]]] = ...,
          hidden_kind: str = ..., output_layer: Union[int, str] = ..., method: str = ...,
          rate: Union[float, str] = ..., local_minimum: str = ..., seed: Optional[int] = ...,
          probes: Sequence[Numbers] = ..., mse: bool = ...,
          progress: Progress = ...) -> TrainResult: ...
def study(*, rk: System, simtime: Union[str, Sequence[float]], timestep: float, halvings: int,
          rk_init: Optional[Numbers] = ..., exact: Optional[Mapping[int, str]] = ...,
          progress: Progress = ...) -> StudyResult: ...
def netgen(*, rk: System, simtime: Union[str, Sequence[float]], timestep: float, out: PathArg,
           rk_init: Optional[Numbers] = ..., models: Optional[PathArg] = ...) -> None: ...
def plot(run_or_source: Union[RunResult, Source], path: Optional[PathArg] = ..., *,
         format: Optional[Literal["png", "svg"]] = ..., kind: Literal["graphs", "dynamics"] = ...,
         grid: bool = ..., no_grid: bool = ..., grid_size: int = ..., height: int = ...,
         spacing: int = ..., stretch: bool = ..., from_step: int = ...,
         curves: Optional[Sequence[str]] = ..., final: bool = ..., step: int = ...,
         no_marking: bool = ..., ratio: float = ..., **run_options: Any) -> bytes: ...
def series_colour(family: Family, k: int) -> tuple[int, int, int]: ...
def draw_graphs(result: RunResult, ax: Any = ..., curves: Optional[Sequence[str]] = ...) -> Any: ...
