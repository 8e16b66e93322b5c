"""The programs in hostile surroundings: closed descriptors, a directory or
a socket as standard input, a socket or a vanished reader as standard
output, an output file shared with other writers, named pipes, another user. Each run must end with
status 0 (or the usual SIGPIPE death), say nothing on standard error, and
leave every file but its output alone.

usage: surroundings_test.py BUILD_DIR E2E_DIR [unittest options]
HEXSUITE_EMULATOR in the environment, such as "qemu-arm -L /usr/arm-linux-gnueabihf",
runs the programs of a cross build. HEXSUITE_BINFMT=1 says that the kernel
hands each program to qemu-user through binfmt (a foreign machine's root),
which some surroundings cannot survive; those cases are skipped, saying why.
"""
import contextlib
import itertools
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

BIN = E2E = None
PROGRAMS = []
EMULATOR = os.environ.get('HEXSUITE_EMULATOR', '').split()
BINFMT = os.environ.get('HEXSUITE_BINFMT') == '1'


def command(name, bin_dir=None):
    return EMULATOR + [os.path.join(bin_dir or BIN, name)]


def read(path):
    with open(path, 'rb') as f:
        return f.read()


# Whether each program reads standard input, and the end-to-end case
# (E2E_DIR/PROGRAM/CASE.in and .out) its runs here are held to. A reader's
# case 'empty' is what it prints for no input.
FACTS = {
    'hexscreen': (True, 'coffee'),
    'linescreen': (True, 'drops_hello_world'),
    'hexcycle': (True, 'hello'),
    'hexecho': (True, 'hi'),
    'bytewalk': (False, 'input_ignored'),
    'quadhex': (False, 'fixed'),
    'hexnum': (False, 'fixed'),
    'trickle': (False, 'fixed'),
    'splitcopy': (False, 'fixed'),
}


def readers():
    """The programs that read standard input, mapped to what they print for
    empty input."""
    return {name: read(os.path.join(E2E, name, 'empty.out')) for name in PROGRAMS if FACTS[name][0]}


def case(name):
    base = os.path.join(E2E, name, FACTS[name][1])
    return base + '.in', read(base + '.in'), read(base + '.out')


def run(name, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, close=(),
        timeout=20, ignore_sigpipe=False, bin_dir=None, **kwargs):
    """Runs a program; `close` lists descriptors closed in the child. A
    hang fails in `timeout` seconds."""
    def child():
        for fd in close:
            os.close(fd)
        if ignore_sigpipe:
            signal.signal(signal.SIGPIPE, signal.SIG_IGN)
    p = subprocess.run(command(name, bin_dir), stdin=stdin,
                       stdout=stdout, stderr=subprocess.PIPE,
                       preexec_fn=child, timeout=timeout, **kwargs)
    return p


def timed(function, *args):
    """What `function` returns, and the seconds it took."""
    start = time.monotonic()
    result = function(*args)
    return result, time.monotonic() - start


def fifo_without(end):
    """A named pipe's descriptor whose other end has come and gone: the
    write end with no reader left, or the read end after the writer wrote
    b'hello\n' and closed."""
    path = os.path.join(tempfile.mkdtemp(), 'fifo')
    os.mkfifo(path)
    r = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
    w = os.open(path, os.O_WRONLY)
    if end == 'reader':
        os.close(r)
        return w
    os.write(w, b'hello\n')
    os.close(w)
    return r


def waits_in_poll(p, timeout=20):
    """Whether the running program `p` comes to wait in poll(), as it does on
    a descriptor that is not ready, within `timeout` seconds. The kernel
    names the function a sleeping process waits in; a program that ends
    first never waited."""
    deadline = time.monotonic() + timeout
    while p.poll() is None and time.monotonic() < deadline:
        with contextlib.suppress(OSError):
            if 'poll' in read(f'/proc/{p.pid}/wchan').decode():
                return True
        time.sleep(0.01)
    return False


