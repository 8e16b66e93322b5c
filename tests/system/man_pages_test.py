"""The man pages: each has the sections a reader expects, passes groff's
warnings, and every command in its EXAMPLES prints exactly what the page
shows.

usage: man_pages_test.py BUILD_DIR [unittest options]
"""
import glob
import os
import re
import shlex
import subprocess
import sys
import tempfile
import unittest

BUILD = BIN = None
PROGRAMS = []
SECTIONS = ['NAME', 'SYNOPSIS', 'DESCRIPTION', 'OUTPUT', 'EXIT STATUS',
            'EXAMPLES', 'SEE ALSO']
ESCAPES = [(r'\(aq', "'"), (r'\(dq', '"'), (r'\-', '-'), (r'\&', ''),
           (r'\ ', ' '), (r'\fI', ''), (r'\fB', ''), (r'\fP', ''),
           (r'\fR', ''), (r'\e', '\\')]


def page(name):
    with open(os.path.join(BUILD, 'man', name + '.1'), encoding='utf-8') as f:
        return f.read()


def unescape(line):
    out, i = '', 0
    while i < len(line):
        for code, text in ESCAPES:
            if line.startswith(code, i):
                out += text
                i += len(code)
                break
        else:
            out += line[i]
            i += 1
    return out


def examples(text):
    """(command, expected output) pairs of the EXAMPLES section."""
    section = text.split('.SH EXAMPLES', 1)[1].split('\n.SH ', 1)[0]
    pairs = []
    for block in re.findall(r'^\.EX\n(.*?)^\.EE$', section, re.M | re.S):
        for line in block.splitlines():
            line = unescape(line)
            if line.startswith('$ '):
                pairs.append([line[2:], ''])
            else:
                pairs[-1][1] += line + '\n'
    return pairs


def runnable_bin():
    """BIN, or for a build for another processor (HEXSUITE_EMULATOR in the
    environment, such as "qemu-aarch64") a folder of commands of the same
    names that run its programs under the emulator."""
    emulator = os.environ.get('HEXSUITE_EMULATOR', '')
    if not emulator:
        return BIN
    folder = tempfile.mkdtemp()
    for name in PROGRAMS:
        path = os.path.join(folder, name)
        with open(path, 'w', encoding='utf-8') as f:
            f.write('#!/bin/sh\nexec %s %s "$@"\n' % (emulator, shlex.quote(os.path.join(BIN, name))))
        os.chmod(path, 0o755)
    return folder


class ManPages(unittest.TestCase):
    def test_every_program_has_a_complete_page(self):
        for name in PROGRAMS:
            with self.subTest(name):
                text = page(name)
                for section in SECTIONS:
                    self.assertIn('\n.SH ' + section + '\n', text)
                # Dated and versioned by the build, from the project.
                self.assertRegex(text, r'^\.TH %s 1 \d{4}-\d\d-\d\d "hexsuite \d+\.\d+\.\d+"'
                                 % name.upper())

    def test_pages_pass_groff_warnings(self):
        for name in PROGRAMS:
            with self.subTest(name):
                p = subprocess.run(['groff', '-man', '-ww', '-z'],
                                   input=page(name).encode(), capture_output=True)
                self.assertEqual(p.stderr, b'')

    def test_examples_print_what_the_pages_show(self):
        env = dict(os.environ, PATH=runnable_bin() + os.pathsep + os.environ['PATH'])
        for name in PROGRAMS:
            pairs = examples(page(name))
            self.assertTrue(pairs, name)
            for command, expected in pairs:
                with self.subTest(command):
                    p = subprocess.run(['bash', '-c', command], env=env,
                                       capture_output=True, timeout=60)
                    self.assertEqual(p.stdout.decode('latin-1'), expected)
                    self.assertEqual(p.stderr, b'')


if __name__ == '__main__':
    BUILD = sys.argv[1]
    BIN = os.path.join(BUILD, 'bin')
    with open(os.path.join(BUILD, 'programs.txt'), encoding='utf-8') as f:
        PROGRAMS = f.read().split()
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
