#!/usr/bin/env python3
"""The curve heard for real: a PulseAudio server of the test's own with a sink nobody hears, the program's H and
T in Xvfb, the sink's monitor recorded with parec and compared with what --audio writes for the same view."""

import array, math, os, shutil, socket, subprocess, threading, time, wave
from desktop import *

RATE = 44100


class SoundServer:  # PulseAudio in a runtime folder of its own, its default sink a null sink, recorded
    def __init__(self, folder):
        self.folder = f"{folder}/runtime"
        os.mkdir(self.folder, 0o700)
        self.environment = {"XDG_RUNTIME_DIR": self.folder, "HOME": self.folder, "PULSE_SERVER": None}
        env = {**os.environ, **{k: v for k, v in self.environment.items() if v}}
        env.pop("PULSE_SERVER", None)
        self.server = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=heard",
             "--load=module-always-sink"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: os.path.exists(f"{self.folder}/pulse/native"), 10):
            raise Skip("PulseAudio did not start here")
        subprocess.run(["pactl", "set-default-sink", "heard"], env=env, check=True)
        # A silent stream asking for 20 ms, as a desktop's sound card is driven: alone, the null sink runs in
        # blocks of up to two seconds and a new stream waits for the block to end.
        self.recording, self.loud, self.seen = f"{folder}/recorded.raw", [], 0
        self.files = [open("/dev/zero", "rb"), open(self.recording, "wb")]
        self.silence = subprocess.Popen(["pacat", "--playback", "--latency-msec=20", "--raw", "--format=s16le",
                                         f"--rate={RATE}", "--channels=2"], env=env, stdin=self.files[0])
        self.recorder = subprocess.Popen(
            ["parec", "-d", "heard.monitor", "--format=s16le", f"--rate={RATE}", "--channels=2", "--raw",
             "--latency-msec=10"], env=env, stdout=self.files[1])

    def take(self):  # the frames recorded so far, left and right interleaved
        with open(self.recording, "rb") as recorded:
            data = recorded.read()
        return array.array("h", data[:len(data) // 4 * 4])

    def pieces(self, ended=False):  # [first, last] frames of each sound, apart by a fifth of a second of silence
        samples = self.take()  # what came since the last look is all that is scanned, so a look stays quick
        self.loud += [self.seen // 2 + frame for frame in loud(samples[self.seen:], 200)]
        self.seen = len(samples)
        pieces = []
        for frame in self.loud:
            if not pieces or frame - pieces[-1][1] > RATE // 5:
                pieces.append([frame, frame])
            pieces[-1][1] = frame
        return pieces[:-1] if ended and pieces and len(samples) // 2 - pieces[-1][1] <= RATE // 5 else pieces

    def close(self):
        for process in (self.recorder, self.silence, self.server):
            process.kill(), process.wait()
        for file in self.files:
            file.close()


def loud(samples, level=300):  # the frame numbers where either channel is louder than `level`
    return [i // 2 for i, v in enumerate(samples) if abs(v) > level]


def correlation(a, b):
    mean_a, mean_b = sum(a) / len(a), sum(b) / len(b)
    da, db = [x - mean_a for x in a], [y - mean_b for y in b]
    return sum(x * y for x, y in zip(da, db)) / math.sqrt(sum(x * x for x in da) * sum(y * y for y in db))


def strength(samples, pitch):  # the share of the signal's power at one pitch (Goertzel)
    coefficient, s1, s2 = 2 * math.cos(2 * math.pi * pitch / RATE), 0.0, 0.0
    for sample in samples:
        s1, s2 = sample + coefficient * s1 - s2, s1
    power = s1 * s1 + s2 * s2 - coefficient * s1 * s2
    return power / (sum(v * v for v in samples) * len(samples) / 2)


def crossings_per_second(samples):
    return sum(1 for a, b in zip(samples, samples[1:]) if a < 0 <= b) * RATE / len(samples)


def test_the_curve_is_heard(folder):
    """H plays the view's sweep, the same sound --audio writes (correlation after delay); H again stops it at once;
    a trace step sounds a tenth of a second at the marker's pitch."""
    if not shutil.which("pulseaudio") or not shutil.which("parec"):
        raise Skip("no PulseAudio here")
    sound = SoundServer(folder)
    try:
        with Program(environment=sound.environment) as program:
            window = program.window
            key(window, "alt+l")
            click(window, PLOT[0] + 300, PLOT[1] + 300)  # the plot area takes the keys

            def press(keys, ended):  # a key, then until that many sounds have been heard whole
                key(window, keys)
                assert wait_until(lambda: len(sound.pieces(ended=True)) >= ended, 15), (keys, sound.pieces())
            maps = lambda: open(f"/proc/{program.process.pid}/maps").read()
            assert "libQt6Widgets" in maps() and "libQt6Multimedia" not in maps()  # mapped at the first sound
            press("h", 1)
            assert "libQt6Multimedia" in maps()
            key(window, "h")  # again, and stopped by H 0.4 s after it is heard
            assert wait_until(lambda: len(sound.pieces()) == 2, 5), sound.pieces()
            time.sleep(0.4)
            press("h", 2), press("t", 3), press("Right", 4)
            # A held arrow: ten steps 50 ms apart, past the inflection where no key point cues.
            tool("xdotool", "windowfocus", "--sync", str(window), "key", "--delay", "50", *["Right"] * 10)
            assert wait_until(lambda: len(sound.pieces(ended=True)) >= 5, 15), sound.pieces()
        # What was heard, in pieces apart by silence: the sweep, the sweep stopped by H, T's tone, the step's, the
        # ten steps'. A lone step's tone outlasts what the sink holds ahead (0.1 s) by its own tenth of a second.
        played, pieces = sound.take(), sound.pieces()
        lengths = [round((last - first) / RATE, 2) for first, last in pieces]
        assert len(pieces) == 5, lengths
        assert abs(lengths[0] - 3.0) < 0.03 and 0.3 < lengths[1] < 0.9, lengths  # H after 0.4 s: a loaded machine is slower to stop
        assert all(0.17 < length < 0.23 for length in lengths[2:4]) and 0.6 < lengths[4] < 0.8, lengths

        # The ten steps are one sound: no 2 ms without the tone, no step between samples beyond the tone's own
        # (about 660 … 760 Hz, under a third of full scale).
        glided = [played[2 * i] + played[2 * i + 1] for i in range(pieces[4][0], pieces[4][1] + 1)]
        quiet = [at for at in range(220, len(glided) - 440, 44) if max(map(abs, glided[at:at + 88])) < 1500]
        assert not quiet, [round(at / RATE, 3) for at in quiet]
        jump = max(abs(b - a) for a, b in zip(glided, glided[1:]))
        assert jump < 0.33 * 32767 * 2 * math.pi * 800 / RATE * 1.5, jump
        # Every sound fades out over 5 ms, the stopped sweep too: its last millisecond under half the 5 ms before (a cut: 1).
        level = lambda at, frames: max(map(abs, played[2 * at:2 * (at + frames)]))
        ends = [round(level(last - 43, 44) / level(last - 264, 220), 2) for _, last in pieces]
        assert all(end < 0.5 for end in ends), ends

        # The sweep is what --audio writes for the view: the best delay about the first loud frames' match.
        assert run(["--by", "line", "--audio", f"{folder}/view.wav"]) == (0, "")
        with wave.open(f"{folder}/view.wav") as written:
            expected = array.array("h", written.readframes(written.getnframes()))
        offset = pieces[0][0] - loud(expected, 200)[0]  # within 400 frames: the server may drop a stream's first
        span = range(RATE // 2, RATE // 2 + 8192)  # half a second in: the curve's tone and the reference
        channel = lambda samples, at, side: [samples[2 * (at + i) + side] for i in span]
        for side in (0, 1):
            best = max(correlation(channel(played, offset + d, side), channel(expected, 0, side)) for d in range(-400, 401))
            assert best > 0.98, (side, best)

        # T starts at the pointer's column 300: x 0.3426, f 0.847, about 624 Hz, and nothing else; the step to the
        # next column stands on the inflection at 0.3798 and adds its taps (3,200 Hz).
        trace, step = ([played[2 * i] for i in range(first + 441, first + 441 + 3528)] for first, _ in pieces[2:4])
        assert abs(crossings_per_second(trace) - 200 * 8 ** (9.847 / 18)) < 40, crossings_per_second(trace)
        assert strength(trace, 3200) < 0.0003 < strength(step, 3200), (strength(trace, 3200), strength(step, 3200))
    finally:
        sound.close()


def test_a_server_that_never_answers(folder):
    """A sound server that takes the connection and never answers holds neither H, T nor a trace step: N right
    after each is drawn within a second; the window closes at once."""
    listener = socket.socket(socket.AF_UNIX)
    listener.bind(f"{folder}/silent"), listener.listen(8)
    held = []  # the connections, open and unanswered
    threading.Thread(target=lambda: [held.append(listener.accept()) for _ in range(8)], daemon=True).start()
    with Program(environment={"PULSE_SERVER": f"unix:{folder}/silent", "XDG_RUNTIME_DIR": folder}) as program:
        window = program.window
        key(window, "alt+l")
        click(window, PLOT[0] + 300, PLOT[1] + 300)
        key(window, "plus")  # a view, which has numbers
        numbers = lambda: Shot(window).count((96, 0, 128), PLOT[0], PLOT[1], 579, 390) > 0
        assert wait_until(lambda: Shot(window).count(RED, PLOT[0], PLOT[1], 579, 390) > 300, 5)
        for keys in ("h", "t", "Right", "Right"):
            shown = numbers()
            key(window, keys), key(window, "n")
            assert wait_until(lambda: numbers() != shown, 1), keys
        assert held, "the program never connected"
        request_close(window)
        assert program.process.wait(3) == 0


if __name__ == "__main__":
    main(dict(globals()))
