#!/usr/bin/python3
"""Checks that the documentation points at things that exist and describes the house that is
built: every relative link of the Markdown files leads to a file of the source tree, every
page of docs/ that the code names and every repository path a `geosig ... --help` text names
exists, and the layers that
docs/ARCHITECTURE.md lists, top to bottom, are the order in which the CMake targets link (a
target links only targets of its own layer and of those below).

Usage: check_docs.py --source DIR --geosig PROGRAM --links FILE
FILE is written by CMake: one line a target, `target: linked;linked;...`.
Exit status 0 when every check passes; each failure is printed on its own line."""
import argparse
import pathlib
import re
import subprocess
import sys

# [text](target) and ![alt](target), the target up to a space (a title may follow) or ')'.
MARKDOWN_LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)")
# A path into the repository as help texts write them: a folder, a slash, a file with a suffix.
REPOSITORY_PATH = re.compile(r"\b((?:[A-Za-z0-9_.-]+/)+[A-Za-z0-9_.-]+\.(?:md|json|sql|html|py|sh))\b")
# A page of the documentation as the code names it.
DOCUMENT_PATH = re.compile(r"\b(docs/[A-Za-z0-9_./-]+\.md)\b")
# The layer table's rows: | layer | `directory` | `target` |
LAYER_ROW = re.compile(r"^\|\s*([^|]+?)\s*\|\s*`([^`]+)`\s*\|\s*`([^`]+)`\s*\|\s*$")
SKIPPED_DIRECTORIES = {".git", "build", "node_modules", "__pycache__"}


def markdown_files(source):
    for path in sorted(source.rglob("*.md")):
        if not SKIPPED_DIRECTORIES.intersection(path.relative_to(source).parts):
            yield path


def broken_links(source):
    for document in markdown_files(source):
        in_code = False
        for number, line in enumerate(document.read_text(encoding="utf-8").splitlines(), 1):
            if line.lstrip().startswith("```"):
                in_code = not in_code
            if in_code:
                continue
            for target in MARKDOWN_LINK.findall(line):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target) or target.startswith("#"):
                    continue  # a URL or an anchor of the same page
                linked = (document.parent / target.split("#", 1)[0]).resolve()
                if not linked.exists():
                    yield f"{document.relative_to(source)}:{number}: no such file: {target}"


def missing_documents_in_sources(source):
    """Comments and messages of the code that send readers to a page of docs/ that is not there."""
    for suffix in ("*.h", "*.cpp", "*.py", "*.cmake", "CMakeLists.txt"):
        for path in sorted(source.rglob(suffix)):
            if SKIPPED_DIRECTORIES.intersection(path.relative_to(source).parts):
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                for page in DOCUMENT_PATH.findall(line):
                    if not (source / page).exists():
                        yield f"{path.relative_to(source)}:{number}: names {page}, which does not exist"


def help_texts(geosig):
    def help_of(*command):
        return subprocess.run([geosig, *command, "--help"], capture_output=True, text=True, check=True).stdout

    main = help_of()
    yield "geosig --help", main
    # CLI11 lists the subcommands under "Subcommands:", one a line: "  name   description".
    listed = main.split("Subcommands:", 1)[1] if "Subcommands:" in main else ""
    for name in re.findall(r"^\s{2}([a-z][a-z-]*)\s", listed, re.MULTILINE):
        yield f"geosig {name} --help", help_of(name)


def missing_help_paths(source, geosig):
    for command, text in help_texts(geosig):
        for path in REPOSITORY_PATH.findall(text):
            if not (source / path).exists():
                yield f"{command}: names {path}, which does not exist"


def layer_order(source):
    """The (layer, directory, target) rows of docs/ARCHITECTURE.md's layer table, top first."""
    rows = []
    for line in (source / "docs" / "ARCHITECTURE.md").read_text(encoding="utf-8").splitlines():
        match = LAYER_ROW.match(line)
        if match:
            rows.append(match.groups())
    return rows


def layer_violations(source, links_file):
    rows = layer_order(source)
    if not rows:
        yield "docs/ARCHITECTURE.md: no layer table (| layer | `directory` | `target` |)"
        return
    links = {}
    for line in links_file.read_text(encoding="utf-8").splitlines():
        target, _, linked = line.partition(":")
        # $<LINK_LIBRARY:FEATURE,name> and $<LINK_ONLY:name> are written as they are: keep the name.
        linked = re.sub(r"\$<(?:LINK_LIBRARY:[^,>]+,|LINK_ONLY:)([^>]+)>", r"\1", linked)
        links[target.strip()] = [name for name in linked.strip().split(";") if name]
    height = {}
    for position, (layer, directory, targets) in enumerate(rows):
        if not (source / directory).is_dir():
            yield f"docs/ARCHITECTURE.md: layer {layer}: no directory {directory}"
        for target in targets.split(", "):
            height[target] = len(rows) - position
    for target, level in height.items():
        if target not in links:
            yield f"docs/ARCHITECTURE.md: {target} is no target of the build"
            continue
        for linked in links[target]:
            if linked in height and height[linked] > level:
                yield f"{target} links {linked}, which docs/ARCHITECTURE.md puts above it"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n", 1)[0])
    parser.add_argument("--source", type=pathlib.Path, required=True)
    parser.add_argument("--geosig", required=True)
    parser.add_argument("--links", type=pathlib.Path, required=True)
    arguments = parser.parse_args()
    source = arguments.source.resolve()
    failures = [*broken_links(source), *missing_documents_in_sources(source),
                *missing_help_paths(source, arguments.geosig),
                *layer_violations(source, arguments.links)]
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
