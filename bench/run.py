#!/usr/bin/env python3
"""Builds what it needs, measures the suite against its references and
prints one table: each figure, its reference, the ratio, the target and
whether it holds. Exits 1 if any target misses.

Instruction counts come from valgrind's callgrind (stable on a busy
machine); times are CPU times (user and system) of runs made side by
side, each row with a target judged on the least of each command, the
medians beside. The data is generated here from fixed seeds.

usage: python3 bench/run.py [--runs N] [--megabytes N] [--repeat N] [--markdown FILE]
--markdown FILE writes the table, with the commit and the machine it ran
on, into FILE between its two marker lines: docs/performance.md is written
by --repeat 3 --markdown docs/performance.md.
"""
import argparse
import glob
import json
import os
import platform
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, 'build-bench')
BIN = os.path.join(BUILD, 'bin')
STATIC_BUILD = os.path.join(ROOT, 'build-bench-static')
STATIC_BIN = os.path.join(STATIC_BUILD, 'bin')
MUSL_BUILD = os.path.join(ROOT, 'build-bench-musl')
MUSL_BIN = os.path.join(MUSL_BUILD, 'bin')
MUSL = ['-DCMAKE_TOOLCHAIN_FILE=' + os.path.join(ROOT, 'cmake', 'Musl.cmake'), '-DHEXSUITE_STATIC=ON']
# linescreen's filter with the width of masks its argument names, in the
# dynamic and the musl build.
WIDTH_BENCH = {'linescreen': os.path.join(BIN, 'screen_lines_bench'),
               'musl linescreen': os.path.join(MUSL_BIN, 'screen_lines_bench')}
# trickle pauses on purpose and hexecho's per-character opens are its
# behaviour: neither start-up says anything about the rest.
NOT_STARTUP = {'trickle', 'hexecho'}
# The hardening of the suite's own build, for a C program to compare with.
HARDENED = ['-O2', '-fstack-protector-strong', '-fstack-clash-protection', '-fcf-protection',
            '-D_FORTIFY_SOURCE=2', '-fPIE', '-pie', '-Wl,-z,relro,-z,now']
rows = []


def sh(*args, check=True, **kw):
    return subprocess.run(args, check=check, **kw)


def row(figure, value, reference, ratio, target, holds):
    rows.append((figure, value, reference, ratio, target, 'yes' if holds else 'NO'))


def machine():
    """This machine's row of the table of machines, cmake/machines.txt, as
    a dict by column: dpkg's architecture, else the row of `uname -m`."""
    columns = ('arch', 'triple', 'uname', 'qemu', 'musl', 'folder')
    with open(os.path.join(ROOT, 'cmake', 'machines.txt')) as f:
        rows = [dict(zip(columns, l.split())) for l in f if l.strip() and not l.startswith('#')]
    arch = subprocess.run(['dpkg', '--print-architecture'], capture_output=True, text=True).stdout.strip()
    return next(r for r in rows if r['arch'] == arch or not arch and platform.machine() in r['uname'].split(','))


