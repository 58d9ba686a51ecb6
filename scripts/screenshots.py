"""Takes the README's screenshots of tavrin: the main dialog, the Results
dialog and the About box. Runs on a display with an AT-SPI bus (see
scripts/screenshots.sh) and presses the program's buttons the way a screen
reader would; on the way it checks what a screen reader finds of the Width
and Days boxes."""
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

    # Each radio button is one of the radios in its group box, and a control in a group box has the box's
    # caption as its context.
    def group_of(name):
        radio = control(main, pyatspi.ROLE_RADIO_BUTTON, name)
        members = [r for r in radio.getRelationSet() if r.getRelationType() == pyatspi.RELATION_MEMBER_OF]
        return sorted(m.getTarget(i).name for m in members for i in range(m.getNTargets()))
    if group_of("On Close") != ["On Button", "On Close", "On Load"] or group_of("Pop Under") != ["Pop Over", "Pop Under"]:
        sys.exit(f"screenshots: radio groups {group_of('On Close')} and {group_of('Pop Under')}")
    for role, name, context in [(pyatspi.ROLE_TEXT, "X", "Popup Position"),
                                (pyatspi.ROLE_RADIO_BUTTON, "On Load", "When to PopUp")]:
        if control(main, role, name).description != context:
            sys.exit(f"screenshots: {name} has the context {control(main, role, name).description!r}")

    press(main, "Create Popup")
    results = wait(lambda: frame("Results"), "Results dialog")
    if results.getRole() != pyatspi.ROLE_DIALOG:
        sys.exit(f"screenshots: Results is a {results.getRoleName()}, not a dialog")
    shoot("Results", "results-dialog.png")
    press(results, "Return")
    wait(lambda: None if frame("Results") else True, "closing of the Results dialog")

    window_menu = control(main, pyatspi.ROLE_TOGGLE_BUTTON, "Window menu")
    window_menu.queryAction().doAction(0)
    about_item = wait(lambda: pyatspi.findDescendant(application(), lambda n: n.getRole() == pyatspi.ROLE_MENU_ITEM
                                                        and n.name.startswith("About")), "window menu")
    about_item.queryAction().doAction(0)
    about = wait(lambda: frame("About Tavrin"), "About box")
    if about.getRole() != pyatspi.ROLE_DIALOG:
        sys.exit(f"screenshots: the About box is a {about.getRoleName()}, not a dialog")
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

    # Days is a combo box labelled "Days:", holding the field and a named arrow; the list opens on the typed item.
    days = control(main, pyatspi.ROLE_COMBO_BOX, "Days")
    labels = [r for r in days.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if not labels or labels[0].getTarget(0).name != "Days:":
        sys.exit("screenshots: the Days combo box is not labelled by \"Days:\"")
    arrow = control(days, pyatspi.ROLE_PUSH_BUTTON, "Open list")
    control(days, pyatspi.ROLE_TEXT, "Days").queryEditableText().setTextContents("30")
    arrow.queryAction().doAction(0)

    def dropped_list():
        for window in application():
            table = pyatspi.findDescendant(window, lambda n: n.getRole() == pyatspi.ROLE_TABLE)
            if table is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                return table
        return None

    selection = wait(dropped_list, "dropped Days list").querySelection()
    if selection.nSelectedChildren != 1 or selection.getSelectedChild(0).name != "30":
        sys.exit("screenshots: the Days list did not open on the typed 30")
    arrow.queryAction().doAction(0)
    wait(lambda: None if dropped_list() else True, "closing of the Days list")
    press(main, "Quit")
    tavrin.wait(timeout=10)
finally:
    if tavrin.poll() is None:
        tavrin.kill()
        tavrin.wait()
