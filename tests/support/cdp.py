"""Headless Chromium driven over the DevTools protocol on a pipe: no
websocket, nothing beyond Python's own library. A test drives pages as a
person would (forms filled and sent, files chosen, links followed) and reads
what they show."""

import json
import os
import subprocess
import time


class Browser:
    def __init__(self, chromium, profile):
        to_browser_r, to_browser_w = os.pipe()
        from_browser_r, from_browser_w = os.pipe()

        def wire():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-dev-shm-usage", "--ignore-certificate-errors", "--remote-debugging-pipe",
             "--proxy-server=127.0.0.1:9",  # loopback goes direct, all else nowhere
             "--user-data-dir=" + profile, "--window-size=1200,900", "about:blank"],
            pass_fds=(3, 4), preexec_fn=wire, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.out = os.fdopen(to_browser_w, "wb", buffering=0)
        self.inp = os.fdopen(from_browser_r, "rb", buffering=0)
        self.pending = b""
        self.next_id = 0

    def close(self):
        try:
            self.send("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def _message(self):
        while b"\0" not in self.pending:
            chunk = self.inp.read(65536)
            if not chunk:
                raise RuntimeError("the browser went away")
            self.pending += chunk
        message, self.pending = self.pending.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None):
        self.next_id += 1
        command = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            command["sessionId"] = session
        self.out.write(json.dumps(command).encode() + b"\0")
        while True:
            message = self._message()
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})

    def tab(self, own_context=False):
        """A new tab; with own_context, one with cookies of its own (another person)."""
        params = {"url": "about:blank"}
        if own_context:
            params["browserContextId"] = self.send("Target.createBrowserContext")["browserContextId"]
        target = self.send("Target.createTarget", params)["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        return Tab(self, session)


class Tab:
    def __init__(self, browser, session):
        self.browser = browser
        self.session = session
        self.send("Page.enable")
        self.send("Runtime.enable")

    def send(self, method, params=None):
        return self.browser.send(method, params, self.session)

    def eval(self, expression):
        result = self.send("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def loaded(self, away_from=None, at=None, timeout=30):
        end = time.time() + timeout
        while time.time() < end:
            try:
                href = self.url()
                if (self.eval("document.readyState") == "complete" and href != away_from
                        and (at is None or href == at)):
                    return
            except RuntimeError:
                pass  # between two documents
            time.sleep(0.1)
        raise RuntimeError(f"no page came after {away_from} (at {at})")

    def go(self, url):
        self.eval("location.href = 'about:blank'")
        self.loaded(at="about:blank")
        self.send("Page.navigate", {"url": url})
        self.loaded(away_from="about:blank")

    def url(self):
        return self.eval("location.href")

    def text(self):
        return self.eval("document.body ? document.body.innerText : ''")

    def html(self):
        return self.eval("document.documentElement.outerHTML")

    def fill_and_send(self, selector, fields, files=None):
        """Fills the form's fields, chooses its files, and sends it by its button."""
        if not self.eval(f"!!document.querySelector({json.dumps(selector)})"):
            raise RuntimeError(f"no {selector} at {self.url()}: {self.text()[:500]}")
        for name, value in fields.items():
            self.eval(f"document.querySelector({json.dumps(selector)}).elements[{json.dumps(name)}].value = "
                      f"{json.dumps(value)}")
        for name, path in (files or {}).items():
            root = self.send("DOM.getDocument")["root"]["nodeId"]
            node = self.send("DOM.querySelector", {"nodeId": root,
                                                   "selector": f"{selector} input[name='{name}']"})["nodeId"]
            self.send("DOM.setFileInputFiles", {"nodeId": node, "files": [path]})
        before = self.url()
        self.eval(f"document.querySelector({json.dumps(selector)}).querySelector('button').click()")
        self.loaded(away_from=before)

    def wait_for_text(self, part, timeout):
        end = time.time() + timeout
        while time.time() < end:
            if part in self.text():
                return True
            time.sleep(0.5)
        return False

    def status_of(self, url, method="GET", body=None):
        """What the site answers this page's own script (its cookies sent)."""
        options = {"method": method, "credentials": "same-origin"}
        if body is not None:
            options["headers"] = {"Content-Type": "application/x-www-form-urlencoded"}
            options["body"] = body
        return self.eval(f"fetch({json.dumps(url)}, {json.dumps(options)}).then(r => r.status)")

    def screenshot(self, path):
        import base64
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))