def build(work):
    """Builds the suite (dynamic, static and on musl) and the do-nothing
    programs it is compared with: plain, hardened like the suite,
    static-pie, and static-pie on musl as the suite's musl build links;
    and a release, with the release command."""
    nop = os.path.join(work, 'nop')
    with open(nop + '.c', 'w') as f:
        f.write('int main(void){return 0;}\n')
    with open(os.path.join(work, 'CMakeLists.txt'), 'w') as f:
        f.write('cmake_minimum_required(VERSION 3.22)\nproject(nop CXX)\n'
                'set_source_files_properties(nop.c PROPERTIES LANGUAGE CXX)\nadd_executable(nop nop.c)\n')
    for source, folder, extra in ((ROOT, BUILD, ['-DHEXSUITE_BENCH=ON']),
                                  (ROOT, STATIC_BUILD, ['-DHEXSUITE_STATIC=ON']),
                                  (ROOT, MUSL_BUILD, MUSL + ['-DHEXSUITE_BENCH=ON']),
                                  (work, os.path.join(work, 'nop-musl-build'), MUSL[:1] + ['-DCMAKE_BUILD_TYPE=Release'])):
        sh('cmake', '--no-warn-unused-cli', '-S', source, '-B', folder, '-DCMAKE_BUILD_TYPE=RelWithDebInfo',
           '-DBUILD_TESTING=OFF', *extra, stdout=subprocess.DEVNULL)
        sh('cmake', '--build', folder, '-j', str(os.cpu_count()), stdout=subprocess.DEVNULL)
    nops = {'plain': ['-O2'], 'hardened': HARDENED, 'static-pie': HARDENED + ['-static-pie']}
    for kind, flags in nops.items():
        sh('gcc', *flags, nop + '.c', '-o', f'{nop}-{kind}')
    # Peak memory is read by a small C parent: a child forked from Python
    # would start out as large as Python.
    with open(os.path.join(work, 'peak.c'), 'w') as f:
        f.write('#include <stdio.h>\n#include <sys/resource.h>\n#include <sys/wait.h>\n'
                '#include <unistd.h>\nint main(int c, char **v) { (void)c; pid_t p = fork();\n'
                'if (p == 0) { execvp(v[1], v + 1); _exit(127); }\n'
                'int s; struct rusage u; wait4(p, &s, 0, &u);\n'
                'fprintf(stderr, "%ld\\n", u.ru_maxrss); return s != 0; }\n')
    sh('gcc', '-O2', os.path.join(work, 'peak.c'), '-o', os.path.join(work, 'peak'))
    # The floor of any filter: a plain read/write copy loop with a buffer
    # of a megabyte (linescreen reads blocks of half that).
    with open(os.path.join(work, 'copy.c'), 'w') as f:
        f.write('#include <unistd.h>\nstatic char b[1 << 20];\nint main(void) {\n'
                'for (ssize_t n; (n = read(0, b, sizeof b)) > 0;)\n'
                'for (ssize_t at = 0, w; at < n; at += w)\n'
                'if ((w = write(1, b + at, (size_t)(n - at))) <= 0) return 1;\n'
                'return 0; }\n')
    sh('gcc', '-O2', os.path.join(work, 'copy.c'), '-o', os.path.join(work, 'copy'))
    # The release of every architecture whose musl this Debian release ships
    # (one whose musl only the other ships would need a root of that).
    sh('bash', '-c', '. tests/machines.sh && . /etc/os-release && exec bash packaging/release.sh "$1" ${musl_in[$VERSION_CODENAME]}', '-',
       os.path.join(work, 'release'), stdout=subprocess.DEVNULL, cwd=ROOT)
    with open(os.path.join(BUILD, 'programs.txt')) as f:
        programs = [p for p in f.read().split() if p not in NOT_STARTUP]
    return nop, programs


def instructions(command, stdin_path):
    with open(stdin_path, 'rb') as i:
        p = subprocess.run(['valgrind', '--tool=callgrind', '--callgrind-out-file=/dev/null']
                           + command, stdin=i, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE, check=True)
    return int(re.search(rb'Collected : (\d+)', p.stderr).group(1))


def startup(nop, programs, work):
    empty = os.path.join(work, 'empty')
    open(empty, 'wb').close()
    plain = instructions([nop + '-plain'], empty)
    hardened = instructions([nop + '-hardened'], empty)
    static = instructions([nop + '-static-pie'], empty)
    row('start-up, do-nothing C program', plain, '', '', '', True)
    row('start-up, do-nothing C program, hardened', hardened, '', '', '', True)
    worst = 0
    for name in programs:
        n = instructions([os.path.join(BIN, name)], empty)
        worst = max(worst, n / plain)
        row(f'start-up, {name}, empty input', n, hardened, n / hardened,
            '<= 1.15 of hardened C', n / hardened <= 1.15)
    row('start-up, largest of those against the plain C program', '', plain, worst,
        '<= 1.15', worst <= 1.15)
    row('start-up, do-nothing C program, static-pie', static, plain, static / plain, '', True)
    for name in programs:
        n = instructions([os.path.join(STATIC_BIN, name)], empty)
        row(f'start-up, static {name}, empty input', n, plain, n / plain,
            '<= 0.50 of plain C', n / plain <= 0.50)
    musl = instructions([os.path.join(work, 'nop-musl-build', 'nop')], empty)
    row('start-up, do-nothing program, musl static-pie', musl, plain, musl / plain, '', True)
    for name in programs:
        n = instructions([os.path.join(MUSL_BIN, name)], empty)
        row(f'start-up, musl {name}, empty input', n, plain, n / plain,
            '<= 0.08 of plain C', n / plain <= 0.08)


