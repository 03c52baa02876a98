import numpy as np
from numpy.linalg import LinAlgError as LinAlgError
from numpy.typing import ArrayLike, NDArray

def solve(a: ArrayLike, b: ArrayLike) -> NDArray[np.floating]: ...
