"""Opens a page of quillmere-batch share in headless Chromium (WebGL on
SwiftShader, no GPU) and prints the time from the start of its loading to
its first frame, the page's own performance.now() at its first draw.

    share_first_frame.py PAGE.html RUNS

Each run is a fresh browser with a fresh profile, as a double-click opens
it; prints the runs and their median and best.
"""
import os
import statistics
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

page, runs = os.path.abspath(sys.argv[1]), int(sys.argv[2])
times = []
for _ in range(runs):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--no-first-run", "--window-size=1280,800", "--user-data-dir=" + tempfile.mkdtemp()):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_script_timeout(300)
    try:
        driver.get("file://" + page)
        ready = driver.execute_async_script(
            "const done = arguments[arguments.length - 1]; window.quillmere.ready.then(done)")
        if ready is not True:
            sys.exit(page + " shows no frame")
        times.append(driver.execute_script("return window.quillmere.firstFrame") / 1000)
    finally:
        driver.quit()
print(f"{os.path.basename(page)}: {os.path.getsize(page) / 1e6:.1f} MB, first frame "
      f"median={statistics.median(times):.2f} best={min(times):.2f} s "
      f"(runs: {' '.join(f'{t:.2f}' for t in times)})")
