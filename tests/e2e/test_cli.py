#!/usr/bin/env python3
"""The program from outside, without a window: the command line's refusals, writes that fail (faults caused by a
preloaded shim, by the file-size limit, by a full device) and keep the earlier file, targets that are not regular
files, the files themselves, and starts that fail and name the cause."""

import errno, os, shutil, socket, stat, subprocess, threading, time
from desktop import *

SHIM = os.environ.get("VESK_WRITE_FAULTS", "")
AS_NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] if os.geteuid() == 0 else []


def read(path):
    with open(path, "rb") as f:
        return f.read()


def test_refusals(folder):
    """Input the window would refuse, options nobody knows, names that are no file to write: one line, status 2."""
    out = f"{folder}/out.bmp"
    os.mkdir(f"{folder}/adir")
    for arguments, status, said in [
            (["--x-from", "5", "--x-to", "5", "--by", "point", f"--output={out}"], 2, "vesk-plot: error : empity renge\n"),
            (["--clarity=0", "--by", "line", "-o", out], 2, "vesk-plot: The clarity box reads as 0. "
             "The clarity is the number of samples per unit and must not be 0.\n"),
            (["--y-to=40000", "--output", out], 2, "The Y to box holds a number outside"),
            (["--by", "curve", "--output", out], 2, "--by takes line or point"),
            (["--bogus", "--output", out], 2, "Unknown option 'bogus'"),
            (["--help-all"], 2, "Unknown option 'help-all'"),
            (["stray"], 2, "unexpected argument 'stray'"),
            (["--x-from", "1"], 2, "--output FILE is needed"),
            (["-o", f"{folder}/x.gif"], 2, "(bmp, jpg, png, svg, pdf)"),
            (["-o", f"{folder}/x.png", "--format", "gif"], 2, "--format takes one of bmp, jpg, png, svg, pdf, not 'gif'"),
            (["-o", f"{folder}/adir"], 2, "adir is a folder"),
            (["-o", f"{folder}/new/"], 2, "new/ is a folder"),
            (["--output", "/nonexistent-vesk/x.bmp"], 1, "saved to /nonexistent-vesk/x.bmp: No such file or directory")]:
        status_was, error = run(arguments)
        assert status_was == status and error.count("\n") == 1 and (error == said if said.endswith("\n") else said in error), error
    assert os.listdir(folder) == ["adir"]
    # The toolkit's options, in either form, are the window's: here they start it (offscreen), and it stays up.
    for platform in (["-platform", "offscreen"], ["--platform", "offscreen"]):  # killed by timeout after 1.5 s: 124
        assert subprocess.run(["timeout", "1.5", BINARY, *platform], capture_output=True).returncode == 124, platform


def test_formats_and_doors(folder):
    """--format where the name does not choose, standard output, links, FIFOs and device nodes: written through,
    the nodes left as they were; a full device is a failed write."""
    png = f"{folder}/plot.png"
    assert run(["-o", png, "--by", "line"]) == (0, "")
    assert run(["-o", f"{folder}/plot.data", "--format", "PNG", "--by", "line"]) == (0, "")
    assert read(f"{folder}/plot.data") == read(png)
    assert run(["-o", "-", "--format", "png", "--by", "line"], output=True) == (0, "", read(png))
    assert run(["--output=-"], output=True)[2][:2] == b"BM"
    os.symlink("plot.png", f"{folder}/link.png")
    assert run(["-o", f"{folder}/link.png", "--by", "point"]) == (0, "")
    assert os.readlink(f"{folder}/link.png") == "plot.png" and read(png) != read(f"{folder}/plot.data")

    os.mkfifo(f"{folder}/fifo")
    received = []
    reader = threading.Thread(target=lambda: received.append(read(f"{folder}/fifo")))
    reader.start()
    assert run(["-o", f"{folder}/fifo", "--format", "png"]) == (0, "")
    reader.join(10)
    assert received == [run(["-o", "-", "--format", "png"], output=True)[2]]

    if os.geteuid() != 0:
        raise Skip("device nodes need root to be made: FIFO and links checked, device nodes not")
    for name, minor in (("null", 3), ("full", 7)):
        os.mknod(f"{folder}/{name}", 0o666 | stat.S_IFCHR, os.makedev(1, minor))
        os.symlink(name, f"{folder}/to-{name}")
    for target, status, said in (("null", 0, ""), ("to-null", 0, ""), ("full", 1, "No space left on device"),
                                 ("to-full", 1, "No space left on device")):
        status_was, error = run(["-o", f"{folder}/{target}", "--format", "bmp"])
        assert status_was == status and said in error, error
    assert all(stat.S_ISCHR(os.stat(f"{folder}/{name}").st_mode) for name in ("null", "full"))
    assert all(os.path.islink(f"{folder}/to-{name}") for name in ("null", "full"))


