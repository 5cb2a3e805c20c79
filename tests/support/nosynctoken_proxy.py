# An HTTP proxy that hides a WebDAV server's sync tokens, for the tests of servers that only offer
# ETags. Usage: nosynctoken_proxy.py PORT TARGET_PORT (both on 127.0.0.1). Standard library only.
import http.client
import http.server
import re
import sys

PORT, TARGET = int(sys.argv[1]), int(sys.argv[2])
HIDDEN = [re.compile(rb"<(\w+:)?supported-report>\s*<(\w+:)?report>\s*<(\w+:)?sync-collection\s*/>\s*"
                     rb"</(\w+:)?report>\s*</(\w+:)?supported-report>"),
          re.compile(rb"<(\w+:)?sync-token\s*/>"),
          re.compile(rb"<(\w+:)?sync-token>[^<]*</(\w+:)?sync-token>")]
REFUSAL = (b"<?xml version='1.0' encoding='utf-8'?>\n"
           b'<error xmlns="DAV:"><supported-report /></error>')


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def forward(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.command == "REPORT" and b"sync-collection" in body:
            return self.answer(403, [("Content-Type", "text/xml; charset=utf-8")], REFUSAL)
        connection = http.client.HTTPConnection("127.0.0.1", TARGET, timeout=30)
        # Answers must come back uncompressed to be rewritten.
        dropped = ("host", "connection", "accept-encoding")
        headers = {k: v for k, v in self.headers.items() if k.lower() not in dropped}
        connection.request(self.command, self.path, body, headers)
        reply = connection.getresponse()
        data = reply.read()
        for pattern in HIDDEN:
            data = pattern.sub(b"", data)
        kept = [(k, v) for k, v in reply.getheaders()
                if k.lower() not in ("content-length", "connection", "transfer-encoding", "server", "date")]
        self.answer(reply.status, kept, data)

    def answer(self, status, headers, data):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    do_GET = do_PUT = do_DELETE = do_OPTIONS = do_POST = forward
    do_PROPFIND = do_REPORT = do_MKCALENDAR = do_PROPPATCH = do_MOVE = forward


http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Handler).serve_forever()
