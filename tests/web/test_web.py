"""The browser test of scripts/test-web: the test build of the page in headless Chromium (SwiftShader),
driven over the DevTools protocol. Each check prints one line; the run fails at the first check
that does not hold. Figures (time to first frame, frames per second in both wind modes) are
printed and written to OUT/figures.txt.

usage: test_web.py SITE OUT SHOT FRAMEDIFF [--frame N]"""
import base64
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools import DevTools  # noqa: E402
import png  # noqa: E402

QUESTION = "Wollen Sie im Vollbildschirmmodus starten?"
VK = {"W": 0x57, "X": 0x58, "Y": 0x59, "F1": 0x70, "F3": 0x72, "Escape": 0x1B, "PageUp": 0x21,
      "PageDown": 0x22, "ArrowLeft": 0x25, "ArrowUp": 0x26, "ArrowRight": 0x27,
      "ArrowDown": 0x28}
CODE = {"W": "KeyW", "X": "KeyX", "Y": "KeyY"}


class Failed(Exception):
    pass


def check(ok, text):
    print(("ok    " if ok else "FAIL  ") + text, flush=True)
    if not ok:
        raise Failed(text)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Page:
    """The page in the browser, with the test build's frame count and hold."""

    def __init__(self, tools, out):
        self.tools = tools
        self.out = out

    def frames(self):
        value = self.tools.evaluate("Module.frames || 0")
        return int(value or 0)

    def wait_frames(self, count, timeout=120):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.frames() >= count:
                return True
            time.sleep(0.05)
        return False

    def canvas_clip(self):
        rect = self.tools.evaluate(
            "(function(){var r=document.getElementById('canvas').getBoundingClientRect();"
            "return [r.left,r.top,r.width,r.height];})()")
        return {"x": rect[0], "y": rect[1], "width": rect[2], "height": rect[3], "scale": 1}

    def shot(self, name):
        """The canvas as shown now: (width, height, rows); also saved as OUT/name.png."""
        data = base64.b64decode(self.tools.call("Page.captureScreenshot", format="png",
                                                clip=self.canvas_clip())["data"])
        with open(os.path.join(self.out, name + ".png"), "wb") as f:
            f.write(data)
        return png.decode(data)

    def next_shot(self, name):
        """A screenshot of a frame drawn after this call."""
        self.wait_frames(self.frames() + 2)
        return self.shot(name)

    def key(self, name, down):
        params = {"type": "keyDown" if down else "keyUp", "windowsVirtualKeyCode": VK[name],
                  "nativeVirtualKeyCode": VK[name], "key": name, "code": CODE.get(name, name)}
        self.tools.call("Input.dispatchKeyEvent", **params)

    def press(self, name, frames=2):
        """Holds a key for at least `frames` frames drawn, then releases it."""
        self.key(name, True)
        self.wait_frames(self.frames() + frames)
        self.key(name, False)


def classes(image):
    """Shares of the frame's pixels that are water (blue), plant (green), ground (yellow to
    brown) and background (near black)."""
    width, height, rows = image
    counts = [0, 0, 0, 0]
    for row in rows[::2]:
        for x in range(0, width * 3, 6):
            r, g, b = row[x], row[x + 1], row[x + 2]
            if r + g + b < 40:
                counts[3] += 1
            elif b > r + 20 and b > g:
                counts[0] += 1
            elif g > r + 25 and g > b + 25:
                counts[1] += 1
            elif r > b + 40 and g > b + 20:
                counts[2] += 1
    total = float(len(rows[::2]) * len(range(0, width * 3, 6)))
    return [c / total for c in counts]


def dark_mask(image):
    width, _, rows = image
    return [bytes(1 if row[x] + row[x + 1] + row[x + 2] < 40 else 0
                  for x in range(0, width * 3, 3)) for row in rows]


def changed_share(a, b):
    """Share of pixels whose near-black state differs between two frames (the view's outline)."""
    ma, mb = dark_mask(a), dark_mask(b)
    changed = sum(sum(1 for p, q in zip(ra, rb) if p != q) for ra, rb in zip(ma, mb))
    return changed / float(a[0] * a[1])


