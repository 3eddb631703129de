"""quillmere-batch share opened in a real browser: headless Chromium through
Selenium, WebGL drawn by SwiftShader.

    share_page_test.py BATCH SAMPLEGEN WORK

Writes a cup project with the sample writer and its pages, then checks what
the browser drew against what quillmere-batch itself prints: no request at
all leaves the page; the canvas is not blank and the pixel under a node has
the ramp colour of its index in `values`; the labels are the scale panel's
(`values` limits as the panel prints them); the slider changes the caption
and the colours to those of `values` for that record; a click gives the
lines of `tip` for the node or element it names, in SI and US units.

Exit status 77 (skipped) only when Selenium, Chromium or its driver is not
installed, or the browser cannot start.
"""
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SKIP = 77
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select
except ImportError:
    print("skipped: Selenium is not installed (python3-selenium)")
    sys.exit(SKIP)

batch, samplegen, work = sys.argv[1:4]
CELLS_X, CELLS_Y, RECORDS = 24, 20, 4
ROW = CELLS_X + 1  # nodes are numbered row by row
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAILED:", text)


def run(*arguments):
    result = subprocess.run([batch, *arguments], capture_output=True, text=True, env=dict(os.environ, DISPLAY=""))
    if result.returncode != 0:
        sys.exit("quillmere-batch %s: status %d\n%s" % (" ".join(arguments), result.returncode, result.stderr))
    return result.stdout


def ramp(index):
    """The program's 33 colours: red through yellow to blue in steps of 15."""
    if index > 32:
        return (64, 64, 64)
    if index <= 16:
        return (255, 15 * index, 0)
    k = index - 16
    return (255 - 15 * k, 255 - 15 * k, 15 * k)


def values(project, quantity, record):
    lines = run("values", project, "--quantity", str(quantity), "--record", str(record)).splitlines()
    low, high = (float(v) for v in lines[0].split()[2:4])
    indices = {}
    for line in lines[2:]:
        node, _, index = line.split(",")
        indices[int(node)] = int(index)
    return (low, high), indices


def shown(fmt, value):
    text = fmt % value
    return text.replace("-", " ", 1) if text.strip("- 0.") == "" and "-" in text else text


def labels(quantity, limits, units):
    """The scale panel's five labels, top first, from the limits `values` prints."""
    low, high = limits
    mid = (low + high) * 0.5
    to_show = {(1, "si"): (lambda v: v * 1000, "%6.2f", " mm"), (1, "us"): (lambda v: v * 1000 / 25.4, "%6.3f", " inch"),
               (2, "si"): (lambda v: v, "%6.1f", " \u00b0C"), (2, "us"): (lambda v: v * 9 / 5 + 32, "%6.1f", " \u00b0F")}
    convert, fmt, unit = to_show[(quantity, units)]
    return [shown(fmt, convert(v)) + unit for v in (high, (high + mid) * 0.5, mid, (mid + low) * 0.5, low)]


def neighbours(node):
    row, column = divmod(node - 1, ROW)
    if row == 0 or column == 0 or row == CELLS_Y or column == CELLS_X:
        return None
    return [node + dr * ROW + dc for dr in (-1, 0, 1) for dc in (-1, 0, 1) if dr or dc]


