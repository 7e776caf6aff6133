#!/usr/bin/env python3
"""The program from outside, without a window: the command line's refusals, failed writes (by a preloaded shim)
that keep the earlier file, targets that are not regular files, the files, and starts that fail and say why."""

import atexit, concurrent.futures, errno, re, sys, tempfile, wave, os, shutil, signal, socket, stat, subprocess, threading, time
from desktop import *

SHIM = os.environ.get("VESK_WRITE_FAULTS", "")


def as_user(uid):  # runs as another user, with a state folder of its own: where saves in place keep their copies
    state = tempfile.mkdtemp(prefix=f"vesk-state-{uid}-")
    os.chown(state, uid, uid), atexit.register(shutil.rmtree, state, True)
    return ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups", "env", f"XDG_STATE_HOME={state}"]


AS_NOBODY = as_user(65534) if os.geteuid() == 0 else []


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
            (["stray"], 2, "unexpected argument 'stray'"),
            (["xdisplay", ":0"], 2, "unexpected argument 'xdisplay'"),  # no toolkit option without its dash
            (["--x-from", "1"], 2, "--output FILE is needed"),
            (["-o", ""], 2, "vesk-plot: --output needs a file name, or - for standard output.\n"),
            (["--by", "line", "--audio="], 2, "--audio needs a file name"),
            (["-o", f"{folder}/x.gif"], 2, "(bmp, jpg, png, svg, pdf)"),
            (["-o", f"{folder}/x.png", "--format", "gif"], 2, "--format takes one of bmp, jpg, png, svg, pdf, not 'gif'"),
            (["-o", f"{folder}/adir"], 2, "adir is a folder"),
            (["-o", f"{folder}/new/"], 2, "new/ is a folder"),
            (["--output", "/nonexistent-vesk/x.bmp"], 1, "saved to /nonexistent-vesk/x.bmp: No such file or directory"),
            (["--by", "line", "--audio", f"{folder}/a.wav", "--duration", "0.49"], 2, "--duration takes seconds from 0.5 to 60, not '0.49'"),
            (["--by", "line", "--audio", f"{folder}/a.wav", "--duration", "nan"], 2, "not 'nan'"),
            (["--by", "line", "-o", out, "--duration", "3"], 2, "--duration, --mono, --no-reference and --ticks are for --audio FILE"),
            (["--by", "line", "-o", out, "--ticks"], 2, "--ticks are for --audio FILE"),
            (["--audio", f"{folder}/a.wav"], 2, "--audio needs --by line or --by point"),
            (["--by", "point", "--audio", f"{folder}/adir"], 2, "adir is a folder: --audio"),
            (["--by", "line", "--audio", "-", "-o", "-"], 2, "--output and --audio would both write to standard output"),
            (["--key-points", "-o", "-"], 2, "--output and --key-points would both write to standard output"),
            (["--key-points", "--by", "line", "--audio", "-"], 2, "--audio and --key-points would both write"),
            (["--by", "line", "--audio", "/dev/stdout", "-o", "-"], 2, "would both write to standard output"),
            (["--by", "line", "--audio", "/proc/self/fd/1", "-o", "/dev/fd/1"], 2, "would both write to standard output"),
            (["--by", "line", "--audio", f"{folder}/s.wav", "-o", f"{folder}/s.wav", "--format", "png"], 2,
             f"--output and --audio would both write to {folder}/s.wav;"),
            (["--by", "line", "--audio", f"{folder}/q.bmp", "-o", f"{folder}/q"], 2, f"would both write to {folder}/q.bmp"),
            (["--by", "line", "--audio", f"{folder}/adir/../s.wav", "-o", f"{folder}/s.wav", "--format", "png"], 2,
             "would both write to"),
            (["-o", f"{folder}/a.png", "--output", f"{folder}/b.png"], 2, "--output is given 2 times; give it once."),
            (["--marks", "--marks", "-o", out], 2, "--marks is given 2 times"),
            (["--by", "line", "--audio", "/nonexistent-vesk/a.wav"], 1, "sound could not be saved to /nonexistent-vesk/a.wav: No such file")]:
        status_was, error = run(arguments)
        assert status_was == status and error.count("\n") == 1 and (error == said if said.endswith("\n") else said in error), error
    assert os.listdir(folder) == ["adir"]
    # The same file by two names (a second name), and standard output that is the file named.
    open(f"{folder}/one.png", "wb").write(EARLIER), os.link(f"{folder}/one.png", f"{folder}/two.wav")
    assert run(["--by", "line", "--audio", f"{folder}/two.wav", "-o", f"{folder}/one.png"])[0] == 2
    with open(f"{folder}/one.png", "ab") as same:
        assert subprocess.run([BINARY, "--key-points", "-o", f"{folder}/two.wav", "--format", "png"], stdout=same,
                              stderr=subprocess.DEVNULL).returncode == 2
    assert read(f"{folder}/one.png") == EARLIER
    os.unlink(f"{folder}/one.png"), os.unlink(f"{folder}/two.wav")
    # The toolkit's options, in either form, are the window's: here they start it (offscreen), and it stays up.
    started = [subprocess.Popen(["timeout", "1.5", BINARY, *platform], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for platform in (["-platform", "offscreen"], ["--platform", "offscreen", "-reverse"])]
    assert [process.wait() for process in started] == [124, 124]  # killed by timeout after 1.5 s


def test_formats_and_doors(folder):
    """--format where the name does not choose, standard output, links and FIFOs: written through, the nodes left as
    they were (device nodes: test_names_and_special_targets)."""
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


# What a plot command writes, as the 1.2.0 release wrote it: the first 16 hex digits of each file's SHA-256, as
# BMP, PNG and JPEG. A change that alters these pictures has to mean to.
PICTURES = {"": ("a9cb5a54b6c04889", "3cc29246dd311444", "854b93bb9519d854"),
            "--by line": ("ae627b3080bef2f0", "dbe639f39bc451ae", "c81ccb74c8a04f6c"),
            "--by point": ("f4ea77fd769c8458", "8e99ae43e6f3b349", "55419d1d3886595e"),
            "--x-from -3 --x-to 2 --y-from -8 --y-to 12 --clarity 32767 --by point":
                ("ef0c29ae2845cee0", "39dbb9af713b8369", "d0bb67fb28dd4269"),
            "--x-from=-32768 --x-to 32767 --y-from=-32768 --y-to 32767 --clarity 32767 --by line":
                ("a75b1bd026286277", "d63d0705fd80d2b0", "e28273401d4257b8"),
            "--x-from 1 --x-to 5 --y-from 2 --y-to 7 --by line": ("1262027d5810af82", "050dfc06ed209ab2", "c8596cd8dfc05de3"),
            "--x-from 0 --x-to 1 --y-from -1 --y-to 4 --clarity 1 --by point":
                ("8d82061f72f5a6b2", "c7211f511c85dc43", "5499c8c5f8cd1402"),
            "--x-from -1000 --x-to 2000 --y-from -900 --y-to 100 --clarity 3 --by line":
                ("e7df7f1a718832bb", "f4867fe78982a34a", "70571c492ef0cfa1")}


def test_pictures_as_released(folder):
    """A plot command's pictures, byte for byte as the last release wrote them (24 files); a view gets numbers."""
    import hashlib
    for options, hashes in PICTURES.items():
        for kind, expected in zip(("bmp", "png", "jpg"), hashes):
            written = run([*options.split(), "-o", "-", "--format", kind], output=True)[2]
            assert hashlib.sha256(written).hexdigest()[:16] == expected, (options, kind)
    for refused in ("1,2,3", "1 0 0 1", "-40000 0 0 1", "3 3.00000000000001 0 1", "a b c d"):
        status, error = run(["--view", refused, "-o", f"{folder}/v.png"])
        assert status == 2 and "--view takes four numbers" in error, (refused, error)
    assert run(["--view", "-7.2 7.2, -7.2 7.2", "-o", f"{folder}/v.png"]) == (0, "")


def test_key_points(folder):
    """--key-points prints each key point in the X range with 17 significant digits; --marks draws them. A command
    line maps none of the window's libraries: neither Qt Widgets nor Qt Multimedia and the sound server's."""
    debug = subprocess.run([BINARY, "-o", f"{folder}/lean.png"], env={**os.environ, "LD_DEBUG": "files"},
                           capture_output=True, text=True).stderr
    loaded = set(re.findall(r"file=(\S+)", debug))
    assert "libQt6Gui.so.6" in loaded and not [name for name in loaded if re.search("Widgets|Multimedia|pulse|window", name)], loaded
    status, error, printed = run(["--key-points"], output=True)
    assert (status, error) == (0, "") and printed.decode().splitlines() == [
        "root -2.3744237632090641 1.7763568394002505e-15", "minimum -1.639187043175945 -7.4762019259274917",
        "inflection -0.87915286960589578 -4.265394476013209", "root 0 0",
        "inflection 0.37915286960589578 0.92511669823543141"], printed
    assert run(["--key-points", "--x-from", "1", "--x-to", "5"], output=True) == (0, "", b"")
    plain, marked = (run(["-o", "-", "--format", "png", "--by", "line", *extra], output=True)[2] for extra in ([], ["--marks"]))
    assert plain[:4] == marked[:4] == b"\x89PNG" and plain != marked


EARLIER = b"an earlier picture, kept whole"
PRELOAD = {"LD_PRELOAD": SHIM, "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"}
# The ways a save writes: the folder's mode, who saves, faults that force the way, the call that writes the bytes,
# and the calls each may fail besides those all share (write or pwrite, fsync, close).
WAYS = {"without a name": (0o777, [], "", "write", ["rename", "dirsync", "link"]),
        "named temporary": (0o777, [], "tmpfile:1+:95,", "write", ["rename", "dirsync", "link"]),
        "in place": (0o555, AS_NOBODY, "", "pwrite", ["ftruncate", "fallocate"]),
        "new file": (0o777, [], "", "write", ["link", "dirsync"]),
        "new file under a hidden name": (0o777, [], "tmpfile:1+:95,", "write", ["rename", "dirsync"])}


def test_sound_files(folder):
    """--audio writes a WAV file Python's wave reads: 44.1 kHz, 16 bits, stereo or --mono, the duration asked, the
    same for the same view whatever else is asked, a picture written beside it; to standard output too; a write that
    fails is status 1 with its cause and the earlier file as it was."""
    for arguments, channels, seconds in [([], 2, 3.0), (["--mono"], 1, 3.0), (["--duration", "0.5"], 2, 0.5),
                                         (["--duration=60", "--mono"], 1, 60.0), (["--duration", "7.25"], 2, 7.25)]:
        assert run(["--by", "line", "--audio", f"{folder}/a.wav", *arguments]) == (0, ""), arguments
        with wave.open(f"{folder}/a.wav") as sound:
            assert (sound.getnchannels(), sound.getsampwidth(), sound.getframerate()) == (channels, 2, 44100), arguments
            assert sound.getnframes() == round(seconds * 44100), (arguments, sound.getnframes())
    first = read(f"{folder}/a.wav")
    assert run(["--audio", f"{folder}/a.wav", "--duration=7.25", "--by", "line", "--marks", "-o",
                f"{folder}/p.png"]) == (0, "") and read(f"{folder}/a.wav") == first
    assert read(f"{folder}/p.png")[:4] == b"\x89PNG"
    status, _, piped = run(["--by", "point", "--audio", "-", "--view", "0,2,-1,10"], output=True)
    assert status == 0 and piped[:4] == b"RIFF" and len(piped) == 44 + 3 * 44100 * 4
    assert run(["--by", "point", "--view", "0,2,-1,10", "--audio", f"{folder}/v.wav"]) == (0, "")
    assert read(f"{folder}/v.wav") == piped
    assert run(["--by", "point", "--view", "0,2,-1,10", "--audio", f"{folder}/t.wav", "--ticks"]) == (0, "")
    assert len(read(f"{folder}/t.wav")) == len(piped) and read(f"{folder}/t.wav") != piped  # the ticks added
    if SHIM:
        for fault in (f"write:1:{errno.ENOSPC}", f"fsync:1:{errno.EIO}", f"rename:1:{errno.EIO}"):
            status, error = run(["--by", "line", "--audio", f"{folder}/v.wav"], environment={**PRELOAD, "VESK_FAULTS": fault})
            assert status == 1 and "sound could not be saved" in error and os.strerror(int(fault.split(":")[2])) in error, (fault, error)
            assert read(f"{folder}/v.wav") == piped, fault


def prepare(folder, way):  # the folder and file of one way of writing, as it was before the save
    place, mode = f"{folder}/{way.replace(' ', '-')}", WAYS[way][0]
    os.makedirs(place, exist_ok=True)
    os.chmod(place, 0o777)
    for name in os.listdir(place):
        os.unlink(f"{place}/{name}")
    if not way.startswith("new file"):
        open(f"{place}/graph.bmp", "wb").write(EARLIER)
        os.chmod(f"{place}/graph.bmp", 0o666)
    os.chmod(place, mode)
    return place, f"{place}/graph.bmp"


def test_faults_keep_the_earlier_file(folder):
    """Each call a save makes fails in turn, on each way of writing: status 1, the cause named, the earlier file
    byte for byte (or none), no temporary file left. A sync cut short by a signal is tried again; a restore that
    fails too keeps the earlier bytes in a recovery file the message names."""
    if not SHIM:
        raise Skip("no fault shim given (VESK_WRITE_FAULTS)")
    if not AS_NOBODY and os.geteuid() == 0:
        raise Skip("as root without setpriv, a locked folder cannot bind the program")
    os.chmod(folder, 0o755)
    state = f"{folder}/state"
    os.mkdir(state, 0o777), os.chmod(state, 0o777)
    for way, (_, prefix, forced, writes, own_calls) in WAYS.items():
        place, target = prepare(folder, way)
        run(["-o", target], prefix, {**PRELOAD, "VESK_FAULTS": forced, "VESK_COUNT_CALLS": f"{state}/{way}"})
        count = int(dict(line.split("=") for line in open(f"{state}/{way}").read().split())[writes])
        assert count > 2 and read(target)[:2] == b"BM", (way, count)  # written, in several writes
        faults = [f"{writes}:1:{errno.ENOSPC}", f"{writes}:{count // 2}:{errno.EFBIG}", f"{writes}:{count}:{errno.EIO}",
                  f"fsync:1:{errno.EIO}", f"close:1:{errno.EIO}", f"close:1:{errno.EDQUOT}"]
        if way == "in place":  # the first sync and close are the recovery copy's: the file's own come second
            faults += [f"fsync:2:{errno.EIO}", f"close:2:{errno.EIO}"]
        for fault in faults + [f"{call}:1:{errno.ENOSPC if call == 'fallocate' else errno.EIO}" for call in own_calls]:
            place, target = prepare(folder, way)
            status, error = run(["-o", target], prefix, {**PRELOAD, "VESK_FAULTS": forced + fault})
            assert status == 1 and os.strerror(int(fault.split(":")[2])) in error, (way, fault, error)
            assert sorted(os.listdir(place)) == ([] if way.startswith("new file") else ["graph.bmp"]), (way, fault)
            assert way.startswith("new file") or read(target) == EARLIER, (way, fault)
        place, target = prepare(folder, way)
        assert run(["-o", target], prefix, {**PRELOAD, "VESK_FAULTS": forced + f"fsync:1:{errno.EINTR}"}) == (0, "")
    place, target = prepare(folder, "in place")  # a file system that cannot reserve room is written all the same
    assert run(["-o", target], AS_NOBODY, {**PRELOAD, "VESK_FAULTS": f"fallocate:1:{errno.EOPNOTSUPP}"}) == (0, "")
    assert read(target)[:2] == b"BM"
    place, target = prepare(folder, "in place")
    status, error = run(["-o", target], AS_NOBODY, {**PRELOAD, "VESK_FAULTS": f"pwrite:3+:{errno.EIO}"})
    kept = error.split("kept in ")[-1].strip().rstrip(".")
    assert status == 1 and "putting the earlier contents back failed too" in error, error
    assert kept.startswith(AS_NOBODY[-1].split("=", 1)[1] + "/vesk-plot/"), kept
    assert read(kept) == EARLIER and stat.S_IMODE(os.stat(kept).st_mode) == 0o600
    # The next start names it, once.
    for said in (f"vesk-plot: The earlier contents of {target} are kept in {kept}: a save of it was cut short.\n", ""):
        assert run(["--version"], AS_NOBODY, output=True)[1] == said


def test_signals_mid_save(folder):
    """SIGTERM and SIGINT in the middle of slowed saves: through a temporary file the save ends with the earlier
    file; in place the signal waits until the new one is whole. Never a mix, and no temporary file is left."""
    if not SHIM or (not AS_NOBODY and os.geteuid() == 0):
        raise Skip("no fault shim given, or no way to run as nobody")
    os.chmod(folder, 0o777)
    new = run(["-o", "-", "--format", "bmp"], output=True)[2]
    for way in ("without a name", "named temporary", "in place"):
        for number in (signal.SIGTERM, signal.SIGINT):
            place, target = prepare(folder, way)
            environment = {**PRELOAD, "VESK_FAULTS": WAYS[way][2], "VESK_SLOW_WRITES": "60",
                           "VESK_WRITING": f"{folder}/writing", "DISPLAY": None, "WAYLAND_DISPLAY": None}
            saving = subprocess.Popen([*WAYS[way][1], BINARY, "-o", target], stderr=subprocess.DEVNULL,
                                      env={k: v for k, v in {**os.environ, **environment}.items() if v is not None})
            assert wait_until(lambda: os.path.exists(f"{folder}/writing"), 20), way
            saving.send_signal(number)
            assert saving.wait(30) == -number, (way, number)
            os.unlink(f"{folder}/writing")
            assert read(target) == (new if way == "in place" else EARLIER), (way, number)
            assert os.listdir(place) == ["graph.bmp"], (way, number)


def test_killed_mid_save_in_place(folder):
    """kill -9 at moments spread over a slowed save in place (a hard-linked file): afterwards the file holds its
    earlier bytes or the whole new ones, or its earlier bytes stand whole in the recovery copy that the next start
    names; never anything else."""
    if not SHIM or os.geteuid() != 0:
        raise Skip("no fault shim given, or not root")
    os.chmod(folder, 0o755)
    new = run(["-o", "-", "--format", "bmp"], output=True)[2]
    saver, copies = as_user(4242), 0
    for moment in range(10):
        place = f"{folder}/{moment}"
        os.mkdir(place), os.chown(place, 4242, 4242)
        open(f"{place}/graph.bmp", "wb").write(EARLIER), os.link(f"{place}/graph.bmp", f"{place}/second")
        for name in ("graph.bmp", "second"):
            os.lchown(f"{place}/{name}", 4242, 4242)
        environment = {**PRELOAD, "VESK_SLOW_WRITES": "40", "VESK_WRITING": f"{place}/writing"}
        saving = subprocess.Popen([*saver, BINARY, "-o", f"{place}/graph.bmp"], stderr=subprocess.DEVNULL,
                                  env={**os.environ, **environment})
        assert wait_until(lambda: os.path.exists(f"{place}/writing"), 20), moment
        time.sleep(moment * 0.05)
        saving.kill(), saving.wait()
        said = run(["--version"], saver, output=True)[1]
        if read(f"{place}/graph.bmp") not in (EARLIER, new):
            kept = said.split(" are kept in ")[-1].split(": a save")[0]
            assert f"The earlier contents of {place}/graph.bmp" in said and read(kept) == EARLIER, (moment, said)
            copies += 1
    print(f"{copies} of 10 kills left the earlier bytes in the recovery copy only", flush=True)


def test_append_only_bind_mounted_and_flagged(folder):
    """An append-only folder (chattr +a), a file mounted over another (in a mount namespace of the test's own) and a
    file with inode flags (+S +d +A): each saved, in place where nothing else can take its name, nothing left beside
    it, its flags kept."""
    if os.geteuid() != 0 or not shutil.which("chattr"):
        raise Skip("not root, or no chattr")
    lsattr = lambda path: subprocess.run(["lsattr", "-d", path], capture_output=True, text=True).stdout.split()[0]
    os.mkdir(f"{folder}/kept"), open(f"{folder}/kept/plot.png", "wb").write(EARLIER)
    inode = os.stat(f"{folder}/kept/plot.png").st_ino
    if subprocess.run(["chattr", "+a", f"{folder}/kept"]).returncode != 0:
        raise Skip("this file system has no append-only flag")
    try:
        assert run(["-o", f"{folder}/kept/plot.png"]) == (0, "")
        assert os.listdir(f"{folder}/kept") == ["plot.png"] and os.stat(f"{folder}/kept/plot.png").st_ino == inode
        assert read(f"{folder}/kept/plot.png")[:4] == b"\x89PNG"
    finally:
        subprocess.run(["chattr", "-a", f"{folder}/kept"])
    os.mkdir(f"{folder}/frozen")  # an immutable folder takes no new file, and the message says so
    subprocess.run(["chattr", "+i", f"{folder}/frozen"], check=True)
    try:
        status, error = run(["-o", f"{folder}/frozen/new.png"])
        assert status == 1 and "does not allow new files (Operation not permitted)" in error, error
    finally:
        subprocess.run(["chattr", "-i", f"{folder}/frozen"])
    open(f"{folder}/flagged.png", "wb").write(EARLIER)
    subprocess.run(["chattr", "+S", "+d", "+A", f"{folder}/flagged.png"], check=True)
    flags = lsattr(f"{folder}/flagged.png")
    assert run(["-o", f"{folder}/flagged.png"]) == (0, "") and lsattr(f"{folder}/flagged.png") == flags, flags
    for name in ("mounted", "under"):
        open(f"{folder}/{name}.png", "wb").write(EARLIER)
    mounted = subprocess.run(["unshare", "-m", "sh", "-c", 'mount --bind "$1" "$2" && exec "$0" -o "$2"', BINARY,
                              f"{folder}/mounted.png", f"{folder}/under.png"], capture_output=True)
    if b"mount" in mounted.stderr and mounted.returncode != 0:
        raise Skip("no mount namespace here")
    assert mounted.returncode == 0, mounted.stderr
    assert read(f"{folder}/mounted.png")[:4] == b"\x89PNG" and read(f"{folder}/under.png") == EARLIER


def test_identity_kept(folder):
    """A save over a file keeps what it is, saved by root and by the file's owner, an ordinary user, for whom the
    kernel clears the setuid and setgid bits on a write: every mode bit, owner, group, ACL, extended attributes, its
    other names, its group in a setgid folder; nobody may write root's 0666 file in a sticky folder, as a shell may."""
    if os.geteuid() != 0 or not shutil.which("setfacl"):
        raise Skip("not root, or no setfacl: owners and ACLs cannot be set up")
    os.chmod(folder, 0o755)

    def identity(path):
        s = os.stat(path)
        return s.st_mode, s.st_uid, s.st_gid, s.st_nlink, {name: os.getxattr(path, name) for name in os.listxattr(path)}
    mode = lambda bits: lambda f: os.chmod(f, bits)
    rows = [("mode 0600", 0o755, mode(0o600), []), ("mode 4755", 0o755, mode(0o4755), []),
            ("mode 2664", 0o755, mode(0o2664), []), ("mode 1644", 0o755, mode(0o1644), []),
            ("owner nobody", 0o755, lambda f: os.chown(f, 65534, 65534), []),
            ("an ACL", 0o755, lambda f: subprocess.run(["setfacl", "-m", "u:nobody:rw", f], check=True), []),
            ("a user attribute", 0o755, lambda f: os.setxattr(f, "user.vesk", b"kept"), []),
            ("a second name", 0o755, lambda f: os.link(f, f + ".2"), []),
            ("root's group in a setgid folder of nogroup", 0o2775, mode(0o640), []),
            ("no ACL in a folder that hands one down", 0o755, lambda f: subprocess.run(
                ["setfacl", "-d", "-m", "u:nobody:rw", os.path.dirname(f)], check=True), []),
            ("root's 0666 file in a sticky folder, nobody saving", 0o1777, mode(0o666), AS_NOBODY)]
    rows += [(f"nobody's, {name}", bits, make, AS_NOBODY) for name, bits, make in [
        ("mode 4755", 0o755, mode(0o4755)), ("mode 6755", 0o755, mode(0o6755)), ("mode 2775", 0o755, mode(0o2775)),
        ("mode 0600", 0o755, mode(0o600)), ("an ACL", 0o755, lambda f: subprocess.run(["setfacl", "-m", "u:root:r", f], check=True)),
        ("a user attribute", 0o755, lambda f: os.setxattr(f, "user.vesk", b"kept")),
        ("mode 4755 with a second name: in place", 0o755, lambda f: (os.chmod(f, 0o4755), os.link(f, f + ".2"))),
        ("in a setgid folder", 0o2775, mode(0o2640))]]
    for name, bits, make, prefix in rows:
        place = f"{folder}/{len(os.listdir(folder))}"
        owner = 65534 if name.startswith("nobody's") else 0
        os.mkdir(place), os.chown(place, owner, 65534 if bits & 0o2000 else owner), os.chmod(place, bits)
        target = f"{place}/plot.png"
        open(target, "wb").write(EARLIER)
        os.chown(target, owner, 65534 if owner or bits & 0o2000 else 0)
        make(target)
        before, inode = identity(target), os.stat(target).st_ino
        status, error = run(["-o", target], prefix)
        assert (status, error) == (0, "") and identity(target) == before and read(target)[:4] == b"\x89PNG", \
            (name, error, before, identity(target))
        # A file of one name is replaced whole where all of it can be kept; else written in place.
        assert (os.stat(target).st_ino == inode) == ("second name" in name or "nobody saving" in name), name
        if "hands one down" in name and SHIM:  # where the handed-down ACL cannot be taken off: in place, none kept
            inode = os.stat(target).st_ino
            assert run(["-o", target], prefix, {**PRELOAD, "VESK_FAULTS": f"removexattr:1:{errno.EPERM}"}) == (0, "")
            assert identity(target) == before and os.stat(target).st_ino == inode, (name, identity(target))
        assert "second name" not in name or read(target + ".2") == read(target)


def test_write_protected(folder):
    """A file its user may not write by its mode is left as it is, with that said; one the mode lets its user
    write is saved, its mode kept. For root, a file without a write bit is write-protected."""
    if os.geteuid() != 0:
        raise Skip("not root: no second user to save as")
    os.chmod(folder, 0o755)
    for name, bits, owner, prefix, saved in [("root's 0444", 0o444, 0, [], False), ("root's 0200", 0o200, 0, [], True),
                                             ("nobody's 0444", 0o444, 65534, AS_NOBODY, False),
                                             ("nobody's 0000", 0o000, 65534, AS_NOBODY, False),
                                             ("nobody's 0600", 0o600, 65534, AS_NOBODY, True),
                                             ("root's 0644, nobody saving", 0o644, 0, AS_NOBODY, False)]:
        place = f"{folder}/{len(os.listdir(folder))}"
        os.mkdir(place), os.chown(place, owner, owner)
        target = f"{place}/plot.png"
        open(target, "wb").write(EARLIER), os.chown(target, owner, owner), os.chmod(target, bits)
        status, error = run(["-o", target], prefix)
        assert (status == 0) == saved and stat.S_IMODE(os.stat(target).st_mode) == bits, (name, error)
        assert saved or ("write-protected" in error and read(target) == EARLIER), (name, error)


def test_planted_links_and_files(folder):
    """Another user's link in a sticky folder everyone may write to is not followed, at any part of the name, by
    root or by an ordinary user; another user's file or FIFO in a sticky folder others may write to is not written
    into: whatever fs.protected_* say (read, never written: they are the whole machine's). What they aim at stays as
    it was. Links and files in other folders, and the folder owner's, are used, as the kernel's rules have it."""
    if os.geteuid() != 0:
        raise Skip("not root: no other user's link can be planted")
    print("fs.protected_symlinks, _regular, _fifos:", *(open(f"/proc/sys/fs/protected_{kind}").read().strip()
                                                       for kind in ("symlinks", "regular", "fifos")), flush=True)
    os.chmod(folder, 0o755)
    as_4242 = as_user(4242)  # a user without a name: none is added
    link, planted_file = "a link owned by another user", "belongs to another user and lies in a shared folder"
    for name, mode, owner, saver, made, saved_as, refusal in [
            ("nobody's link, root saving", 0o1777, 65534, 0, "link", "share/plot.png", link),
            ("nobody's link, another ordinary user saving", 0o1777, 65534, 4242, "link", "share/plot.png", link),
            ("nobody's link as a folder of the name", 0o1777, 65534, 0, "folder link", "share/d/secret", link),
            ("one's own link to nobody's link", 0o1777, 65534, 0, "chain", "mine.png", link),
            ("nobody's file", 0o1777, 65534, 0, "file", "share/plot.png", planted_file),
            ("nobody's file where the group may write", 0o1775, 65534, 0, "file", "share/plot.png", planted_file),
            ("nobody's FIFO", 0o1777, 65534, 0, "fifo", "share/plot.png", planted_file),
            ("the folder owner's link", 0o1777, 0, 4242, "link", "share/plot.png", ""),
            ("the folder owner's file", 0o1777, 0, 4242, "file", "share/plot.png", ""),
            ("a link in a folder not sticky", 0o777, 65534, 0, "link", "share/plot.png", ""),
            ("a link in a sticky folder only its owner may write", 0o1755, 65534, 0, "link", "share/plot.png", "")]:
        place = f"{folder}/{len(os.listdir(folder))}"
        os.mkdir(place), os.mkdir(f"{place}/share"), os.chmod(f"{place}/share", mode)
        secret = f"{place}/secret"  # what a planted link aims at: the saver's private file
        open(secret, "wb").write(EARLIER), os.chmod(secret, 0o600), os.chown(secret, saver, saver)
        planted = f"{place}/share/{'d' if made == 'folder link' else 'plot.png'}"
        if made == "fifo":
            os.mkfifo(planted)
        elif made == "file":
            open(planted, "wb").write(EARLIER)
        else:
            os.symlink(place if made == "folder link" else secret, planted)
        os.lchown(planted, owner, owner), made in ("file", "fifo") and os.chmod(planted, 0o666)
        if made == "chain":
            os.symlink(planted, f"{place}/mine.png"), os.lchown(f"{place}/mine.png", saver, saver)
        os.chmod(place, 0o755)
        status, error = run(["-o", f"{place}/{saved_as}"], as_4242 if saver else [], timeout=10)
        aimed_at = planted if made in ("file", "fifo") else secret
        if refusal:
            assert status == 1 and refusal in error, (name, error)
            assert made == "fifo" or read(aimed_at) == EARLIER, name
        else:
            assert (status, error) == (0, "") and read(aimed_at)[:4] == b"\x89PNG", (name, error)


def test_swapped_while_saving(folder):
    """Another user swaps a file of theirs with a link to the saver's private file (renameat2 RENAME_EXCHANGE) as fast
    as they can while the saver saves to that name a hundred times: the private file never changes."""
    if os.geteuid() != 0:
        raise Skip("not root: no second user to swap as")
    os.chmod(folder, 0o755)
    share = f"{folder}/share"
    os.mkdir(share), os.chmod(share, 0o1777)
    secret = f"{folder}/secret"
    open(secret, "wb").write(EARLIER), os.chmod(secret, 0o600), os.chown(secret, 4242, 4242)
    swapper = subprocess.Popen(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", sys.executable, "-c", f"""
import ctypes, os
os.chdir({share!r}); open("plot.png", "wb").write(b"nobody's"); os.symlink({secret!r}, "link")
libc = ctypes.CDLL(None, use_errno=True)
while True: libc.syscall(316, -100, b"plot.png", -100, b"link", 2)"""])
    try:
        saver = as_user(4242)
        for _ in range(100):
            run(["-o", f"{share}/plot.png"], saver)
            assert read(secret) == EARLIER
    finally:
        swapper.kill(), swapper.wait()


def test_names_and_special_targets(folder):
    """Names are bytes as given, a 255-byte name too; /dev/stdout appends where it was opened to append; /dev/null
    gets no extension; a loop of links and a block device are refused; what cannot reach standard output is status 1."""
    png = run(["-o", "-", "--format", "png"], output=True)[2]
    open(f"{folder}/\ufffd.png", "wb").write(EARLIER)  # what the byte 0xff would have become
    assert run([b"-o", os.fsencode(folder) + b"/\xff.png"]) == (0, "")
    assert read(os.fsencode(folder) + b"/\xff.png") == png and read(f"{folder}/\ufffd.png") == EARLIER
    long = f"{folder}/{'a' * 251}.png"
    open(long, "wb").write(EARLIER)
    assert run(["-o", long]) == (0, "") and read(long) == png
    open(f"{folder}/log", "wb").write(b"before\n")
    with open(f"{folder}/log", "ab") as log:
        assert subprocess.run([BINARY, "-o", "/dev/stdout", "--format", "png"], stdout=log).returncode == 0
    assert read(f"{folder}/log") == b"before\n" + png
    try:  # without a format: a bitmap, to standard output and not to a name with .bmp added
        with open(f"{folder}/plain", "wb") as plain:
            assert subprocess.run([BINARY, "-o", "/dev/stdout"], stdout=plain).returncode == 0
        assert read(f"{folder}/plain")[:2] == b"BM" and not os.path.exists("/dev/stdout.bmp")
    finally:
        os.path.exists("/dev/stdout.bmp") and os.unlink("/dev/stdout.bmp")
    assert run(["-o", "/dev/null"]) == (0, "") and not os.path.exists("/dev/null.bmp")
    os.symlink("loop-b", f"{folder}/loop-a"), os.symlink("loop-a", f"{folder}/loop-b")
    assert run(["-o", f"{folder}/loop-a"]) == (1, "vesk-plot: The plot could not be saved to " + folder +
                                                "/loop-a: It is a loop of links (Too many levels of symbolic links).\n")
    for arguments in (["--help"], ["--version"], ["--key-points"], ["-o", "-"]):
        with open("/dev/full", "wb") as full:
            assert subprocess.run([BINARY, *arguments], stdout=full, stderr=subprocess.PIPE).returncode == 1, arguments
        closed = subprocess.run(["sh", "-c", 'exec 1>&-; exec "$0" "$@"', BINARY, *arguments], capture_output=True)
        assert closed.returncode == 1 and b"closed when the program started" in closed.stderr, (arguments, closed.stderr)
    if os.geteuid() == 0:
        os.mknod(f"{folder}/disk", 0o660 | stat.S_IFBLK, os.makedev(7, 250))
        status, error = run(["-o", f"{folder}/disk", "--format", "png"])
        assert status == 1 and "a block device" in error and stat.S_ISBLK(os.stat(f"{folder}/disk").st_mode), error


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
    for name, status, said in [("writable.bmp", 0, ""), ("read-only.bmp", 1, "It is write-protected (its mode is 0444)"),
                               ("write-only.bmp", 1, "could not be restored"), ("new.bmp", 1, "does not allow new files")]:
        status_was, error = run(["--output", f"{folder}/locked/{name}"], AS_NOBODY)
        assert status_was == status and said in error, error
    assert run(["--output", f"{folder}/frame.bmp"]) == (0, "")
    assert read(f"{folder}/locked/writable.bmp") == read(f"{folder}/frame.bmp")
    os.chmod(f"{folder}/locked", 0o755)
    assert [read(f"{folder}/locked/{name}") for name in ("read-only.bmp", "write-only.bmp")] == [b"old", b"old"]


def test_starts_that_fail(folder):
    """Each failed start says what failed in its first line, status 1, within the watchdog's time (and room for a
    loaded machine): the platform, the compositor, the X server named by DISPLAY or -display, its refusal of a key."""
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
    silent, locked, absent = [n for n in range(150, 250) if not os.path.exists(f"{x11}/X{n}")][:3]
    sockets.append(listen(f"{x11}/X{silent}", False))
    subprocess.run(["xauth", "-f", f"{folder}/key", "add", f":{locked}", ".", os.urandom(16).hex()], check=True,
                   capture_output=True)
    server = subprocess.Popen(["Xvfb", f":{locked}", "-auth", f"{folder}/key", "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
    assert wait_until(lambda: os.path.exists(f"{x11}/X{locked}")), "Xvfb did not start"
    def start(case):  # the cases wait for the watchdog at once, not in turn
        session, arguments, said = case
        started = time.monotonic()
        status, error = run(arguments, environment=session, timeout=40)
        assert status == 1 and error.startswith("vesk-plot: ") and said in error.splitlines()[0], (session, error)
        assert time.monotonic() - started < 30, session
    try:
        with concurrent.futures.ThreadPoolExecutor(16) as pool:
            list(pool.map(start, [
                ({}, [], "no graphical session found"),
                ({"QT_QPA_PLATFORM": "nosuch", "DISPLAY": ":0"}, [], "no platform 'nosuch' here (installed: "),
                ({"QT_QPA_PLATFORM": "wayland", "XDG_RUNTIME_DIR": folder}, [], "no Wayland compositor answered at "
                 f"WAYLAND_DISPLAY= ({folder}/wayland-0)"),
                ({"WAYLAND_DISPLAY": "vesk-none", "XDG_RUNTIME_DIR": folder}, [], "at WAYLAND_DISPLAY=vesk-none"),
                ({"WAYLAND_DISPLAY": "closing", "XDG_RUNTIME_DIR": folder}, [], "at WAYLAND_DISPLAY=closing"),
                ({"WAYLAND_DISPLAY": "silent", "XDG_RUNTIME_DIR": folder}, [], "answered within 8 seconds at WAYLAND_DISPLAY"),
                ({"DISPLAY": f":{absent}"}, [], f"no X server answered at DISPLAY=:{absent}"),
                ({"DISPLAY": ":" + "9" * 95}, [], "no X server answered at DISPLAY=:" + "9" * 95 + ";"),
                ({}, ["-display", f":{absent}"], f"no X server answered at -display :{absent}"),
                ({"DISPLAY": f":{silent}"}, ["-display", f":{absent}"], f"no X server answered at -display :{absent}"),
                ({"DISPLAY": f":{silent}"}, [], f"no X server answered within 8 seconds at DISPLAY=:{silent}"),
                ({"DISPLAY": f":{locked}", "XAUTHORITY": f"{folder}/none"}, [], f"the X server at DISPLAY=:{locked} "
                 f"refused the connection (Authorization required, but no authorization protocol specified); "
                 f"XAUTHORITY={folder}/none holds no key it takes.")]))
    finally:
        server.terminate(), server.wait()
        for listening in sockets:
            os.unlink(listening.getsockname()), listening.close()


if __name__ == "__main__":
    main(dict(globals()), screen=False)
