#!/usr/bin/env python3
"""The calendar as its readers take it.

feed: the iCalendar feed read by an independent parser (Debian's python3-icalendar), held against
      preview's switch moments, named the same from run to run; bad input writes nothing.
page: the HTML page rendered by headless Chromium: every stretch of the feed is on it, the legend
      names every window, each window's colour is drawn; screenshots are kept as artefacts.

Usage: calendar_check.py feed|page TOOL EXAMPLE_EVENTS DATA_DIR WORK_DIR
"""
import datetime
import html.parser
import json
import os
import re
import subprocess
import sys
import tempfile
import time

import icalendar

MODE, TOOL, EXAMPLE_EVENTS, DATA, WORK = sys.argv[1:6]
NAMES = os.path.join(DATA, "calendar-names.json")
# US Eastern time, written as a rule: the clocks go forward on 2027-03-14.
ZONE = "EST5EDT,M3.2.0,M11.1.0"
os.environ["TZ"] = ZONE
time.tzset()
EVALUATION_PERIOD = 601  # seconds between the plug-in's checks of the schedule

# The example's events without its TimeZone, so that times are the machine's, in ZONE above (a
# config's own zone is checked by the tool tests).
with open(EXAMPLE_EVENTS, encoding="utf-8") as example:
    _events = json.load(example)
_events["Quorvandelle"].pop("TimeZone", None)
os.makedirs(WORK, exist_ok=True)
EVENTS = os.path.join(WORK, "events-machine-zone.json")
with open(EVENTS, "w", encoding="utf-8") as copy:
    json.dump(_events, copy, indent=2, ensure_ascii=False)

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, cwd=WORK)


def make(config, start, days, form, *more):
    done = run("calendar", config, "--from", start, "--days", str(days), "--format", form, *more)
    if done.returncode != 0:
        sys.exit(f"calendar {config} failed ({done.returncode}): {done.stderr.decode()}")
    return done.stdout


def local_iso(moment):
    """An aware datetime as the page writes local wall-clock times: 2026-12-24T10:00."""
    return time.strftime("%Y-%m-%dT%H:%M", time.localtime(moment.timestamp()))


def feed_events(raw):
    calendar = icalendar.Calendar.from_ical(raw)
    found = []
    for event in calendar.walk("VEVENT"):
        found.append({
            "uid": str(event["UID"]),
            "summary": str(event["SUMMARY"]),
            "description": str(event["DESCRIPTION"]),
            "start": event["DTSTART"].dt,
            "end": event["DTEND"].dt,
            "stamp": event["DTSTAMP"].dt,
        })
    return calendar, found


def window_names(config):
    with open(config, encoding="utf-8") as file:
        section = json.load(file)["Quorvandelle"]
    return [entry["Name"] for entry in section.get("Schedules", [])] + ["Weekend"]


# --------------------------------------------------------------------------------------------- feed

def check_lines(raw, label):
    check(raw.endswith(b"\r\n"), f"{label}: the feed does not end with CRLF")
    for number, line in enumerate(raw.split(b"\r\n")[:-1], 1):
        check(b"\n" not in line and b"\r" not in line, f"{label}: line {number} has a bare line end")
        check(len(line) <= 75, f"{label}: line {number} has {len(line)} octets")
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            failures.append(f"{label}: line {number} splits a character: {line!r}")


def preview_switches(start, days):
    """(instant, window that comes into force or None, window that ends or None) for each switch."""
    done = run("preview", EVENTS, "--from", start, "--days", str(days))
    if done.returncode != 0:
        sys.exit(f"preview failed: {done.stderr.decode()}")
    switches, date = [], None
    for line in done.stdout.decode().splitlines():
        day = re.match(r"  \w\w\w (\d{4}-\d\d-\d\d)   ", line)
        if day:
            date = day.group(1)
            continue
        switch = re.match(r"      (\d\d:\d\d:\d\d)   switch (on|to|back)\s+(.*)$", line)
        if not switch:
            continue
        when = time.mktime(time.strptime(f"{date} {switch.group(1)}", "%Y-%m-%d %H:%M:%S"))
        kind, rest = switch.group(2), switch.group(3)
        if kind == "back":
            switches.append((when, None, re.match(r"normal rates \((.*) over\)", rest).group(1)))
        else:
            named = re.match(r"(.*?)(?: \(from (.*?)\))?(?:, which wins over .*)?$", rest)
            switches.append((when, named.group(1), named.group(2)))
    return switches


