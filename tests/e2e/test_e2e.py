#!/usr/bin/env python3
"""End-to-end: the real vesk-plot in a real X server (and under a Wayland compositor inside it), seen through screenshots."""

import os, subprocess, time
from desktop import *


def grid_columns(x1, x2):  # the grid columns of a frame from x1 to x2: every integer but 0, at its nearest pixel
    return [int((i - x1) / (x2 - x1) * 578 + 0.5) for i in range(x1, x2 + 1) if i != 0]


def save_under_all_files(window, path):  # the real dialog: the name typed, "All Files" chosen, Enter
    key(window, "alt+s")
    dialog = find_window("^Save Picture$")
    assert dialog, "the save dialog did not appear"
    key(dialog, "ctrl+a")
    type_text(dialog, path)
    _, _, width, height = geometry(dialog)
    click(dialog, width // 2, height - 22)  # the filter list, at the bottom
    key(dialog, "End")
    key(dialog, "Return")
    key(dialog, "Return")
    assert wait_until(lambda: not viewable(dialog) and os.path.exists(path)), "nothing saved"


def test_a_session(folder):
    """The start-up window; a wheel step shows the view the command line writes with --view; a save under "All
    Files" writes its bytes; the About window fades in; closing the window ends the program."""
    with Program() as program:
        window = program.window
        assert window, "the main window did not appear"
        x, y, width, height = geometry(window)
        assert (width, height) == (600, 496) and (x + 299, y + 247) == (639, 511), "not centred"  # no window manager
        assert wait_until(lambda: Shot(window)(PLOT[0] + 16, PLOT[1] + 16) == WHITE)
        save_screenshot(window, "main-window.png")
        shot = Shot(window)
        assert all(shot(*p) == BLACK for p in [(2, 2), (300, 15), (598, 494), (470, 90)])
        # The frame for -9 … 9; the green marker over the x axis (row 195) and the
        # red one over the y axis (column 289), from edge to edge.
        assert shot.grey_columns(16) == grid_columns(-9, 9)
        for d in (-1, 0, 1):
            assert all(shot(PLOT[0] + x, PLOT[1] + 195 + d) == GREEN for x in (0, 16, 578))
            assert all(shot(PLOT[0] + 289 + d, PLOT[1] + y) == RED for y in (0, 16, 389))

        # + zooms about the centre: exactly -7.2 … 7.2, shown with the numbered frame, which the command line
        # writes for the same view, pixel for pixel (but the markers, which no file holds) and, saved, byte for byte.
        key(window, "plus")
        view = ["--view=-7.2,7.2,-7.2,7.2"]
        assert run([*view, "--output", f"{folder}/cli.png"]) == (0, "")
        expected = subprocess.run(["convert", f"{folder}/cli.png", "-depth", "8", "rgb:-"], capture_output=True).stdout
        markers = lambda x, y: abs(x - 289) <= 1 or abs(y - 194) <= 1

        def shows_the_view():
            shot = Shot(window)
            return all(shot(PLOT[0] + x, PLOT[1] + y) == tuple(expected[(y * 579 + x) * 3:(y * 579 + x) * 3 + 3])
                       for y in range(0, 390, 3) for x in range(579) if not markers(x, y))
        assert wait_until(shows_the_view, 5), "the screen is not the command line's view"
        save_under_all_files(window, f"{folder}/graph.bmp")
        assert sorted(os.listdir(folder)) == ["cli.png", "graph.bmp"]
        assert run([*view, "--output", f"{folder}/cli"]) == (0, "")
        assert open(f"{folder}/cli.bmp", "rb").read() == open(f"{folder}/graph.bmp", "rb").read()

        key(window, "alt+a")  # centred over the window; faded in to 249 of 255 (the soak: out and closed)
        about = find_window("^&about Vesk$")
        assert about and [a + b for a, b in zip(geometry(about), (148, 101, 0, 0))] == [639, 511, 298, 204], "not centred"
        assert opacity(about) < 4193909241 and wait_until(lambda: opacity(about) == 4193909241), "no fade-in to 249"
        save_screenshot(about, "about-window.png")
        click(about, 264 + 18, 1 + 18)  # the close picture
        assert wait_until(lambda: not viewable(about))
        request_close(window)
        assert program.process.wait(10) == 0


def test_wayland(folder):
    """Under weston (its X11 backend, inside this X server, takes input from xdotool): the window shows and plots,
    the hand cursor is drawn over the plot, and the About window's pixels change as it fades."""
    os.chmod(folder, 0o700)
    weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--socket=vesk-e2e", "--width=800", "--height=700",
                               "--use-pixman", "--idle-time=0"], env={**os.environ, "XDG_RUNTIME_DIR": folder},
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    try:
        output = []  # weston's window, which xdotool does not find by name
        if not wait_until(lambda: output.extend(re.findall(rb"(0x[0-9a-f]+) \"Weston Compositor",
                                                           tool("xwininfo", "-root", "-tree") or b"")) or output, 15) \
                or not wait_until(lambda: os.path.exists(f"{folder}/vesk-e2e")):
            raise Skip("weston could not start here: no Wayland test")
        output = int(output[0], 16)
        session = {"DISPLAY": None, "QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": "vesk-e2e", "XDG_RUNTIME_DIR": folder}
        with Program(environment=session, main_window=False):
            origin = []  # the plot area: the start-up y marker is the one run of 390 red pixels

            def find_plot():
                shot = Shot(output)
                runs = [0] * 800
                for y in range(700):
                    runs = [n + 1 if shot(x, y) == RED else 0 for x, n in enumerate(runs)]
                    if 390 in runs:
                        return origin.append((runs.index(390) - 288, y - 389)) or True
            assert wait_until(find_plot), "the main window did not show"
            left, top = origin[0]
            plotted = lambda: Shot(output).count(RED, left, top, 280, 390) > 300
            for _ in range(3):  # a loaded machine may hand the first keys to weston before the window has its focus
                click(output, 1000, 750)  # the pointer must enter weston's window from outside
                click(output, left + 200, top + 200)
                key(output, "alt+l")
                if wait_until(plotted, 5):
                    break
            assert plotted(), "no plot"
            save_screenshot(output, "wayland.png")
            shot = Shot(output)
            dark = sum(sum(shot(x, y)) < 180 for y in range(top + 200, top + 220) for x in range(left + 194, left + 212))
            assert dark > 20, "no cursor drawn over the plot area"  # the hand's outline around its hot spot
            key(output, "alt+a")
            frames, end = [], time.monotonic() + 2.5
            while time.monotonic() < end:
                frames.append(Shot(output).data)
            distinct = sum(a != b for a, b in zip(frames, frames[1:])) + 1
            assert distinct >= 3, f"{distinct} distinct frames of the fade"
    finally:
        weston.terminate()
        weston.wait()


if __name__ == "__main__":
    main(dict(globals()))