def hud_pixels(image, box):
    """Positions of pixels in the HUD's own colour (pure yellow) inside a box."""
    x0, y0, x1, y1 = box
    _, _, rows = image
    found = set()
    for y in range(y0, y1):
        row = rows[y]
        for x in range(x0, x1):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if r >= 250 and g >= 250 and b <= 8:
                found.add((x, y))
    return found


def hud_change(a, b, boxes):
    return sum(len(hud_pixels(a, box) ^ hud_pixels(b, box)) for box in boxes)


def run(site, out, shot_tool, framediff, hold):
    os.makedirs(out, exist_ok=True)
    http_port, tools_port = free_port(), free_port()
    server = subprocess.Popen([sys.executable, "-m", "http.server", str(http_port), "--bind",
                               "127.0.0.1", "--directory", site],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    profile = tempfile.mkdtemp(prefix="limnora-chromium-")
    browser = subprocess.Popen(
        ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
         "--enable-unsafe-swiftshader", "--remote-debugging-port=%d" % tools_port,
         "--user-data-dir=" + profile, "--window-size=1000,800", "--no-first-run",
         "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    figures = []
    try:
        target = None
        for _ in range(300):
            try:
                listing = json.load(urllib.request.urlopen(
                    "http://127.0.0.1:%d/json" % tools_port, timeout=2))
                target = [t for t in listing if t["type"] == "page"][0]
                break
            except Exception:
                time.sleep(0.1)
        check(target is not None, "headless Chromium answers on its DevTools port")
        tools = DevTools(target["webSocketDebuggerUrl"])
        page = Page(tools, out)
        tools.call("Page.enable")
        tools.call("Runtime.enable")
        start = time.time()
        tools.call("Page.navigate", url="http://127.0.0.1:%d/?hold=%d" % (http_port, hold))

        dialog = tools.wait_event("Page.javascriptDialogOpening", timeout=120)
        check(dialog["type"] == "confirm" and QUESTION in dialog["message"],
              "the start-up question comes as a dialog with the German text: %r"
              % dialog["message"])
        tools.call("Page.handleJavaScriptDialog", accept=False)
        check(page.wait_frames(1), "the program draws frames after the answer No")
        first = time.time() - start
        figures.append("time to first frame: %.2f s (navigation to frame 1)" % first)

        check(page.wait_frames(hold) and tools.evaluate("Module.held === true"),
              "the test build holds frame %d" % hold)
        web = page.shot("web-frame-%d" % hold)
        native = os.path.join(out, "native-frame-%d.png" % hold)
        subprocess.run([shot_tool, "--frame", str(hold), "--out", native], check=True,
                       stdout=subprocess.DEVNULL)
        diff = subprocess.run([framediff, os.path.join(out, "web-frame-%d.png" % hold), native],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        check(diff.returncode == 0, "frame %d matches the native shot of the same frame: %s"
              % (hold, diff.stdout.strip().replace("\n", "; ")))
        water, plants, ground, _ = classes(web)
        check(water > 0.03 and plants > 0.03 and ground > 0.03,
              "the frame shows water %.0f %%, plants %.0f %%, ground %.0f %%"
              % (100 * water, 100 * plants, 100 * ground))
        tools.evaluate("Module.holdAt = 0")

        # Frames per second in each wind mode, over a few seconds each.
        rates = []
        for mode in ("CPU (OpenGL)", "vertex program"):
            n0, t0 = page.frames(), time.time()
            time.sleep(5)
            rates.append((page.frames() - n0) / (time.time() - t0))
            figures.append("frames per second, %s: %.1f" % (mode, rates[-1]))
            if mode.startswith("CPU"):
                before = page.next_shot("wind-cpu")
                page.press("W")
                after = page.next_shot("wind-vertex-program")
        w, h = web[0], web[1]
        # The HUD lines but the frame rate: the wireframe line top left, wind mode and strength
        # bottom left.
        corners = [(0, 0, w // 2, 32), (0, h - 80, w // 2, h)]
        calm = hud_change(page.next_shot("calm-a"), page.next_shot("calm-b"), corners)
        moved = hud_change(before, after, corners)
        check(moved > max(60, 3 * calm), "W switches the wind-mode line (%d HUD pixels changed, "
              "%d between two frames without a key)" % (moved, calm))

        for key, frames, what in (("X", 8, "holding X raises the wind strength line"),
                                  ("Y", 8, "holding Y lowers the wind strength line")):
            before = page.next_shot("before-" + key)
            page.press(key, frames)
            after = page.next_shot("after-" + key)
            moved = hud_change(before, after, corners)
            check(moved > max(40, 3 * calm), "%s (%d HUD pixels changed)" % (what, moved))

        before = page.next_shot("before-F3")
        page.press("F3")
        wire = page.next_shot("after-F3")
        moved = hud_change(before, wire, corners)
        dark_before, dark_after = classes(before)[3], classes(wire)[3]
        check(moved > max(40, 3 * calm) and dark_after > dark_before + 0.1,
              "F3 switches to outlines (%d HUD pixels changed; background %.0f %% -> %.0f %%)"
              % (moved, 100 * dark_before, 100 * dark_after))
        page.press("F3")

        # The view sways by itself: each key is measured against as many frames without it.
        zoom = {}
        for key, frames in (("ArrowLeft", 12), ("ArrowRight", 12), ("ArrowUp", 16),
                            ("ArrowDown", 16), ("PageUp", 12), ("PageDown", 24)):
            before = page.next_shot("before-" + key)
            page.press(key, frames)
            after = page.next_shot("after-" + key)
            calm_a = page.next_shot("calm-before-" + key)
            page.wait_frames(page.frames() + frames)
            calm_b = page.next_shot("calm-after-" + key)
            share, base = changed_share(before, after), changed_share(calm_a, calm_b)
            dark = (classes(before)[3], classes(after)[3])
            ok = share > max(0.015, 2 * base)
            zoom[key] = dark[1] - dark[0]
            check(ok, "%s moves the view (%.1f %% of the outline changed, %.1f %% over as many "
                  "frames without it; background %.0f %% -> %.0f %%)"
                  % (key, 100 * share, 100 * base, 100 * dark[0], 100 * dark[1]))

        check(zoom["PageUp"] * zoom["PageDown"] < 0,
              "Page Up and Page Down zoom opposite ways (background %+.0f %% and %+.0f %%)"
              % (100 * zoom["PageUp"], 100 * zoom["PageDown"]))

        n0 = page.frames()
        page.key("F1", True)
        time.sleep(1.0)
        page.key("F1", False)
        refused = None
        try:
            refused = tools.wait_event("Page.javascriptDialogOpening", timeout=8)
        except TimeoutError:
            pass
        if refused is not None:
            check("Mode Switch Failed" in refused["message"],
                  "F1: the page refuses fullscreen and the program says so: %r"
                  % refused["message"])
            tools.call("Page.handleJavaScriptDialog", accept=True)
        else:
            check(tools.evaluate("!!document.fullscreenElement"), "F1: the canvas goes fullscreen")
        n1 = page.frames()
        check(page.wait_frames(n1 + 5, timeout=60) and n1 >= n0,
              "the scene comes back after F1 (frames %d -> %d)" % (n0, page.frames()))
        back = page.next_shot("after-F1")
        check(classes(back)[1] > 0.03, "the frame after F1 shows the scene")

        # In fullscreen the browser keeps the first Escape for itself and leaves fullscreen.
        ended = False
        for attempt in range(2):
            page.key("Escape", True)
            page.key("Escape", False)
            deadline = time.time() + 15
            while time.time() < deadline and not ended:
                ended = tools.evaluate(
                    "getComputedStyle(document.getElementById('ended')).display != 'none'")
                time.sleep(0.1)
            if ended:
                break
            print("note  Escape %d: the program still runs (fullscreen: %s)"
                  % (attempt + 1, tools.evaluate("!!document.fullscreenElement")), flush=True)
        text = tools.evaluate("document.getElementById('ended-text').textContent")
        check(ended and "beendet" in text, "Escape ends the program and the page says so: %r"
              % text)
        for line in figures:
            print("figure " + line)
        with open(os.path.join(out, "figures.txt"), "w") as f:
            f.write("\n".join(figures) + "\n")
        return 0
    except Failed:
        return 1
    finally:
        browser.kill()
        server.kill()
        browser.wait()
        server.wait()
        subprocess.run(["rm", "-rf", profile])


if __name__ == "__main__":
    if len(sys.argv) < 5:
        print(__doc__)
        sys.exit(2)
    frame = 30
    if len(sys.argv) == 7 and sys.argv[5] == "--frame":
        frame = int(sys.argv[6])
    sys.exit(run(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], frame))