def check_against_preview(start, days):
    raw = make(EVENTS, start, days, "ics")
    check_lines(raw, f"events from {start}")
    _, events = feed_events(raw)
    switches = preview_switches(start, days)
    check(switches, f"preview from {start} shows no switch")
    first_check = time.mktime(time.strptime(start, "%Y-%m-%d")) + 31
    last_day = datetime.date.fromisoformat(start) + datetime.timedelta(days=days)
    horizon = time.mktime(last_day.timetuple()) - EVALUATION_PERIOD
    starts = [(e["start"].timestamp(), e["summary"]) for e in events]
    ends = [(e["end"].timestamp(), e["summary"]) for e in events]

    def near(moments, when, name):
        return any(name == window and 0 <= when - moment < EVALUATION_PERIOD for moment, window in moments)

    for when, comes, ends_window in switches:
        if comes and when > first_check:
            check(near(starts, when, comes), f"preview switches to {comes} at {time.ctime(when)}; no event starts then")
        if ends_window:
            check(near(ends, when, ends_window), f"{ends_window} ends at {time.ctime(when)}; no event ends then")
    # And the other way round: every moment of the feed inside the days is a switch of preview's.
    for moment, window in starts:
        if first_check < moment < horizon:
            check(any(w == window and 0 <= when - moment < EVALUATION_PERIOD for when, w, _ in switches),
                  f"{window} starts at {time.ctime(moment)} in the feed; preview switches to it at no check after")
    for moment, window in ends:
        if first_check < moment < horizon:
            check(any(w == window and 0 <= when - moment < EVALUATION_PERIOD for when, _, w in switches),
                  f"{window} ends at {time.ctime(moment)} in the feed; preview ends it at no check after")
    return events


