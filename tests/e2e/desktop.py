"""Drives the real program in a real X server as a user would (xdotool, xwininfo, xprop, ImageMagick's import),
each run in an Xvfb of its own on a display number the server finds free, so runs can go on at once."""

import ctypes, os, re, subprocess, sys, tempfile, time, traceback

BINARY = os.environ.get("VESK_PLOT_BINARY", "vesk-plot")
SHOTS = os.environ.get("VESK_SCREENSHOT_DIR", ".")
# The main window's layout in pixels, from the program's own table (twips, 15 a pixel).
LAYOUT = {name: [(int(t) + 7) // 15 for t in rect.split(",")] for name, rect in re.findall(
    r"TwipsRect (\w+)\{([\d, ]+)\}", open(f"{os.path.dirname(__file__)}/../../desktop/main_window/main_layout.h").read())}
PLOT = (LAYOUT["pic_plot"][0] + 2, LAYOUT["pic_plot"][1] + 2)  # the drawable area, inside a 2-pixel border
RED, GREEN, WHITE, BLACK, GRID = (255, 0, 0), (0, 255, 0), (255, 255, 255), (0, 0, 0), (240, 240, 240)


def centre(control):
    return LAYOUT[control][0] + LAYOUT[control][2] // 2, LAYOUT[control][1] + LAYOUT[control][3] // 2


def tool(*command, timeout=10):  # what a tool printed, or None when it failed
    try:
        done = subprocess.run(command, capture_output=True, timeout=timeout)
        return done.stdout if done.returncode == 0 else None
    except subprocess.TimeoutExpired:
        return None


def wait_until(condition, timeout=10):
    end = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.02)
    return True


def windows(pattern):
    return [int(w) for w in (tool("xdotool", "search", "--onlyvisible", "--name", pattern) or b"").split()]


def find_window(pattern, timeout=10):
    found = []
    wait_until(lambda: found.extend(windows(pattern)) or found, timeout)
    return found[0] if found else 0


