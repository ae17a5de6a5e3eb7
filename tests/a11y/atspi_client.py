#!/usr/bin/python3
"""The module as a screen reader user meets it, through a real AT-SPI client (pyatspi).

  atspi_client.py panel CAPTION POWER [SECRET ...]
      the module is listed on the desktop, its main window CAPTION holds the menu
      entries and the four lamps by name, and the power lamp's description becomes
      "PWR: POWER" (on once the device answered, off when it does not; "any" skips it);
      no name, description or text the module shows holds a SECRET
  atspi_client.py information CAPTION JOURNAL DESCR CONTACT NAME LOCATION NEWNAME
      additionally opens Home > Information through the menu entry's accessibility
      action, finds the fields by their captions and compares their texts, types NEWNAME
      into "System Name" and presses "Save" through its action; the SET must reach the
      simulator's JOURNAL

Every wait is bounded; exit status 0 on success, 1 with the reason on stderr.
"""
import sys
import time

import pyatspi
from gi.repository import Atspi

# A menu action opens a modal window and answers only when it closes: the client must
# not hang on it.
Atspi.set_timeout(3000, 10000)

MENU = {
    "Home": ["Information", "Wireless", "LAN"],
    "Advanced": ["DHCP Server", "Scheduling", "Vlan Setting", "Traffic Control", "Filter"],
    "Tools": ["Admin", "System", "Firmware", "Time and Date", "Configuration File"],
    "Configuration": ["Save and Activate", "Discard Changes"],
    "Status": ["Device Info", "Client Infomation", "WDS Information"],
    "Help": ["About"],
}
LAMPS = ["PWR", "5G", "2.4G", "AP"]
SYS_NAME_OID = "1.3.6.1.2.1.1.5.0"


class Failure(Exception):
    pass


def wait_for(what, probe, seconds):
    deadline = time.monotonic() + seconds
    while True:
        try:
            found = probe()
        except Exception:  # an object may go away while it is looked at
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.2)


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def find(node, role, name):
    for d in descendants(node):
        if d.getRoleName() == role and d.name == name:
            return d
    return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "RWN-3460":
            return app
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        raise Failure("%s %r has no Press action: %s" % (node.getRoleName(), node.name, names))
    try:
        action.doAction(names.index("Press"))
    except Exception as e:  # the modal window it opened keeps the answer back
        if "Timeout" not in str(e) and "timeout" not in str(e):
            raise


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


def check_panel(caption, power):
    app = wait_for("the module on the AT-SPI desktop", application, 30)
    frame = wait_for("the main window " + caption, lambda: find(app, "frame", caption), 10)
    for title, entries in MENU.items():
        menu = find(frame, "menu item", title)
        if menu is None:
            raise Failure("no menu %r" % title)
        for entry in entries:
            if find(menu, "menu item", entry) is None:
                raise Failure("no entry %r in menu %r" % (entry, title))
    for lamp in LAMPS:
        node = find(frame, "filler", lamp)
        if node is None:
            raise Failure("no lamp %r" % lamp)
        if node.description not in (lamp + ": on", lamp + ": off"):
            raise Failure("lamp %r described as %r" % (lamp, node.description))
    if power != "any":
        want = "PWR: " + power
        wait_for("the power lamp described as " + want,
                 lambda: find(frame, "filler", "PWR").description == want, 20)
    return app, frame


def check_information(app, frame, journal, expected, new_name):
    press(find(frame, "menu item", "Information"))
    dialog = wait_for("the Information screen",
                      lambda: find(app, "dialog", "Home \\ Information"), 10)
    fields = {}
    for caption in expected:
        node = find(dialog, "text", caption)
        if node is None:
            raise Failure("no field named %r on the Information screen" % caption)
        fields[caption] = node
    for caption, value in expected.items():
        wait_for("%r to show %r" % (caption, value), lambda: text_of(fields[caption]) == value, 10)
    name = fields["System Name"]
    if not name.queryEditableText().setTextContents(new_name):
        raise Failure("System Name takes no text")
    press(find(dialog, "push button", "Save"))

    def journaled():
        with open(journal, encoding="utf-8") as f:
            return any("%s|4|%s" % (SYS_NAME_OID, new_name) in line for line in f)

    wait_for("the Save in the journal", journaled, 10)

    # "Save OK!" once the write is out, then the layer's report of the device's answer.
    def reported():
        for d in descendants(dialog):
            if d.getRoleName() == "status bar" and (d.name == "Save OK!" or d.name.startswith("Set: ")):
                return d.name
        return None

    line = wait_for("the screen's status line to report the Save", reported, 5)
    if "Ok!" not in line and line != "Save OK!":
        raise Failure("the status line says %r" % line)


def check_no_secrets(app, secrets):
    for d in descendants(app):
        shown = [d.name or "", d.description or ""]
        try:
            shown.append(text_of(d))
        except Exception:
            pass  # no text interface
        for secret in secrets:
            if any(secret in s for s in shown):
                raise Failure("%s %r shows a secret" % (d.getRoleName(), d.name))


def main(argv):
    mode = argv[1]
    if mode == "panel":
        app, frame = check_panel(argv[2], argv[3])
        if argv[4:]:
            # Once the status line holds a poll report, every text is in place.
            wait_for("a report in the status line", lambda: any(
                d.getRoleName() == "status bar" and d.name for d in descendants(frame)), 20)
            check_no_secrets(app, argv[4:])
    elif mode == "information":
        caption, journal, descr, contact, name, location, new_name = argv[2:9]
        app, frame = check_panel(caption, "on")
        check_information(app, frame, journal, {
            "System Description": descr,
            "System Contact": contact,
            "System Name": name,
            "System Location": location,
        }, new_name)
    else:
        raise Failure("unknown mode " + mode)


if __name__ == "__main__":
    try:
        main(sys.argv)
    except Failure as e:
        print("atspi_client: " + str(e), file=sys.stderr)
        sys.exit(1)
    print("atspi_client: %s passed" % sys.argv[1])
