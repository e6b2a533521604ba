#!/usr/bin/env python3
"""Serves the page's folder on the loopback, cross-origin isolated, as make serve-web does.

The two headers let the page share memory with Web Workers, so that it runs its build with threads;
without them it runs the build without. WebAssembly goes out as application/wasm.
usage: serve.py FOLDER PORT
"""
import functools
import http.server
import sys

ISOLATION = {'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp'}


class IsolatedHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def end_headers(self):
        for name, value in ISOLATION.items():
            self.send_header(name, value)
        super().end_headers()


def main():
    if len(sys.argv) != 3 or not sys.argv[2].isdigit():
        sys.exit('usage: serve.py FOLDER PORT')
    handler = functools.partial(IsolatedHandler, directory=sys.argv[1])
    with http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[2])), handler) as server:
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == '__main__':
    main()
