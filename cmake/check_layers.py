#!/usr/bin/env python3
"""Checks the include rules of the sources, so that every file keeps standing
on the layers below it only:

  base includes nothing of ours; model, net and i18n include base (model also
  the connection interface of net that the manifest's update needs); ui
  includes those; setup includes anything; server/ and tools/ never include ui
  or setup. An _impl.h is included only inside its own folder. Every include of
  ours names its folder ("base/KaFiles.h"). Test support (a testing/ folder) is
  included by tests, benchmarks and soaks only, and only test support and tests
  include GoogleTest, its headers only from a testing/ folder.

Usage: check_layers.py <repository root>
Prints one line per broken rule and exits 1 when there is any.
"""

import os
import re
import sys

SRC_LAYERS = ("base", "model", "net", "i18n", "ui", "setup")

# What each layer may include, by layer; a layer always includes itself.
ALLOWED = {
    "base": set(),
    "model": {"base"},
    "net": {"base"},
    "i18n": {"base"},
    "ui": {"base", "model", "net", "i18n"},
    "setup": {"base", "model", "net", "i18n", "ui"},
    "server": {"base", "model", "net", "i18n"},
    "tools": {"base", "model", "net", "i18n", "server"},
    # End-to-end tests, fuzz targets and the demo product are programs of their own.
    "tests": set(SRC_LAYERS) | {"server"},
    "fuzz": set(SRC_LAYERS) | {"server", "fuzz"},
    "demo": set(SRC_LAYERS),
}

# Single headers a layer may include from a layer it otherwise may not: the
# manifest's update calls the server through the connection interface and
# reports the files it fetches to the program's progress tracker; its tests
# script that connection with net's test support.
ALLOWED_HEADERS = {
    "model": {"net/KaConnectionIntf.h", "net/KaWork.h", "net/testing/KaNetTesting.h"},
}

SCANNED = ("src", "server", "tools", "tests", "fuzz", "demo")
EXTENSIONS = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
GTEST = re.compile(r"^(gtest|gmock)/")


def layer_of_file(rel):
    """The layer of a source file, from its path below the repository root."""
    parts = rel.split("/")
    if parts[0] == "src":
        return parts[1] if len(parts) > 2 and parts[1] in SRC_LAYERS else None
    if parts[0] in ("server", "tools", "tests", "fuzz", "demo"):
        return parts[0]
    return None


def layer_of_include(path):
    """The layer an include names by its first folder; None when not ours."""
    first = path.split("/")[0]
    if first in SRC_LAYERS or first in ("server", "fuzz"):
        return first
    if first == "websetup":
        return "tools"
    return None


def is_test_support(rel):
    """Tests, benchmarks, soaks and test support may use test support and GoogleTest."""
    parts = rel.split("/")
    name = os.path.splitext(parts[-1])[0]
    return (
        parts[0] in ("tests", "fuzz")
        or "testing" in parts[:-1]
        or "bench" in parts[:-1]
        or "soak" in parts[:-1]
        or re.search(r"_(test|bench|soak)(_[a-z]+)?$", name) is not None
    )


def check_file(rel, text):
    layer = layer_of_file(rel)
    problems = []
    if layer is None:
        return [f"{rel}: lies in no layer ({', '.join(SRC_LAYERS)} under src/, or server/, tools/)"]
    own_dir = os.path.dirname(rel[len("src/"):] if rel.startswith("src/") else rel)
    for number, line in enumerate(text.splitlines(), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        quoted, path = m.group(1) == '"', m.group(2)
        where = f"{rel}:{number}"
        if GTEST.match(path):
            if not is_test_support(rel):
                problems.append(f"{where}: includes GoogleTest outside tests and test support")
            elif rel.endswith((".h", ".hpp")) and "testing" not in rel.split("/")[:-1]:
                problems.append(f"{where}: a header that pulls in GoogleTest belongs in a testing/ folder")
            continue
        target = layer_of_include(path)
        if target is None:
            if quoted:
                problems.append(f'{where}: "{path}" does not name its folder (e.g. "base/KaFiles.h")')
            continue
        if "/" not in path:
            problems.append(f'{where}: "{path}" does not name its folder')
            continue
        if target != layer and target not in ALLOWED[layer] and path not in ALLOWED_HEADERS.get(layer, ()):
            problems.append(f'{where}: {layer} may not include "{path}" ({target} is not below {layer})')
        if path.endswith("_impl.h") and os.path.dirname(path) != own_dir:
            problems.append(f'{where}: "{path}" is an _impl.h of another folder')
        if "testing" in path.split("/")[:-1] and not is_test_support(rel):
            problems.append(f'{where}: "{path}" is test support, included outside tests')
    return problems


def sources(root):
    for top in SCANNED:
        base = os.path.join(root, top)
        for folder, dirs, files in os.walk(base):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(EXTENSIONS):
                    full = os.path.join(folder, name)
                    yield os.path.relpath(full, root).replace(os.sep, "/"), full


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    root = argv[1]
    problems, count = [], 0
    for rel, full in sources(root):
        count += 1
        with open(full, encoding="utf-8", errors="replace") as f:
            problems += check_file(rel, f.read())
    for p in problems:
        print(p)
    if problems:
        print(f"include rules: {len(problems)} broken in {count} files")
        return 1
    if count == 0:
        print(f"include rules: no sources under {root}")
        return 1
    print(f"include rules: {count} files keep them")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
