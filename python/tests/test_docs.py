"""The notebook of docs/python.md runs as it is written, from a copy of the examples."""

import re
import shutil

import matplotlib

from conftest import EXAMPLES, SOURCE


def test_the_notebook_of_the_docs_runs(in_tmp, capsys):
    matplotlib.use("Agg")
    text = (SOURCE / "docs" / "python.md").read_text(encoding="utf-8")
    code = "\n".join(re.findall(r"```python\n(.*?)```", text, flags=re.DOTALL))
    shutil.copytree(EXAMPLES, in_tmp / "examples")
    exec(compile(code, "docs/python.md", "exec"), {})
    for picture in ("ring.png", "study.png", "xor.png"):
        assert (in_tmp / picture).read_bytes()[:4] == b"\x89PNG"
    assert "(2000, 4)" in capsys.readouterr().out
