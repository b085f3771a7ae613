"""Shape search: the signatures `geosig index` keeps, their distance, and queries of a catalog."""

import os
from typing import Any, Dict, List, Optional, Union

import numpy as np

from . import _geosig
from ._failures import catalog_error, file_error
from ._mesh import mesh_arrays
from ._options import Reading
from ._types import Mesh, PathLike

DEFAULT_SIGNATURE_DEPTH: int = _geosig.DEFAULT_SIGNATURE_DEPTH
MAX_SIGNATURE_DEPTH: int = _geosig.MAX_SIGNATURE_DEPTH


class Signature:
    """What shape search compares of a model, measured in the model's normalised pose (centred on
    its barycenter, scaled into the unit ball by its norm, turned onto its principal axes); the
    terms are the catalog's 32-bit floats. Signatures compare equal when every term and cell
    does, and pickle."""

    __slots__ = ("_native",)

    def __init__(self, native: "_geosig.ShapeSignature"):
        self._native = native

    @property
    def norm(self) -> float:
        """The model's size: the largest distance of a vertex from the barycenter, in model units."""
        return self._native.norm

    @property
    def terms(self) -> np.ndarray:
        """(17,) float32: principal values, extents, symmetry flags, area, mirror similarities,
        asymmetries and pitch (as a fraction of the norm), in the catalog's order."""
        return self._native.terms

    @property
    def principal_values(self) -> np.ndarray:
        """(3,) float32: the mean squared distance of the surface from the barycenter along each principal axis."""
        return self.terms[0:3]

    @property
    def extents(self) -> np.ndarray:
        """(3,) float32: the edges of the bounding box in the principal frame (at most 2)."""
        return self.terms[3:6]

    @property
    def symmetry(self) -> np.ndarray:
        """(3,) bool: whether the model is symmetric about the plane normal to each principal axis."""
        return self.terms[6:9] == 1

    @property
    def area(self) -> float:
        """The surface area of the normalised model."""
        return float(self.terms[9])

    @property
    def mirror_similarity(self) -> np.ndarray:
        """(3,) float32: how near the occupancy comes to its mirror image through the plane normal to
        each principal axis, as the Jaccard similarity of the occupancy grown by a cell and its
        reflection (1 for a symmetric surface)."""
        return self.terms[10:13]

    @property
    def asymmetry(self) -> np.ndarray:
        """(3,) float32: how far the surface is from symmetric about the plane normal to each
        principal axis: the surface integral of c|c| over that of c², c the coordinate along the
        axis (0 for a symmetric surface, 1 for one wholly on one side of the plane)."""
        return self.terms[13:16]

    @property
    def pitch(self) -> float:
        """The spacing of features repeated along the first principal axis (pins, terminals, fins), in
        model units; 0 where no feature repeats."""
        return float(self.terms[16]) * self.norm

    @property
    def depth(self) -> int:
        """The occupancy's depth: the cube is split 2**depth times along each axis."""
        return self._native.depth

    @property
    def occupancy(self) -> np.ndarray:
        """(n, n, n) bool, n = 2**depth, indexed [x, y, z]: the cells of the cube [-1.01, 1.01]**3
        that the normalised surface touches, cell i spanning -1.01 + i * 2.02 / n along its axis."""
        return self._native.occupancy

    def __eq__(self, other: object) -> bool:
        return isinstance(other, Signature) and self._native == other._native

    __hash__ = None  # type: ignore[assignment]

    def __reduce__(self) -> Any:
        return Signature, (self._native,)

    def __repr__(self) -> str:
        return f"Signature(norm={self.norm!r}, depth={self.depth}, cells={int(self.occupancy.sum())})"


def signature(path_or_mesh: Union[PathLike, Mesh], *, depth: int = DEFAULT_SIGNATURE_DEPTH,
              relative_deflection: Optional[float] = None, deflection: Optional[float] = None,
              angular_deflection: Optional[float] = None, time_limit: Optional[float] = None,
              memory_limit: Optional[float] = None) -> Signature:
    """The shape signature of a file, as ``geosig index`` computes it, or of a mesh given as a
    (vertices, faces) pair of arrays as describe_mesh takes them.

    depth (1 to 6) splits the occupancy cube 2**depth times a side; catalogs hold depth 5, the
    default, and only signatures of one depth can be compared. The tessellation keywords and
    the worker limits are those of describe.

    Raises OSError for a file that cannot be reached or read and ValueError for a file or arrays
    without a signature (no triangle, no area), an invalid depth or keyword.
    """
    if isinstance(depth, bool) or not isinstance(depth, (int, np.integer)) or not 1 <= depth <= MAX_SIGNATURE_DEPTH:
        raise ValueError(f"depth must be an integer from 1 to {MAX_SIGNATURE_DEPTH}, not {depth!r}")
    reading = Reading(relative_deflection, deflection, angular_deflection, time_limit, memory_limit)
    if isinstance(path_or_mesh, tuple):
        return Signature(_geosig.mesh_signature(*mesh_arrays(*path_or_mesh), int(depth)))
    path = os.fspath(path_or_mesh)
    try:
        return Signature(_geosig.file_signature(path, reading.options(), reading.limits(), int(depth)))
    except _geosig.FileFailure as failure:
        raise file_error(path, str(failure)) from None


def distance(a: Signature, b: Signature, *, any_size: bool = False) -> Dict[str, Any]:
    """The distance between two signatures, as ``geosig query`` reports it: {"combined",
    "occupancy", "views", "shape", "size", "mirrored"}, combined = 0.29 occupancy + 0.1 views +
    0.42 shape + 0.2 size (size counting for nothing with any_size); mirrored tells whether b
    matches a only as its mirror image. Symmetric in a and b; 0 for a signature and itself.

    Raises TypeError for arguments that are not signatures and ValueError for signatures of
    different depths.
    """
    if not isinstance(a, Signature) or not isinstance(b, Signature):
        raise TypeError("distance compares two geosig.Signature")
    return _geosig.distance(a._native, b._native, bool(any_size))


