#!/usr/bin/python3
"""An FTP server as far away as a distant one: pyftpdlib, one thread per
connection, holding every reply and the first byte of every data connection
for a fixed delay (40 ms by default), so that round trips cost what they cost
over a real network while the bytes still move at loopback speed.

Listens on 127.0.0.1 only, prints one line "PORT <n>" on stdout once it
accepts connections, logs to stderr and exits cleanly on SIGTERM.

    /usr/bin/python3 bench/delayed_ftp_server.py --root DIR --anonymous [--delay-ms 40]
"""

import argparse
import errno
import logging
import os
import signal
import sys
import time
import warnings

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import ThreadedFTPServer

FULL_PERMISSIONS = "elradfmwMT"


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", required=True, help="folder served as /")
    parser.add_argument("--user", default=None)
    parser.add_argument("--password", default=None)
    parser.add_argument("--anonymous", action="store_true",
                        help="allow anonymous login, with write permissions")
    parser.add_argument("--port", type=int, default=0,
                        help="port to listen on, 0 for any free port")
    parser.add_argument("--delay-ms", type=float, default=40.0,
                        help="held before each reply and each data connection's first byte")
    parser.add_argument("--max-cons-per-ip", type=int, default=0,
                        help="refuse further logins from one address (0: no limit)")
    parser.add_argument("--no-mlsd", action="store_true",
                        help="remove MLSD and MLST so that clients must use LIST")
    args = parser.parse_args(argv)
    if (args.user is None) != (args.password is None):
        parser.error("--user and --password go together")
    if args.user is None and not args.anonymous:
        parser.error("give --user/--password, --anonymous or both")
    if not os.path.isdir(args.root):
        parser.error("root folder does not exist: %s" % args.root)
    if args.delay_ms < 0:
        parser.error("--delay-ms must not be negative")
    return args


class ThreadSafeFS(AbstractedFS):
    """CWD without os.chdir: the process's folder is shared by every
    connection's thread, and one thread's chdir would pull it from under the
    others (or into a folder that is later removed)."""

    def chdir(self, path):
        if not os.path.isdir(path):
            raise OSError(errno.ENOENT, os.strerror(errno.ENOENT), path)
        if not os.access(path, os.X_OK):
            raise OSError(errno.EACCES, os.strerror(errno.EACCES), path)
        self.cwd = self.fs2ftp(path)


def make_handlers(args):
    delay = args.delay_ms / 1000.0

    class DelayedDTP(DTPHandler):
        # Each connection has its own thread and I/O loop: sleeping here holds
        # only this connection, as distance would.
        _held = False

        def _hold_once(self):
            if not self._held:
                self._held = True
                time.sleep(delay)

        def push(self, data):
            self._hold_once()
            DTPHandler.push(self, data)

        def push_with_producer(self, producer):
            self._hold_once()
            DTPHandler.push_with_producer(self, producer)

        def handle_read(self):
            self._hold_once()
            DTPHandler.handle_read(self)

        handle_read_event = handle_read

    commands = dict(FTPHandler.proto_cmds)
    if args.no_mlsd:
        commands.pop("MLSD", None)
        commands.pop("MLST", None)

    class DelayedHandler(FTPHandler):
        proto_cmds = commands
        dtp_handler = DelayedDTP
        abstracted_fs = ThreadSafeFS
        permit_foreign_addresses = False
        permit_privileged_ports = False

        def respond(self, resp, logfun=logging.debug):
            time.sleep(delay)
            FTPHandler.respond(self, resp, logfun)

    return DelayedHandler


def main(argv):
    args = parse_args(argv)
    logging.basicConfig(stream=sys.stderr, level=logging.WARNING,
                        format="delayed-ftpd[%(process)d] %(message)s")
    # Anonymous writes are what the benchmark does.
    warnings.filterwarnings("ignore", message="write permissions assigned")
    authorizer = DummyAuthorizer()
    root = os.path.abspath(args.root)
    os.chdir("/")
    if args.user is not None:
        authorizer.add_user(args.user, args.password, root, perm=FULL_PERMISSIONS)
    if args.anonymous:
        authorizer.add_anonymous(root, perm=FULL_PERMISSIONS)

    handler = make_handlers(args)
    handler.authorizer = authorizer
    handler.banner = "delayed test server ready (%g ms per reply)." % args.delay_ms

    server = ThreadedFTPServer(("127.0.0.1", args.port), handler)
    server.max_cons = 256
    server.max_cons_per_ip = args.max_cons_per_ip

    def on_term(signum, frame):
        raise SystemExit(0)
    signal.signal(signal.SIGTERM, on_term)

    sys.stdout.write("PORT %d\n" % server.address[1])
    sys.stdout.flush()
    server.serve_forever(timeout=0.5)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
