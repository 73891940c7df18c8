#!/usr/bin/python3
"""Times one bare Screenshot call of the desktop portal (non-interactive), from the call to the answer,
and prints the milliseconds. Deletes the picture when the portal left it in /tmp. Exit 1 on any failure."""
import os
import sys
import time
from urllib.parse import unquote, urlparse

from gi.repository import Gio, GLib

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
token = "bench_%d" % os.getpid()
sender = bus.get_unique_name()[1:].replace(".", "_")
request = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token)
loop = GLib.MainLoop()
answer = {}


def on_response(_conn, _sender, _path, _iface, _signal, params):
    answer["code"], answer["results"] = params.unpack()
    answer["ms"] = (time.monotonic() - start) * 1000
    loop.quit()


bus.signal_subscribe(None, "org.freedesktop.portal.Request", "Response", request, None,
                     Gio.DBusSignalFlags.NONE, on_response)
options = {"handle_token": GLib.Variant("s", token), "interactive": GLib.Variant("b", False)}
GLib.timeout_add(20000, loop.quit)
start = time.monotonic()
bus.call_sync("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
              "org.freedesktop.portal.Screenshot", "Screenshot", GLib.Variant("(sa{sv})", ("", options)),
              GLib.VariantType("(o)"), Gio.DBusCallFlags.NONE, 20000, None)
loop.run()
if answer.get("code") != 0:
    sys.exit(1)
path = unquote(urlparse(answer["results"]["uri"]).path)
if path.startswith("/tmp/"):
    os.remove(path)
print(round(answer["ms"], 1))
