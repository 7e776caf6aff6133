#!/usr/bin/env python3
"""What a screen reader hears, over a real AT-SPI bus: the program in Xvfb inside its own D-Bus session with the
accessibility bus, read with pyatspi. Run by CTest under dbus-run-session and xvfb-run."""

import os, subprocess, time
from desktop import *

try:
    import pyatspi
except ImportError:
    pyatspi = None


def test_heard(folder):
    """Names and roles; the plot's description before and after a wheel step; an event when the readout changes."""
    if pyatspi is None or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        raise Skip("no D-Bus session or no pyatspi: no accessibility bus here")
    helpers = [subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"]),
               subprocess.Popen(["/usr/libexec/at-spi2-registryd"])]
    try:
        time.sleep(1)
        with Program(environment={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}) as program:
            found = {}

            def walk(node, depth=0):
                for child in node:
                    if child is not None and depth < 12:
                        found.setdefault(child.name, child)
                        walk(child, depth + 1)

            def app():
                apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "vesk-plot"]
                return apps[0] if apps else None
            if not wait_until(app, 15):
                raise Skip("the accessibility bus did not start: no program registered on it")
            walk(app())
            for name, role in [("X from", pyatspi.ROLE_TEXT), ("clarity", pyatspi.ROLE_TEXT),
                               ("plot by line", pyatspi.ROLE_PUSH_BUTTON), ("Seve plot", pyatspi.ROLE_PUSH_BUTTON)]:
                assert name in found and found[name].getRole() == role, (name, list(found))
            plot = next(node for name, node in found.items() if name.startswith("Plot of f of x"))
            assert plot.getRole() == pyatspi.ROLE_CHART
            assert plot.description.startswith("x from -9 to 9, y from -9 to 9; frame only;"), plot.description
            heard = []
            pyatspi.Registry.registerEventListener(lambda event: heard.append(event.type),
                                                   "object:property-change:accessible-name",
                                                   "object:property-change:accessible-description")

            def pump(seconds):
                end = time.monotonic() + seconds
                while time.monotonic() < end:
                    pyatspi.Registry.pumpQueuedEvents()
                    time.sleep(0.05)
            click(program.window, PLOT[0] + 289, PLOT[1] + 194, 4)  # the wheel, away from the user
            pump(1)
            assert plot.description.startswith("x from -7 to 7, y from -7 to 7"), plot.description
            tool("xdotool", *move(program.window, PLOT[0] + 100, PLOT[1] + 100))
            pump(1)
            assert "object:property-change:accessible-name" in heard and \
                "object:property-change:accessible-description" in heard, heard
    finally:
        for helper in helpers:
            helper.terminate(), helper.wait()


if __name__ == "__main__":
    main(dict(globals()))
