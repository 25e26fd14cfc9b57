#!/usr/bin/env python3
"""A small update server for trying the game's update check locally.

It answers GET /win32updatecheck.php (any query) with the text of an answer
file, and serves any other path from a folder of files (the advertisement
files an answer names). Nothing outside that folder is ever served.

    tools/update_server/update_server.py --answer answer.txt [--files DIR]
        [--port 0] [--port-file FILE] [--silent]

The answer file is the server's reply as it stands, for example:
    0
    http://zandrel.example/new-version
    400 300 | ad1/page.html ad1/pic.png | 1

--port 0 picks a free port; the chosen port is printed on stdout and, with
--port-file, written to that file. --silent accepts connections and never
answers (for trying what the game does while a server hangs).
"""
import argparse
import http.server
import os
import socketserver
import sys
import time


def make_handler(answer_path, files_dir):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            path = self.path.split("?", 1)[0]
            if path == "/win32updatecheck.php":
                self.send_body(read_bytes(answer_path))
                return
            body = read_served_file(files_dir, path)
            if body is None:
                self.send_error(404)
            else:
                self.send_body(body)

        def send_body(self, body):
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, fmt, *args):
            sys.stderr.write("update_server: " + (fmt % args) + "\n")

    return Handler


def read_bytes(path):
    with open(path, "rb") as handle:
        return handle.read()


def read_served_file(files_dir, url_path):
    if not files_dir:
        return None
    root = os.path.realpath(files_dir)
    target = os.path.realpath(os.path.join(root, url_path.lstrip("/")))
    if not target.startswith(root + os.sep) or not os.path.isfile(target):
        return None
    return read_bytes(target)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class SilentHandler(socketserver.BaseRequestHandler):
    def handle(self):
        while True:
            time.sleep(1)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--answer", required=False, default=None)
    parser.add_argument("--files", default=None)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file", default=None)
    parser.add_argument("--silent", action="store_true")
    options = parser.parse_args()
    if not options.silent and not options.answer:
        parser.error("--answer is needed unless --silent")

    if options.silent:
        server = socketserver.ThreadingTCPServer(("127.0.0.1", options.port), SilentHandler)
        server.daemon_threads = True
    else:
        handler = make_handler(options.answer, options.files)
        server = Server(("127.0.0.1", options.port), handler)
    port = server.server_address[1]
    print(port, flush=True)
    if options.port_file:
        with open(options.port_file + ".tmp", "w") as handle:
            handle.write("%d\n" % port)
        os.replace(options.port_file + ".tmp", options.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
