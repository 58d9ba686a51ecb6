#!/usr/bin/env python3
"""tavrin on Wayland, driven as a person drives it: keys through the
compositor's keyboard, the dialogs and their focus found on the
accessibility bus, the clipboard read back by wl-paste.
   wayland_program.py TAVRIN TAVRIN_CLI   (inside with-sway.sh's session)"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

program, cli = sys.argv[1], sys.argv[2]


def fail(message):
    sys.exit(f"wayland_program: {message}")


def wait(find, what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        try:
            found = find()
        except GLib.GError:
            found = None  # a dialog or control went away while it was read (a closing dialog): look again
        if found:
            return found
        time.sleep(0.1)
    fail(f"no {what}")


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tavrin":
            return app
    return None


def dialogs():
    app = application()
    return [window for window in app if window is not None] if app is not None else []


def active_dialog(title):
    """The dialog titled `title` when it is shown and has the keyboard."""
    for window in dialogs():
        state = window.getState()
        if window.name == title and state.contains(pyatspi.STATE_SHOWING) and state.contains(pyatspi.STATE_ACTIVE):
            return window
    return None


def closed(title):
    return not any(window.name == title and window.getState().contains(pyatspi.STATE_SHOWING)
                   for window in dialogs())


def focused(window):
    node = pyatspi.findDescendant(window, lambda n: n.getState().contains(pyatspi.STATE_FOCUSED))
    return node.name if node is not None else None


def press(*keys):
    # wtype lays the keys it sends out on a keymap of its own, the last one at its highest key code, which
    # GTK 3 leaves out when it matches key bindings (Tab, arrows, mnemonics); a spare key after them keeps the
    # real ones off that code.
    subprocess.run(["wtype", *keys, "-p", "F24"], check=True)


def tab_to(window, name):
    for _ in range(40):
        before = focused(window)
        if before == name:
            return
        press("-k", "Tab")
        # The focus leaves one control before it enters the next: wait for a focused control other than the last.
        wait(lambda: focused(window) not in (before, None), f"focus to move on from {before!r} after Tab")
    fail(f"Tab never reached \"{name}\"")


def clipboard():
    result = subprocess.run(["wl-paste", "--no-newline", "--type", "text/plain;charset=utf-8"],
                            capture_output=True, timeout=10)
    return result.stdout if result.returncode == 0 else None


expected = subprocess.run([cli, "--print", "functions"], capture_output=True, check=True).stdout
with open("tavrin.err", "wb") as errors:
    tavrin = subprocess.Popen([program], stderr=errors)
try:
    main = wait(lambda: active_dialog("Tavrin"), "main dialog with the keyboard")
    wait(lambda: focused(main) == "Name", "focus in the Name box")

    # The Days list is a pop-up placed next to its box, which Wayland allows only relative to the dialog.
    tab_to(main, "Days")
    press("-k", "F4")
    days_list = wait(lambda: pyatspi.findDescendant(application(), lambda n: n.getRole() == pyatspi.ROLE_TABLE
                                                    and n.getState().contains(pyatspi.STATE_SHOWING)), "Days list")
    press("-k", "Escape")
    wait(lambda: not days_list.getState().contains(pyatspi.STATE_SHOWING), "closing of the Days list")
    tab_to(main, "Create Popup")
    press("-k", "Return")
    results = wait(lambda: active_dialog("Results"), "Results dialog with the keyboard")
    tab_to(results, "Copy Functions")
    press("-k", "space")
    wait(lambda: clipboard() == expected, "script block on the clipboard")
    press("-k", "Escape")
    wait(lambda: closed("Results"), "closing of the Results dialog")
    wait(lambda: active_dialog("Tavrin"), "main dialog back with the keyboard")

    # Alt+Space opens the window menu; "a" picks "About Tavrin...".
    press("-M", "alt", "-k", "space", "-m", "alt")
    wait(lambda: pyatspi.findDescendant(application(), lambda n: n.getRole() == pyatspi.ROLE_MENU_ITEM
                                        and n.name == "About Tavrin..." and n.getState().contains(pyatspi.STATE_SHOWING)),
         "window menu")
    press("-k", "a")
    about = wait(lambda: active_dialog("About Tavrin"), "About box with the keyboard")
    if wait(lambda: focused(about), "focused control in the About box") != "OK":
        fail(f"the About box opened with the focus on {focused(about)!r}, not OK")
    press("-k", "Escape")
    wait(lambda: closed("About Tavrin"), "closing of the About box")

    wait(lambda: active_dialog("Tavrin"), "main dialog back after the About box")
    press("-k", "Escape")
    status = tavrin.wait(timeout=10)
    if status != 0:
        fail(f"tavrin ended with status {status}")
finally:
    if tavrin.poll() is None:
        tavrin.kill()
        tavrin.wait()

with open("tavrin.err", "rb") as errors:
    said = errors.read()
if said:
    fail("tavrin wrote to standard error:\n" + said.decode(errors="replace"))
print("wayland_program: main dialog, Days list, Create Popup, Copy Functions, About box and Escape all work on Wayland")
