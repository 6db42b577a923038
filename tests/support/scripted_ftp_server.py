#!/usr/bin/python3
"""Scripted FTP server for client tests that need exact control of every byte.

Logs in anyone, answers from a JSON script, writes each received command line
to a transcript and keeps uploaded bytes in an upload folder. Listens on
127.0.0.1 only, prints one line "PORT <n>" on stdout once listening and exits
on SIGTERM.

Script (every key optional):
{
  "banner": "220 text",                 welcome line(s), "\\n" separates lines
  "start": "/home/user",                folder named by PWD after login
  "mlsd": true, "rest": true,           announced in FEAT and HELP, and served
  "pasv_address": "10,0,0,9",           host written into 227 (default 127,0,0,1);
                                        the data port always listens on 127.0.0.1
  "tree": {"/home/user": {"list": "...", "mlsd": "...", "nlst": "..."}},
  "files": {"/home/user/a.txt": {"content": "...", "refuse": false,
                                 "fail_after": 10,      send 10 bytes, close, 426
                                 "short_after": 10,     send 10 bytes, close, 226
                                 "announce_size": true, "(N bytes)" in the 150 reply
                                 "piece_bytes": 4000,   send in pieces of 4000 bytes,
                                 "pause_ms": 40,        40 ms apart (a slow server)
                                 "store_limit": 10}},   STOR keeps at most 10 bytes
  "loops": {"/a/a": "/a"},              paths below a key are those below its value:
                                        a folder that holds itself, at any depth
  SIZE answers 213 with the size of a scripted or uploaded file, else 550.
  "replies": {"SYST": "215 UNIX Type: L8"},   fixed reply line(s) for a command
  "replies_raw": {"NOOP_b64": "..."}          exact bytes, no line end added
}
Byte fields ("list", "mlsd", "nlst", "content") may instead be given base64
encoded under the same name with "_b64" appended, so any bytes can be scripted,
or as the path of a file holding them with "_file" appended (large listings).
"replies_raw" keys are command names with "_b64" appended, values base64.
"""

import argparse
import base64
import re
import json
import os
import signal
import socket
import socketserver
import sys
import threading
import time

MAX_LINE = 64 * 1024
DATA_TIMEOUT = 10.0


def script_bytes(entry, name):
    """Reads a byte field given either as text (UTF-8) or base64."""
    if name + "_b64" in entry:
        return base64.b64decode(entry[name + "_b64"])
    if name + "_file" in entry:
        with open(entry[name + "_file"], "rb") as f:
            return f.read()
    value = entry.get(name)
    if value is None:
        return None
    return value.encode("utf-8")


TAGGED_TEMPORARY = re.compile(r"\.[0-9a-f]{12}(\.velmora-upload)$")


def normalize(path):
    """Collapses '.', '..' and repeated slashes of an absolute path."""
    parts = []
    for part in path.split("/"):
        if part in ("", "."):
            continue
        if part == "..":
            if parts:
                parts.pop()
            continue
        parts.append(part)
    return "/" + "/".join(parts)


class Script:
    def __init__(self, data):
        self.banner = data.get("banner", "220 Scripted test server ready.")
        self.start = normalize(data.get("start", "/"))
        self.mlsd = bool(data.get("mlsd", True))
        self.rest = bool(data.get("rest", True))
        self.pasv_address = data.get("pasv_address", "127,0,0,1")
        self.loops = {normalize(k): normalize(v) for k, v in data.get("loops", {}).items()}
        self.tree = {normalize(k): v for k, v in data.get("tree", {}).items()}
        self.files = {normalize(k): v for k, v in data.get("files", {}).items()}
        self.replies = {k.upper(): v for k, v in data.get("replies", {}).items()}
        self.replies_raw = {}
        for key, value in data.get("replies_raw", {}).items():
            if not key.endswith("_b64"):
                raise ValueError("replies_raw keys end with _b64: %r" % key)
            self.replies_raw[key[:-4].upper()] = base64.b64decode(value)
        if self.start not in self.tree:
            self.tree[self.start] = {}

    def canonical(self, path):
        """The path a looping folder stands for; each round strips one loop."""
        for _ in range(len(path) + 1):
            for alias, target in self.loops.items():
                if path == alias or path.startswith(alias + "/"):
                    path = target + path[len(alias):]
                    break
            else:
                return path
        return path

    def commands(self):
        names = ["USER", "PASS", "TYPE", "FEAT", "HELP", "SYST", "STAT", "NOOP",
                 "PWD", "CWD", "CDUP", "MKD", "RMD", "DELE", "RNFR", "RNTO",
                 "PASV", "LIST", "NLST", "RETR", "STOR", "ABOR", "SITE", "SIZE",
                 "QUIT"]
        if self.mlsd:
            names.append("MLSD")
        if self.rest:
            names.append("REST")
        return sorted(names)


