"""Radicale's application served over HTTP/1.1 with keep-alive, for bench_sync.

Radicale's own server answers in HTTP/1.0 and closes the connection after every request; this
one serves the same application (same configuration, same storage) but lets a client send
request after request over one connection, so that the cost of a connection per request can be
told apart from the server's work.

    radicale_keepalive.py <radicale config file> <port>
"""
import socketserver
import sys
import wsgiref.simple_server

import radicale
from radicale import config


class Handler(wsgiref.simple_server.ServerHandler):
    http_version = "1.1"


class RequestHandler(wsgiref.simple_server.WSGIRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_request(self, code="-", size="-"):
        pass

    def handle(self):
        # WSGIRequestHandler.handle answers one request; this one goes on while the client
        # keeps the connection.
        self.close_connection = True
        while True:
            self.raw_requestline = self.rfile.readline(65537)
            if not self.raw_requestline or not self.parse_request():
                return
            handler = Handler(self.rfile, self.wfile, self.get_stderr(), self.get_environ(),
                              multithread=True)
            handler.request_handler = self
            handler.run(self.server.get_app())
            self.wfile.flush()
            if self.close_connection:
                return


class Server(socketserver.ThreadingMixIn, wsgiref.simple_server.WSGIServer):
    daemon_threads = True


def main():
    configuration = config.load(config.parse_compound_paths(sys.argv[1]))
    server = Server(("127.0.0.1", int(sys.argv[2])), RequestHandler)
    server.set_app(radicale.Application(configuration))
    server.serve_forever()


if __name__ == "__main__":
    main()
