#!/usr/bin/env python3
"""What a screen reader gets from the running window, through AT-SPI:

- every focusable object that is shown has a name, and the only text boxes
  are the two search boxes (the hidden clipboard box is absent);
- the first box is labelled by "ARANACAK MESLEĞİ GİRİN";
- the web panel's page has a name;
- the second box, on its first focus, is told focused before any caret move
  of its own, which a screen reader would follow silently and then take the
  focus for one it already had (the events are printed in the order they come);
- every spoken notice still reads its text when a listener reads it 400 ms
  after it came, as a screen reader busy speaking does, while the user types
  a letter every 350 ms and every 100 ms;
- a copy is announced with the copied text.

Exits with 1 and says why on the first thing that is not as it should be."""

import subprocess

import pyatspi
from gi.repository import GLib

from atspi_support import WINDOW_TITLE, Check, main_window

CHECK = Check("AT-SPI speech check")
fail = CHECK.fail
wait_for = CHECK.wait_for


def objects(root):
    """The shown objects below root; a table's cells are its own affair."""
    found = []

    def walk(node):
        for child in node:
            if child is None or not child.getState().contains(pyatspi.STATE_SHOWING):
                continue
            found.append(child)
            if child.getRole() != pyatspi.ROLE_TABLE:
                walk(child)

    walk(root)
    return found


def named(root, role, name):
    return next((o for o in objects(root) if o.getRole() == role and o.name == name), None)


