#!/usr/bin/python3
"""The real program under an X server: it starts and draws, turns a layer from the keyboard,
copies the position, takes the turn back and pastes the position in again, scrambles and solves
at the fastest speeds, and closes when the window system asks, answering its confirmation, with
the settings file written. Started again, it goes on when its window grows taller than any back
buffer, and SIGTERM ends it cleanly, with the settings saved and nothing asked.

Usage: window_e2e.py PATH/TO/velmo   (DISPLAY must name an X server, e.g. under xvfb-run)
The program is copied into a fresh folder, so the settings file there is its own.
"""

import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, Xatom, display, protocol
from Xlib.ext import xtest

TITLE = "Кубик Вельмо"
XK_K, XK_C, XK_Z, XK_V, XK_CONTROL = 0x6B, 0x63, 0x7A, 0x76, 0xFFE3
CONFIRMATION = "Velmo Cube"


def fail(message):
    print("e2e: " + message, file=sys.stderr)
    sys.exit(1)


class Screen:
    def __init__(self):
        self.d = display.Display()
        self.root = self.d.screen().root
        self.net_wm_name = self.d.intern_atom("_NET_WM_NAME")
        self.utf8 = self.d.intern_atom("UTF8_STRING")

    def name(self, window):
        try:
            prop = window.get_full_property(self.net_wm_name, self.utf8)
            if prop:
                return prop.value.decode("utf-8", "replace")
            return window.get_wm_name() or ""
        except Exception:
            return ""

    def find(self, title):
        def walk(window):
            try:
                children = window.query_tree().children
            except Exception:
                return None
            for child in children:
                try:
                    mapped = child.get_attributes().map_state == X.IsViewable
                except Exception:
                    continue
                if mapped and self.name(child) == title:
                    return child
                found = walk(child)
                if found:
                    return found
            return None
        return walk(self.root)

    def wait_for(self, title, seconds):
        end = time.time() + seconds
        while time.time() < end:
            window = self.find(title)
            if window:
                return window
            time.sleep(0.1)
        fail("no window '%s' after %d s" % (title, seconds))

    def origin(self, window):
        geometry = window.get_geometry()
        at = window.translate_coords(self.root, 0, 0)
        return -at.x, -at.y, geometry.width, geometry.height

    def image(self, window, top_share=1.0):
        x, y, w, h = self.origin(window)
        raw = self.root.get_image(x, y, w, int(h * top_share), X.ZPixmap, 0xFFFFFFFF)
        return bytes(raw.data)

    def click(self, window, x, y):
        wx, wy, _, _ = self.origin(window)
        xtest.fake_input(self.d, X.MotionNotify, x=wx + x, y=wy + y)
        xtest.fake_input(self.d, X.ButtonPress, 1)
        xtest.fake_input(self.d, X.ButtonRelease, 1)
        self.d.sync()

    def park_mouse(self):
        xtest.fake_input(self.d, X.MotionNotify, x=1000, y=700)
        self.d.sync()

    def key(self, keysym, *modifiers):
        """A key typed, with modifier keys (keysyms) held down around it."""
        held = [self.d.keysym_to_keycode(m) for m in modifiers]
        for code in held:
            xtest.fake_input(self.d, X.KeyPress, code)
        code = self.d.keysym_to_keycode(keysym)
        xtest.fake_input(self.d, X.KeyPress, code)
        xtest.fake_input(self.d, X.KeyRelease, code)
        for code in reversed(held):
            xtest.fake_input(self.d, X.KeyRelease, code)
        self.d.sync()

    def focus(self, window):
        self.d.set_input_focus(window, X.RevertToParent, X.CurrentTime)
        self.d.sync()
        time.sleep(0.3)

    def ask_to_close(self, window):
        """What a window manager sends when the user closes a window."""
        wm_protocols = self.d.intern_atom("WM_PROTOCOLS")
        wm_delete = self.d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=window, client_type=wm_protocols,
            data=(32, [wm_delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.d.sync()


def red_pixels(image):
    """Pixels of the flat red the stickers of the front face show (32-bit BGRX)."""
    return sum(1 for i in range(0, len(image), 4)
               if image[i + 2] > 200 and image[i + 1] < 40 and image[i] < 40)


def differing_share(a, b, width):
    """The share of 8 x 8 tiles whose average colour differs by more than 24 levels in some
    channel: a turned sticker changes whole tiles, the stickers' fine grain does not (the
    grain's orientation follows the logo's turns on every sticker of a face)."""
    rows = len(a) // 4 // width
    tiles = differ = 0
    for ty in range(0, rows - 7, 8):
        for tx in range(0, width - 7, 8):
            sums_a, sums_b = [0, 0, 0], [0, 0, 0]
            for y in range(ty, ty + 8):
                base = (y * width + tx) * 4
                for i in range(base, base + 32, 4):
                    for c in range(3):
                        sums_a[c] += a[i + c]
                        sums_b[c] += b[i + c]
            tiles += 1
            if max(abs(sums_a[c] - sums_b[c]) for c in range(3)) > 24 * 64:
                differ += 1
    return differ / tiles

@contextlib.contextmanager
def running(args, **popen_args):
    """The program started; killed if still running when the block ends, else its exit code
    must be 0."""
    velmo = subprocess.Popen(args, **popen_args)
    try:
        yield velmo
    finally:
        if velmo.poll() is None:
            velmo.kill()
    if velmo.returncode != 0:
        fail("the program ended with code %d" % velmo.returncode)


def close_confirmed(screen, window, velmo):
    """Closes the main window as a user does, answering "Yes", and waits for the program."""
    screen.ask_to_close(window)
    box = screen.wait_for(CONFIRMATION, 10)
    screen.focus(box)
    screen.key(0xFF0D)                 # Return: "Yes", the default button
    try:
        velmo.wait(timeout=20)
    except subprocess.TimeoutExpired:
        fail("the program did not end after the confirmed close")


def settle(screen, window, quiet_seconds, limit_seconds):
    """Waits until the upper band of the window stops changing: the run is over."""
    end = time.time() + limit_seconds
    last, since = None, time.time()
    while time.time() < end:
        now = screen.image(window, 0.55)
        if now != last:
            last, since = now, time.time()
        elif time.time() - since >= quiet_seconds:
            return now
        time.sleep(0.2)
    fail("the desk kept changing for %d s" % limit_seconds)


def main():
    if len(sys.argv) != 2:
        fail("usage: window_e2e.py PATH/TO/velmo")
    if not os.environ.get("DISPLAY"):
        print("e2e: skipped, no X server (DISPLAY is not set)", file=sys.stderr)
        sys.exit(77)
    folder = tempfile.mkdtemp(prefix="velmo-e2e-")
    program = os.path.join(folder, "velmo")
    shutil.copy(sys.argv[1], program)
    ini = os.path.join(folder, "velmo.ini")
    with open(ini, "wb") as f:
        f.write(b"[GENERAL]\r\nSpeedHand=1\r\nSpeedAuto=1\r\nDoLog=1\r\n")

    screen = Screen()
    with running([program], cwd=folder) as velmo:
        window = screen.wait_for(TITLE, 20)
        screen.park_mouse()
        start = settle(screen, window, 1.0, 20)
        if red_pixels(start) < 500:
            fail("no cube was drawn on the desk")

        width = screen.origin(window)[2]
        # The desk takes the keyboard; K is the key of Л in either layout.
        screen.click(window, 200, 150)
        screen.park_mouse()
        screen.d.set_input_focus(window, X.RevertToParent, X.CurrentTime)  # no window manager
        screen.d.sync()
        time.sleep(0.3)
        screen.key(XK_K)
        turned = settle(screen, window, 1.0, 20)
        if differing_share(turned, start, width) < 0.02:
            fail("the key of Л turned nothing")
        screen.key(XK_C, XK_CONTROL)       # the position to the clipboard
        screen.key(XK_Z, XK_CONTROL)       # «Отменить»
        undone = settle(screen, window, 1.0, 20)
        if differing_share(undone, start, width) > 0.005:
            fail("the undo did not bring the start position back")
        screen.key(XK_V, XK_CONTROL)       # «Вставить позицию»: the turned position again
        pasted = settle(screen, window, 1.0, 20)
        if differing_share(pasted, turned, width) > 0.005:
            fail("the pasted position is not the copied one")

        screen.click(window, 45, 110)      # "Запутать", the second tool-bar button
        screen.park_mouse()
        scrambled = settle(screen, window, 2.0, 60)
        if differing_share(scrambled, start, width) < 0.02:
            fail("the scramble changed nothing")

        screen.click(window, 45, 170)      # "Собрать"
        screen.park_mouse()
        solved = settle(screen, window, 3.0, 180)
        # Solved and turned back as it started, the cube looks as at the start; only the logo
        # on the top centre may stand turned, as the top layer's turns left it.
        share = differing_share(solved, start, width)
        if share > 0.005:
            fail("after the solve %.1f %% of the window differ from the start" % (100 * share))

        close_confirmed(screen, window, velmo)
    with open(ini, "rb") as f:
        saved = f.read()
    if b"[USER]" not in saved or b"SpeedAuto=1" not in saved:
        fail("the settings file was not written: %r" % saved)

    grow_and_terminate(screen, program, folder, ini)
    shutil.rmtree(folder)
    print("e2e: started, drew, turned by a key, undid, pasted, scrambled, solved and closed; "
          "settings written; a window 9000 pixels high drawn; SIGTERM saved and ended")


def grow_and_terminate(screen, program, folder, ini):
    """Started again: a window 9000 pixels high is drawn, and SIGTERM saves and ends."""
    with open(ini, "wb") as f:
        f.write(b"[GENERAL]\r\nSpeedHand=3\r\nSpeedAuto=1\r\nDoLog=1\r\n")
    with running([program], cwd=folder) as velmo:
        window = screen.wait_for(TITLE, 20)
        settle(screen, window, 1.0, 20)
        window.configure(height=9000)
        screen.d.sync()
        time.sleep(3)
        if velmo.poll() is not None:
            fail("the program ended when its window grew 9000 pixels high")
        if screen.find("Инициализация Direct3D"):
            fail("the device was asked for more than it can give")
        with open(ini, "wb") as f:
            f.write(b"")
        velmo.send_signal(signal.SIGTERM)
        try:
            velmo.wait(timeout=20)
        except subprocess.TimeoutExpired:
            fail("SIGTERM did not end the program")
    with open(ini, "rb") as f:
        saved = f.read()
    if b"[USER]" not in saved or b"SpeedHand=3" not in saved:
        fail("SIGTERM did not save the settings: %r" % saved)


if __name__ == "__main__":
    main()