def sample_nodes(page, indices, count=6):
    """Nodes drawn in their own colour, whatever the interpolation does a
    fraction of a pixel away: their neighbours at most 6 indices (90 in a
    channel) away and at least 10 pixels away on the screen (not on a wall
    seen edge-on). One node per index, spread over the indices."""
    candidates = {}
    for node in sorted(indices):
        around = neighbours(node)
        if around and indices[node] not in candidates and all(abs(indices[n] - indices[node]) <= 6 for n in around):
            candidates[indices[node]] = [node] + around
    wanted = [n for group in candidates.values() for n in group]
    points = dict(zip(wanted, page.driver.execute_script(
        "return arguments[0].map((n) => window.quillmere.nodeOnScreen(n))", wanted)))
    chosen = []
    for index in sorted(candidates):
        node, *around = candidates[index]
        x, y = points[node]
        if all((points[n][0] - x) ** 2 + (points[n][1] - y) ** 2 >= 100 for n in around):
            chosen.append(node)
    step = max(1, len(chosen) // count)
    return chosen[::step][:count]


def png_pixels(data):
    """Width, height and rows of RGB(A) bytes of an 8-bit PNG."""
    width, height, depth, kind = struct.unpack(">IIBB", data[16:26])
    assert depth == 8 and kind in (2, 6), "an 8-bit RGB or RGBA PNG"
    channels = 3 if kind == 2 else 4
    at, idat = 8, b""
    while at < len(data):
        length, name = struct.unpack(">I4s", data[at:at + 8])
        if name == b"IDAT":
            idat += data[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind_of_filter, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind_of_filter == 1:
                line[x] = (line[x] + a) & 255
            elif kind_of_filter == 2:
                line[x] = (line[x] + b) & 255
            elif kind_of_filter == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


class Page:
    def __init__(self, driver, path):
        self.driver = driver
        self.url = "file://" + path
        driver.get(self.url)
        ready = driver.execute_async_script(
            "const done = arguments[arguments.length - 1]; window.quillmere.ready.then(done)")
        check(ready is True, f"{path} shows its first frame")
        self.canvas = driver.find_element(By.ID, "scene")

    def state(self):
        return self.driver.execute_script("return window.quillmere.state()")

    def wait(self, condition, what):
        for _ in range(200):
            state = self.state()
            if condition(state):
                # Two frames later the record's colours are on the screen.
                self.driver.execute_async_script("const done = arguments[arguments.length - 1];"
                                                 "requestAnimationFrame(() => requestAnimationFrame(done))")
                return state
            time.sleep(0.05)
        check(False, "the page never showed " + what)
        return self.state()

    def screen(self):
        width, height, channels, rows = png_pixels(self.driver.get_screenshot_as_png())
        self.pixels = (channels, rows)
        return width, height

    def pixel(self, x, y):
        channels, rows = self.pixels
        return tuple(rows[y][x * channels:x * channels + 3])

    def node_point(self, node):
        """The screen pixel (device pixels) where node is drawn."""
        x, y = self.driver.execute_script(f"return window.quillmere.nodeOnScreen({node})")
        rect = self.driver.execute_script("const r = arguments[0].getBoundingClientRect();"
                                          "return [r.left, r.top, window.devicePixelRatio]", self.canvas)
        return int((rect[0] + x) * rect[2]), int((rect[1] + y) * rect[2]), x, y

    def click_node(self, node):
        _, _, x, y = self.node_point(node)
        size = self.canvas.size
        ActionChains(self.driver).move_to_element_with_offset(
            self.canvas, int(round(x - size["width"] / 2)), int(round(y - size["height"] / 2))).click().perform()
        return self.wait(lambda s: s["tip"] is not None, "a data tip")["tip"]

    def dom_labels(self):
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#scale-labels div')].map((d) => d.textContent)")


def colours_match(page, project, quantity, record, label):
    """The pixel under sampled nodes against the ramp colour of `values`."""
    limits, indices = values(project, quantity, record)
    page.screen()
    nodes = sample_nodes(page, indices)
    check(len(nodes) >= 3 or len(set(indices.values())) == 1, f"{label}: nodes to sample")
    drawn = {}
    for node in nodes:
        px, py, _, _ = page.node_point(node)
        got, want = page.pixel(px, py), ramp(indices[node])
        drawn[node] = got
        check(all(abs(g - w) <= 12 for g, w in zip(got, want)),
              f"{label}: node {node} at ({px}, {py}) is drawn {got}, its ramp colour (index {indices[node]}) is {want}")
    return limits, indices, drawn


def start_browser():
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    driver_path = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    if not chromium or not os.path.exists(driver_path):
        print("skipped: Chromium or its driver is not installed (chromium, chromium-driver)")
        sys.exit(SKIP)
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for argument in ("--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--no-first-run", "--window-size=1200,800", "--force-color-profile=srgb",
                     "--force-device-scale-factor=1",
                     # Whatever still asks for the network reaches nothing.
                     "--proxy-server=http://127.0.0.1:9", "--proxy-bypass-list=<-loopback>",
                     "--user-data-dir=" + tempfile.mkdtemp(prefix="share-browser-", dir=work)):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    try:
        driver = webdriver.Chrome(service=Service(driver_path), options=options)
    except Exception as error:  # the browser cannot start here: nothing to test with
        print("skipped: Chromium does not start:", str(error).splitlines()[0])
        sys.exit(SKIP)
    driver.set_script_timeout(60)
    # Every request the page could make off this machine is blocked, and
    # every one is logged (performance log) whether blocked or not.
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["http://*", "https://*", "ws://*", "wss://*",
                                                               "ftp://*"]})
    return driver


