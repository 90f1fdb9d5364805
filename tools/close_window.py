#!/usr/bin/python3
"""Waits for a window of the X display and closes it the way a window manager does.

A window manager closes a window by sending it the WM_DELETE_WINDOW message of the WM_PROTOCOLS
protocol; the program handles it as the click on the close box of its frame (Qt: a close event,
so the configurator saves its settings and ends). Xvfb runs no window manager, so this does it.

    /usr/bin/python3 tools/close_window.py TITLE [--timeout SECONDS]

TITLE is a part of the window's title. Exit status 0 when the window was found mapped and the
message sent, 1 when no such window was shown within the time-out (default 60 s).
Needs the Debian package python3-xlib.
"""

import argparse
import sys
import time

from Xlib import X, display, error, protocol


def window_title(d, window):
    prop = window.get_full_property(d.intern_atom("_NET_WM_NAME"), d.intern_atom("UTF8_STRING"))
    if prop is not None and prop.value:
        value = prop.value
        return value.decode("utf-8", "replace") if isinstance(value, bytes) else str(value)
    name = window.get_wm_name()
    if isinstance(name, bytes):
        return name.decode("latin-1")
    return name or ""


def find_window(d, title):
    for window in d.screen().root.query_tree().children:
        try:
            if window.get_attributes().map_state != X.IsViewable:
                continue
            if title in window_title(d, window):
                return window
        except (error.BadWindow, error.BadDrawable):
            continue  # gone while we looked
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("title")
    parser.add_argument("--timeout", type=float, default=60.0)
    args = parser.parse_args()

    d = display.Display()
    deadline = time.monotonic() + args.timeout
    window = find_window(d, args.title)
    while window is None and time.monotonic() < deadline:
        time.sleep(0.2)
        window = find_window(d, args.title)
    if window is None:
        print("close_window: no window titled like %r was shown" % args.title, file=sys.stderr)
        return 1

    title = window_title(d, window)
    event = protocol.event.ClientMessage(
        window=window,
        client_type=d.intern_atom("WM_PROTOCOLS"),
        data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
    window.send_event(event, event_mask=X.NoEventMask)
    d.flush()
    d.close()
    print("close_window: asked %r to close" % title)
    return 0


if __name__ == "__main__":
    sys.exit(main())
