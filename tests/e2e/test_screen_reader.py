#!/usr/bin/env python3
"""What Orca, Debian's screen reader, says while the program is used by keyboard: the real Orca in Xvfb with a
window manager, a D-Bus session, the accessibility bus and registry, and speech-dispatcher with a module that writes
each utterance to a file. Run by CTest under dbus-run-session and xvfb-run; skipped only where Orca cannot start."""

import contextlib, os, re, shutil, socket, subprocess, threading, time
from desktop import *


class Orca:  # the stack, started in order; `spoken()` is all that was said
    def __init__(self, home):
        self.home, self.file, self.helpers = home, f"{home}/spoken.txt", []
        config = f"{home}/.config/speech-dispatcher"
        os.makedirs(f"{config}/modules")
        open(f"{config}/speechd.conf", "w").write('AddModule "tofile" "sd_generic" "tofile.conf"\nDefaultModule tofile\n'
                                                  'DefaultLanguage "en"\nAudioOutputMethod "libao"\n')
        open(f"{config}/modules/tofile.conf", "w").write(
            f'GenericExecuteSynth "echo \\\'$DATA\\\' >> {self.file}"\nGenericCmdDependency "echo"\n'
            'AddVoice "en" "MALE1" "en"\nGenericLanguage "en" "en" "utf-8"\n')
        open(self.file, "w").close()
        self.environment = {**os.environ, "HOME": home, "XDG_RUNTIME_DIR": home}
        for command in (["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], ["/usr/libexec/at-spi2-registryd"],
                        ["openbox"], ["speech-dispatcher", "-s", "-t", "0"],
                        ["orca", "-u", f"{home}/orca", "--debug-file", f"{home}/orca.log"]):
            self.helpers.append(subprocess.Popen(command, env=self.environment, stdout=subprocess.DEVNULL,
                                                 stderr=subprocess.DEVNULL))
            time.sleep(0.25)
        if not wait_until(lambda: "Screen reader on" in self.spoken(), 20):
            self.stop()
            raise Skip("Orca did not start here: nothing it says can be checked")

    def spoken(self):
        return open(self.file).read().replace("\n", " ")

    def after(self, keys, heard, timeout=6, pause=0.3):  # presses keys; what was said since, once it holds `heard`
        start = len(self.spoken())
        for key in keys.split():
            tool("xdotool", "key", "--clearmodifiers", key)
            time.sleep(pause)
        wait_until(lambda: heard in self.spoken()[start:], timeout)
        return self.spoken()[start:]

    def settle(self, quiet=1.0, timeout=30):  # until Orca has said all it was sent: nothing new for `quiet` seconds
        deadline, said = time.monotonic() + timeout, None
        while said != self.spoken() and time.monotonic() < deadline:
            said = self.spoken()
            time.sleep(quiet)

    def stop(self):
        shutil.copy(f"{self.home}/orca.log", "/tmp/last-orca.log")
        for helper in reversed(self.helpers):
            helper.terminate()
            try:
                helper.wait(5)
            except subprocess.TimeoutExpired:  # Orca may stay for a goodbye it cannot say
                helper.kill(), helper.wait()


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


@contextlib.contextmanager
def orca_hearing(folder, **environment):  # the program, and an Orca of its own hearing it from its first words
    if not shutil.which("orca") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise Skip("no Orca or no D-Bus session here")
    os.chmod(folder, 0o700)
    orca = Orca(folder)
    try:
        with Program(environment={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "HOME": folder, "XDG_RUNTIME_DIR": folder,
                                  **environment}) as program:
            assert wait_until(lambda: "frame only" in orca.spoken(), 15), orca.spoken()
            yield orca, program
    finally:
        orca.stop()


def test_orca_hears_it(folder):
    """A plot command, a wheel burst (heard once) and a key step, K, a trace step, H with no sound server, a save
    and a cancel, the About window's links and close by keyboard, and word steps in every box, which answer at once."""
    os.mkdir(f"{folder}/bin")
    open(f"{folder}/bin/xdg-open", "w").write(f"#!/bin/sh\necho \"$1\" >> {folder}/opened\n")
    os.chmod(f"{folder}/bin/xdg-open", 0o755)
    with orca_hearing(folder, PULSE_SERVER=f"unix:{folder}/no-sound-server",
                      PATH=f"{folder}/bin:" + os.environ["PATH"]) as (orca, program):
        for keys, heard in [
                ("alt+l", "Plotted by line, x from minus 9 to 9, y from minus 9 to 9."),
                ("plus", "x from minus 7.2 to 7.2, y from minus 7.2 to 7.2."),
                ("k", "Key points shown: root at x minus 2.374, y 0; inflection at x minus 0.8792, y minus 4.265;"),
                ("t", "Trace on: root, x 0, f 0, slope 3."),
                ("Right", "x 0.02, f 0.07, slope 2.902."),
                ("Escape", "Trace off."),
                ("h", "No sound: no sound device or sound server answered.")]:
            said = orca.after(keys, heard)
            assert heard in said, (keys, heard, said)
        start = len(orca.spoken())
        for _ in range(3):
            click(program.window, PLOT[0] + 289, PLOT[1] + 194, 4)  # one burst of three notches
        wait_until(lambda: "x from" in orca.spoken()[start:])
        time.sleep(1.0)
        said = orca.spoken()[start:]
        assert said.count("x from") == 1 and "x from minus 3.69 to 3.69, y from minus 3.68 to 3.7." in said, said

        said = orca.after("alt+s", "Save Picture dialog")
        assert "Untitled.bmp selected" in said, said
        tool("xdotool", "key", "ctrl+a"), tool("xdotool", "type", f"{folder}/heard")
        said = orca.after("Return", "Saved as heard.bmp.", 10)
        assert "Saved as heard.bmp." in said and os.path.exists(f"{folder}/heard.bmp"), said
        said = orca.after("alt+s Escape", "chart")
        assert "Saved" not in said, said  # a cancel says nothing of the kind

        said = orca.after("alt+a", "link")
        assert "About Vesk dialog" in said and "Escape or the close button closes this window." in said, said
        assert "Web: www.vesk.example.com link." in said, said
        said = orca.after("Tab", "link")
        assert "E-mail: vesk@example.com link." in said, said
        orca.after("Return", "")
        assert wait_until(lambda: os.path.exists(f"{folder}/opened")), "Enter opened nothing"
        assert open(f"{folder}/opened").read() == "mailto:vesk@example.com\n"
        said = orca.after("Tab", "push button")
        assert "Close push button." in said, said
        about = find_window("^&about Vesk$")
        orca.after("space", "")
        assert wait_until(lambda: not viewable(about)), "Space did not close the About window"

        # Word steps in each box: something is said, and the program does not spin.
        used = cpu_seconds(program.process.pid)
        for box in ("txt_x1", "txt_x2", "txt_y1", "txt_y2", "txt_clarity"):
            click(program.window, *centre(box))
            said = orca.after("ctrl+Left ctrl+Right End ctrl+Left", "", 0, 0.1)
            assert said.strip(), (box, "nothing was said")
        time.sleep(1)
        assert cpu_seconds(program.process.pid) - used < 2.5, "the program spins"


def test_orca_lesson_by_ear(folder):
    """What a blind student meets: F1's keys and the context menu heard as they open; 1.25 typed while tracing;
    Ctrl+G to the minimum, named, then Ctrl+Right to the next key point; a held + whose last view is heard; K at the
    widest range by the key points' own values; two trace steps deep at x 1.5 that differ; a plot without samples.
    The sound server takes the connection and never answers: a key right after H is heard at once, then why no sound."""
    silent = socket.socket(socket.AF_UNIX)
    silent.bind(f"{folder}/silent"), silent.listen(8)
    threading.Thread(target=lambda: [silent.accept() for _ in range(8)], daemon=True).start()
    with orca_hearing(folder, PULSE_SERVER=f"unix:{folder}/silent") as (orca, program):
        orca.after("alt+l plus", "x from")
        pressed = time.monotonic()
        said = orca.after("h ctrl+shift+c", "Nothing to copy", 1)
        assert "Nothing to copy" in said and time.monotonic() - pressed < 1.5, said
        said = orca.after("", "did not answer", 4)
        assert "No sound: the sound server did not answer within 2 seconds" in said, said
        orca.after("Home", "x from")
        for keys, heard in [
                ("alt+l", "Plotted by line"), ("F1", "Ctrl+Left, Ctrl+Right (tracing): the previous, the next key point"),
                ("Escape", ""), ("Menu", "Copy picture"), ("Escape", ""),
                ("t 1 period 2 5 Return", "x 1.25, f 5.02"),
                ("ctrl+g minus 1 period 6 3 9 1 8 7 0 4 3 1 7 5 9 4 5 Return", "minimum, x minus 1.639, f minus 7.476"),
                ("ctrl+Right", "inflection, x minus 0.879"), ("Escape", "Trace off.")]:
            said = orca.after(keys, heard)
            assert heard in said, (keys, heard, said)
        # A held key: the first step and the last view are heard, and the last is what the plot area now says.
        start = len(orca.spoken())
        tool("xdotool", "keydown", "plus"), time.sleep(1.5), tool("xdotool", "keyup", "plus")
        time.sleep(1.5)
        number = r"(?:minus )?\S+?"
        views = re.findall(rf"x from {number} to {number}, y from {number} to {number}(?=\.(?:\s|$))", orca.spoken()[start:])
        where = orca.after("KP_Enter", "x from", 4)
        assert len(views) >= 2 and views[-1] in where, (views, where)
        # The widest range typed and plotted, then K (after a burst of 45 wheel notches Orca fell mute now and then).
        for box, value in (("txt_x1", "-32768"), ("txt_x2", "32767"), ("txt_y1", "-32768"), ("txt_y2", "32767")):
            click(program.window, *centre(box)), key(program.window, "ctrl+a"), type_text(program.window, value)
        orca.after("alt+l", "Plotted by line")
        click(program.window, PLOT[0] + 289, PLOT[1] + 194)  # the plot area takes the keys
        said = orca.after("k", "Key points shown", 20)
        assert "root at x minus 2.374, y 0; minimum at x minus 1.639, y minus 7.476" in said, said
        said = orca.after("k", "hidden")
        # 40 notches in about x 1.5 (the middle, after a Go to x), then two steps of the trace: never the same.
        orca.after("t ctrl+g 1 period 5 Return", "x 1.5")
        for _ in range(40):
            tool("xdotool", "key", "plus")
        orca.settle()  # each key echoed
        steps = [re.findall(r"x (\d[\d.]*), f", orca.after("Right", "slope")) for _ in range(2)]
        assert len(steps[0]) == len(steps[1]) == 1 and steps[0] != steps[1], steps
        orca.after("Escape", "Trace off.")
        # No samples: said so.
        click(program.window, *centre("txt_clarity"))
        key(program.window, "ctrl+a"), type_text(program.window, "-5")
        said = orca.after("alt+l", "Nothing drawn")
        assert "Nothing drawn by line: a clarity of minus 5 takes no sample" in said, said


if __name__ == "__main__":
    main(dict(globals()))
