#!/usr/bin/env python3
"""A seeded soak of the real program in Xvfb: a few hundred random actions (text in the boxes, plots, wheel and drags,
the About window, saves of every format and to a missing folder), every message box answered. VESK_SOAK_SEED: another."""

import os, random, time
from desktop import *

TOKENS = ["", " ", "abc", "-", "+", ".", "1e3", "1e309", "-1e400", "2e-400", "&H7FFF", "&hffff", "&O777", "&H", "32767",
          "32768", "-32768", "-32769", "32767.5", "-32768.5", "0", "-0", "-5", "0.4", "1,5", "1 2", "0x10", "nan", "inf",
          "½", "∞", "日本", "1.2", "1.4", "9", "-9", "100", "3abc", "\t7", "99999999999999999999"]
BOXES = ["txt_x1", "txt_x2", "txt_y1", "txt_y2", "txt_clarity"]
resident_kb = lambda pid: int(re.search(r"VmRSS:\s*(\d+)", open(f"/proc/{pid}/status").read()).group(1))


def test_soak(folder):
    seed = os.environ.get("VESK_SOAK_SEED", "20261207")
    seed = int(time.time()) if seed == "random" else int(seed)
    actions = int(os.environ.get("VESK_SOAK_ACTIONS", "300"))
    print(f"soak seed {seed} (replay with VESK_SOAK_SEED={seed}), {actions} actions", flush=True)
    pick = random.Random(seed)
    saved, answered = set(), [0]  # names written; boxes answered

    with Program() as program:
        window = program.window

        def answer_boxes(wait):  # every message box that opens within `wait` seconds, answered
            wait_until(lambda: len(windows(".")) > 1, wait)
            for _ in range(10):
                boxes = [w for w in windows(".") if w != window]
                for box in boxes:
                    key(box, "Return"), wait_until(lambda: not viewable(box), 2)
                    answered[0] += 1
                if not boxes:
                    return

        def command(access_key, button):  # by its access key or by a click, at random
            key(window, access_key) if pick.random() < 0.5 else click(window, *centre(button))

        def opened(access_key, button, title):  # a box a slow machine showed late takes the first try: answered
            for _ in range(2):
                command(access_key, button)
                found = find_window(title)
                if found:
                    return found
                answer_boxes(2)

        def save(path):  # through the real dialog, a replace confirmed
            dialog = opened("alt+s", "cmd_saveplot", "^Save Picture$")
            assert dialog, "no save dialog"
            key(dialog, "ctrl+a"), type_text(dialog, path), key(dialog, "Return")
            confirm = []
            if os.path.exists(path if "." in os.path.basename(path) else path + ".bmp"):
                wait_until(lambda: confirm.extend(windows("^Save Picture$")[1:]) or confirm, 3)
            confirm and key(confirm[0], "alt+y")
            assert wait_until(lambda: not viewable(dialog), 5), "the dialog stayed"

        warm_kb = 0
        for action in range(actions):
            roll = pick.randrange(100)
            if roll < 30:
                replace_text(window, pick.choice(BOXES), "".join(pick.choice(TOKENS) for _ in range(pick.randint(1, 2))))
            elif roll < 55:
                command(*pick.choice([("alt+l", "cmd_plotline"), ("alt+p", "cmd_plotpoint")]))
                answer_boxes(0.15)
            elif roll < 70:
                somewhere = lambda: (PLOT[0] + pick.randrange(579), PLOT[1] + pick.randrange(390))
                click(window, *somewhere(), pick.choice([4, 5])) if pick.random() < 0.5 else drag(window, somewhere(), somewhere())
            elif roll < 85:  # a name of each format, or a folder that is not there, which a message names
                name = pick.choice(["a", "b.bmp", "c.jpg", "d.png", "e.svg", "f.pdf", "/nonexistent-vesk-folder/x.bmp"])
                before = answered[0]
                save(name if name.startswith("/") else f"{folder}/{name}")
                answer_boxes(0.2 if name.startswith("/") else 0.1)
                assert not name.startswith("/") or answered[0] > before, "a failed save showed no message"
                name.startswith("/") or saved.add(name if "." in name else name + ".bmp")
            else:
                about = opened("alt+a", "cmd_about", "^&about Vesk$")
                assert about, "no About window"
                pick.random() < 0.5 and click(about, 282, 19)  # mid-fade: only one more step in
                assert wait_until(lambda: opacity(about) == 4193909241, 5), "no rest at 249"
                click(about, 282, 19)
                assert wait_until(lambda: not viewable(about), 5), "the About window stayed"
            assert program.process.poll() is None, f"the program ended at action {action}"
            warm_kb = resident_kb(program.process.pid) if action == actions // 5 else warm_kb
        end_kb = resident_kb(program.process.pid)

        # Every file written is whole, and no temporary file is left.
        for file in saved:
            data = open(f"{folder}/{file}", "rb").read()
            whole = {"pdf": b"%%EOF", "svg": b"</svg>"}.get(file[-3:])
            assert data.rstrip().endswith(whole) if whole else \
                tool("identify", "-format", "%wx%h", f"{folder}/{file}") == b"579x390", file
        assert sorted(os.listdir(folder)) == sorted(saved)
        limit_kb = int(os.environ.get("VESK_SOAK_MEMORY_LIMIT_KB", "0"))
        print(f"soak: {actions} actions, {answered[0]} message boxes answered, {len(saved)} files checked, memory "
              f"{warm_kb} kB after warm-up, {end_kb} kB at the end (growth {end_kb - warm_kb} kB)", flush=True)
        assert limit_kb == 0 or end_kb - warm_kb < limit_kb, "memory grew too much"
        request_close(window)
        assert program.process.wait(10) == 0


if __name__ == "__main__":
    main(dict(globals()))