def check_feed():
    christmas = check_against_preview("2026-12-21", 14)
    # Across the night the clocks go forward: the instants move by an hour, the wall-clock times do not.
    spring = check_against_preview("2027-03-08", 14)
    evenings = [local_iso(e["start"])[11:] for e in spring if e["summary"] == "Evening"]
    check(evenings and set(evenings) == {"20:00"}, f"evenings start at {evenings}")
    check(len({e["start"].utcoffset() for e in spring}) == 1 and spring[0]["start"].utcoffset().total_seconds() == 0,
          "times are not written in UTC")
    christmas_eve = [e for e in christmas if e["summary"] == "Christmas Eve"]
    check(len(christmas_eve) == 1 and local_iso(christmas_eve[0]["start"]) == "2026-12-24T10:00",
          f"Christmas Eve: {christmas_eve}")
    check(all(len(e["stamp"].isoformat()) > 0 for e in christmas), "an event has no DTSTAMP")
    for label, events in (("christmas", christmas), ("spring", spring)):
        check(len({e["uid"] for e in events}) == len(events), f"{label}: two events share a UID")

    # Made again from inside the weekend: the weekend keeps its Friday start and both runs name the
    # events they share alike.
    later = feed_events(make(EVENTS, "2026-12-26T12:00", 10, "ics"))[1]
    check(local_iso(later[0]["start"]) == "2026-12-25T18:00", f"the weekend in force starts at {later[0]['start']}")
    ours = {e["uid"]: e for e in christmas}
    shared = [e for e in later if e["uid"] in ours]
    check(len(shared) >= 3, f"only {len(shared)} events of one run are in the other")
    for event in shared:
        check(ours[event["uid"]]["start"] == event["start"] and ours[event["uid"]]["summary"] == event["summary"],
              f"UID {event['uid']} names two different stretches")

    # Names, messages and a server name full of what the feed must escape come back as written.
    raw = make(NAMES, "2026-01-05", 10, "ics")
    check_lines(raw, "names")
    calendar, events = feed_events(raw)
    with open(NAMES, encoding="utf-8") as file:
        section = json.load(file)["Quorvandelle"]
    check(str(calendar["X-WR-CALNAME"]) == section["ServerName"], f"calendar name {calendar['X-WR-CALNAME']!r}")
    check("next check of the schedule" in str(calendar["DESCRIPTION"]), "the feed does not say when switches come")
    check(all("next check" not in e["description"] for e in events), "an event repeats the timing note")
    odd = section["Schedules"][0]
    special = [e for e in events if e["summary"] == odd["Name"]]
    check(len(special) == 2, f"{len(special)} events of {odd['Name']!r}")
    check(all(odd["EnabledMessage"] in e["description"] and "XP \u00d74" in e["description"] for e in special),
          f"descriptions: {[e['description'] for e in special]}")
    weekend = [e for e in events if e["summary"] == "Weekend"]
    check(weekend and "Taming" not in weekend[0]["description"], "a rate of 0 is listed as one that differs")

    # Bad input: check's errors, status 1, nothing written; an output that cannot be written is named.
    with tempfile.TemporaryDirectory(dir=WORK) as folder:
        target = os.path.join(folder, "rates.ics")
        refused = run("calendar", os.path.join(DATA, "three-mistakes.json"), "--format", "ics", "-o", target)
        checked = run("check", os.path.join(DATA, "three-mistakes.json"))
        check(refused.returncode == 1, f"a config with errors gives status {refused.returncode}")
        check(refused.stderr.startswith(checked.stderr), f"errors differ from check's: {refused.stderr.decode()}")
        check(not os.listdir(folder), f"a config with errors left {os.listdir(folder)}")
        unwritable = run("calendar", EVENTS, "--format", "ics", "-o", os.path.join(folder, "no", "rates.ics"))
        check(unwritable.returncode == 1 and b"cannot write the calendar to " in unwritable.stderr,
              f"an unwritable -o: {unwritable.returncode} {unwritable.stderr.decode()}")
        for days in (5, 3):  # replaced whole, with nothing left beside it
            make(EVENTS, "2026-12-21", days, "ics", "-o", target)
        check(os.listdir(folder) == ["rates.ics"], f"left behind: {os.listdir(folder)}")
        with open(target, "rb") as file:
            check(file.read().count(b"BEGIN:VEVENT") == 3, "-o did not replace the earlier calendar")


# --------------------------------------------------------------------------------------------- page

class PageReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.stretches, self.legend, self.colours, self.day_classes = set(), [], {}, []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        classes = attrs.get("class", "").split()
        if tag == "li" and "stretch" in classes:
            self.stretches.add((attrs["data-window"], attrs["data-start"], attrs["data-end"]))
        if tag == "li" and "window" in classes:
            self.legend.append(attrs["data-window"])
            self.colours[attrs["data-window"]] = attrs["data-colour"]


def browser(*args):
    with tempfile.TemporaryDirectory() as profile:
        done = subprocess.run(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--hide-scrollbars", f"--user-data-dir={profile}", *args],
            capture_output=True, timeout=120)
    if done.returncode != 0:
        sys.exit(f"chromium {args} failed: {done.stderr.decode()[-2000:]}")
    return done.stdout


def colour_pixels(png, colour):
    from PIL import Image
    wanted = tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))
    image = Image.open(png).convert("RGB")
    return sum(count for count, pixel in image.getcolors(1 << 24)
               if all(abs(a - b) <= 3 for a, b in zip(pixel, wanted)))


# Added to a copy of the page: which days and months the reader's layout shows, in order.
VISIBLE_SCRIPT = """<script>
const shown = [...document.querySelectorAll(".month, .day")].filter(e => getComputedStyle(e).display !== "none");
const list = document.createElement("pre");
list.id = "visible";
list.textContent = shown.map(e => e.classList.contains("month") ? "month " + e.querySelector("h2").textContent
    : "day " + e.dataset.date + (e.querySelector("li.stretch") ? " in force" : " empty")).join("\\n");
document.body.append(list);
</script>"""


