"""Builds vantrel._core with CMake (python/CMakeLists.txt) against an installed Vantrel.

CMake finds the library through its CMake package in the usual places (/usr/local among them)
or in CMAKE_PREFIX_PATH, from the environment. The core keeps the folder of the libraries in
its RPATH. CMAKE_BUILD_TYPE in the environment chooses another build type than Release.
"""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        source = Path(__file__).resolve().parent
        build = Path(self.build_temp).resolve() / "cmake"
        build_type = os.environ.get("CMAKE_BUILD_TYPE", "Release")
        configure = ["cmake", "-S", str(source), "-B", str(build), f"-DCMAKE_BUILD_TYPE={build_type}"]
        configure.append(f"-DPython3_EXECUTABLE={sys.executable}")
        subprocess.run(configure, check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", "2")
        subprocess.run(
            ["cmake", "--build", str(build), "--target", "vantrel_python", "-j", jobs], check=True
        )
        built = next((build / "vantrel").glob("_core*"))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    packages=["vantrel"],
    package_data={"vantrel": ["*.pyi", "py.typed"]},
    ext_modules=[Extension("vantrel._core", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    zip_safe=False,
)