def page_requests(driver, url):
    """The requests of the page at url: those its document or its frames
    made. The browser's own background calls belong to no document."""
    requests = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent":
            params = message["params"]
            if params.get("documentURL") == url:
                requests.append((params["request"]["url"], params.get("initiator", {}).get("type"),
                                 params.get("documentURL")))
    return requests


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
subprocess.run([samplegen, "cup", work + "/project", "--cells", str(CELLS_X), str(CELLS_Y), "--records",
                str(RECORDS)], check=True)
project = work + "/project/cup.tfc"
si_page, us_page = work + "/cup.html", work + "/cup-us.html"
run("share", project, "-o", si_page, "--units", "si")
run("share", project, "-o", us_page, "--units", "us", "--records", "4,2", "--quantity", "2,1")
check(os.path.getsize(si_page) < 2_000_000, "the sample's page is at most 2 MB")

driver = start_browser()
try:
    page = Page(driver, si_page)

    # Nothing but the page itself was asked for, and the page lists no
    # resource of its own.
    requests = page_requests(driver, page.url)
    check([r for r in requests if r[0] != page.url] == [], f"the page made no request: {requests}")
    check(driver.execute_script("return performance.getEntriesByType('resource').length") == 0,
          "the page's performance entries list no resource")

    state = page.state()
    check(state["caption"] == f"cup.tfc: Rec. {RECORDS} / {RECORDS}." and state["record"] == RECORDS,
          f"the page opens at the last record: {state}")

    # Not blank: most of the canvas is the ramp's colours, in several of them.
    page.screen()
    rect = driver.execute_script("const r = arguments[0].getBoundingClientRect(); return [r.left, r.top, r.width,"
                                 " r.height]", page.canvas)
    ramp_colours = {ramp(k) for k in range(33)}
    seen = set()
    for y in range(int(rect[1]) + 5, int(rect[1] + rect[3]) - 5, 7):
        for x in range(int(rect[0]) + 5, int(rect[0] + rect[2]) - 5, 7):
            colour = page.pixel(x, y)
            seen.update(c for c in ramp_colours if all(abs(a - b) <= 40 for a, b in zip(c, colour)))
    check(len(seen) >= 5, f"the canvas shows the sheet in several ramp colours, not {len(seen)}")

    # The flat colours of the view from above, with the tools out of the way.
    for box in driver.find_elements(By.CSS_SELECTOR, "#tools input"):
        if box.is_selected():
            box.click()
    driver.find_element(By.ID, "lighting").click()
    driver.find_element(By.CSS_SELECTOR, "[data-view=xy]").click()
    page.wait(lambda s: True, "the view from above")
    limits, indices, drawn_last = colours_match(page, project, 1, RECORDS, "thickness, last record")
    check(page.dom_labels() == labels(1, limits, "si"),
          f"thickness labels {page.dom_labels()} are the panel's {labels(1, limits, 'si')}")

    # The tip of a click on a sampled node: the node it names is the one under
    # the pointer, and its lines are `tip`'s.
    sampled = sample_nodes(page, indices)
    node = sampled[len(sampled) // 2]
    tip = page.click_node(node)
    check(tip[0] == f"Sheet - Node: {node}", f"the click on node {node} picks it: {tip[0]}")
    want = run("tip", project, "--node", tip[0].split(": ")[1], "--record", str(RECORDS), "--units", "si")
    check(tip == want.splitlines(), f"node tip {tip} is tip's {want.splitlines()}")
    Select(driver.find_element(By.ID, "pick")).select_by_value("element")
    tip = page.click_node(node)
    want = run("tip", project, "--element", tip[0].split(": ")[1], "--record", str(RECORDS), "--units", "si")
    check(tip[0].startswith("Sheet - Element: ") and tip == want.splitlines(),
          f"element tip {tip} is tip's {want.splitlines()}")

    # Escape closes the tip, which would cover a node.
    ActionChains(driver).send_keys(Keys.ESCAPE).perform()
    page.wait(lambda s: s["tip"] is None, "the tip closed")

    # Another quantity: its colours and labels.
    Select(driver.find_element(By.ID, "quantity")).select_by_visible_text("Temperature")
    page.wait(lambda s: s["quantity"] == 2, "temperature")
    limits, _, _ = colours_match(page, project, 2, RECORDS, "temperature, last record")
    check(page.dom_labels() == labels(2, limits, "si"),
          f"temperature labels {page.dom_labels()} are the panel's {labels(2, limits, 'si')}")
    Select(driver.find_element(By.ID, "quantity")).select_by_visible_text("Thickness")
    page.wait(lambda s: s["quantity"] == 1, "thickness")

    # The slider, moved by the keyboard as a user would: caption, labels and
    # colours of each record.
    slider = driver.find_element(By.ID, "record")
    slider.send_keys(Keys.HOME)
    page.wait(lambda s: s["record"] == 1, "record 1")
    for record in range(1, RECORDS):
        if record > 1:
            slider.send_keys(Keys.ARROW_RIGHT)
        state = page.wait(lambda s, r=record: s["record"] == r, f"record {record}")
        check(state["caption"] == f"cup.tfc: Rec. {record} / {RECORDS}.", f"caption of record {record}: {state}")
        limits, _, _ = colours_match(page, project, 1, record, f"thickness, record {record}")
        check(page.dom_labels() == labels(1, limits, "si"), f"labels of record {record}")
    page.screen()
    changed = [n for n, colour in drawn_last.items() if page.pixel(*page.node_point(n)[:2]) != colour]
    check(changed, "the slider changed the colours drawn")

    # Play steps on by itself; Pause stops it.
    driver.find_element(By.ID, "play").click()
    page.wait(lambda s: s["record"] != RECORDS - 1, "the next record while playing")
    driver.find_element(By.ID, "play").click()

    # US customary units: the tip in inches and degrees Fahrenheit.
    page = Page(driver, us_page)
    check(page.state()["quantity"] == 2, "the list's first quantity is shown first")
    for box in driver.find_elements(By.CSS_SELECTOR, "#tools input"):
        if box.is_selected():
            box.click()
    driver.find_element(By.ID, "lighting").click()
    driver.find_element(By.CSS_SELECTOR, "[data-view=xy]").click()
    page.wait(lambda s: True, "the view from above")
    limits, indices, _ = colours_match(page, project, 2, RECORDS, "US page, temperature")
    check(page.dom_labels() == labels(2, limits, "us"), f"US labels {page.dom_labels()}")
    node = sample_nodes(page, indices)[0]
    tip = page.click_node(node)
    want = run("tip", project, "--node", tip[0].split(": ")[1], "--record", str(RECORDS), "--units", "us")
    check(tip == want.splitlines(), f"US node tip {tip} is tip's {want.splitlines()}")
    requests = page_requests(driver, page.url)
    check([r for r in requests if r[0] != page.url] == [], f"the US page made no request: {requests}")
    errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    check(errors == [], f"no error in the browser's console: {errors}")
finally:
    driver.quit()

if failures:
    sys.exit(f"{len(failures)} checks failed")
print("share page: every check passed")
