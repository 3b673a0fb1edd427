#!/usr/bin/env python3
"""Checks that the link of a product never names test support: no object or
library from a testing/ folder of the build tree, and no GoogleTest.

Reads the link statement of each product from the Ninja build file, so what
is checked is what the linker is really given.

Usage: check_product_link.py <build.ninja> <product file> [<product file> ...]
       (a product's path absolute, or as build.ninja names it: src/setup/setup.exe)
"""

import os
import re
import sys


def statements(text):
    """(outputs, explicit inputs, implicit inputs, variables) of every build statement."""
    text = re.sub(r"\$\r?\n\s*", "", text)  # joined continuation lines
    current = None
    for line in text.splitlines():
        if line.startswith("build "):
            if current:
                yield current
            head = line[len("build "):]
            # "outputs: rule inputs | implicit || order-only"; "$:" is an escaped colon.
            outputs, rest = re.split(r"(?<!\$):", head, maxsplit=1)
            words = split_words(rest)
            explicit, implicit, part = [], [], "explicit"
            for word in words[1:]:
                if word == "|":
                    part = "implicit"
                elif word in ("||", "|@"):
                    part = "order"
                elif part == "explicit":
                    explicit.append(word)
                elif part == "implicit":
                    implicit.append(word)
            out_words = [w for w in split_words(outputs) if w != "|"]
            current = (out_words, explicit, implicit, {})
        elif current and line.startswith((" ", "\t")) and "=" in line:
            name, _, value = line.strip().partition("=")
            current[3][name.strip()] = value.strip()
        elif line.strip() and not line.startswith((" ", "\t", "#")):
            if current:
                yield current
            current = None
    if current:
        yield current


def split_words(text):
    words = re.split(r"(?<!\$) +", text.strip())
    return [w.replace("$ ", " ").replace("$:", ":").replace("$$", "$") for w in words if w]


def forbidden(word):
    parts = re.split(r"[/\\]", word)
    name = parts[-1]
    if "testing" in parts[:-1]:
        return "lies in a testing/ folder"
    if re.match(r"(lib)?(gtest|gmock)(_main)?(d)?\.(a|so|lib|dll\.a)$", name):
        return "is GoogleTest"
    if re.search(r"_testing\b", name):
        return "is a testing target"
    return None


def check(build_text, products):
    """The problems found; one line each."""
    found, problems = set(), []
    for outputs, explicit, implicit, variables in statements(build_text):
        hits = [p for p in products if p in outputs]
        if not hits:
            continue
        words = explicit + implicit + variables.get("LINK_LIBRARIES", "").split()
        for product in hits:
            found.add(product)
            for word in words:
                why = forbidden(word)
                if why:
                    problems.append(f"{product}: its link names {word}, which {why}")
    for product in products:
        if product not in found:
            problems.append(f"{product}: no build statement makes it")
    return problems


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    build_dir = os.path.dirname(os.path.abspath(argv[1]))
    products = [os.path.relpath(p, build_dir).replace(os.sep, "/") if os.path.isabs(p) else p
                for p in argv[2:]]
    with open(argv[1], encoding="utf-8") as f:
        problems = check(f.read(), products)
    for p in problems:
        print(p)
    if problems:
        return 1
    print("product links: no test support in " + ", ".join(products))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