def tarballs(work):
    """Every file of a release as the release command writes it: the musl
    tarball of each architecture this release ships musl for, the package and the
    glibc static tarball."""
    folder = os.path.join(work, 'release')
    with open(os.path.join(folder, 'SHA256SUMS')) as f:
        names = [line.split()[1] for line in f]
    musl = os.path.getsize(os.path.join(folder, next(n for n in names if n.endswith(f"-{machine()['musl']}.tar.gz"))))
    for name in names:
        size = os.path.getsize(os.path.join(folder, name))
        row(f'release file {name} (bytes)', size, musl, size / musl, 'for scale', True)


def install(package, needed):
    """Installs the Debian package that brings `needed`, a command or a
    file, when it is missing."""
    if shutil.which(needed) is None and not os.path.exists(needed):
        sh('apt-get', 'install', '-y', '-qq', package, stdout=subprocess.DEVNULL)


def hexscreen_vs_xxd(work):
    data = os.path.join(work, 'random1023')
    with open(data, 'wb') as f:
        f.write(random.Random(1023).randbytes(1023))
    ours = instructions([os.path.join(BIN, 'hexscreen')], data)
    xxd = instructions(['xxd', '-p', '-u'], data)
    row('hexscreen, 1023 random bytes (instructions)', ours, xxd, ours / xxd,
        '<= 0.80 of xxd -p -u', ours / xxd <= 0.80)


def text_file(path, megabytes, blocked=0.05):
    """Text of lines of 1 to 14 words, `blocked` of them `hello world`."""
    r = random.Random(50)
    words = ('the quick brown fox jumps over a lazy dog while hello world '
             'lorem ipsum dolor sit amet data line text').split()
    size, target = 0, megabytes * 1_000_000
    with open(path, 'w') as f:
        while size < target:
            if r.random() < blocked:
                line = 'hello world'
            else:
                line = ' '.join(r.choice(words) for _ in range(r.randint(1, 14)))
            f.write(line + '\n')
            size += len(line) + 1


def side_by_side(work, commands, src, runs):
    """The CPU times of each command over `runs` runs, interleaved so that
    load on the machine hits all alike; each writes NAME.out."""
    times = {name: [] for name in commands}
    for _ in range(runs):
        for name, command in commands.items():
            times[name].append(timed(command, src, os.path.join(work, name + '.out')))
    return times


def least(figure, ours, reference, runs, target, most):
    """A row judged on the least CPU time of each command's interleaved
    runs, which another process's load can only raise, the medians beside."""
    value = f'{min(ours):.4f} (median {statistics.median(ours):.4f})'
    base = f'{min(reference):.4f} (median {statistics.median(reference):.4f})'
    ratio = min(ours) / min(reference)
    row(f'{figure} (CPU s, least of {runs})', value, base, ratio, target, ratio <= most)


def against_copy(text, times, runs, most):
    """Both builds of linescreen against the read/write copy loop."""
    for build in ('linescreen', 'musl linescreen'):
        least(f'{build} against a read/write copy loop, {text}', times[build], times['copy'], runs,
                f'<= {most:.2f} of the copy loop', most)


def timed(command, src, dst):
    """The CPU time of one run, user and system: where its wall time waits
    for the processors another process holds, this barely moves."""
    with open(src, 'rb') as i, open(dst, 'wb') as o:
        p = subprocess.Popen(command, stdin=i, stdout=o)
        _, status, usage = os.wait4(p.pid, 0)
    p.returncode = os.waitstatus_to_exitcode(status)
    if p.returncode != 0:
        raise subprocess.CalledProcessError(p.returncode, command)
    return usage.ru_utime + usage.ru_stime


