"""Takes the README's screenshots of tavrin: the main dialog, the Results
dialog and the About box. Runs on a display with an AT-SPI bus (see
scripts/screenshots.sh) and presses the program's buttons the way a screen
reader would."""
import subprocess
import sys
import time

import pyatspi

program, out = sys.argv[1], sys.argv[2]


def wait(find, what, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"screenshots: no {what} appeared")


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tavrin":
            return app
    return None


def frame(title):
    app = application()
    if app is None:
        return None
    for window in app:
        if window is not None and window.name == title and window.getState().contains(pyatspi.STATE_SHOWING):
            return window
    return None


def control(window, role, name):
    return pyatspi.findDescendant(window, lambda n: n.getRole() == role and n.name == name)


def press(window, name):
    button = control(window, pyatspi.ROLE_PUSH_BUTTON, name)
    button.queryAction().doAction(0)


def shoot(title, file):
    time.sleep(0.5)
    window_id = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                               capture_output=True, text=True, check=True).stdout.split()[-1]
    subprocess.run(["import", "-window", window_id, f"{out}/{file}"], check=True)


tavrin = subprocess.Popen([program])
try:
    main = wait(lambda: frame("Tavrin"), "main dialog")
    shoot("Tavrin", "main-dialog.png")

    press(main, "Create Popup")
    results = wait(lambda: frame("Results"), "Results dialog")
    shoot("Results", "results-dialog.png")
    press(results, "Return")
    wait(lambda: None if frame("Results") else True, "closing of the Results dialog")

    window_menu = control(main, pyatspi.ROLE_TOGGLE_BUTTON, "Window menu")
    window_menu.queryAction().doAction(0)
    about_item = wait(lambda: pyatspi.findDescendant(application(), lambda n: n.getRole() == pyatspi.ROLE_MENU_ITEM
                                                        and n.name.startswith("About")), "window menu")
    about_item.queryAction().doAction(0)
    about = wait(lambda: frame("About Tavrin"), "About box")
    shoot("About Tavrin", "about-box.png")
    press(about, "OK")
    wait(lambda: None if frame("About Tavrin") else True, "closing of the About box")

    # A screen reader reads and sets the boxes by their labels' names.
    width = control(main, pyatspi.ROLE_TEXT, "Width")
    if width.queryText().getText(0, -1) != "200":
        sys.exit("screenshots: the Width box does not read 200")
    width.queryEditableText().setTextContents("321")
    if width.queryText().getText(0, -1) != "321":
        sys.exit("screenshots: the Width box did not take 321")
    press(main, "Quit")
    tavrin.wait(timeout=10)
finally:
    if tavrin.poll() is None:
        tavrin.kill()
        tavrin.wait()
