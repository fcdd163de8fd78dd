"""End-to-end behaviour of the built executable: console bytes, exit status
and the files left behind."""
import os
import random
import re
import resource
import struct
import subprocess
import time
import unittest

from harness import (EXE, HELPERS, IN_CI, RUNNER, USAGE, WINDOWS, ToolTestCase,
                     bspfile, is_static, size_line)

def report_pattern_any():
    return re.compile(b"Exception E(InOutError|OutOfMemory) in module [^\\n]+ at [0-9A-F]{8}\\.\\n"
                      b"[^\\r\\n]+\\.\\r\\n\\Z")


LUMP = b'{\n"classname" "world"\n"message" "e2e"\n}\n'


class UsageTest(ToolTestCase):
    def test_no_argument_prints_usage(self):
        for args in ([], [""], ["", ""]):
            with self.subTest(args=args):
                result = self.run_tool(*args)
                self.assertEqual((result.status, result.out), (0, USAGE))
                self.assertEqual(self.listing(), [])


class DumpTest(ToolTestCase):
    def test_dumps_lump_beside_input(self):
        self.write("maps/e1m1.bsp", bspfile.bsp(LUMP))
        result = self.run_tool("maps/e1m1.bsp")
        self.assertDumped(result, "maps/e1m1.txt", LUMP)

    def test_empty_argument_before_path_is_skipped(self):
        self.write("m.bsp", bspfile.bsp(LUMP))
        result = self.run_tool("", "m.bsp", "ignored.bsp")
        self.assertDumped(result, "m.txt", LUMP)

    def test_every_byte_value_copied_unchanged(self):
        lump = bytes(range(256)) * 3 + b"\r\n\n\r\x00\x1a"
        data = bspfile.bsp(lump, offset=130, other_lumps=False)
        data = data[:124] + b"junk!!" + lump + b"after"
        self.write("all.bsp", data)
        result = self.run_tool("all.bsp")
        self.assertDumped(result, "all.txt", lump, offset=130)
        self.assertEqual(self.read("all.bsp"), data)

    def test_empty_lump_empties_existing_output(self):
        self.write("m.bsp", bspfile.bsp(b""))
        self.write("m.txt", b"old contents")
        result = self.run_tool("m.bsp")
        self.assertEqual((result.status, result.out), (0, size_line(0, 124)))
        self.assertEqual(self.read("m.txt"), b"")

    def test_output_path_rule(self):
        # (input, output): the extension goes, '/' ends a folder.
        cases = [("e1m1", "e1m1.txt"), ("e1m1.", "e1m1.txt"),
                 ("archive.old.bsp", "archive.old.txt"),
                 ("maps.old/e1m1", "maps.old/e1m1.txt")]
        for source, target in cases:
            with self.subTest(source=source):
                self.write(source, bspfile.bsp(LUMP))
                result = self.run_tool(source)
                self.assertEqual(result.status, 0, result.out)
                self.assertEqual(self.read(target), LUMP)
        self.assertFalse(self.exists("maps.txt"))

    def test_dot_slash_name_stays_in_its_folder(self):
        self.write("w/e1m1", bspfile.bsp(LUMP))
        os.makedirs(self.path("v"))
        for arg, cwd in (("./e1m1", "w"), ("../w/e1m1", "v")):
            with self.subTest(arg=arg):
                result = self.run_tool(arg, cwd=self.path(cwd))
                self.assertDumped(result, "w/e1m1.txt", LUMP)
        self.assertFalse(self.exists("w/.txt"))
        self.assertFalse(self.exists("..txt"))

    def test_other_versions_are_left_alone(self):
        for version in (30, -1, -2147483648, 0, 28):
            with self.subTest(version=version):
                data = bspfile.bsp(LUMP, version=version)
                self.write("v.bsp", data)
                result = self.run_tool("v.bsp")
                self.assertEqual(result.status, 0)
                self.assertEqual(result.out, b"Wrong bsp version, expected 29 found %d\r\n" % version)
                self.assertFalse(self.exists("v.txt"))
                self.assertEqual(self.read("v.bsp"), data)

    def test_long_path_to_existing_map(self):
        parts = ["folder%03d_%s" % (i, "x" * 40) for i in range(7)]
        rel = "/".join(parts + ["map.bsp"])
        self.assertGreater(len(rel), 300)
        self.write(rel, bspfile.bsp(LUMP))
        result = self.run_tool(rel)
        if WINDOWS:
            # Over MAX_PATH: the system's own answer, ERROR_FILENAME_EXCED_RANGE.
            self.assertFailure(result, "I/O error 206")
            return
        self.assertDumped(result, rel[:-4] + ".txt", LUMP)


