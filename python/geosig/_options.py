"""How files are read: the CAD tessellation keywords and the worker's limits, which every reading
function takes, checked as the command line checks them."""

import math
import numbers
from dataclasses import asdict, dataclass
from typing import Optional

from . import _geosig


@dataclass(frozen=True)
class Reading:
    """The keywords of a reading function; one left at None keeps the command line's default.

    relative_deflection, deflection and angular_deflection tessellate CAD files as
    --relative-deflection, --deflection and --angular-deflection do; time_limit (seconds,
    default 120) and memory_limit (GiB, default 4) bound the worker process that reads a file,
    as --time-limit and --memory-limit do. parallel_tessellation meshes a part's faces on
    several threads; catalog runs turn it off, each of their workers being a processor's work.
    Being plain values, a Reading travels to Dask workers as it is.

    Raises ValueError for a value that is not a positive finite number, and for both deflections.
    """

    relative_deflection: Optional[float] = None
    deflection: Optional[float] = None
    angular_deflection: Optional[float] = None
    time_limit: Optional[float] = None
    memory_limit: Optional[float] = None
    parallel_tessellation: bool = True

    def __post_init__(self) -> None:
        if self.relative_deflection is not None and self.deflection is not None:
            raise ValueError("give deflection or relative_deflection, not both")
        for name, value in asdict(self).items():
            if value is None or name == "parallel_tessellation":
                continue
            if isinstance(value, bool) or not isinstance(value, numbers.Real) or \
                    not (math.isfinite(value) and value > 0):
                raise ValueError(f"{name} must be a positive number, not {value!r}")

    def options(self) -> "_geosig.ImportOptions":
        """The host's tessellation options."""
        options = _geosig.ImportOptions()
        for name in ("relative_deflection", "deflection", "angular_deflection"):
            if getattr(self, name) is not None:
                setattr(options, name, float(getattr(self, name)))
        options.parallel_tessellation = self.parallel_tessellation
        return options

    def limits(self) -> "_geosig.WorkerLimits":
        """The host's limits of a worker process."""
        limits = _geosig.WorkerLimits()
        for name in ("time_limit", "memory_limit"):
            if getattr(self, name) is not None:
                setattr(limits, name, float(getattr(self, name)))
        return limits
