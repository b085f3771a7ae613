"""Exceptions for what the host could not do, from the reasons the command line prints: the one place where
the host's failures become Python's exceptions."""

import errno
import os

# The reasons of a file that cannot be reached, before any reader looks at its bytes.
_ACCESS_REASONS = {
    "no such file": errno.ENOENT,
    "is a directory, not a file": errno.EISDIR,
}
_SYSTEM_REASON_PREFIXES = ("cannot be opened: ", "cannot be read: ", "cannot be written: ")
_ERRNO_OF_MESSAGE = {os.strerror(code): code for code in errno.errorcode}


def file_error(path: str, reason: str) -> Exception:
    """The exception for a file that failed with the host's reason.

    A file that cannot be reached gives an OSError whose errno, strerror (the host's reason) and
    filename are set, so FileNotFoundError, IsADirectoryError and PermissionError can be caught
    as such; anything wrong with the file's content gives a ValueError "path: reason".
    """
    code = _ACCESS_REASONS.get(reason)
    if code is None and reason.startswith(_SYSTEM_REASON_PREFIXES):
        code = _ERRNO_OF_MESSAGE.get(reason.split(": ", 1)[1], errno.EIO)
    if code is None and reason == "not a regular file":
        code = errno.EINVAL
    if code is not None:
        return OSError(code, reason, path)
    return ValueError(f"{path}: {reason}")


class CatalogError(ValueError):
    """A catalog database that cannot be used: not a catalog, damaged, or written by a newer geosig."""


# SQLite's reason for a database file it may not open or create.
_UNOPENABLE = "unable to open database file"


def catalog_error(catalog: str, message: str) -> Exception:
    """The exception for the host's message about a catalog: FileNotFoundError for a missing
    catalog, OSError for one that cannot be opened, CatalogError for anything else."""
    named = message if message.startswith(f"{catalog}: ") else f"{catalog}: {message}"
    reason = named[len(catalog) + 2:]
    if reason == "no such catalog":
        return OSError(errno.ENOENT, reason, catalog)
    if reason == _UNOPENABLE:
        return OSError(named)
    return CatalogError(named)


def app_failure(kind: str, subject: str, reason: str) -> Exception:
    """The exception for a failure of the host's use cases (the extension raises what this returns): kind is
    "file", "usage" or "catalog", subject what failed (a file, a catalog; empty when the reason says it)."""
    if kind == "catalog":
        return catalog_error(subject, reason)
    if kind == "usage":
        return ValueError(reason)
    return file_error(subject, reason) if subject else OSError(reason)