def test_key_points(folder):
    """--key-points prints each key point in the X range with 17 significant digits; --marks draws them."""
    status, error, printed = run(["--key-points"], output=True)
    assert (status, error) == (0, "") and printed.decode().splitlines() == [
        "root -2.3744237632090641 1.7763568394002505e-15", "minimum -1.639187043175945 -7.4762019259274917",
        "inflection -0.87915286960589578 -4.265394476013209", "root 0 0",
        "inflection 0.37915286960589578 0.92511669823543141"], printed
    assert run(["--key-points", "--x-from", "1", "--x-to", "5"], output=True) == (0, "", b"")
    plain, marked = (run(["-o", "-", "--format", "png", "--by", "line", *extra], output=True)[2] for extra in ([], ["--marks"]))
    assert plain[:4] == marked[:4] == b"\x89PNG" and plain != marked


def test_failed_writes_keep_the_earlier_file(folder):
    """A write that fails first, half-way or last, with no space, over the size limit or with an I/O error, through
    a temporary file and in place (a folder that allows no new files): the earlier file stays byte for byte."""
    if not SHIM:
        raise Skip("no fault shim given (VESK_WRITE_FAULTS)")
    if not AS_NOBODY and os.geteuid() == 0:
        raise Skip("as root without setpriv, a locked folder cannot bind the program")
    os.chmod(folder, 0o755)
    os.mkdir(f"{folder}/open"), os.mkdir(f"{folder}/locked"), os.mkdir(f"{folder}/count", 0o777)
    os.chmod(f"{folder}/count", 0o777)
    earlier = b"an earlier picture, kept whole"
    preload = {"LD_PRELOAD": SHIM, "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"}
    for path in ("open", "locked"):
        target = f"{folder}/{path}/graph.bmp"
        open(target, "wb").write(earlier)
        os.chmod(target, 0o666)
        os.chmod(f"{folder}/{path}", 0o777 if path == "open" else 0o555)
        run(["-o", target], AS_NOBODY, {**preload, "VESK_COUNT_WRITES": f"{folder}/count/{path}"})
        writes = int(read(f"{folder}/count/{path}"))
        assert writes > 2 and read(target) != earlier, writes  # the plot was written, in several writes
        open(target, "wb").write(earlier)
        for number in (errno.ENOSPC, errno.EFBIG, errno.EIO):
            for which in (1, writes // 2, writes):
                status, error = run(["-o", target], AS_NOBODY, {**preload, "VESK_FAIL_WRITE": f"{which}:{number}"})
                assert status == 1 and os.strerror(number) in error, (path, which, error)
                assert read(target) == earlier and os.listdir(f"{folder}/{path}") == ["graph.bmp"], (path, which)
        # The size limit for real: nothing could be reserved, nothing changed.
        status, error = run(["-o", target], ["prlimit", "--fsize=64", *AS_NOBODY])
        assert status == 1 and "File too large" in error and read(target) == earlier, (path, error)
    os.chmod(f"{folder}/locked", 0o755)


def test_locked_folder(folder):
    """A folder that allows no new files: a writable file is written in place, others are refused with the cause."""
    if not AS_NOBODY and os.geteuid() == 0:
        raise Skip("as root without setpriv, permission bits cannot bind the program")
    os.chmod(folder, 0o755)
    os.mkdir(f"{folder}/locked")
    for name, mode in [("writable.bmp", 0o666), ("read-only.bmp", 0o444), ("write-only.bmp", 0o222)]:
        open(f"{folder}/locked/{name}", "w").write("old")
        os.chmod(f"{folder}/locked/{name}", mode)
    os.chmod(f"{folder}/locked", 0o555)
    for name, status, said in [("writable.bmp", 0, ""), ("read-only.bmp", 1, "may not be written (Permission denied)"),
                               ("write-only.bmp", 1, "could not be restored"), ("new.bmp", 1, "does not allow new files")]:
        status_was, error = run(["--output", f"{folder}/locked/{name}"], AS_NOBODY)
        assert status_was == status and said in error, error
    assert run(["--output", f"{folder}/frame.bmp"]) == (0, "")
    assert read(f"{folder}/locked/writable.bmp") == read(f"{folder}/frame.bmp")
    os.chmod(f"{folder}/locked", 0o755)
    assert [read(f"{folder}/locked/{name}") for name in ("read-only.bmp", "write-only.bmp")] == [b"old", b"old"]


def test_vector_frames_crisp(folder):
    """The frame of a vector file lies on whole pixels: rendered at 1× by librsvg (SVG) and poppler (PDF) it is the
    PNG, within 0.1 % of pixels."""
    if not shutil.which("rsvg-convert") or not shutil.which("pdftoppm"):
        raise Skip("rsvg-convert or pdftoppm is not installed")
    for bounds, kind in ((["-9", "9", "-9", "9"], "svg"), (["-1000", "2000", "-900", "100"], "svg"),
                         (["1", "5", "2", "7"], "svg"), (["-9", "9", "-9", "9"], "pdf"), (["-1000", "2000", "-900", "100"], "pdf")):
        options = [f"--{name}={value}" for name, value in zip(("x-from", "x-to", "y-from", "y-to"), bounds)]
        assert run(["-o", f"{folder}/f.{kind}", *options]) == (0, "") and run(["-o", f"{folder}/f.png", *options]) == (0, "")
        if kind == "svg":
            assert b'width="579" height="390"' in read(f"{folder}/f.svg") and b"font" not in read(f"{folder}/f.svg")
            subprocess.run(["rsvg-convert", "-o", f"{folder}/r.png", f"{folder}/f.svg"], check=True)
        else:
            subprocess.run(["pdftoppm", "-r", "72", "-singlefile", "-png", f"{folder}/f.pdf", f"{folder}/r"], check=True)
        pixels = [subprocess.run(["convert", f"{folder}/{name}", "-depth", "8", "rgb:-"], capture_output=True,
                                 check=True).stdout for name in ("f.png", "r.png")]
        assert len(pixels[0]) == len(pixels[1]) == 579 * 390 * 3, "sizes differ"
        differing = sum(max(abs(a - b) for a, b in zip(pixels[0][i:i + 3], pixels[1][i:i + 3])) > 32
                        for i in range(0, len(pixels[0]), 3))
        assert differing <= 579 * 390 // 1000, (bounds, kind, differing)


def test_starts_that_fail(folder):
    """Each failed start says what failed in its first line, status 1, within the watchdog's time."""
    os.chmod(folder, 0o700)

    def listen(path, answer):  # a socket that accepts; closes at once, or never answers
        server = socket.socket(socket.AF_UNIX)
        server.bind(path), server.listen(4)
        held = []
        threading.Thread(target=lambda: [held.append(server.accept()[0]) or (answer and held[-1].close())
                                         for _ in range(4)], daemon=True).start()
        return server
    sockets = [listen(f"{folder}/silent", False), listen(f"{folder}/closing", True)]
    x11 = "/tmp/.X11-unix"
    os.makedirs(x11, exist_ok=True)
    display = next(n for n in range(150, 250) if not os.path.exists(f"{x11}/X{n}"))
    sockets.append(listen(f"{x11}/X{display}", False))
    try:
        for session, said in [
                ({}, "no graphical session found"),
                ({"QT_QPA_PLATFORM": "nosuch", "DISPLAY": ":0"}, "no platform 'nosuch' here (installed: "),
                ({"QT_QPA_PLATFORM": "wayland", "XDG_RUNTIME_DIR": folder}, "no Wayland compositor answered at "
                 f"WAYLAND_DISPLAY= ({folder}/wayland-0)"),
                ({"WAYLAND_DISPLAY": "vesk-none", "XDG_RUNTIME_DIR": folder}, "at WAYLAND_DISPLAY=vesk-none"),
                ({"WAYLAND_DISPLAY": "closing", "XDG_RUNTIME_DIR": folder}, "at WAYLAND_DISPLAY=closing"),
                ({"WAYLAND_DISPLAY": "silent", "XDG_RUNTIME_DIR": folder}, "answered within 8 seconds at WAYLAND_DISPLAY"),
                ({"DISPLAY": ":97"}, "no X server answered at DISPLAY=:97"),
                ({"DISPLAY": f":{display}"}, f"no X server answered within 8 seconds at DISPLAY=:{display}")]:
            started = time.monotonic()
            status, error = run([], environment=session, timeout=12)
            assert status == 1 and error.startswith("vesk-plot: ") and said in error.splitlines()[0], (session, error)
            assert time.monotonic() - started < 10, session
    finally:
        for server in sockets:
            os.unlink(server.getsockname()), server.close()


if __name__ == "__main__":
    main(dict(globals()))
