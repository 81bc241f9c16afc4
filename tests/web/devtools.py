"""A small client of the Chrome DevTools protocol over python3-websocket, for driving headless
Chromium in scripts/test-web: commands with their answers, and the events that arrive meanwhile."""
import json
import time

import websocket


class DevTools:
    def __init__(self, url, timeout=60):
        self.ws = websocket.create_connection(url, timeout=timeout, suppress_origin=True)
        self.next_id = 0
        self.events = []  # events not yet taken, in arrival order

    def close(self):
        self.ws.close()

    def _receive(self, deadline):
        self.ws.settimeout(max(0.05, deadline - time.time()))
        try:
            return json.loads(self.ws.recv())
        except websocket.WebSocketTimeoutException:
            return None

    def call(self, method, timeout=60, **params):
        """Sends a command and returns its result; events that arrive meanwhile are kept."""
        self.next_id += 1
        ident = self.next_id
        self.ws.send(json.dumps({"id": ident, "method": method, "params": params}))
        deadline = time.time() + timeout
        while time.time() < deadline:
            message = self._receive(deadline)
            if message is None:
                continue
            if message.get("id") == ident:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)
        raise TimeoutError("%s: no answer within %d s" % (method, timeout))

    def wait_event(self, method, timeout=60, match=None):
        """Returns the first kept or arriving event of that method (and match), removing it."""
        deadline = time.time() + timeout
        while True:
            for i, event in enumerate(self.events):
                if event["method"] == method and (match is None or match(event["params"])):
                    return self.events.pop(i)["params"]
            if time.time() >= deadline:
                raise TimeoutError("no %s within %d s" % (method, timeout))
            message = self._receive(deadline)
            if message is not None and "method" in message:
                self.events.append(message)

    def evaluate(self, expression, timeout=60):
        result = self.call("Runtime.evaluate", timeout=timeout, expression=expression,
                           returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def console_lines(self):
        """The console lines that arrived so far (taking them)."""
        lines = []
        kept = []
        for event in self.events:
            if event["method"] == "Runtime.consoleAPICalled":
                args = event["params"].get("args", [])
                lines.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
            else:
                kept.append(event)
        self.events = kept
        return lines
