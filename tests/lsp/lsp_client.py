"""A small LSP client for driving `orthspell lsp` through pipes in tests and
benchmarks: frames messages, reads the server's output on a thread, and
waits for responses and notifications."""
import json
import os
import queue
import subprocess
import threading
import time


class Client:
    def __init__(self, command, env=None):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, env=env)
        self.messages = queue.Queue()
        self.backlog = []
        self.next_id = 1
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        out = self.proc.stdout
        while True:
            length = None
            while True:
                line = out.readline()
                if not line:
                    self.messages.put(None)
                    return
                if line in (b"\r\n", b"\n"):
                    break
                key, _, value = line.decode("ascii").partition(":")
                if key.strip().lower() == "content-length":
                    length = int(value)
            body = out.read(length)
            self.messages.put((time.monotonic(), json.loads(body)))

    def write_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message, ensure_ascii=False):
        body = json.dumps(message, ensure_ascii=ensure_ascii).encode("utf-8")
        self.write_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None):
        message = {"jsonrpc": "2.0", "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)

    def request(self, method, params=None):
        request_id = self.next_id
        self.next_id += 1
        message = {"jsonrpc": "2.0", "id": request_id, "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)
        return request_id

    def wait(self, predicate, timeout=60.0):
        """The first message (kept or new) that predicate accepts."""
        for index, (stamp, message) in enumerate(self.backlog):
            if predicate(message):
                del self.backlog[index]
                return message
        end = time.monotonic() + timeout
        while True:
            left = end - time.monotonic()
            if left <= 0:
                raise TimeoutError("no matching message")
            try:
                item = self.messages.get(timeout=left)
            except queue.Empty:
                raise TimeoutError("no matching message")
            if item is None:
                raise EOFError("the server closed its output")
            if predicate(item[1]):
                self.last_stamp = item[0]
                return item[1]
            self.backlog.append(item)

    def call(self, method, params=None, timeout=60.0):
        request_id = self.request(method, params)
        return self.wait(lambda m: m.get("id") == request_id and "method" not in m, timeout)

    def diagnostics(self, uri, version=None, timeout=60.0):
        def match(m):
            return (m.get("method") == "textDocument/publishDiagnostics"
                    and m["params"]["uri"] == uri
                    and (version is None or m["params"].get("version") == version))
        return self.wait(match, timeout)["params"]

    def drain(self, seconds=0.2):
        """Everything that arrives within `seconds`."""
        end = time.monotonic() + seconds
        while True:
            left = end - time.monotonic()
            if left <= 0:
                break
            try:
                item = self.messages.get(timeout=left)
            except queue.Empty:
                break
            if item is None:
                break
            self.backlog.append(item)
        got = [m for _, m in self.backlog]
        self.backlog = []
        return got

    def initialize(self, capabilities=None, options=None):
        params = {"processId": os.getpid(), "rootUri": None,
                  "capabilities": capabilities or {}}
        if options is not None:
            params["initializationOptions"] = options
        reply = self.call("initialize", params)
        self.notify("initialized", {})
        return reply

    def open(self, uri, text, language="plaintext", version=1):
        self.notify("textDocument/didOpen", {"textDocument": {
            "uri": uri, "languageId": language, "version": version, "text": text}})

    def close(self):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        try:
            return self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return None
