"""A participant's day on the ladder's site, in headless Chromium through
nginx: sign up, hand in the Python starter kit as a zip, watch it built,
checked and in the standings without reloading, open one of its matches; a
second person cannot read the first one's logs nor retire its bot, and a
form without its token is refused.
Usage: ladder_browser.py SITE_URL KIT_ZIP SHOTS_FOLDER"""

import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from cdp import Browser  # noqa: E402

site, kit, shots = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


with tempfile.TemporaryDirectory() as profile:
    browser = Browser("/usr/bin/chromium", profile)
    try:
        alice = browser.tab()
        alice.go(site + "/signup")
        alice.fill_and_send("form[action='/signup']", {"name": "alice", "password": "correct horse battery"})
        check(alice.url().endswith("/users/alice"), "signed up, on her own page")
        alice.fill_and_send("form[action='/upload']", {"name": "kit"}, files={"bot": kit})
        check(alice.url().endswith("/bots/kit"), "the kit handed in, on its page")
        alice.screenshot(os.path.join(shots, "handed-in.png"))
        # The page keeps itself current: no reload from here on.
        check(alice.wait_for_text("ready", 180), "built and checked, seen without reloading: " + alice.text()[:300])
        alice.go(site + "/")
        check(alice.wait_for_text("kit.v1", 180), "in the standings")
        alice.screenshot(os.path.join(shots, "standings.png"))
        alice.go(site + "/bots/kit")
        check(alice.wait_for_text("-", 120) and "/matches/" in alice.html(), "its matches listed")
        match = re.search(r'href="(/matches/\d+)"', alice.html())
        check(match is not None, "a match to open")
        if match:
            alice.go(site + match.group(1))
            check(alice.eval("!!document.querySelector('canvas')") and "kit.v1" in alice.text(),
                  "its match page shows the board and the players")
            # The evaluation is asked of the site, level by level, under the page's own policy.
            check(alice.wait_for_text("to move: plays", 60), "search:3's evaluation of the start, asked of the site")
            alice.eval("document.getElementById('step').click(); document.getElementById('step').click()")
            alice.eval("const s = document.getElementById('evaluation-level'); s.value = '5'; s.onchange()")
            check(alice.wait_for_text("to move: plays", 60) and "looking" not in alice.text(),
                  "another level's, after two turns: " + alice.eval(
                      "document.getElementById('evaluation-words').textContent"))
            alice.screenshot(os.path.join(shots, "match.png"))

        bob = browser.tab(own_context=True)
        bob.go(site + "/signup")
        bob.fill_and_send("form[action='/signup']", {"name": "bob", "password": "staple battery horse"})
        check(bob.url().endswith("/users/bob"), "a second person signed up")
        bob.go(site + "/bots/kit")
        check("Retire" not in bob.text(), "no retire button for another's bot")
        check(bob.status_of("/bots/kit/v/1/build.log") == 403, "another's build log refused")
        token = bob.eval("document.querySelector('input[name=csrf]').value")
        check(bob.status_of("/bots/kit/retire", "POST", "sure=yes&csrf=" + token) == 403, "another's bot not retired")
        check(alice.status_of("/bots/kit/retire", "POST", "sure=yes") == 403, "a form without its token refused")
        check(alice.status_of("/bots/kit/retire", "POST", "sure=yes&csrf=" + token) == 403,
              "a form with another session's token refused")
        alice.go(site + "/bots/kit")
        check("active" in alice.text(), "the kit still plays")
    finally:
        browser.close()

print(f"{len(failures)} failed" if failures else "all passed")
sys.exit(1 if failures else 0)