def visible_days(source, label, width):
    copy = os.path.join(WORK, f"calendar-{label}-visible.html")
    with open(copy, "w", encoding="utf-8") as file:
        file.write(source.replace("</body>", VISIBLE_SCRIPT + "</body>"))
    dom = browser("--dump-dom", f"--window-size={width},2000", f"file://{copy}").decode()
    found = re.search(r'<pre id="visible">(.*?)</pre>', dom, re.S)
    return found.group(1).split("\n") if found else []


def check_phone_list(source, label, start):
    """On a phone the list starts at the first day shown with a window in force: no greyed days before."""
    shown = visible_days(source, label, 390)
    days = [line for line in shown if line.startswith("day ")]
    check(days and all(line.endswith(" in force") for line in days),
          f"{label}: a phone shows days without a window: {[d for d in days if not d.endswith(' in force')][:5]}")
    check(days and days[0].split()[1] >= start, f"{label}: a phone's list starts at {days[:1]}, before {start}")
    check(shown and shown[0].startswith("month ") and shown[1:2] == days[:1],
          f"{label}: a phone's list starts with {shown[:2]}")
    desktop = [line for line in visible_days(source, label, 1280) if line.startswith("day ")]
    every_day = len(re.findall(r'<div class="day[ "]', source))
    check(len(desktop) == every_day, f"{label}: a desktop's grid shows {len(desktop)} of {every_day} days")


def check_page_of(config, start, days, label):
    page_file = os.path.join(WORK, f"calendar-{label}.html")
    make(config, start, days, "html", "-o", page_file)
    with open(page_file, encoding="utf-8") as file:
        source = file.read()
    for outside in (r"<script", r"<link", r"<img", r"<iframe", r"\ssrc=", r"\shref=", r"url\(", r"@import"):
        check(not re.search(outside, source, re.I), f"{label}: the page reaches out: {outside}")

    reader = PageReader()
    reader.feed(browser("--dump-dom", f"file://{page_file}").decode())
    _, events = feed_events(make(config, start, days, "ics"))
    check(events, f"{label}: no events")
    for event in events:
        stretch = (event["summary"], local_iso(event["start"]), local_iso(event["end"]))
        check(stretch in reader.stretches, f"{label}: the page lacks {stretch}")
    check(len(reader.stretches) == len(events), f"{label}: {len(reader.stretches)} stretches, {len(events)} events")
    check(reader.legend == window_names(config), f"{label}: the legend names {reader.legend}")
    check_phone_list(source, label, start)
    if label == "events":
        # The legend in players' words, and the zone with its abbreviations.
        for words in ("Fridays 18:00 to Mondays 00:00", "Mondays to Thursdays, 20:00 to 22:00", "EST/EDT"):
            check(words in source, f"{label}: the legend does not say {words!r}")
        check("StartDay" not in source, f"{label}: the legend names the config's keys")

    # Drawn: each window's colour on the rendered page, light on a desktop and dark on a phone.
    desktop = os.path.join(WORK, f"calendar-{label}-desktop.png")
    browser(f"--screenshot={desktop}", "--window-size=1280,4200", f"file://{page_file}")
    for window, colour in reader.colours.items():
        check(colour_pixels(desktop, colour) >= 40, f"{label}: {window}'s colour {colour} is not drawn")
    phone = os.path.join(WORK, f"calendar-{label}-phone-dark.png")
    browser(f"--screenshot={phone}", "--window-size=390,1600", "--force-dark-mode", f"file://{page_file}")
    from PIL import Image
    background = Image.open(phone).convert("RGB").getpixel((2, 2))
    check(sum(background) < 3 * 60, f"{label}: the dark page's background is {background}")
    print(f"screenshots: {desktop} {phone}")


def check_page():
    check_page_of(EVENTS, "2026-12-01", 62, "events")
    check_page_of(NAMES, "2026-01-05", 10, "names")


{"feed": check_feed, "page": check_page}[MODE]()
for failure in failures:
    print("FAILED:", failure)
print(f"{MODE}: {len(failures)} failed" if failures else f"{MODE}: all checks passed")
sys.exit(1 if failures else 0)
