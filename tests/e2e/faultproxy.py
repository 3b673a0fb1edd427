#!/usr/bin/env python3
"""A TCP proxy between a client and the update server that breaks one answer.

    faultproxy.py --listen PORT --upstream PORT [--fault KIND --answer K --offset N]
                  [--min-size BYTES] [--server-pid PID] [--progress FILE]

Requests pass through unchanged. Answers are read as HTTP/1.1 messages with a
Content-Length; those whose body holds at least --min-size bytes (the file
answers of a test release, not the small session and product answers) are
counted from 1 over all connections. The K-th of them is broken after N bytes
of the answer (its head included) have reached the client:

  truncate  the client's connection is closed (FIN); later connections pass
  reset     the client's connection is reset (RST); later connections pass
  kill      the server process (--server-pid) is killed with SIGKILL, the
            connection closed and the proxy stops listening, so that the
            client meets a server that is gone
  trickle   the rest of the answer goes at one byte a second, until the
            client gives up
  stall     nothing more is sent, and the connection stays open
  client    --delay milliseconds later the client's process (its process
            identifier in --client-pid-file) is killed with SIGKILL; an
            offset past the answer's end lets the whole answer through first

Each complete counted answer appends "done K" to --progress, the fault
"fired KIND K N" to it, so a test can follow the update from outside.
The first line on stdout is "listening PORT".
"""

import argparse
import os
import select
import signal
import socket
import sys
import threading
import time

lock = threading.Lock()
counted = 0
fired = False


def note(args, line):
    if args.progress:
        with lock, open(args.progress, "a") as f:
            f.write(line + "\n")


def log(line):
    sys.stderr.write("faultproxy: %s\n" % line)
    sys.stderr.flush()


class Upstream:
    """Buffered reading of the server's side of one connection."""

    def __init__(self, sock):
        self.sock = sock
        self.buf = b""

    def fill(self):
        data = self.sock.recv(65536)
        if not data:
            raise EOFError
        self.buf += data

    def head(self):
        while b"\r\n\r\n" not in self.buf:
            self.fill()
        end = self.buf.index(b"\r\n\r\n") + 4
        head, self.buf = self.buf[:end], self.buf[end:]
        return head

    def take(self, n):
        """Up to n bytes of what follows, at least one."""
        if not self.buf:
            self.fill()
        part, self.buf = self.buf[:n], self.buf[n:]
        return part


def body_length(head):
    lines = head.split(b"\r\n")
    status = lines[0].split(b" ")
    if len(status) > 1 and status[1].startswith(b"1"):
        return 0
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            return int(value.strip())
    return 0


def pump_requests(client, server, stop):
    # A socket closed while another thread is blocked reading it stays open
    # until that read returns: this side waits in select, so the side that
    # breaks the connection can stop it first and the close goes out at once.
    try:
        while not stop.is_set():
            readable, _, _ = select.select([client], [], [], 0.1)
            if not readable:
                continue
            data = client.recv(65536)
            if not data:
                break
            server.sendall(data)
    except OSError:
        pass
    try:
        server.shutdown(socket.SHUT_WR)
    except OSError:
        pass


def close(sock, reset=False):
    try:
        if reset:
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
        sock.close()
    except OSError:
        pass


def relay(args, client):
    global counted, fired
    try:
        server = socket.create_connection(("127.0.0.1", args.upstream))
    except OSError:
        close(client)
        return
    for s in (client, server):
        s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    stop = threading.Event()
    pump = threading.Thread(target=pump_requests, args=(client, server, stop), daemon=True)
    pump.start()

    def end():
        stop.set()
        pump.join()

    up = Upstream(server)
    try:
        while True:
            head = up.head()
            length = body_length(head)
            index = 0
            fault = False
            if length >= args.min_size:
                with lock:
                    counted += 1
                    index = counted
                    fault = args.fault and index == args.answer and not fired
                    fired = fired or fault
            if not fault:
                client.sendall(head)
                left = length
                while left > 0:
                    part = up.take(left)
                    client.sendall(part)
                    left -= len(part)
                if index:
                    note(args, "done %d" % index)
                continue
            answer = head
            while len(answer) < len(head) + length:
                answer += up.take(len(head) + length - len(answer))
            offset = min(args.offset, len(answer) - (args.fault != "client"))
            client.sendall(answer[:offset])
            log("%s at byte %d of answer %d (%d bytes)" % (args.fault, offset, index, len(answer)))
            note(args, "fired %s %d %d" % (args.fault, index, offset))
            if args.fault == "trickle":
                for i in range(offset, len(answer)):
                    time.sleep(1)
                    client.sendall(answer[i:i + 1])
                return
            if args.fault == "stall":
                pump.join()
                return
            if args.fault == "client":
                time.sleep(args.delay / 1000)
                with open(args.client_pid_file) as f:
                    os.kill(int(f.read()), signal.SIGKILL)
                return
            if args.fault == "kill":
                # What the server's death does to the client: this answer ends,
                # the other connections end, and nothing listens any more.
                os.kill(args.server_pid, signal.SIGKILL)
                os._exit(0)
            end()
            close(client, reset=args.fault == "reset")
            return
    except (OSError, EOFError):
        pass
    finally:
        end()
        close(client)
        close(server)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--listen", type=int, default=0)
    p.add_argument("--upstream", type=int, required=True)
    p.add_argument("--fault", choices=["truncate", "reset", "kill", "trickle", "stall", "client"])
    p.add_argument("--answer", type=int, default=1)
    p.add_argument("--offset", type=int, default=0)
    p.add_argument("--min-size", type=int, default=16384)
    p.add_argument("--server-pid", type=int)
    p.add_argument("--client-pid-file")
    p.add_argument("--delay", type=int, default=0)
    p.add_argument("--progress")
    args = p.parse_args()
    if args.fault == "kill" and not args.server_pid:
        p.error("--fault kill needs --server-pid")
    if args.fault == "client" and not args.client_pid_file:
        p.error("--fault client needs --client-pid-file")

    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.listen))
    listener.listen(64)
    print("listening %d" % listener.getsockname()[1], flush=True)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    while True:
        client, _ = listener.accept()
        threading.Thread(target=relay, args=(args, client), daemon=True).start()


if __name__ == "__main__":
    main()