class Session(socketserver.StreamRequestHandler):
    # Set on the class by main().
    script = None
    transcript = None
    transcript_lock = threading.Lock()
    upload_dir = None

    def setup(self):
        socketserver.StreamRequestHandler.setup(self)
        self.cwd = self.script.start
        self.rest_offset = 0
        self.listener = None

    def log(self, text):
        sys.stderr.write("scripted[%d] %s\n" % (os.getpid(), text))
        sys.stderr.flush()

    def send_lines(self, text):
        for line in text.split("\n"):
            self.wfile.write(line.encode("utf-8") + b"\r\n")
        self.wfile.flush()

    def record(self, line):
        with self.transcript_lock:
            self.transcript.write(line + b"\n")
            self.transcript.flush()

    def handle(self):
        self.send_lines(self.script.banner)
        while True:
            line = self.rfile.readline(MAX_LINE + 1)
            if not line:
                break
            if len(line) > MAX_LINE and not line.endswith(b"\n"):
                self.log("command line too long, closing")
                break
            line = line.rstrip(b"\r\n")
            self.record(line)
            verb, _, arg = line.partition(b" ")
            verb = verb.decode("latin-1").upper()
            arg = arg.decode("utf-8", "surrogateescape")
            if not self.dispatch(verb, arg):
                break
        self.close_listener()

    def dispatch(self, verb, arg):
        if verb in self.script.replies_raw:
            self.wfile.write(self.script.replies_raw[verb])
            self.wfile.flush()
            return True
        if verb in self.script.replies:
            self.send_lines(self.script.replies[verb])
            return verb != "QUIT"
        handler = getattr(self, "cmd_" + verb, None)
        if handler is None or not self.supported(verb):
            self.send_lines("502 Command not implemented.")
            return True
        return handler(arg) is not False

    def supported(self, verb):
        if verb == "MLSD":
            return self.script.mlsd
        if verb == "REST":
            return self.script.rest
        return True

    def resolve(self, arg):
        path = normalize(arg if arg.startswith("/") else self.cwd + "/" + arg)
        # Upload temporaries carry a tag of their own upload; scripts name them without it.
        return TAGGED_TEMPORARY.sub(r"\1", path)

    # Login and session commands.
    def cmd_USER(self, arg):
        self.send_lines("331 Password required for %s." % arg)

    def cmd_PASS(self, arg):
        self.send_lines("230 User logged in.")

    def cmd_TYPE(self, arg):
        self.send_lines("200 Type set to %s." % arg)

    def cmd_FEAT(self, arg):
        lines = ["211-Features:"]
        if self.script.mlsd:
            lines.append(" MLST type*;size*;modify*;perm*;")
        if self.script.rest:
            lines.append(" REST STREAM")
        lines += [" SIZE", " UTF8", "211 End"]
        self.send_lines("\n".join(lines))

    def cmd_HELP(self, arg):
        names = self.script.commands()
        lines = ["214-The following commands are recognized."]
        for i in range(0, len(names), 8):
            lines.append(" " + " ".join(names[i:i + 8]))
        lines.append("214 Help OK.")
        self.send_lines("\n".join(lines))

    def cmd_SYST(self, arg):
        self.send_lines("215 UNIX Type: L8")

    def cmd_STAT(self, arg):
        self.send_lines("211-Scripted server status\n211 End of status.")

    def cmd_NOOP(self, arg):
        self.send_lines("200 NOOP ok.")

    def cmd_QUIT(self, arg):
        self.send_lines("221 Goodbye.")
        return False

    # Folders.
    def cmd_PWD(self, arg):
        self.send_lines('257 "%s" is the current directory.' % self.cwd)

    def cmd_CWD(self, arg):
        target = self.resolve(arg)
        if self.script.canonical(target) in self.script.tree:
            self.cwd = target
            self.send_lines('250 CWD command successful.')
        else:
            self.send_lines("550 %s: No such file or directory." % arg)

    def cmd_CDUP(self, arg):
        return self.cmd_CWD("..")

    def cmd_MKD(self, arg):
        self.send_lines('257 "%s" created.' % self.resolve(arg))

    def cmd_RMD(self, arg):
        self.send_lines("250 RMD command successful.")

    def cmd_DELE(self, arg):
        self.send_lines("250 DELE command successful.")

    def cmd_RNFR(self, arg):
        self.send_lines("350 Ready for destination name.")

    def cmd_RNTO(self, arg):
        self.send_lines("250 Rename successful.")

    def cmd_SITE(self, arg):
        self.send_lines("200 SITE command successful.")

    def cmd_ABOR(self, arg):
        self.close_listener()
        self.send_lines("226 Abort successful.")

    def cmd_REST(self, arg):
        try:
            offset = int(arg)
            if offset < 0:
                raise ValueError
        except ValueError:
            self.send_lines("501 Invalid REST parameter.")
            return
        self.rest_offset = offset
        self.send_lines("350 Restarting at %d." % offset)

    # Data connections.
    def cmd_PASV(self, arg):
        self.close_listener()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.listener.settimeout(DATA_TIMEOUT)
        port = self.listener.getsockname()[1]
        self.send_lines("227 Entering Passive Mode (%s,%d,%d)."
                        % (self.script.pasv_address, port // 256, port % 256))

    def close_listener(self):
        if self.listener is not None:
            self.listener.close()
            self.listener = None

    def open_data(self, announce=None):
        """Sends 150 and accepts the client's data connection, or answers 425."""
        if self.listener is None:
            self.send_lines("425 Use PASV first.")
            return None
        if announce is None:
            self.send_lines("150 Opening BINARY mode data connection.")
        else:
            self.send_lines("150 Opening BINARY mode data connection (%d bytes)." % announce)
        try:
            conn, _ = self.listener.accept()
        except OSError:
            self.close_listener()
            self.send_lines("425 Can't open data connection.")
            return None
        self.close_listener()
        conn.settimeout(DATA_TIMEOUT)
        return conn

    def send_data(self, payload, fail_after=None, piece=0, pause_ms=0, short_after=None,
                  announce=None):
        conn = self.open_data(announce)
        if conn is None:
            return
        try:
            if short_after is not None:
                conn.sendall(payload[:short_after])
            elif fail_after is not None:
                conn.sendall(payload[:fail_after])
            elif piece > 0:
                for start in range(0, len(payload), piece):
                    conn.sendall(payload[start:start + piece])
                    time.sleep(pause_ms / 1000.0)
            else:
                conn.sendall(payload)
        except OSError as err:
            self.log("data send failed: %s" % err)
            fail_after = 0
        finally:
            conn.close()
        if fail_after is not None:
            self.send_lines("426 Connection closed; transfer aborted.")
        else:
            self.send_lines("226 Transfer complete.")

    def listing(self, arg, field):
        words = [w for w in arg.split(" ") if w and not w.startswith("-")]
        folder = self.resolve(words[0]) if words else self.cwd
        entry = self.script.tree.get(self.script.canonical(folder))
        if entry is None:
            self.send_lines("550 %s: No such file or directory." % (words[0] if words else folder))
            return
        self.send_data(script_bytes(entry, field) or b"")

    def cmd_LIST(self, arg):
        self.listing(arg, "list")

    def cmd_MLSD(self, arg):
        self.listing(arg, "mlsd")

    def cmd_NLST(self, arg):
        self.listing(arg, "nlst")

    def cmd_RETR(self, arg):
        offset, self.rest_offset = self.rest_offset, 0
        entry = self.script.files.get(self.script.canonical(self.resolve(arg)))
        if entry is None or entry.get("refuse"):
            self.close_listener()
            self.send_lines("550 %s: Permission denied." % arg)
            return
        content = script_bytes(entry, "content") or b""
        short_after = entry.get("short_after")
        if short_after is not None:
            short_after = max(0, short_after - offset)
        self.send_data(content[offset:], entry.get("fail_after"), entry.get("piece_bytes", 0),
                       entry.get("pause_ms", 0), short_after,
                       len(content) if entry.get("announce_size") else None)

    def cmd_SIZE(self, arg):
        remote = self.script.canonical(self.resolve(arg))
        entry = self.script.files.get(remote)
        target = os.path.join(self.upload_dir, os.fsencode(remote.lstrip("/")))
        if os.path.isfile(target):
            self.send_lines("213 %d" % os.path.getsize(target))
        elif entry is not None and not entry.get("refuse"):
            self.send_lines("213 %d" % len(script_bytes(entry, "content") or b""))
        else:
            self.send_lines("550 %s: No such file." % arg)

    def cmd_STOR(self, arg):
        offset, self.rest_offset = self.rest_offset, 0
        remote = self.resolve(arg)
        entry = self.script.files.get(remote)
        if remote == "/" or (entry is not None and entry.get("refuse")):
            self.close_listener()
            self.send_lines("550 %s: Permission denied." % arg)
            return
        # normalize() removed every '..', so the target stays inside the folder.
        target = os.path.join(self.upload_dir, os.fsencode(remote.lstrip("/")))
        try:
            os.makedirs(os.path.dirname(target), exist_ok=True)
        except OSError as err:
            self.log("cannot make the folder for %s: %s" % (remote, err))
            self.close_listener()
            self.send_lines("550 %s: Cannot create the file." % arg)
            return
        conn = self.open_data()
        if conn is None:
            return
        mode = "r+b" if offset > 0 and os.path.exists(target) else "wb"
        limit = entry.get("store_limit") if entry is not None else None
        try:
            with open(target, mode) as out:
                out.seek(offset)
                out.truncate()
                while True:
                    chunk = conn.recv(65536)
                    if not chunk:
                        break
                    if limit is not None:
                        chunk = chunk[:max(0, limit - out.tell())]
                    out.write(chunk)
        except OSError as err:
            self.log("upload of %s failed: %s" % (remote, err))
            conn.close()
            self.send_lines("426 Connection closed; transfer aborted.")
            return
        conn.close()
        self.send_lines("226 Transfer complete.")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--script", required=True, help="JSON script file")
    parser.add_argument("--transcript", required=True,
                        help="file receiving every command line, one per line")
    parser.add_argument("--upload-dir", required=True,
                        help="folder receiving uploaded files under their remote paths")
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args(argv)

    with open(args.script, "rb") as f:
        Session.script = Script(json.load(f))
    os.makedirs(args.upload_dir, exist_ok=True)
    Session.upload_dir = os.fsencode(os.path.abspath(args.upload_dir))
    Session.transcript = open(args.transcript, "ab")

    server = Server(("127.0.0.1", args.port), Session)

    def on_term(signum, frame):
        raise SystemExit(0)
    signal.signal(signal.SIGTERM, on_term)

    sys.stdout.write("PORT %d\n" % server.server_address[1])
    sys.stdout.flush()
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()
        Session.transcript.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
