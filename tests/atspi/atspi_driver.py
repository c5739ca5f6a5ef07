#!/usr/bin/python3
"""The tool as a screen reader sees it.

Starts Xvfb, the emulated keyboard (tavrik-kbsim, with a trace) and the real tool with its
accessibility bridge on, then drives the tool over AT-SPI by accessible names only (no
coordinates): it opens the light section, picks the effect "Breathing", opens the dialog of the
key F5, assigns the preset "Mute" on the "Basic" tab, saves the dialog and then the main window.
The probe then reads keymap.bin (effect 2, F5 "preset Mute") and checks that the keyboard rebuilt
from the reports on the wire holds the same image. Runs inside dbus-run-session (a private
session bus, where the AT-SPI bus starts on demand). Every wait is bounded; the logs of both
programs go to the artifacts folder.
"""

import argparse
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

STEP_TIMEOUT = 15.0  # seconds any one thing may take to appear


class Failure(Exception):
    pass


def wait_for(what, probe, timeout=STEP_TIMEOUT):
    """Polls probe() until it returns something true; that value, or Failure naming `what`."""
    end = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < end:
        try:
            value = probe()
            if value:
                return value
        except Exception as e:  # a node that went away while it was read: try again
            last_error = e
        time.sleep(0.05)
    raise Failure("timed out waiting for %s%s" % (what, " (%s)" % last_error if last_error else ""))


def start_xvfb(log):
    # -displayfd 1: Xvfb picks a free display and writes its number to standard output.
    # -noreset: the server would otherwise start over when its last client goes.
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"],
        stdout=subprocess.PIPE, stderr=log)
    ready, _, _ = select.select([server.stdout], [], [], STEP_TIMEOUT)
    number = os.read(server.stdout.fileno(), 64).decode().strip() if ready else ""
    if not number.isdigit():
        server.kill()
        raise Failure("Xvfb did not start")
    return server, ":" + number


def start_kbsim(kbsim, socket, trace, log):
    process = subprocess.Popen([kbsim, "--trace", trace, socket], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=log)
    end = time.monotonic() + STEP_TIMEOUT
    seen = b""
    while time.monotonic() < end and b"listening on" not in seen:
        ready, _, _ = select.select([process.stdout], [], [], 0.5)
        if ready:
            chunk = os.read(process.stdout.fileno(), 4096)
            if not chunk:
                break
            seen += chunk
    if b"listening on" not in seen:
        process.kill()
        raise Failure("tavrik-kbsim did not start: %r" % seen)
    return process