def query(catalog: PathLike, model: Union[PathLike, Mesh, Signature], k: int = 10, *, any_size: bool = False,
          mirrors: str = "flag", relative_deflection: Optional[float] = None, deflection: Optional[float] = None,
          angular_deflection: Optional[float] = None, time_limit: Optional[float] = None,
          memory_limit: Optional[float] = None) -> List[Dict[str, Any]]:
    """The k parts of a catalog made by ``geosig index`` nearest to a model (a file, a
    (vertices, faces) mesh or a Signature), nearest first, as ``geosig query`` finds them:
    one dict per part, {"path": the path the catalog holds, "distance": the combined distance,
    "occupancy", "views", "shape", "size": its parts, "mirrored": whether the part matches only
    as a mirror image of the model, "scale": how many times larger the part is}. any_size ignores
    the parts' absolute size; mirrors="exclude" leaves the mirror images out ("flag", the default,
    keeps them); the other keywords read the model as signature does.

    Raises FileNotFoundError for a missing catalog, OSError for one that cannot be opened,
    geosig.CatalogError (a ValueError) for a file that is no catalog, is damaged or was written
    by a newer geosig, and what signature raises for the model; ValueError for k below 1 or
    mirrors neither "flag" nor "exclude".
    """
    k = _check_count(k)
    exclude_mirrors = _excludes_mirrors(mirrors)
    if not isinstance(model, Signature):
        model = signature(model, relative_deflection=relative_deflection, deflection=deflection,
                          angular_deflection=angular_deflection, time_limit=time_limit, memory_limit=memory_limit)
    catalog = os.fspath(catalog)
    try:
        matches = _geosig.query(catalog, model._native, k, bool(any_size), exclude_mirrors)
    except _geosig.CatalogFailure as failure:
        raise catalog_error(catalog, str(failure)) from None
    return _match_dicts(matches)


def _match_dicts(matches: List[Any]) -> List[Dict[str, Any]]:
    return [{"path": os.fsdecode(path), "distance": parts["combined"], "occupancy": parts["occupancy"],
             "views": parts["views"], "shape": parts["shape"], "size": parts["size"], "mirrored": parts["mirrored"],
             "scale": scale} for path, parts, scale in matches]


def _check_count(k: int) -> int:
    if isinstance(k, bool) or not isinstance(k, (int, np.integer)) or k < 1:
        raise ValueError(f"k must be an integer of at least 1, not {k!r}")
    return int(k)


def _excludes_mirrors(mirrors: str) -> bool:
    if mirrors not in ("flag", "exclude"):
        raise ValueError(f'mirrors must be "flag" or "exclude", not {mirrors!r}')
    return mirrors == "exclude"


class Catalog:
    """A catalog made by ``geosig index``, kept in memory for searching as ``geosig query``,
    ``neighbours`` and ``duplicates`` do: its search index, each part's terms and path; only
    the occupancies of the candidates a search ranks are read from the database. Searches
    release the interpreter lock and may run from several threads at once.

    Raises what query raises for a catalog that cannot be used.
    """

    def __init__(self, catalog: PathLike):
        self._path = os.fspath(catalog)
        try:
            self._native = _geosig.ResidentCatalog(self._path)
        except _geosig.CatalogFailure as failure:
            raise catalog_error(self._path, str(failure)) from None

    def __len__(self) -> int:
        """The parts with a signature."""
        return len(self._native)

    @property
    def note(self) -> str:
        """What opening or the last refresh did to the search index saved beside the catalog."""
        return self._native.note

    def refresh(self) -> bool:
        """Picks up the changes made to the catalog since it was opened; True when there were some."""
        return self._call(self._native.refresh)

    def query(self, model: Union[PathLike, Mesh, Signature], k: int = 10, *, any_size: bool = False,
              mirrors: str = "flag", exact: bool = False, **reading: Any) -> List[Dict[str, Any]]:
        """The k parts nearest to a model, as geosig.query finds them; exact scores every part
        instead of the search index's candidates. The keywords of signature read the model."""
        k = _check_count(k)
        exclude_mirrors = _excludes_mirrors(mirrors)
        if not isinstance(model, Signature):
            model = signature(model, **reading)
        return _match_dicts(
            self._call(self._native.query, model._native, k, bool(any_size), bool(exact), exclude_mirrors))

    def neighbours(self, path: PathLike, k: int = 10, *, any_size: bool = False, mirrors: str = "flag",
                   exact: bool = False) -> List[Dict[str, Any]]:
        """The k parts nearest to the part indexed at path, without itself, as ``geosig
        neighbours`` lists them. Raises KeyError for a path without a signature in the catalog."""
        k = _check_count(k)
        return _match_dicts(self._call(self._native.neighbours, os.fspath(path), k, bool(any_size), bool(exact),
                                       _excludes_mirrors(mirrors)))

    def duplicates(self, max_distance: float = 0.05, *, any_size: bool = False,
                   exact: bool = False) -> List[List[str]]:
        """The groups of near-identical parts, as the "similar" groups of ``geosig duplicates``."""
        if not max_distance >= 0:
            raise ValueError(f"max_distance must not be negative, not {max_distance!r}")
        groups = self._call(self._native.duplicates, float(max_distance), bool(any_size), bool(exact))
        return [[os.fsdecode(path) for path in group] for group in groups]

    def _call(self, method: Any, *arguments: Any) -> Any:
        try:
            return method(*arguments)
        except _geosig.CatalogFailure as failure:
            raise catalog_error(self._path, str(failure)) from None
