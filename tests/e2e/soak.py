#!/usr/bin/env python3
"""A seeded soak of the real program in Xvfb: a few hundred random actions of a user (text in the boxes, plots,
the wheel and drags over the plot, the About window, saves in every format through the real dialog to writable
and unwritable places), every message box answered. VESK_SOAK_SEED picks another seed ("random": the clock)."""

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
    saved, kept, answered = set(), {}, [0]  # names written; contents a failed save must keep; boxes answered

    with Program() as program:
        main_window = program.window
        assert main_window

        def answer_boxes(wait):  # waits up to `wait` seconds for a box to open
            wait_until(lambda: len(windows(".")) > 1, wait)
            for _ in range(10):
                boxes = [w for w in windows(".") if w != main_window]
                for box in boxes:
                    key(box, "Return")
                    wait_until(lambda: not viewable(box), 2)
                    answered[0] += 1
                if not boxes:
                    return

        def command(access_key, button):  # by its access key or by a click, at random
            key(main_window, access_key) if pick.random() < 0.5 else click(main_window, *centre(button))

        def save_through_dialog(path):
            command("alt+s", "cmd_saveplot")
            dialog = find_window("^Save Picture$")
            assert dialog, "no save dialog"
            key(dialog, "ctrl+a")
            type_text(dialog, path)
            key(dialog, "Return")
            if os.path.exists(path if "." in os.path.basename(path) else path + ".bmp"):  # it asks before replacing
                confirm = []
                wait_until(lambda: confirm.extend(windows("^Save Picture$")[1:]) or confirm, 3)
                if confirm:
                    key(confirm[0], "alt+y")
            assert wait_until(lambda: not viewable(dialog), 5), "the dialog stayed"

        warm_kb = 0
        for action in range(actions):
            roll = pick.randrange(100)
            if roll < 30:
                replace_text(main_window, pick.choice(BOXES), "".join(pick.choice(TOKENS) for _ in range(pick.randint(1, 2))))
            elif roll < 55:
                command(*pick.choice([("alt+l", "cmd_plotline"), ("alt+p", "cmd_plotpoint")]))
                answer_boxes(0.15)
            elif roll < 70:
                somewhere = lambda: (PLOT[0] + pick.randrange(579), PLOT[1] + pick.randrange(390))
                click(main_window, *somewhere(), pick.choice([4, 5])) if pick.random() < 0.5 else \
                    drag(main_window, somewhere(), somewhere())
            elif roll < 80:
                name = pick.choice(["a", "b.bmp", "c.jpg", "d.png", "e.svg", "f.pdf"])
                file = name if "." in name else name + ".bmp"
                save_through_dialog(f"{folder}/{name}")
                assert wait_until(lambda: os.path.exists(f"{folder}/{file}"), 3), file
                answer_boxes(0.1)
                saved.add(file)
                kept.pop(file, None)
            elif roll < 92:  # a missing folder, or an existing file while the program may write only 64 bytes
                before = answered[0]
                if pick.random() < 0.5 or not saved:
                    save_through_dialog("/nonexistent-vesk-folder/x.bmp")
                else:
                    file = pick.choice(sorted(saved))
                    kept[file] = open(f"{folder}/{file}", "rb").read()
                    assert tool("prlimit", "--pid", str(program.process.pid), "--fsize=64:unlimited") is not None
                    save_through_dialog(f"{folder}/{file}")
                    wait_until(lambda: len(windows(".")) > 1, 3)
                    tool("prlimit", "--pid", str(program.process.pid), "--fsize=unlimited:unlimited")
                answer_boxes(0.2)
                assert answered[0] > before, "a failed save showed no message"
            else:
                command("alt+a", "cmd_about")
                about = find_window("^&about Vesk$")
                assert about, "no About window"
                if pick.random() < 0.5:
                    click(about, 282, 19)  # mid-fade: only one more step in
                assert wait_until(lambda: opacity(about) == 4193909241, 5), "no rest at 249"
                click(about, 282, 19)
                assert wait_until(lambda: not viewable(about), 5), "the About window stayed"
            assert program.process.poll() is None, f"the program ended at action {action}"
            if action == actions // 5:
                warm_kb = resident_kb(program.process.pid)
        end_kb = resident_kb(program.process.pid)

        # Every file written is whole; failed saves left earlier files whole; no temporary file is left.
        for file in saved:
            data = open(f"{folder}/{file}", "rb").read()
            whole = {"pdf": b"%%EOF", "svg": b"</svg>"}.get(file[-3:])
            assert data.rstrip().endswith(whole) if whole else \
                tool("identify", "-format", "%wx%h", f"{folder}/{file}") == b"579x390", file
        assert all(open(f"{folder}/{file}", "rb").read() == data for file, data in kept.items())
        assert sorted(os.listdir(folder)) == sorted(saved)
        limit_kb = int(os.environ.get("VESK_SOAK_MEMORY_LIMIT_KB", "0"))
        print(f"soak: {actions} actions, {answered[0]} message boxes answered, {len(saved)} files checked, memory "
              f"{warm_kb} kB after warm-up, {end_kb} kB at the end (growth {end_kb - warm_kb} kB)", flush=True)
        assert limit_kb == 0 or end_kb - warm_kb < limit_kb, "memory grew too much"
        request_close(main_window)
        assert program.process.wait(10) == 0


if __name__ == "__main__":
    main(dict(globals()))
