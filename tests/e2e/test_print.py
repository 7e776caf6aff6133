#!/usr/bin/env python3
"""Printing for real: a CUPS scheduler of the test's own in a scratch folder, its queue's backend writing the PDF to a
folder there (cups-pdf's is set machine-wide), the program's Ctrl+P and Return in Xvfb, the PDF read with poppler."""

import os, shutil, subprocess, time
from desktop import *


class Scheduler:  # cupsd in the foreground, started and ended by the test; `environment` points clients at it
    def __init__(self, folder):
        self.root, self.out = f"{folder}/cups", f"{folder}/printed"
        for part in ("spool/tmp", "cache", "state", "ppd", "bin/backend"):
            os.makedirs(f"{self.root}/{part}")
        for part in os.listdir("/usr/lib/cups"):  # the system's filters, and a backend of the test's own
            part != "backend" and os.symlink(f"/usr/lib/cups/{part}", f"{self.root}/bin/{part}")
        open(f"{self.root}/bin/backend/tofolder", "w").write(
            '#!/bin/sh\n[ $# -eq 0 ] && echo \'file tofolder "Unknown" "A folder of the test"\' && exit 0\n'
            'cat "${6:-/dev/stdin}" > "${DEVICE_URI#tofolder:}/job.pdf.part" && mv "${DEVICE_URI#tofolder:}/job.pdf.part" '
            '"${DEVICE_URI#tofolder:}/job.pdf"\n')
        os.chmod(f"{self.root}/bin/backend/tofolder", 0o700)  # run as root, as cups-pdf is
        os.makedirs(self.out), os.chmod(self.out, 0o777), os.chmod(folder, 0o755)
        socket = f"{self.root}/cups.sock"
        open(f"{self.root}/cupsd.conf", "w").write(f"Listen {socket}\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                                                   "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
        open(f"{self.root}/cups-files.conf", "w").write("\n".join(
            [f"ServerRoot {self.root}", f"RequestRoot {self.root}/spool", f"TempDir {self.root}/spool/tmp",
             f"CacheDir {self.root}/cache", f"StateDir {self.root}/state", f"ErrorLog {self.root}/error_log",
             f"AccessLog {self.root}/access_log", f"PageLog {self.root}/page_log", f"ServerBin {self.root}/bin", "SystemGroup root", ""]))
        self.environment = {"CUPS_SERVER": socket}
        self.process = subprocess.Popen(["cupsd", "-f", "-c", f"{self.root}/cupsd.conf", "-s", f"{self.root}/cups-files.conf"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env = {**os.environ, **self.environment}
        if not wait_until(lambda: os.path.exists(socket), 10):
            raise Skip("cupsd did not start here")
        for command in (["lpadmin", "-p", "vesk", "-v", f"tofolder:{self.out}", "-m", "raw", "-E"],
                        ["lpadmin", "-d", "vesk"]):
            subprocess.run(command, env=env, check=True, capture_output=True)

    def stop(self):
        self.process.terminate(), self.process.wait()


def page(path):  # the PDF's page as RGB pixels at 72 dpi, and its width
    subprocess.run(["pdftoppm", "-r", "72", "-singlefile", "-png", path, path[:-4]], check=True)
    png = path[:-4] + ".png"
    width = int(tool("identify", "-format", "%w", png))
    return subprocess.run(["convert", png, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout, width


def test_printed_as_vectors(folder):
    """Ctrl+P and Return print the view shown: as shapes (no image in the PDF), the curve red and the axis green, the
    grid's numbers after a notch, the caption; with the scheduler stopped the dialog prints to a PDF file and the
    window keeps answering."""
    if not shutil.which("cupsd") or not shutil.which("pdfimages"):
        raise Skip("no CUPS scheduler or poppler here")
    scheduler = Scheduler(folder)
    try:
        with Program(environment={**scheduler.environment, "HOME": folder}) as program:
            window, job = program.window, f"{scheduler.out}/job.pdf"
            key(window, "alt+l")
            click(window, PLOT[0] + 300, PLOT[1] + 300)
            for printed, notches in ((1, 0), (2, 1)):
                for _ in range(notches):
                    click(window, PLOT[0] + 289, PLOT[1] + 194, 4)
                key(window, "ctrl+p")
                dialog = find_window("^Print$")
                assert dialog, "no print dialog"
                key(dialog, "Return")
                assert wait_until(lambda: os.path.exists(job) and open(job, "rb").read().rstrip().endswith(b"%%EOF"), 20), printed
                shutil.move(job, f"{folder}/job{printed}.pdf")
                images = subprocess.run(["pdfimages", "-list", f"{folder}/job{printed}.pdf"], capture_output=True, text=True).stdout
                assert len(images.strip().splitlines()) == 2, images  # its two lines of heading: no image at all
                text = subprocess.run(["pdftotext", f"{folder}/job{printed}.pdf", "-"], capture_output=True, text=True).stdout
                assert "f(x) = x³ − 2·x² + x⁴ + 3·x" in text and "clarity 100, by line" in text, text  # the caption
                pixels, width = page(f"{folder}/job{printed}.pdf")
                colours = {tuple(pixels[i:i + 3]) for i in range(0, len(pixels), 3)}
                assert (255, 0, 0) in colours and (0, 255, 0) in colours, printed
                violet = sum(1 for i in range(0, len(pixels), 3) if pixels[i] < 120 and pixels[i + 2] > 100 and pixels[i + 1] < 60)
                assert (violet > 0) == (notches > 0), (printed, violet)
            # No scheduler: the dialog still prints to a PDF file (in the home folder), and the window answers.
            scheduler.stop()
            key(window, "ctrl+p")
            dialog = find_window("^Print$")
            assert dialog, "no print dialog without a scheduler"
            key(dialog, "Return")
            assert wait_until(lambda: os.path.exists(f"{folder}/Vesk Plot.pdf"), 10), os.listdir(folder)
            started = time.monotonic()
            key(window, "alt+p")  # the window answers: plotted by point
            assert wait_until(lambda: Shot(window).count((255, 0, 0), PLOT[0], PLOT[1], 200, 390) < 2000, 3), "no answer"
            assert time.monotonic() - started < 3
    finally:
        scheduler.process.poll() is None and scheduler.stop()


if __name__ == "__main__":
    main(dict(globals()))