def tool_environment(display, tmp, lsan_suppressions):
    env = dict(os.environ)
    # Sanitizer builds: system libraries' process-long allocations are not leaks of ours.
    lsan = env.get("LSAN_OPTIONS", "")
    env["LSAN_OPTIONS"] = (lsan + ":" if lsan else "") + "suppressions=" + lsan_suppressions
    env["DISPLAY"] = display
    env["QT_QPA_PLATFORM"] = "xcb"
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("QT_QPA_PLATFORMTHEME", None)
    for name in ("runtime", "config", "share", "cache"):
        os.makedirs(os.path.join(tmp, name), mode=0o700, exist_ok=True)
    # A private runtime folder and homes: no other running copy of the tool is found.
    env["XDG_RUNTIME_DIR"] = os.path.join(tmp, "runtime")
    env["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
    env["XDG_DATA_HOME"] = os.path.join(tmp, "share")
    env["XDG_CACHE_HOME"] = os.path.join(tmp, "cache")
    return env


class Reader:
    """Finds accessible objects by name and role and presses them, reading fresh values."""

    PRESS = ("press", "click", "activate")
    TOGGLE = ("toggle", "expand or contract")

    def __init__(self, pyatspi):
        self.pyatspi = pyatspi

    def fresh(self, node):
        try:
            node.clear_cache()
        except AttributeError:
            pass
        return node

    def find(self, node, name, role=None, depth=8):
        """The first object below node (breadth first) with that name (and role)."""
        level = [node]
        for _ in range(depth):
            below = []
            for parent in level:
                self.fresh(parent)
                for i in range(parent.childCount):
                    child = parent.getChildAtIndex(i)
                    if child is None:
                        continue
                    if child.name == name and (role is None or child.getRole() == role):
                        return child
                    below.append(child)
            level = below
        return None

    def states(self, node):
        return self.fresh(node).getState()

    def has(self, node, state):
        return self.states(node).contains(state)

    def action_index(self, node, names):
        try:
            action = self.fresh(node).queryAction()
        except NotImplementedError:
            return None
        for i in range(action.nActions):
            if action.getName(i).lower() in names:
                return i
        return None

    def act(self, node, what, names):
        wait_for("%s to offer %s" % (what, names[0]),
                 lambda: self.action_index(node, names) is not None)
        if not node.queryAction().doAction(self.action_index(node, names)):
            raise Failure("%s on %s failed" % (names[0], what))
        print(names[0], what, flush=True)

    def press(self, node, what):
        self.act(node, what, self.PRESS)


def probe_until(probe, data, trace, expected):
    def matches():
        out = subprocess.run([probe, data, trace, "F5"], capture_output=True, text=True)
        return out.returncode == 0 and out.stdout.splitlines() == expected and out.stdout
    return wait_for("keymap.bin and the wire to hold " + " / ".join(expected), matches)


def drive(args, tmp, logs):
    xvfb, display = start_xvfb(logs["xvfb"])
    processes = [xvfb]
    try:
        os.environ["DISPLAY"] = display
        data = os.path.join(tmp, "data")
        os.makedirs(data)
        socket = os.path.join(tmp, "kb.sock")
        trace = os.path.join(tmp, "trace.txt")
        processes.append(start_kbsim(args.kbsim, socket, trace, logs["kbsim"]))
        tool = subprocess.Popen(
            [args.tool, "--sim-socket", socket, "--data-dir", data, "--lang", "en"],
            env=tool_environment(display, tmp, args.lsan_suppressions), stdout=logs["tool"],
            stderr=logs["tool"])
        processes.append(tool)

        import pyatspi  # after DISPLAY is set: the client finds the session's AT-SPI bus
        r = Reader(pyatspi)
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            if tool.poll() is not None:
                raise Failure("the tool ended with %d" % tool.returncode)
            return r.find(desktop, "tavrik-87rev", pyatspi.ROLE_APPLICATION, depth=1)

        app = wait_for("the tool on the AT-SPI bus", application)
        window = wait_for("the main window", lambda: r.find(app, "Tavrik 87Rev", depth=1))
        wait_for("the main window to show",
                 lambda: r.has(window, pyatspi.STATE_SHOWING))

        r.press(wait_for("the Light section", lambda: r.find(window, "Light",
                                                             pyatspi.ROLE_PUSH_BUTTON)),
                "Light")
        wait_for("the Light section to open",
                 lambda: r.has(r.find(window, "Light", pyatspi.ROLE_PUSH_BUTTON),
                               pyatspi.STATE_EXPANDED))
        breathing = wait_for("the effect Breathing",
                             lambda: r.find(window, "Breathing", pyatspi.ROLE_LIST_ITEM))
        r.press(breathing, "Breathing")
        wait_for("Breathing to be chosen", lambda: r.has(breathing, pyatspi.STATE_SELECTED))

        keyboard = wait_for("the keyboard picture", lambda: r.find(window, "Keyboard"))
        r.press(wait_for("the key F5", lambda: r.find(keyboard, "F5")), "F5")
        dialog = wait_for("the key dialog", lambda: next(
            (w for w in (r.fresh(app).getChildAtIndex(i) for i in range(app.childCount))
             if w is not None and w.name.startswith("Current Key:F5")), None))
        r.press(wait_for("the Basic tab", lambda: r.find(dialog, "Basic",
                                                         pyatspi.ROLE_PAGE_TAB)), "Basic")
        tree = wait_for("the preset tree", lambda: r.find(dialog, "Basic", pyatspi.ROLE_TREE))
        media = wait_for("the group Media", lambda: r.find(tree, "Media"))
        if not r.find(tree, "Mute"):
            r.act(media, "the group Media", r.TOGGLE)
        mute = wait_for("the preset Mute", lambda: r.find(tree, "Mute"))
        r.press(mute, "Mute")
        wait_for("Mute to be selected", lambda: r.has(mute, pyatspi.STATE_SELECTED))
        r.press(r.find(dialog, "Save", pyatspi.ROLE_PUSH_BUTTON), "the dialog's Save")
        wait_for("the key dialog to close", lambda: not any(
            w is not None and w.name.startswith("Current Key:")
            for w in (r.fresh(app).getChildAtIndex(i) for i in range(app.childCount))))
        f5 = r.find(keyboard, "F5")
        wait_for("F5 to say what it does", lambda: r.fresh(f5).description == "preset Mute")

        r.press(r.find(window, "Save", pyatspi.ROLE_PUSH_BUTTON), "Save")
        probe_until(args.probe, data, trace, ["effect 2", "function preset Mute", "wire same"])
        print("keymap.bin and the wire hold effect 2 and F5 = preset Mute", flush=True)

        # Close ends the program, with every accessible interface handed out still alive.
        r.press(r.find(window, "Close", pyatspi.ROLE_PUSH_BUTTON, depth=1), "Close")
        try:
            code = tool.wait(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise Failure("the tool did not end after Close")
        if code != 0:
            raise Failure("the tool ended with %d after Close" % code)
    finally:
        for p in reversed(processes):
            if p.poll() is None:
                p.terminate()
        for p in reversed(processes):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True)
    parser.add_argument("--kbsim", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--lsan-suppressions", required=True)
    args = parser.parse_args()
    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    tmp = tempfile.mkdtemp(prefix="tavrik-atspi-")
    logs = {name: open(os.path.join(args.artifacts, name + ".log"), "wb")
            for name in ("xvfb", "kbsim", "tool")}
    started = time.monotonic()
    try:
        drive(args, tmp, logs)
        logs["tool"].flush()
        with open(os.path.join(args.artifacts, "tool.log"), errors="replace") as log:
            reports = [line for line in log if "Sanitizer" in line or "runtime error:" in line]
        if reports:
            raise Failure("the tool reported: " + reports[0].strip())
    except Failure as e:
        print("FAILED:", e, file=sys.stderr)
        print("logs in", args.artifacts, file=sys.stderr)
        return 1
    finally:
        for f in logs.values():
            f.close()
        shutil.rmtree(tmp, ignore_errors=True)
    print("passed in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
