"""The Days box as a screen reader meets it, through the accessibility bus:
a combo box named after its label, holding the field and a named arrow
button; setting the field and pressing the arrow opens the list on that
item. Runs on a display with an AT-SPI bus (with-xvfb.sh --a11y)."""
import subprocess
import sys
import time

import pyatspi


def wait(find, what, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    sys.exit(f"days_accessibility: no {what}")


def main_dialog():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tavrin":
            for window in app:
                if window is not None and window.name == "Tavrin":
                    return app, window
    return None


def check(condition, what):
    if not condition:
        sys.exit(f"days_accessibility: {what}")


tavrin = subprocess.Popen([sys.argv[1]])
try:
    app, main = wait(main_dialog, "main dialog")
    days = pyatspi.findDescendant(main, lambda n: n.getRole() == pyatspi.ROLE_COMBO_BOX)
    check(days is not None and days.name == "Days", "no combo box named Days")
    labels = [r for r in days.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    check(labels and labels[0].getTarget(0).name == "Days:", "the combo box is not labelled by \"Days:\"")
    parts = {(child.getRole(), child.name) for child in days}
    check((pyatspi.ROLE_TEXT, "Days") in parts, f"no Days field in the combo box: {parts}")
    check((pyatspi.ROLE_PUSH_BUTTON, "Open list") in parts, f"no named arrow button: {parts}")

    field = pyatspi.findDescendant(days, lambda n: n.getRole() == pyatspi.ROLE_TEXT)
    arrow = pyatspi.findDescendant(days, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
    field.queryEditableText().setTextContents("30")
    arrow.queryAction().doAction(0)

    def dropped_list():
        for window in app:
            table = pyatspi.findDescendant(window, lambda n: n.getRole() == pyatspi.ROLE_TABLE)
            if table is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                return table
        return None

    selection = wait(dropped_list, "dropped Days list").querySelection()
    check(selection.nSelectedChildren == 1 and selection.getSelectedChild(0).name == "30",
          "the list did not open on the typed item 30")
    arrow.queryAction().doAction(0)
    wait(lambda: None if dropped_list() else True, "closing of the Days list")
    pyatspi.findDescendant(main, lambda n: n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == "Quit") \
        .queryAction().doAction(0)
    tavrin.wait(timeout=10)
finally:
    if tavrin.poll() is None:
        tavrin.kill()
        tavrin.wait()