class FailureTest(ToolTestCase):
    """Each failure: the lines before it, the report, status 1, and the
    input and any existing output left as they were."""

    def check(self, name, data, message, before=b"", arg=None, output_before=None):
        if data is not None:
            self.write(name, data)
        if output_before is not None:
            self.write(name.rsplit(".", 1)[0] + ".txt", output_before)
        result = self.run_tool(arg or name)
        location = self.assertFailure(result, message, before)
        if data is not None:
            self.assertEqual(self.read(name), data, "the input is never changed")
        output = name.rsplit(".", 1)[0] + ".txt"
        if output_before is None:
            self.assertFalse(self.exists(output) and output != name)
        else:
            self.assertEqual(self.read(output), output_before)
        return location

    def test_missing_file(self):
        self.check("none.bsp", None, "File not found")

    def test_missing_folder(self):
        self.check("none/e1m1.bsp", None, "Invalid filename")

    def test_file_as_folder(self):
        self.write("plain", b"x")
        self.check("plain/e1m1.bsp", None, "Invalid filename")

    def test_short_header_prints_nothing_before_report(self):
        for size in (0, 1, 123):
            with self.subTest(size=size):
                self.check("short.bsp", bspfile.bsp(LUMP)[:size], "Read beyond end of file")

    def test_lump_past_end(self):
        data = bspfile.bsp(LUMP, length=100000, other_lumps=False)
        self.check("past.bsp", data, "Read beyond end of file", size_line(100000, 124),
                   output_before=b"keep me")

    def test_offset_past_end(self):
        data = bspfile.bsp(LUMP, offset=1 << 30)
        self.check("far.bsp", data, "Read beyond end of file", size_line(len(LUMP), 1 << 30))

    def test_negative_offset(self):
        data = bspfile.bsp(LUMP, offset=-1)
        self.check("neg.bsp", data, "I/O error 131", size_line(len(LUMP), -1))

    def test_negative_length(self):
        for length in (-1, -2147483648):
            with self.subTest(length=length):
                data = bspfile.bsp(LUMP, length=length)
                self.check("neglen.bsp", data, "Read beyond end of file", size_line(length, 124))

    def test_directory_as_input(self):
        os.makedirs(self.path("dir.bsp"))
        self.check("dir.bsp", None, "File access denied")

    def test_txt_input_is_never_replaced(self):
        data = bspfile.bsp(LUMP)
        self.check("map.txt", data, "File access denied", size_line(len(LUMP), 124))

    def test_output_linked_to_input_is_refused(self):
        if WINDOWS:
            self.skipTest("symbolic links: POSIX only")
        data = bspfile.bsp(LUMP)
        self.write("m.bsp", data)
        os.symlink("m.bsp", self.path("m.txt"))
        result = self.run_tool("m.bsp")
        self.assertFailure(result, "File access denied", size_line(len(LUMP), 124))
        self.assertEqual(self.read("m.bsp"), data)
        os.remove(self.path("m.txt"))
        os.link(self.path("m.bsp"), self.path("m.txt"))
        result = self.run_tool("m.bsp")
        self.assertFailure(result, "File access denied", size_line(len(LUMP), 124))
        self.assertEqual(self.read("m.bsp"), data)

    def test_read_only_input(self):
        data = bspfile.bsp(LUMP)
        self.write("ro.bsp", data, mode=0o444)
        result = self.run_tool("ro.bsp", unprivileged=True)
        self.assertFailure(result, "File access denied")
        self.assertFalse(self.exists("ro.txt"))

    def test_read_only_output(self):
        data = bspfile.bsp(LUMP)
        self.write("m.bsp", data, mode=0o666)
        self.write("m.txt", b"protected", mode=0o444)
        result = self.run_tool("m.bsp", unprivileged=True)
        self.assertFailure(result, "File access denied", size_line(len(LUMP), 124))
        self.assertEqual(self.read("m.txt"), b"protected")

    def test_locations_identify_the_step(self):
        missing = self.check("none.bsp", None, "File not found")
        self.assertEqual(missing, self.check("none.bsp", None, "File not found"))
        short = self.check("s.bsp", b"abc", "Read beyond end of file")
        past = self.check("p.bsp", bspfile.bsp(LUMP, length=9999, other_lumps=False),
                          "Read beyond end of file", size_line(9999, 124))
        seek = self.check("n.bsp", bspfile.bsp(LUMP, offset=-1), "I/O error 131",
                          size_line(len(LUMP), -1))
        self.assertEqual(len({missing, short, past, seek}), 4)


