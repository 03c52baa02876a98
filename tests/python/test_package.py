"""The stub agrees with the module, the README's session gives what it shows, and the package
installs into a virtual environment."""

import doctest
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).parent


def run(*command, **kwargs):
    done = subprocess.run(command, capture_output=True, text=True, **kwargs)
    assert done.returncode == 0, f"{command}:\n{done.stdout}\n{done.stderr}"
    return done.stdout


def test_stub_matches_the_module(tmp_path):
    allowlist = HERE / "stubtest_allowlist.txt"
    env = dict(os.environ, MYPY_CACHE_DIR=str(tmp_path))
    run(sys.executable, "-m", "mypy.stubtest", "vantrel", "--allowlist", str(allowlist), env=env)


def test_the_readmes_session_gives_what_it_shows(monkeypatch):
    source = Path(os.environ["VANTREL_SOURCE_DIR"])
    session = re.search(r"```python\n(.*?)```", (source / "README.md").read_text(), re.S).group(1)
    monkeypatch.chdir(source)  # the session names the example files from there
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    runner.run(doctest.DocTestParser().get_doctest(session, {}, "README.md", "README.md", 0))
    assert runner.summarize(verbose=False) == (0, session.count(">>> "))


def test_makes_a_wheel_that_installs_in_a_virtual_environment(tmp_path):
    # Against the library installed in a scratch prefix, from a copy of the package's sources,
    # offline, and imported from elsewhere than the sources.
    prefix, source = tmp_path / "prefix", tmp_path / "python"
    run("cmake", "--install", os.environ["VANTREL_BINARY_DIR"], "--prefix", str(prefix))
    ignored = shutil.ignore_patterns("build", "*.egg-info")
    shutil.copytree(Path(os.environ["VANTREL_SOURCE_DIR"]) / "python", source, ignore=ignored)
    env = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}
    env["CMAKE_PREFIX_PATH"] = str(prefix)
    env["CMAKE_BUILD_TYPE"] = "None"  # no optimisation: the test only installs and imports
    run("/usr/bin/python3", "-m", "venv", "--system-site-packages", str(tmp_path / "venv"))
    pip, python = (str(tmp_path / "venv" / "bin" / name) for name in ("pip", "python"))
    offline = ["-q", "--no-index", "--no-build-isolation"]
    run(pip, "wheel", *offline, "--no-deps", "-w", str(tmp_path / "wheels"), str(source), env=env)
    (wheel,) = (tmp_path / "wheels").glob("vantrel-0.1.0-*.whl")
    run(pip, "install", *offline, str(wheel), env=env)
    out = run(python, "-c", "import vantrel; print(vantrel.xyz_to_lab([96.42, 100, 82.49]))", cwd="/", env=env)
    assert out.split() == ["[100.", "0.", "0.]"]