class Surroundings(unittest.TestCase):
    def assertQuietSuccess(self, p, name):
        self.assertEqual(p.returncode, 0, name)
        self.assertEqual(p.stderr, b'', name)

    def test_every_program_has_its_facts(self):
        self.assertEqual(sorted(FACTS), sorted(PROGRAMS))

    def test_closed_stdin_is_empty_input(self):
        if BINFMT:
            self.skipTest("binfmt's open-binary flag gives qemu-user the program's own file "
                          "as descriptor 0 when standard input is closed")
        for name, empty in readers().items():
            with self.subTest(name):
                p = run(name, close=[0])
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, empty)

    def test_directory_as_stdin_is_empty_input(self):
        for name, empty in readers().items():
            with self.subTest(name):
                d = os.open('/', os.O_RDONLY | os.O_DIRECTORY)
                p = run(name, stdin=d)
                os.close(d)
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, empty)

    def test_socket_as_stdin_is_read(self):
        for name, empty in readers().items():
            with self.subTest(name):
                path, data, expected = case(name)
                a, b = socket.socketpair()
                b.sendall(data)
                b.shutdown(socket.SHUT_WR)
                p = run(name, stdin=a)
                a.close(), b.close()
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, expected)

    def test_socket_as_stdout_gets_everything_at_once(self):
        def into_socket(name, path):
            a, b = socket.socketpair()
            with open(path, 'rb') as i:
                p = run(name, stdin=i, stdout=b)
            b.close()
            got = b''
            while chunk := a.recv(65536):
                got += chunk
            a.close()
            return p, got

        def into_pipe(name, path):
            with open(path, 'rb') as i:
                return run(name, stdin=i)

        for name in PROGRAMS:
            with self.subTest(name):
                path, data, expected = case(name)
                # Without a pause: a pause of a second, which a socket
                # mistaken for unwritable would cost, makes every run into
                # it that much longer than one into a pipe made beside it.
                # Load slows both alike, and rarely three times over.
                for attempt in range(3):
                    (p, got), socket_time = timed(into_socket, name, path)
                    self.assertQuietSuccess(p, name)
                    self.assertEqual(got, expected)
                    pipe_time = timed(into_pipe, name, path)[1]
                    if socket_time - pipe_time < 0.5:
                        break
                else:
                    self.fail(f'{name}: {socket_time:.2f} s into a socket, {pipe_time:.2f} s into a pipe')

    def test_full_nonblocking_stdout_is_waited_on(self):
        # The caller's own pipe, non-blocking and full when the program
        # starts, drained once the program waits on it: nothing may be lost.
        for name in PROGRAMS:
            with self.subTest(name):
                path, data, expected = case(name)
                r, w = os.pipe()
                os.set_blocking(w, False)
                filler = 0
                with contextlib.suppress(BlockingIOError):
                    while True:
                        filler += os.write(w, b'x' * 65536)
                with open(path, 'rb') as i:
                    p = subprocess.Popen(command(name), stdin=i, stdout=w, stderr=subprocess.PIPE)
                os.close(w)
                # splitcopy writes nothing, so it has nothing to wait for.
                self.assertEqual(waits_in_poll(p), expected != b'', f'{name} waited on the full pipe')
                with os.fdopen(r, 'rb') as drained:
                    got = drained.read()
                err = p.stderr.read()
                p.wait(timeout=20)
                self.assertEqual((p.returncode, err), (0, b''))
                self.assertEqual(got, b'x' * filler + expected)

    def test_closed_stdout_leaves_the_input_file_alone(self):
        # hexecho pauses a second for every character it cannot write:
        # empty input keeps that to one.
        for name in readers():
            with self.subTest(name):
                with tempfile.NamedTemporaryFile() as f:
                    data = b'' if name == 'hexecho' else b'hello World\ncoffee\n'
                    f.write(data)
                    f.flush()
                    with open(f.name, 'rb') as i:
                        p = run(name, stdin=i, stdout=None, close=[1])
                    self.assertQuietSuccess(p, name)
                    with open(f.name, 'rb') as r:
                        self.assertEqual(r.read(), data)

    def test_read_only_stdout_is_left_alone(self):
        # Opening standard output's file again by path must not write to a
        # file that was handed over for reading only. (hexecho pauses a
        # second per character it cannot write: empty input keeps it short.)
        for name in ['hexscreen', 'hexecho']:
            with self.subTest(name):
                with tempfile.NamedTemporaryFile() as f:
                    f.write(b'keep\n')
                    f.flush()
                    with open(f.name, 'rb') as ro:
                        p = run(name, stdout=ro)
                    self.assertQuietSuccess(p, name)
                    with open(f.name, 'rb') as r:
                        self.assertEqual(r.read(), b'keep\n')

    def test_nonblocking_stdin_is_waited_for(self):
        import fcntl
        r, w = os.pipe()
        fcntl.fcntl(r, fcntl.F_SETFL, fcntl.fcntl(r, fcntl.F_GETFL) | os.O_NONBLOCK)
        p = subprocess.Popen(command('linescreen'), stdin=r,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        os.close(r)
        def feed():
            for i in range(3):
                os.write(w, b'line %d\nhello world\n' % i)
                time.sleep(0.05)
            os.close(w)
        threading.Thread(target=feed).start()
        out, err = p.communicate(timeout=30)
        self.assertEqual((p.returncode, err), (0, b''))
        self.assertEqual(out, b'line 0\nline 1\nline 2\n')

    def test_closed_stdout_quiet_for_the_fixed_printers(self):
        # bytewalk would wait a second for each of its 26 characters, by
        # the rule hexecho's row above already covers.
        for name in [n for n in PROGRAMS if n not in readers() and n != 'bytewalk']:
            with self.subTest(name):
                self.assertQuietSuccess(run(name, stdout=None, close=[1]), name)

    def test_vanished_reader(self):
        # An anonymous pipe and a named one alike: SIGPIPE, or status 0
        # where the signal is ignored; never a hang.
        for name in PROGRAMS:
            for how in ['pipe', 'fifo']:
                for ignore in [False, True]:
                    with self.subTest(name=name, how=how, ignore_sigpipe=ignore):
                        if how == 'pipe':
                            r, w = os.pipe()
                            os.close(r)
                        else:
                            w = fifo_without('reader')
                        path, data, expected = case(name)
                        with open(path, 'rb') as i:
                            p = run(name, stdin=i, stdout=w, ignore_sigpipe=ignore)
                        os.close(w)
                        self.assertIn(p.returncode, (0,) if ignore else (0, -signal.SIGPIPE))
                        self.assertEqual(p.stderr, b'', name)

    def test_fifo_as_stdin_whose_writer_has_gone(self):
        for name, empty in readers().items():
            with self.subTest(name):
                r = fifo_without('writer')
                p = run(name, stdin=r)
                os.close(r)
                self.assertQuietSuccess(p, name)
                expected = run(name, input=b'hello\n', stdin=None).stdout
                self.assertEqual(p.stdout, expected)

    def test_nonblocking_socket_as_stdin_is_waited_for(self):
        for name, empty in readers().items():
            with self.subTest(name):
                path, data, expected = case(name)
                a, b = socket.socketpair()
                a.setblocking(False)
                p = subprocess.Popen(command(name), stdin=a,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                self.assertTrue(waits_in_poll(p), f'{name} waited for the empty socket')
                b.sendall(data)
                b.close()
                out, err = p.communicate(timeout=20)
                a.close()
                self.assertEqual((p.returncode, err, out), (0, b'', expected))

    def test_another_user(self):
        # Standard input and output opened by root, the program run as
        # nobody: the descriptors work though their paths cannot be opened.
        if os.geteuid() != 0:
            self.skipTest('needs root to run a program as another user')
        reachable = tempfile.mkdtemp()
        os.chmod(reachable, 0o755)
        for name in PROGRAMS:
            shutil.copy(os.path.join(BIN, name), reachable)
        nobody = dict(user='nobody', group='nogroup', extra_groups=[],
                      bin_dir=reachable, timeout=10)
        for name in PROGRAMS:
            path, data, expected = case(name)
            with self.subTest(name=name, through='pipes'):
                p = run(name, stdin=None, input=data, **nobody)
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, expected)
            with self.subTest(name=name, through='files'):
                with tempfile.NamedTemporaryFile() as i, tempfile.TemporaryFile() as o:
                    os.chmod(i.name, 0o600)
                    i.write(data)
                    i.flush()
                    i.seek(0)
                    p = run(name, stdin=i, stdout=o, **nobody)
                    o.seek(0)
                    self.assertQuietSuccess(p, name)
                    self.assertEqual(o.read(), expected)
        shutil.rmtree(reachable)

    def test_concurrent_writer(self):
        # `{ prog & echo MARK; wait; } > log` shares one offset; `prog 1<>log`
        # beside another job appending to the log shares only the file. No
        # writer may write over the other either way.
        for name, case_name in [('hexecho', 'longer_than_one_read'), ('hexscreen', 'hello_world'),
                                ('bytewalk', 'fixed')]:
            base = os.path.join(E2E, name, case_name)
            with open(base + '.out', 'rb') as f:
                expected = f.read()
            # qemu-user refuses the per-write append, as Linux before 4.16
            # does: its runs test the fallback.
            for how, attempt in itertools.product(['shared offset', 'own appender'], range(3)):
                with self.subTest(name=name, how=how, attempt=attempt), \
                        tempfile.NamedTemporaryFile() as log:
                    other = log.fileno() if how == 'shared offset' else \
                        os.open(log.name, os.O_WRONLY | os.O_APPEND)
                    with open(base + '.in', 'rb') as i:
                        p = subprocess.Popen(command(name), stdin=i, stdout=log,
                                             stderr=subprocess.PIPE)
                    marks = 0
                    while p.poll() is None or marks == 0:
                        os.write(other, b'MARK\n')
                        marks += 1
                    p.wait(timeout=20)
                    if other != log.fileno():
                        os.close(other)
                    log.seek(0)
                    text = log.read()
                    self.assertEqual(text.count(b'MARK\n'), marks)
                    self.assertEqual(text.replace(b'MARK\n', b''), expected)

    def test_no_descriptor_to_spare(self):
        # At the open-file limit neither a fresh open nor a duplicate of
        # standard output is possible, yet descriptor 1 works. Only a static
        # program runs there: the dynamic loader needs a descriptor itself.
        import resource
        if b'.interp' in read(os.path.join(BIN, 'hexscreen')):
            self.skipTest('needs a static build')
        if BINFMT:
            self.skipTest('qemu-user needs a descriptor of its own to run a program')
        def limit():
            resource.setrlimit(resource.RLIMIT_NOFILE, (3, 3))
        for name in ['hexscreen', 'hexecho']:
            with self.subTest(name):
                path, data, expected = case(name)
                with open(path, 'rb') as i:
                    p = subprocess.run(command(name), stdin=i, capture_output=True,
                                       preexec_fn=limit, timeout=20)
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, expected)

    def test_failing_output_stops_endless_input(self):
        # `yes | linescreen > /dev/full` must end, quietly, with status 0.
        yes = subprocess.Popen(['yes'], stdout=subprocess.PIPE)
        with open('/dev/full', 'wb') as full:
            p = run('linescreen', stdin=yes.stdout, stdout=full)
        yes.kill()
        yes.wait()
        self.assertQuietSuccess(p, 'linescreen')

    def test_input_file_that_is_also_the_output(self):
        # `linescreen < f >> f` screens what f held at the start and ends,
        # rather than reading back what it appends.
        text = b''.join(b'line %d\nhello world\n' % i for i in range(30000))
        with tempfile.NamedTemporaryFile() as f:
            f.write(text)
            f.flush()
            with open(f.name, 'rb') as i, open(f.name, 'ab') as o:
                p = run('linescreen', stdin=i, stdout=o, timeout=20)
            self.assertQuietSuccess(p, 'linescreen')
            self.assertEqual(read(f.name), text + text.replace(b'hello world\n', b''))

    def test_input_file_past_2_gib_that_is_also_the_output(self):
        # The same with the file's offsets past what 32 bits hold, read from
        # the end of a 2 GiB hole: a 32-bit program must still see that its
        # input is its output.
        start = 2 ** 31 + 1
        text = b'keep\nhello world\n' * 1000
        with tempfile.NamedTemporaryFile() as f:
            f.truncate(start)
            f.seek(start)
            f.write(text)
            f.flush()
            with open(f.name, 'rb') as i, open(f.name, 'ab') as o:
                i.seek(start)
                p = run('linescreen', stdin=i, stdout=o, timeout=20)
            self.assertQuietSuccess(p, 'linescreen')
            self.assertEqual(os.path.getsize(f.name), start + len(text) + 5000)
            f.seek(start + len(text))
            self.assertEqual(f.read(), b'keep\n' * 1000)

    def test_shared_output_file_keeps_order(self):
        for name in PROGRAMS:
            with self.subTest(name):
                path, data, expected = case(name)
                with tempfile.TemporaryFile() as out:
                    out.write(b'header\n')
                    out.flush()
                    with open(path, 'rb') as i:
                        p = run(name, stdin=i, stdout=out)
                    # The next writer continues where the shared offset is.
                    os.write(out.fileno(), b'footer\n')
                    out.seek(0)
                    self.assertQuietSuccess(p, name)
                    self.assertEqual(out.read(), b'header\n' + expected + b'footer\n')

    def test_stdin_read_from_its_start(self):
        # A regular file is read from its first byte, whatever the shell's
        # descriptor has already consumed.
        for name in ['hexscreen', 'hexcycle', 'hexecho']:
            with self.subTest(name):
                path, data, expected = case(name)
                with open(path, 'rb') as i:
                    i.read(2)
                    p = run(name, stdin=i)
                self.assertQuietSuccess(p, name)
                self.assertEqual(p.stdout, expected)

    def test_ten_megabytes_through_a_slow_pipe(self):
        lines = [b'hello world\n', b'an ordinary line of text\n', b'x' * 700 + b'\n',
                 b'hello world \n', b'\n']
        data = b''.join(lines[i * 7 % 5] for i in range(20000))
        data = (data * (10_000_000 // len(data) + 1))[:10_000_000]
        for name, empty in readers().items():
            with self.subTest(name):
                p = subprocess.Popen(command(name), stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                def feed():
                    try:
                        for at in range(0, len(data), 65536):
                            p.stdin.write(data[at:at + 65536])
                            p.stdin.flush()
                            time.sleep(0.001)
                        p.stdin.close()
                    except BrokenPipeError:
                        pass  # a one-read program is done with its input
                feeder = threading.Thread(target=feed)
                feeder.start()
                # A hang is cut off rather than waited out.
                watchdog = threading.Timer(120, p.kill)
                watchdog.start()
                out = p.stdout.read()
                err = p.stderr.read()
                watchdog.cancel()
                p.wait(timeout=120)
                feeder.join()
                self.assertEqual(p.returncode, 0, name)
                self.assertEqual(err, b'', name)
                if name == 'linescreen':
                    kept = [l for l in data.splitlines(keepends=True) if l != b'hello world\n']
                    self.assertEqual(out, b''.join(kept))
                else:
                    self.assertGreater(len(out), 0)


if __name__ == '__main__':
    BIN, E2E = os.path.join(sys.argv[1], 'bin'), sys.argv[2]
    PROGRAMS = read(os.path.join(sys.argv[1], 'programs.txt')).decode().split()
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