def geometry(window):  # the window's client area on the screen: x, y, width, height
    info = (tool("xwininfo", "-id", str(window)) or b"").decode()
    return tuple(int(re.search(label + r":\s*(-?\d+)", info).group(1)) if label in info else 0
                 for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def viewable(window):
    return b"IsViewable" in (tool("xwininfo", "-id", str(window)) or b"")


def opacity(window):
    match = re.search(rb"= (\d+)", tool("xprop", "-id", str(window), "_NET_WM_WINDOW_OPACITY") or b"")
    return int(match.group(1)) if match else None


class Shot:  # a screenshot, its pixels read relative to one window's client area or to the screen

    def __init__(self, window=None):
        self.width = int(re.search(rb"Width: *(\d+)", tool("xwininfo", "-root")).group(1))
        self.data = tool("import", "-window", "root", "-depth", "8", "rgb:-") or b""
        self.x, self.y = geometry(window)[:2] if window else (0, 0)

    def __call__(self, x, y):
        i = ((self.y + y) * self.width + self.x + x) * 3
        return tuple(self.data[i:i + 3])

    def count(self, colour, left, top, width, height):
        return sum(self(x, y) == colour for y in range(top, top + height) for x in range(left, left + width))

    def grey_columns(self, row):  # the grid columns in one row of the plot
        return [x for x in range(579) if self(PLOT[0] + x, PLOT[1] + row) == GRID]


def save_screenshot(window, name):
    x, y, width, height = geometry(window)
    tool("import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage", f"{SHOTS}/{name}")


def key(window, keys):
    tool("xdotool", "windowfocus", "--sync", str(window), "key", "--clearmodifiers", keys)


def type_text(window, text):
    tool("xdotool", "windowfocus", "--sync", str(window), "type", "--delay", "5", "--", text)  # text may start with -


def move(window, x, y):
    left, top = geometry(window)[:2]  # no --sync: it waits forever when the pointer is already there
    return ["mousemove", str(left + x), str(top + y), "sleep", "0.05"]


def click(window, x, y, button=1):  # button 4 turns the wheel away from the user, 5 towards
    tool("xdotool", *move(window, x, y), "click", str(button))


def drag(window, start, end):
    middle = [(a + b) // 2 for a, b in zip(start, end)]
    tool("xdotool", *move(window, *start), "mousedown", "1", *move(window, *middle), *move(window, *end), "mouseup", "1")


def replace_text(window, box, text):
    click(window, *centre(box))
    key(window, "ctrl+a")
    type_text(window, text) if text else key(window, "BackSpace")


def request_close(window):  # what a window manager's close button sends: WM_DELETE_WINDOW
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = x11.XInternAtom.restype = ctypes.c_void_p
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    # An XClientMessageEvent as longs: type, serial, send_event, display, window, message type, format, data…
    event = (ctypes.c_long * 24)(33, 0, 0, 0, window, x11.XInternAtom(display, b"WM_PROTOCOLS", 0), 32,
                                 x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0))
    x11.XSendEvent(display, window, 0, 0, event)
    x11.XCloseDisplay(display)


class Program:  # vesk-plot in a process of its own; `environment` adds to (None: removes from) the test's
    def __init__(self, environment={}, main_window=True):
        env = {**os.environ, "QT_QPA_PLATFORM": None, **environment}
        self.process = subprocess.Popen([BINARY], env={k: v for k, v in env.items() if v is not None})
        self.window = find_window(r"^Vesk - Plot v\.1$", 20) if main_window else 0

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.process.kill(), self.process.wait()


def run(arguments, prefix=(), environment={}, output=False, timeout=30):
    """The program without a graphical session (`environment` adds to it): exit status, standard error (and
    standard output as bytes when asked)."""
    session = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR")
    done = subprocess.run([*prefix, BINARY, *arguments], capture_output=True, timeout=timeout,
                          env={**{k: v for k, v in os.environ.items() if k not in session}, **environment})
    return (done.returncode, done.stderr.decode()) + ((done.stdout,) if output else ())


Skip = type("Skip", (Exception,), {})  # raised by a test that cannot run here


class XServer:  # an Xvfb of the run's own: it takes the first free display number and names it on a pipe
    def __init__(self):
        ready, told = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-screen", "0", "1280x1024x24", "-noreset",
                                         "-nolisten", "tcp"], pass_fds=[told], stderr=subprocess.DEVNULL)
        os.close(told)
        number = b""
        while not number.endswith(b"\n"):
            piece = os.read(ready, 16)
            assert piece, "Xvfb ended before it took a display"
            number += piece
        os.close(ready)
        os.environ["DISPLAY"] = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate(), self.process.wait()


def main(tests, screen=True):  # runs the test_ functions given (or those named), each with a temporary folder
    runtime = tempfile.TemporaryDirectory()  # the desktop's runtime folder, private to this run (0700)
    os.environ["XDG_RUNTIME_DIR"] = runtime.name
    server = XServer() if screen else None
    try:
        failed, passed = run_tests(tests)
    finally:
        server and server.stop()
        runtime.cleanup()
    sys.exit(1 if failed else 0 if passed else 77)  # 77: all skipped, which CTest shows as such


def run_tests(tests):
    failed = passed = 0
    for name, test in tests.items():
        if name.startswith("test_") and (len(sys.argv) == 1 or name in sys.argv[1:]):
            started = time.monotonic()
            try:
                with tempfile.TemporaryDirectory() as folder:
                    test(folder)
                print(f"PASS   {name} ({time.monotonic() - started:.1f} s)", flush=True)
                passed += 1
            except Skip as reason:
                print(f"SKIP   {name}: {reason}", flush=True)
            except Exception:
                failed += 1
                print(f"FAIL!  {name}\n{traceback.format_exc()}", flush=True)
                tool("import", "-window", "root", f"{SHOTS}/{name}-failed.png")
    return failed, passed
