#!/usr/bin/env python3
"""Tests of the structure checks themselves: each rule of check_layers.py
fails on a tree with one planted violation, and check_product_link.py fails
on a link that names test support."""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import check_layers  # noqa: E402
import check_product_link  # noqa: E402

# A small tree that keeps every rule.
CLEAN = {
    "src/base/KaFiles.h": '#pragma once\n#include <string>\n',
    "src/base/KaFiles.cpp": '#include "base/KaFiles.h"\n',
    "src/net/KaConnectionIntf.h": '#include "base/KaFiles.h"\n',
    "src/net/KaWork.h": "#pragma once\n",
    "src/net/testing/KaNetTesting.h": '#include "net/KaConnectionIntf.h"\n#include <gtest/gtest.h>\n',
    "src/model/VoFolder_impl.h": '#include "model/VoFolder.h"\n',
    "src/model/VoFolder.h": '#include "base/KaFiles.h"\n#include "net/KaConnectionIntf.h"\n',
    "src/model/VoFolder.cpp": '#include "model/VoFolder_impl.h"\n#include "net/KaWork.h"\n',
    "src/model/testing/VoTesting.h": '#include "model/VoFolder.h"\n#include <gtest/gtest.h>\n',
    "src/model/VoFolder_test.cpp": '#include "model/VoFolder_impl.h"\n'
    '#include "model/testing/VoTesting.h"\n#include <gtest/gtest.h>\n',
    "src/net/KaHTTP_test.cpp": '#include "net/testing/KaNetTesting.h"\n',
    "src/i18n/KaTranslator.h": '#include "base/KaFiles.h"\n',
    "src/ui/KaForm.h": '#include "model/VoFolder.h"\n#include "i18n/KaTranslator.h"\n',
    "src/setup/Main_win.cpp": '#include "ui/KaForm.h"\n#include "net/KaWork.h"\n',
    "server/Store.h": '#include "model/VoFolder.h"\n',
    "server/testing/ServerTesting.h": '#include "server/Store.h"\n',
    "server/Store_test.cpp": '#include "server/testing/ServerTesting.h"\n',
    "server/bench/store_bench.cpp": '#include "server/testing/ServerTesting.h"\n',
    "tools/websetup/Stamp.h": '#include "server/Store.h"\n#include "net/KaConnectionIntf.h"\n',
    "tools/websetup/main.cpp": '#include "websetup/Stamp.h"\n#include <CLI/CLI.hpp>\n',
    "tests/e2e/helper_win.cpp": '#include "setup/Main.h"\n',
}

# One planted violation each: (file, text, words the report must hold).
PLANTED = [
    ("src/base/KaUp.h", '#include "net/KaWork.h"\n', "base may not include"),
    ("src/net/KaUp.cpp", '#include "model/VoFolder.h"\n', "net may not include"),
    ("src/model/VoUp.cpp", '#include "net/KaHTTP.h"\n', "model may not include"),
    ("src/i18n/KaUp.cpp", '#include "ui/KaForm.h"\n', "i18n may not include"),
    ("src/ui/KaUp.cpp", '#include "setup/Main.h"\n', "ui may not include"),
    ("server/Up.cpp", '#include "ui/KaForm.h"\n', "server may not include"),
    ("server/Up2.cpp", '#include "setup/Main.h"\n', "server may not include"),
    ("server/Up3.cpp", '#include "websetup/Stamp.h"\n', "server may not include"),
    ("tools/websetup/Up.cpp", '#include "setup/Main.h"\n', "tools may not include"),
    ("src/setup/Peek.cpp", '#include "model/VoFolder_impl.h"\n', "_impl.h of another folder"),
    ("src/model/Bare.cpp", '#include "VoFolder.h"\n', "does not name its folder"),
    ("src/model/Angled.cpp", "#include <net/KaHTTP.h>\n", "model may not include"),
    ("src/net/Prod.cpp", '#include "net/testing/KaNetTesting.h"\n', "test support"),
    ("src/net/Gtest.cpp", "#include <gmock/gmock.h>\n", "GoogleTest outside tests"),
    ("src/net/Helper_test.h", "#include <gtest/gtest.h>\n", "belongs in a testing/ folder"),
    ("src/extra/Foo.cpp", "\n", "lies in no layer"),
]


