#!/usr/bin/env python3
"""A stand-in for the channel's score form, reached as an HTTP proxy on the loopback address, so a test
can let the real program post without any traffic leaving the machine. It writes its port to argv[1],
appends each score form's body as a line to argv[2], and answers the posts in turn with argv[3:]: "N"
answers N at once, "N@S" answers N after S seconds. A registered score's recording, posted to the replay
form, goes as a line to argv[2] + ".replays" and is answered 0 (played again and verified). A GET of the
channel's top ten is answered with a short list.

With --field NAME it reads one posted body on standard input and prints that field unscrambled instead
(as the channel reads it), so a test can check what reached the server."""
import http.server
import sys
import threading
import time

# The channel's scrambling key, written down here on its own so that the tests do not unscramble with the
# code they test.
KEY = bytes([0xC3, 0x5E, 0x02, 0xB7, 0x49, 0xE1, 0x6A, 0x90])
REPLAY_PATH = "/r0003/replay"
TOP_TEN_PATH = "/top10.json"
TOP_TEN = b'{"scores":[{"name":"Stina","score":4210},{"name":"Kalle","score":3100},{"name":"Bo","score":990}]}'

if len(sys.argv) == 3 and sys.argv[1] == "--field":
    fields = dict(pair.partition("=")[::2] for pair in sys.stdin.read().strip().split("&"))
    raw = bytes.fromhex(fields.get(sys.argv[2], ""))
    sys.stdout.write(bytes(b ^ KEY[i % 8] for i, b in enumerate(raw)).decode("cp1252"))
    sys.exit(0)

port_file, log_file, answers = sys.argv[1], sys.argv[2], sys.argv[3:]
lock = threading.Lock()
count = [0]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if not self.path.endswith(TOP_TEN_PATH):
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(TOP_TEN)))
        self.end_headers()
        self.wfile.write(TOP_TEN)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        if self.path.endswith(REPLAY_PATH):
            with lock, open(log_file + ".replays", "ab") as log:
                log.write(body + b"\n")
            self.answer("0")
            return
        with lock:
            index = count[0]
            count[0] += 1
            with open(log_file, "ab") as log:
                log.write(body + b"\n")
        code, _, delay = (answers[index] if index < len(answers) else "0").partition("@")
        if delay:
            time.sleep(float(delay))
        self.answer(code)

    def answer(self, code):
        answer = (code + "\r\n1\r\n").encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