@unittest.skipIf(WINDOWS, "POSIX surroundings")
class PosixSurroundingsTest(ToolTestCase):
    def test_output_write_refused(self):
        data = bspfile.bsp(LUMP)
        self.write("m.bsp", data)
        os.symlink("/dev/full", self.path("m.txt"))
        result = self.run_tool("m.bsp")
        self.assertFailure(result, "I/O error 112", size_line(len(LUMP), 124))
        self.assertEqual(self.read("m.bsp"), data)

    def test_file_size_limit(self):
        lump = b"x" * 100000
        self.write("big.bsp", bspfile.bsp(lump))
        result = self.run_tool("big.bsp", limits=[(resource.RLIMIT_FSIZE, 40000)])
        self.assertFailure(result, "I/O error 223", size_line(len(lump), 124))

    def test_too_many_open_files(self):
        if not is_static(EXE):
            self.skipTest("a dynamically linked build needs descriptors to start at all")
        self.write("m.bsp", bspfile.bsp(LUMP))
        result = self.run_tool("m.bsp", limits=[(resource.RLIMIT_NOFILE, 3)])
        self.assertFailure(result, "Too many open files")
        self.assertFalse(self.exists("m.txt"))

    def test_out_of_memory(self):
        if os.environ.get("LORVINK_SANITIZED"):
            self.skipTest("a sanitizer reserves more address space than the limit allows")
        length = 1 << 30
        data = bspfile.bsp(b"", length=length, other_lumps=False)
        self.write("huge.bsp", data)
        result = self.run_tool("huge.bsp", limits=[(resource.RLIMIT_AS, 256 << 20)])
        self.assertFailure(result, "Out of memory", size_line(length, 124), kind="EOutOfMemory")
        self.assertFalse(self.exists("huge.txt"))

    def test_header_arriving_in_pieces(self):
        # A pipe hands the header over in two parts; the one read request
        # of 124 bytes still gets all of it.
        data = bspfile.bsp(LUMP, version=30)
        proc = subprocess.Popen([EXE, "/dev/stdin"], cwd=self.dir, stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)
        proc.stdin.write(data[:50])
        proc.stdin.flush()
        time.sleep(0.2)
        proc.stdin.write(data[50:])
        proc.stdin.close()
        out = proc.stdout.read()
        proc.stdout.close()
        self.assertEqual((proc.wait(timeout=60), out), (0, b"Wrong bsp version, expected 29 found 30\r\n"))

    def test_lump_just_under_2_gib(self):
        # Linux moves at most about 2 GiB in one read or write call; the
        # tool's single read and write of this lump must go on past that.
        if os.environ.get("LORVINK_SANITIZED"):
            self.skipTest("half a minute of copying; the normal build covers it")
        length = 2147483000
        head, tail = b"{ first bytes }\n", b"\n{ last bytes }"
        with open(self.path("big.bsp"), "wb") as f:
            f.write(bspfile.header(29, [(124, length)]) + head)
            f.seek(124 + length - len(tail))  # a sparse middle: no disk needed
            f.write(tail)
        result = self.run_tool("big.bsp")
        self.assertEqual((result.status, result.out), (0, size_line(length, 124)))
        self.assertEqual(os.path.getsize(self.path("big.txt")), length)
        with open(self.path("big.txt"), "rb") as f:
            self.assertEqual(f.read(len(head)), head)
            f.seek(length // 2)
            self.assertEqual(f.read(4096), bytes(4096))
            f.seek(length - len(tail))
            self.assertEqual(f.read(), tail)

    def test_long_module_name_report_comes_out_whole(self):
        name = "lorvink-" + "n" * 200
        exe = self.copy_exe(name)
        result = self.run_tool("missing.bsp", exe=exe)
        self.assertGreater(len(result.out), 128)
        self.assertFailure(result, "File not found", module=name)

    def test_output_name_over_system_limit(self):
        name = "m" * 254
        data = bspfile.bsp(LUMP)
        self.write(name, data)
        result = self.run_tool(name)
        self.assertFailure(result, "Invalid filename", size_line(len(LUMP), 124))
        self.assertEqual(self.listing(), [name], "no shortened name is written")

    def test_character_device_as_input(self):
        result = self.run_tool("/dev/zero")
        self.assertEqual((result.status, result.out), (0, b"Wrong bsp version, expected 29 found 0\r\n"))

    def test_stdout_closed(self):
        data = bspfile.bsp(LUMP)
        self.write("m.bsp", data)
        result = self.run_tool("m.bsp", stdout=None, preexec=lambda: os.close(1))
        self.assertEqual(result.status, 1)
        self.assertEqual(self.read("m.bsp"), data)
        self.assertFalse(self.exists("m.txt"))

    def test_stdin_and_stderr_closed(self):
        data = bspfile.bsp(LUMP)
        self.write("m.bsp", data)

        def close_in_and_err():
            os.close(0)
            os.close(2)

        proc = subprocess.run([EXE, "m.bsp"], cwd=self.dir, stdout=subprocess.PIPE,
                              preexec_fn=close_in_and_err)
        self.assertEqual((proc.returncode, proc.stdout), (0, size_line(len(LUMP), 124)))
        self.assertEqual(self.read("m.txt"), LUMP)
        self.assertEqual(self.read("m.bsp"), data)

    def test_stdout_full_device(self):
        self.write("m.bsp", bspfile.bsp(LUMP))
        with open("/dev/full", "wb") as full:
            result = self.run_tool("m.bsp", stdout=full)
        self.assertEqual(result.status, 1)
        self.assertFalse(self.exists("m.txt"))

    def test_stdout_null_device(self):
        self.write("m.bsp", bspfile.bsp(LUMP))
        with open(os.devnull, "wb") as null:
            result = self.run_tool("m.bsp", stdout=null)
        self.assertEqual(result.status, 0)
        self.assertEqual(self.read("m.txt"), LUMP)

    def test_stdout_pipe_without_reader(self):
        self.write("m.bsp", bspfile.bsp(LUMP))
        read_end, write_end = os.pipe()
        os.close(read_end)
        with os.fdopen(write_end, "wb") as pipe:
            result = self.run_tool("m.bsp", stdout=pipe)
        self.assertEqual(result.status, 0, "the last flush's failure changes nothing")
        self.assertEqual(self.read("m.txt"), LUMP)

    def test_failure_report_to_pipe_without_reader_is_silent(self):
        read_end, write_end = os.pipe()
        os.close(read_end)
        with os.fdopen(write_end, "wb") as pipe:
            result = self.run_tool("missing.bsp", stdout=pipe)
        self.assertEqual(result.status, 1)


@unittest.skipUnless(WINDOWS, "the Windows build")
class WindowsTest(ToolTestCase):
    def run_raw(self, command_line):
        """The tool started with exactly |command_line|, through a helper."""
        spawn = os.path.join(HELPERS, "spawn_raw.exe")
        return self.run_tool(exe=spawn, env={"LORVINK_COMMAND_LINE": command_line})

    def test_command_line_rule(self):
        exe = EXE.replace("/", "\\")
        self.write("maps/e1m1.bsp", bspfile.bsp(LUMP))
        self.write("maps/e1 m1.bsp", bspfile.bsp(LUMP + b"2"))
        for line, output, lump in (
                ('"%s" "" maps\\e1m1.bsp' % exe, "maps/e1m1.txt", LUMP),
                ('"%s" ""maps\\e1m1.bsp' % exe, "maps/e1m1.txt", LUMP),
                ('"%s" maps\\"e1 m1".bsp' % exe, "maps/e1 m1.txt", LUMP + b"2"),
                ('"%s" "maps\\e1 m1.bsp" ignored' % exe, "maps/e1 m1.txt", LUMP + b"2")):
            with self.subTest(line=line):
                result = self.run_raw(line)
                self.assertDumped(result, output, lump)
                os.remove(self.path(output))
        for line in ('"%s"' % exe, '"%s" ""' % exe, '"%s"  "" ""  ' % exe):
            with self.subTest(line=line):
                result = self.run_raw(line)
                self.assertEqual((result.status, result.out), (0, USAGE))

    def test_backslash_paths(self):
        self.write("maps/e1m1.bsp", bspfile.bsp(LUMP))
        result = self.run_tool("maps\\e1m1.bsp")
        self.assertDumped(result, "maps/e1m1.txt", LUMP)

    def test_sharing_violation(self):
        data = bspfile.bsp(LUMP)
        self.write("held.bsp", data)
        with subprocess.Popen(RUNNER + [os.path.join(HELPERS, "hold_file.exe"), "held.bsp"],
                              cwd=self.dir, stdin=subprocess.PIPE, stdout=subprocess.PIPE) as holder:
            try:
                self.assertEqual(holder.stdout.readline(), b"held\n")
                result = self.run_tool("held.bsp")
            finally:
                holder.stdin.close()
                holder.wait(timeout=60)
        self.assertFailure(result, "I/O error 32")
        self.assertEqual(self.read("held.bsp"), data)

    def test_allocation_a_32_bit_process_cannot_make(self):
        length = 2147483000
        self.write("huge.bsp", bspfile.bsp(b"", length=length, other_lumps=False))
        result = self.run_tool("huge.bsp")
        self.assertFailure(result, "Out of memory", size_line(length, 124), kind="EOutOfMemory")

    def test_double_byte_names(self):
        if "ja_JP.utf8" not in subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout:
            if IN_CI:
                self.fail("the ja_JP.UTF-8 locale is missing")
            self.skipTest("the ja_JP.UTF-8 locale is missing (tools/install-deps.sh makes it)")
        # U+8868 is 0x95 0x5C in code page 932: its second byte is not a '\\'.
        name = "a.b\u8868c"
        self.write(name, bspfile.bsp(LUMP))
        result = self.run_tool(name, env={"LC_ALL": "ja_JP.UTF-8"})
        self.assertDumped(result, "a.txt", LUMP)
        self.assertEqual(self.listing(), sorted([name, "a.txt"]))

    def test_name_differing_in_case_is_the_input(self):
        data = bspfile.bsp(LUMP)
        self.write("MAP.TXT", data)
        result = self.run_tool("MAP.TXT")
        self.assertFailure(result, "File access denied", size_line(len(LUMP), 124))
        self.assertEqual(self.read("MAP.TXT"), data)
        self.assertEqual(self.listing(), ["MAP.TXT"])


class RandomHeadersTest(ToolTestCase):
    """Generated headers with random and extreme fields: the tool ends with
    status 0 or 1, a 1 always with a report, an output only after success
    and then exactly the lump, and the map never changed."""

    EXTREMES = [0, 1, 123, 124, 125, -1, -124, 2**31 - 1, -2**31, 2**30, 4096]

    def test_random_headers(self):
        rng = random.Random(29)
        runs = 30 if RUNNER else 300
        for n in range(runs):
            body = bytes(rng.getrandbits(8) for _ in range(rng.choice([0, 3, 100, 1500])))
            size = 124 + len(body)
            pick = lambda: rng.choice(self.EXTREMES + [rng.randrange(0, size + 8), size, size - 1])  # noqa: E731
            version = rng.choice([29, 29, 29, 30, -1, 0, rng.randrange(-2**31, 2**31)])
            offset, length = pick(), pick()
            data = bspfile.header(version, [(offset, length)]) + body
            self.write("r.bsp", data)
            if self.exists("r.txt"):
                os.remove(self.path("r.txt"))
            with self.subTest(n=n, version=version, offset=offset, length=length, size=size):
                result = self.run_tool("r.bsp")
                self.assertIn(result.status, (0, 1))
                self.assertEqual(self.read("r.bsp"), data)
                if result.status == 1:
                    self.assertRegex(result.out, report_pattern_any())
                    self.assertFalse(self.exists("r.txt"))
                elif version != 29:
                    self.assertEqual(result.out, b"Wrong bsp version, expected 29 found %d\r\n" % version)
                    self.assertFalse(self.exists("r.txt"))
                else:
                    self.assertEqual(result.out, size_line(length, offset))
                    self.assertEqual(self.read("r.txt"), data[offset:offset + length] if length else b"")


class SampleMapTest(ToolTestCase):
    def test_sample_map_dumps(self):
        sample = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "sample.bsp")
        with open(sample, "rb") as f:
            data = f.read()
        version, offset, length = struct.unpack("<iii", data[:12])
        self.assertEqual(version, 29)
        self.write("sample.bsp", data)
        result = self.run_tool("sample.bsp")
        self.assertEqual((result.status, result.out), (0, size_line(length, offset)))
        self.assertEqual(self.read("sample.txt"), data[offset:offset + length])
        self.assertIn(b'"classname" "world"', self.read("sample.txt"))


if __name__ == "__main__":
    unittest.main()
