#!/usr/bin/env python3
"""Scores `geosig neighbours` output on a labelled list of parts, leave-one-out by label.

The list holds one path a line, relative to ROOT; a part's label is the name of its folder
without its last extension (`Connector_PinHeader_2.54mm.3dshapes/X.step` is
`Connector_PinHeader_2.54mm`). Every listed part queries the other listed parts of its split:
the neighbours file must rank them all (`geosig neighbours -k N` with N at least the catalog's
size less one), and parts outside the split are skipped in its ranking. Prints NN, first tier, second tier and mAP over all ranks.

The split is category-stratified and fixed: within each label, the parts in path order whose
position is 2 modulo 3 are held out (a third), the others are the tuning part.

    scripts/score-neighbours.py neighbours.jsonl --list cad-parts.txt --root /usr/share/kicad/3dmodels \
        [--split all|tune|held] [--name NAME] [--errors N]
"""
import argparse
import json
import os
import sys
from collections import defaultdict


def label_of(relative):
    return os.path.splitext(os.path.basename(os.path.dirname(relative)))[0]


def split_of(paths):
    """{relative path: 'tune' or 'held'}: a third of each label held out."""
    by_label = defaultdict(list)
    for path in paths:
        by_label[label_of(path)].append(path)
    split = {}
    for members in by_label.values():
        for position, path in enumerate(sorted(members)):
            split[path] = "held" if position % 3 == 2 else "tune"
    return split


def scores(rankings, labels):
    """Mean NN, first tier, second tier and average precision over the queries that have a relevant part."""
    totals = [0.0, 0.0, 0.0, 0.0]
    counted = 0
    for query, ranking in rankings.items():
        relevant = sum(1 for other, label in labels.items() if label == labels[query] and other != query)
        if relevant == 0:
            continue
        counted += 1
        found = in_first = in_second = 0
        precision = 0.0
        for rank, other in enumerate(ranking):
            if labels[other] != labels[query]:
                continue
            found += 1
            precision += found / (rank + 1)
            in_first += rank < relevant
            in_second += rank < 2 * relevant
        totals[0] += 1.0 if ranking and labels[ranking[0]] == labels[query] else 0.0
        totals[1] += in_first / relevant
        totals[2] += in_second / relevant
        totals[3] += precision / relevant
    return [t / max(counted, 1) for t in totals], counted


def main():
    try:
        run()
    except OSError as failure:
        sys.exit(f"score-neighbours: {failure.filename}: {failure.strerror}")


def run():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("neighbours", help="JSON lines written by geosig neighbours")
    parser.add_argument("--list", required=True, help="the parts, one path a line relative to --root")
    parser.add_argument("--root", required=True, help="the folder the listed paths are relative to")
    parser.add_argument("--split", choices=["all", "tune", "held"], default="all")
    parser.add_argument("--name", default="geosig neighbours", help="the row's name in the table")
    parser.add_argument("--errors", type=int, default=0, help="also print this many wrong nearest neighbours")
    args = parser.parse_args()

    with open(args.list, encoding="utf-8") as lines:
        listed = [line.strip() for line in lines if line.strip()]
    split = split_of(listed)
    root = os.path.realpath(args.root)
    wanted = {os.path.join(root, path): path for path in listed if args.split == "all" or split[path] == args.split}

    rankings = {}
    with open(args.neighbours, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            try:
                record = json.loads(line)
                query = wanted.get(os.path.realpath(record["file"]))
                if query is None:
                    continue
                ranking = [wanted[os.path.realpath(match["file"])] for match in record["neighbours"]
                           if os.path.realpath(match["file"]) in wanted]
            except (ValueError, KeyError, TypeError) as failure:
                sys.exit(f"score-neighbours: {args.neighbours}:{number}: not a neighbours record ({failure})")
            rankings[query] = ranking
    missing = set(wanted.values()) - set(rankings)
    short = [query for query, ranking in rankings.items() if len(ranking) < len(rankings) - 1]
    if short:
        sys.exit(f"score-neighbours: {len(short)} parts rank fewer than all the others (e.g. {short[0]}): "
                 "run geosig neighbours with a larger -k")
    labels = {path: label_of(path) for path in rankings}
    (nn, first, second, mean_precision), counted = scores(rankings, labels)
    print(f"{len(rankings)} parts scored ({len(missing)} listed parts not in the catalog), "
          f"{len(set(labels.values()))} labels, split {args.split}, {counted} queries with a relevant part\n")
    print("| method | NN | first tier | second tier | mAP |\n|---|---|---|---|---|")
    print(f"| {args.name} | {nn:.3f} | {first:.3f} | {second:.3f} | {mean_precision:.3f} |")
    if args.errors:
        wrong = [(query, ranking[0]) for query, ranking in sorted(rankings.items())
                 if ranking and labels[ranking[0]] != labels[query]]
        print(f"\n{len(wrong)} wrong nearest neighbours, the first {min(args.errors, len(wrong))}:")
        for query, found in wrong[:args.errors]:
            print(f"  {query}  ->  {found}")


if __name__ == "__main__":
    main()