def write_tree(root, files):
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as f:
            f.write(text)


def run_checker(root):
    result = subprocess.run(
        [sys.executable, os.path.join(HERE, "check_layers.py"), root],
        capture_output=True, text=True)
    return result.returncode, result.stdout


class IncludeRules(unittest.TestCase):
    def test_a_tree_that_keeps_the_rules_passes(self):
        with tempfile.TemporaryDirectory() as root:
            write_tree(root, CLEAN)
            code, out = run_checker(root)
            self.assertEqual(code, 0, out)
            self.assertIn(f"{len(CLEAN)} files keep them", out)

    def test_every_planted_violation_fails_and_is_named(self):
        for rel, text, words in PLANTED:
            with self.subTest(rel=rel), tempfile.TemporaryDirectory() as root:
                write_tree(root, {**CLEAN, rel: text})
                code, out = run_checker(root)
                self.assertEqual(code, 1, out)
                self.assertIn(rel, out)
                self.assertIn(words, out)
                self.assertIn("1 broken", out)

    def test_an_empty_tree_is_no_pass(self):
        with tempfile.TemporaryDirectory() as root:
            code, out = run_checker(root)
            self.assertEqual(code, 1, out)

    def test_the_line_of_a_violation_is_reported(self):
        problems = check_layers.check_file(
            "src/base/KaX.cpp", '#include "base/KaY.h"\n\n#include "model/VoZ.h"\n')
        self.assertEqual(len(problems), 1)
        self.assertTrue(problems[0].startswith("src/base/KaX.cpp:3:"), problems[0])


NINJA = """# a link statement as CMake writes it
build src/setup/setup.exe: CXX_EXECUTABLE_LINKER__setup src/setup/CMakeFiles/setup.dir/Main.obj $
    src/setup/CMakeFiles/setup.dir/Form.obj | src/setup/libws_setup_core.a src/net/libws_net.a {implicit} || src/net/ws_net
  FLAGS = -Os
  LINK_LIBRARIES = src/setup/libws_setup_core.a  src/net/libws_net.a {libs} -luser32
  TARGET_FILE = src/setup/setup.exe

build src/net/tests.exe: CXX_EXECUTABLE_LINKER__tests src/net/CMakeFiles/t.dir/T.obj | src/net/testing/libws_net_testing.a lib/libgtest.a
  LINK_LIBRARIES = src/net/testing/libws_net_testing.a lib/libgtest.a
"""


class ProductLinks(unittest.TestCase):
    def check(self, implicit="", libs="", products=("src/setup/setup.exe",)):
        return check_product_link.check(NINJA.format(implicit=implicit, libs=libs), list(products))

    def test_a_product_without_test_support_passes(self):
        self.assertEqual(self.check(), [])

    def test_test_support_in_a_products_link_fails(self):
        for implicit, libs in [
            ("src/net/testing/libws_net_testing.a", "src/net/testing/libws_net_testing.a"),
            ("", "-lws_model_testing"),
            ("lib/libgmock.a", "lib/libgmock.a"),
            ("", "src/net/testing/CMakeFiles/ws_http_conformance.dir/KaHTTPConformance.cpp.obj"),
        ]:
            with self.subTest(libs=libs or implicit):
                problems = self.check(implicit, libs)
                self.assertTrue(problems)
                self.assertTrue(all(p.startswith("src/setup/setup.exe: its link names") for p in problems))

    def test_test_programs_are_not_products(self):
        self.assertTrue(self.check(products=["src/net/tests.exe"]))
        self.assertEqual(self.check(), [])

    def test_a_product_that_nothing_builds_fails(self):
        self.assertEqual(self.check(products=["tools/websetup/websetup"]),
                         ["tools/websetup/websetup: no build statement makes it"])


if __name__ == "__main__":
    unittest.main()
