#!/usr/bin/env python3
"""A slow link in front of the update server, so that a test can act while an
installation is under way: every connection to our port is forwarded to the
server's, and what the server sends comes back at a fixed rate.

    slowlink.py <server-port> <bytes-per-second> [port]

Prints "port N" once it listens on the loopback port given, or on a free
one; ends on SIGTERM.
A connection to the server that cannot be made or breaks ends the client's
connection too, as the server going away would."""
import signal
import socket
import sys
import threading
import time

CHUNK = 8192


def pump(src, dst, rate):
    try:
        while True:
            data = src.recv(CHUNK)
            if not data:
                break
            dst.sendall(data)
            if rate:
                time.sleep(len(data) / rate)
    except OSError:
        pass
    for s in (src, dst):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def serve(client, server_port, rate):
    try:
        upstream = socket.create_connection(("127.0.0.1", server_port))
    except OSError:
        client.close()
        return
    threading.Thread(target=pump, args=(client, upstream, 0), daemon=True).start()
    pump(upstream, client, rate)
    client.close()
    upstream.close()


def main():
    server_port, rate = int(sys.argv[1]), int(sys.argv[2])
    own_port = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", own_port))
    listener.listen(16)
    print("port", listener.getsockname()[1], flush=True)
    while True:
        client, _ = listener.accept()
        threading.Thread(target=serve, args=(client, server_port, rate), daemon=True).start()


if __name__ == "__main__":
    main()