def peak_kib(work, command, src):
    with open(src, 'rb') as i:
        p = subprocess.run([os.path.join(work, 'peak')] + command, stdin=i,
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(p.stderr)


def linescreen_vs_grep(work, megabytes, runs):
    big = os.path.join(work, 'text')
    text_file(big, megabytes)
    commands = {
        'linescreen': [os.path.join(BIN, 'linescreen')],
        'copy': [os.path.join(work, 'copy')],
        'grep': ['grep', '-vxF', 'hello world'],
        'rg': ['rg', '-vxF', 'hello world'],
        'cat': ['cat'],
        'musl linescreen': [os.path.join(MUSL_BIN, 'linescreen')],
    }
    times = side_by_side(work, commands, big, runs)
    median = {name: statistics.median(t) for name, t in times.items()}
    same = {peer: sh('cmp', '-s', os.path.join(work, 'linescreen.out'),
                     os.path.join(work, peer + '.out'), check=False).returncode == 0
            for peer in ('grep', 'rg', 'musl linescreen')}
    ours, rg, cat = (median[n] for n in ('linescreen', 'rg', 'cat'))
    least(f'linescreen, {megabytes} MB of text', times['linescreen'], times['grep'], runs,
            '<= 0.25 of grep -vxF', 0.25)
    row('linescreen output identical to grep -vxF', 'yes' if same['grep'] else 'no', '', '', 'yes', same['grep'])
    row(f'linescreen against ripgrep, {megabytes} MB (CPU s, median of {runs})', round(ours, 4),
        round(rg, 4), ours / rg, 'for scale', True)
    row('linescreen output identical to rg -vxF', 'yes' if same['rg'] else 'no', '', '', 'yes', same['rg'])
    row('musl linescreen output identical to the dynamic build', 'yes' if same['musl linescreen'] else 'no',
        '', '', 'yes', same['musl linescreen'])
    against_copy(f'{megabytes} MB, 5% blocked lines', times, runs, 1.30)
    # cat copies inside the kernel (copy_file_range), never seeing the bytes.
    row(f'linescreen against cat, {megabytes} MB (CPU s, median of {runs})', round(ours, 4), round(cat, 4),
        ours / cat, 'for scale', True)

    # Text with no blocked line, the most common a filter sees: nothing is
    # dropped, and every kept byte stays where it was read.
    clean = os.path.join(work, 'clean')
    text_file(clean, megabytes, blocked=0)
    times = side_by_side(work, {n: commands[n] for n in ('linescreen', 'copy', 'musl linescreen')}, clean, runs)
    against_copy(f'{megabytes} MB, no blocked line', times, runs, 1.20)

    # The filter's own work, counted where nothing is intercepted: the two
    # static builds on the text with blocked lines.
    size = os.path.getsize(big)
    for build, folder in (('glibc static', STATIC_BIN), ('musl static', MUSL_BIN)):
        n = instructions([os.path.join(folder, 'linescreen')], big)
        row(f'linescreen {build}, {megabytes} MB, 5% blocked lines (instructions per input byte)',
            round(n / size, 3), n, '', '<= 0.55', n / size <= 0.55)

    widths(big, clean, megabytes, runs, work)

    small = os.path.join(work, 'small')
    with open(big, 'rb') as b, open(small, 'wb') as s:
        s.write(b.read(megabytes * 100_000))
    rss = peak_kib(work, commands['linescreen'], big)
    small_rss = peak_kib(work, commands['linescreen'], small)
    row(f'linescreen peak memory, {megabytes} MB vs {megabytes // 10} MB input (KiB)',
        rss, small_rss, rss / small_rss, 'at most 256 KiB more (flat)', rss - small_rss <= 256)


def widths(big, clean, megabytes, runs, work):
    """Each width of linescreen's masks against none, on the text with
    blocked lines and the text without, in the dynamic and the musl build;
    and the portable width against AVX2, which earns its code only if it
    is the faster."""
    names = ('avx2', 'portable', 'none')
    if sh(WIDTH_BENCH['linescreen'], 'avx2', stdin=subprocess.DEVNULL, check=False).returncode == 3:
        names = names[1:]  # no AVX2 on this processor
    for text, path in (('5% blocked lines', big), ('no blocked line', clean)):
        commands = {(build, width): [bench, width] for build, bench in WIDTH_BENCH.items() for width in names}
        times = side_by_side(work, {f'{b} {w}': c for (b, w), c in commands.items()}, path, runs)
        for build in WIDTH_BENCH:
            for width in names[:-1]:
                least(f'{build}, {megabytes} MB, {text}, {width} masks against none', times[f'{build} {width}'],
                      times[f'{build} none'], runs, '<= 0.90 of no masks', 0.90)
            if 'avx2' in names:
                least(f'{build}, {megabytes} MB, {text}, portable masks against AVX2',
                      times[f'{build} portable'], times[f'{build} avx2'], runs, 'for scale', float('inf'))


def nul_lines(work, runs):
    """Ten million lines of a NUL alone: each span of linescreen's masks
    holds a NUL and is judged by its pieces, which must cost no more with
    the masks than without them."""
    path = os.path.join(work, 'nul-lines')
    with open(path, 'wb') as f:
        f.write(b'\0\n' * 10_000_000)
    bench = os.path.join(BIN, 'screen_lines_bench')
    widths = ('widest', 'portable', 'none')
    times = side_by_side(work, {width: [bench, width] for width in widths}, path, runs)
    for width in widths[:2]:
        least(f'linescreen, 10 million lines of a NUL alone, {width} masks against none', times[width],
                times['none'], runs, '<= 1.05 of no masks', 1.05)


def codec():
    p = subprocess.run([os.path.join(BIN, 'codec_bench'), '--benchmark_format=json'],
                       capture_output=True, check=True)
    results = {b['name']: b['bytes_per_second'] for b in json.loads(p.stdout)['benchmarks']}
    for size in ('1023', '65536'):
        ceiling = results[f'BM_memcpy/{size}']
        for name in ('line_to_hex', 'hex_to_line'):
            rate = results[f'BM_{name}/{size}']
            row(f'{name}, {size}-byte input (MB/s)', round(rate / 1e6),
                round(ceiling / 1e6), rate / ceiling, 'reported beside memcpy', True)


def hexecho_writes(work):
    data = os.path.join(work, 'echo')
    n = 100
    with open(data, 'wb') as f:
        f.write(bytes(random.Random(7).randint(1, 255) for _ in range(n)))
    trace = os.path.join(work, 'trace')
    with open(data, 'rb') as i:
        sh('strace', '-o', trace, '-e', 'trace=open,openat,write,close',
           os.path.join(BIN, 'hexecho'), stdin=i, stdout=subprocess.DEVNULL)
    lines = open(trace).read().splitlines()
    after = lines[next(i for i, l in enumerate(lines) if '"/dev/stdin"' in l) + 2:]
    opens = sum('"/dev/stdout"' in l for l in after)
    writes = sum(l.startswith('write(') for l in after)
    closes = sum(l.startswith('close(') for l in after)
    other = len(after) - opens - writes - closes - 1  # the exit line
    expected = 3 * n + 1
    holds = opens == writes == closes == expected and other == 0
    row(f'hexecho, {n} bytes: opens/writes/closes', f'{opens}/{writes}/{closes}',
        expected, '', '3n+1 each, nothing more', holds)


# The two lines of a document between which --markdown writes.
BEGIN = '<!-- bench/run.py --markdown writes from here: not by hand -->'
END = '<!-- to here -->'


def out(*command):
    return subprocess.run(command, capture_output=True, text=True, cwd=ROOT).stdout.strip()


def provenance(markdown, load):
    """The command, the commit and the machine the figures come from, and
    the load on it when they began: the other processes' share of it."""
    commit = out('git', 'rev-parse', '--short', 'HEAD') or 'unknown'
    document = os.path.relpath(os.path.abspath(markdown), ROOT)
    if out('git', 'status', '--porcelain', '--', '.', f':!{document}'):
        commit += ', with uncommitted changes'
    with open('/proc/cpuinfo') as f:
        cpu = next((l.split(':', 1)[1].strip() for l in f if l.startswith('model name')), platform.machine())
    with open('/etc/os-release') as f:
        system = dict(l.rstrip('\n').split('=', 1) for l in f if '=' in l).get('PRETTY_NAME', '').strip('"')
    compiler = ''
    for found in glob.glob(os.path.join(BUILD, 'CMakeFiles', '*', 'CMakeCXXCompiler.cmake')):
        with open(found) as f:
            facts = dict(re.findall(r'set\(CMAKE_CXX_COMPILER_(ID|VERSION) "([^"]*)"\)', f.read()))
        compiler = f"{ {'GNU': 'g++', 'Clang': 'clang'}.get(facts['ID'], facts['ID'])} {facts['VERSION']}"
    return (f"Written by `python3 bench/run.py {' '.join(sys.argv[1:])}` on "
            f"{time.strftime('%Y-%m-%d', time.gmtime())} at commit {commit}: {cpu}, "
            f"{os.cpu_count()} cores, {system}, Linux {platform.release()}, {compiler}; "
            f"load average {load:.2f} over the minute before it started.")


def markers(path):
    """The document's text, and where what --markdown writes begins and ends
    in it; None for a document without both marker lines."""
    with open(path) as f:
        text = f.read()
    begin = text.find(BEGIN)
    end = text.find(END, begin) if begin >= 0 else -1
    return (text, begin + len(BEGIN), end) if end >= 0 else None


def write_markdown(path, lines):
    text, begin, end = markers(path)
    with open(path, 'w') as f:
        f.write(text[:begin] + '\n\n' + '\n'.join(lines) + '\n\n' + text[end:])


def cell(values):
    """A figure's cell: its value, or the range of its values across runs."""
    text = [f'{v:.3f}' if isinstance(v, float) else str(v) for v in values]
    if len(set(text)) == 1:
        return text[0]
    if all(isinstance(v, (int, float)) for v in values):
        return cell([min(values)]) + '–' + cell([max(values)])
    return ' / '.join(text)


def verdict(values):
    misses = values.count('NO')
    if misses in (0, len(values)):
        return values[0]
    return f'NO in {misses} of {len(values)} runs'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=15)
    parser.add_argument('--megabytes', type=int, default=50)
    parser.add_argument('--repeat', type=int, default=1,
                        help='measure N times over; each cell gives the range of its N values')
    parser.add_argument('--markdown', metavar='FILE',
                        help='write the table into FILE, between its marker lines')
    args = parser.parse_args()
    if args.markdown and markers(args.markdown) is None:  # fails now, not after the runs
        parser.error(f'{args.markdown} lacks the lines {BEGIN} and {END}')
    load = os.getloadavg()[0]  # before this benchmark's own work
    install('xxd', 'xxd')
    install('ripgrep', 'rg')
    install('libbenchmark-dev', '/usr/include/benchmark/benchmark.h')
    sh('bash', os.path.join(ROOT, 'tests', 'tools.sh'), '--quick', stdout=subprocess.DEVNULL)  # musl-dev, libc++-dev
    runs = []
    with tempfile.TemporaryDirectory() as work:
        nop, programs = build(work)
        for _ in range(args.repeat):
            rows.clear()
            startup(nop, programs, work)
            tarballs(work)
            hexscreen_vs_xxd(work)
            linescreen_vs_grep(work, args.megabytes, args.runs)
            nul_lines(work, args.runs)
            codec()
            hexecho_writes(work)
            runs.append(list(rows))

    header = ('figure', 'value', 'reference', 'ratio', 'target', 'holds')
    table = ['| ' + ' | '.join(header) + ' |', '|' + '---|' * len(header)]
    for same_row in zip(*runs):
        cells = [cell([r[i] for r in same_row]) for i in range(5)] + [verdict([r[5] for r in same_row])]
        table.append('| ' + ' | '.join(cells) + ' |')
    print('\n'.join(table))
    if args.markdown:
        write_markdown(args.markdown, [provenance(args.markdown, load), ''] + table)
    return 0 if all(r[5] == 'yes' for run in runs for r in run) else 1


if __name__ == '__main__':
    sys.exit(main())
