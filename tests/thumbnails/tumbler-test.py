#!/usr/bin/env python3
"""pictrove under a real thumbnail service: tumblerd on a session bus of its own, finding only our .thumbnailer,
which names pictrove where it is installed (no pictrove on PATH), thumbnails a DLL, a 16-bit icon library and a program whose icon is its first group; a
file without icons gets none. Usage: tumbler-test.py PICTROVE THUMBNAILER TEST_MODULES"""
import atexit, glob, hashlib, os, pathlib, shutil, subprocess, sys, tempfile
from gi.repository import Gio, GLib
from PIL import Image

NAME, OBJECT = "org.freedesktop.thumbnails.Thumbnailer1", "/org/freedesktop/thumbnails/Thumbnailer1"
if "PICTROVE_OWN_BUS" not in os.environ:
    os.environ["PICTROVE_OWN_BUS"] = "1"
    os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv)

pictrove, thumbnailer, modules = (os.path.abspath(a) for a in sys.argv[1:4])
work = pathlib.Path(tempfile.mkdtemp())
atexit.register(shutil.rmtree, work)
files = work / "files"
for folder in ("files", "bin", "data/thumbnailers", "home", "cache"):
    (work / folder).mkdir(parents=True)
shutil.copy(thumbnailer, work / "data/thumbnailers")
(work / "data/mime").symlink_to("/usr/share/mime")  # gdk-pixbuf, reading what we write, sniffs with it
for source in ("/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll", f"{modules}/ne-good-shift9.icl",
               f"{modules}/good-pe32.dll", f"{modules}/good-no-group-icons.dll"):
    shutil.copy(source, files)

# The MIME types a file manager sends: shared-mime-info's, through GIO.
accepted = [line for line in open(thumbnailer) if line.startswith("MimeType=")][0][9:].strip().split(";")
uris = [file.as_uri() for file in sorted(files.iterdir())]
types = [Gio.File.new_for_uri(uri).query_info("standard::content-type", 0).get_content_type() for uri in uris]
assert set(types) <= set(accepted), f"pictrove.thumbnailer leaves out some of {types}"

# Signals go to the caller alone: one connection queues and listens.
bus, loop, signals, handle = Gio.bus_get_sync(Gio.BusType.SESSION), GLib.MainLoop(), [], []
def received(connection, sender, path, interface, signal, values):
    signals.append((signal, values.unpack()))
    if signal == "Finished" and values.unpack()[0] in handle:
        loop.quit()
def queue(*_):
    values = GLib.Variant("(asasssu)", (uris, types, "normal", "default", 0))
    handle.append(bus.call_sync(NAME, OBJECT, NAME, "Queue", values, GLib.VariantType("(u)"),
                                Gio.DBusCallFlags.NO_AUTO_START, -1).unpack()[0])
bus.signal_subscribe(None, NAME, None, OBJECT, None, Gio.DBusSignalFlags.NONE, received)
Gio.bus_watch_name_on_connection(bus, NAME, Gio.BusNameWatcherFlags.NONE, queue, None)
env = dict(os.environ, HOME=str(work / "home"), XDG_CACHE_HOME=str(work / "cache"), XDG_DATA_HOME=str(work / "home"),
           XDG_DATA_DIRS=str(work / "data"), XDG_CONFIG_HOME=str(work / "home"), PATH=f"{work}/bin:{os.environ['PATH']}")
tumblerd = subprocess.Popen(glob.glob("/usr/lib/*/tumbler-1/tumblerd"), env=env)
try:
    loop.run()
finally:
    tumblerd.terminate()
    tumblerd.wait()

run = lambda *command: subprocess.run([pictrove, *command], check=True, capture_output=True)
pixels = lambda png: (Image.open(png).size, Image.open(png).convert("RGBA").tobytes())
made = lambda name: work / "cache/thumbnails/normal" / (hashlib.md5((files / name).as_uri().encode()).hexdigest() + ".png")
failures = []
for name in ("shell32.dll", "ne-good-shift9.icl", "good-pe32.dll"):
    run("thumbnail", str(files / name), str(work / "direct.png"))
    if not made(name).exists() or max(pixels(made(name))[0]) > 128 or pixels(made(name)) != pixels(work / "direct.png"):
        failures.append(f"{name}: no thumbnail, or not pictrove's: {signals}")
# good-pe32.dll shows MAINICON (its 32 x 32 image, not enlarged), not the entry the list shows first.
for entry in ("MAINICON", "10"):
    run("save", "--entry", entry, str(files / "good-pe32.dll"), str(work / f"{entry}.png"))
if made("good-pe32.dll").exists() and not pixels(made("good-pe32.dll")) == pixels(work / "MAINICON.png") != pixels(work / "10.png"):
    failures.append("the thumbnail of good-pe32.dll is not MAINICON's picture")
if made("good-no-group-icons.dll").exists() or not any(s == "Error" and (files / "good-no-group-icons.dll").as_uri() in v[1] for s, v in signals):
    failures.append(f"a file without icons: {signals}")
print("\n".join(failures) or "tumbler made every thumbnail with pictrove")
sys.exit(1 if failures else 0)