def check_tree(window):
    shown = objects(window)
    unnamed = [o.getRoleName() for o in shown
               if o.getState().contains(pyatspi.STATE_FOCUSABLE) and not o.name.strip()]
    if unnamed:
        fail("focusable objects without a name: %s" % ", ".join(unnamed))
    boxes = sorted(o.name for o in shown if o.getRole() == pyatspi.ROLE_TEXT)
    if boxes != ["Arama terimi 1", "Arama terimi 2"]:
        fail("the text boxes are %r, expected the two search boxes only" % boxes)
    box = named(window, pyatspi.ROLE_TEXT, "Arama terimi 1")
    labels = [r.getTarget(0).name for r in box.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if labels != ["ARANACAK MESLEĞİ GİRİN"]:
        fail("the first box is labelled by %r" % labels)
    panel = next((o for o in shown if o.getRole() == pyatspi.ROLE_PANEL
                  and o.name in ("Program sayfası", "Web sayfası")), None)
    if panel is None:
        fail("no named web panel")
    pages = [o for o in objects(panel) if o.getState().contains(pyatspi.STATE_FOCUSABLE)]
    if not pages or not all(o.name.strip() for o in pages):
        fail("the panel's page has no name: %r" % [o.name for o in pages])
    print("tree: every focusable object named; boxes %s; first box labelled by %s; page %r"
          % (", ".join(boxes), labels[0], pages[0].name))


class Listener:
    """Collects events of the program, reading each notice 400 ms after it came."""

    def __init__(self):
        self.events = []
        self.notices = []  # (name when it came, name 400 ms later)
        self.loop = GLib.MainLoop()

    def __call__(self, event):
        try:
            role = event.source.getRole()
            name = event.source.name
        except Exception:
            return
        self.events.append((event.type, role, name, event.detail1))
        if event.type.startswith("object:state-changed:showing") and event.detail1 == 1 \
                and role == pyatspi.ROLE_NOTIFICATION:
            source = event.source
            GLib.timeout_add(400, self.read_late, source, name)

    def read_late(self, source, name):
        try:
            late = source.name
        except Exception:
            late = ""
        self.notices.append((name, late))
        return False

    def run(self, seconds, action):
        """Runs the main loop for `seconds` while `action` runs once at the start."""
        GLib.timeout_add(50, lambda: (action(), False)[1])
        GLib.timeout_add(int(seconds * 1000), self.loop.quit)
        self.loop.run()


EVENTS = ["object:state-changed:focused", "object:state-changed:showing",
          "object:text-caret-moved", "object:text-selection-changed", "focus:"]


def key(*keys):
    subprocess.run(["xdotool", "key", *keys], check=True)


def check_focus_order(window, listener):
    kopyala = named(window, pyatspi.ROLE_PUSH_BUTTON, "KOPYALA")
    if not kopyala.queryComponent().grabFocus():
        fail("KOPYALA did not take the focus")
    wait_for("KOPYALA's focus", lambda: kopyala.getState().contains(pyatspi.STATE_FOCUSED), 10)
    listener.events.clear()
    listener.run(1.5, lambda: key("Tab"))
    box = [e for e in listener.events if e[2] == "Arama terimi 2"]
    print("the second box's first focus, events in order:")
    for kind, _, _, detail in box:
        print("  %s %s" % (kind, detail))
    focused = [i for i, e in enumerate(box) if e[0].startswith("object:state-changed:focused")
               and e[3] == 1]
    caret = [i for i, e in enumerate(box) if e[0] == "object:text-caret-moved"]
    if not focused or (caret and caret[0] < focused[0]):
        fail("the second box's caret moved before it was told focused")


def check_typing(window, listener, delay_ms):
    box = named(window, pyatspi.ROLE_TEXT, "Arama terimi 1")
    if not box.queryComponent().grabFocus():
        fail("the first box did not take the focus")
    listener.notices.clear()
    typing = ["xdotool", "type", "--delay", str(delay_ms), "kaynak"]
    erasing = ["xdotool", "key", "--delay", str(delay_ms)] + ["BackSpace"] * 6
    seconds = 13 * delay_ms / 1000 + 2
    listener.run(seconds, lambda: subprocess.Popen(
        ["sh", "-c", "%s && %s" % (" ".join(typing), " ".join(erasing))]))
    empty = [first for first, late in listener.notices if not late.strip()]
    said = [late for _, late in listener.notices]
    print("typing a key every %d ms: %d notices, read 400 ms late: %s"
          % (delay_ms, len(said), "; ".join(said)))
    if not listener.notices:
        fail("no count was announced while typing every %d ms" % delay_ms)
    if empty:
        fail("%d of %d notices had no text 400 ms later" % (len(empty), len(listener.notices)))


def check_copy(window, listener):
    table = next(o for o in objects(window) if o.getRole() == pyatspi.ROLE_TABLE)
    if not table.queryComponent().grabFocus():
        fail("the table did not take the focus")
    listener.notices.clear()
    listener.events.clear()
    listener.run(1.5, lambda: key("ctrl+c"))
    # The hidden box that carries the text is never heard selecting it.
    heard = [(kind, name) for kind, role, name, _ in listener.events
             if role != pyatspi.ROLE_NOTIFICATION]
    if heard:
        fail("a copy was heard from other objects: %r" % heard)
    said = [late for _, late in listener.notices]
    if not any(text.startswith("Kopyalandı: ") and len(text) > len("Kopyalandı: ")
               for text in said):
        fail("a copy was announced as %r" % said)
    print("copy announced: %s" % said[-1])


def main():
    window = wait_for("the window \"%s\"" % WINDOW_TITLE, main_window, 60)
    wait_for("the list", lambda: any(o.getRole() == pyatspi.ROLE_TABLE for o in objects(window)), 30)
    subprocess.run(["xdotool", "search", "--sync", "--name", WINDOW_TITLE, "windowfocus", "--sync"],
                   check=True, timeout=30, stdout=subprocess.DEVNULL)
    check_tree(window)
    listener = Listener()
    pyatspi.Registry.registerEventListener(listener, *EVENTS)
    check_focus_order(window, listener)
    check_typing(window, listener, 350)
    check_typing(window, listener, 100)
    check_copy(window, listener)
    print("AT-SPI speech check passed")


main()
