#!/usr/bin/python3
"""Real FTP server for the integration tests, built on pyftpdlib.

Listens on 127.0.0.1 only, prints one line "PORT <n>" on stdout once it
accepts connections, logs to stderr and exits cleanly on SIGTERM.
"""

import argparse
import logging
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

FULL_PERMISSIONS = "elradfmwMT"
UNIX_FACTS = ["unix.mode", "unix.uid", "unix.gid"]


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True, help="folder served as /")
    parser.add_argument("--user", default=None)
    parser.add_argument("--password", default=None)
    parser.add_argument("--anonymous", action="store_true",
                        help="allow anonymous login, with write permissions")
    parser.add_argument("--port", type=int, default=0,
                        help="port to listen on, 0 for any free port")
    parser.add_argument("--passive-ports", default=None, metavar="FIRST-LAST",
                        help="range of passive data ports, e.g. 60000-60100")
    parser.add_argument("--no-mlsd", action="store_true",
                        help="remove MLSD and MLST so that clients must use LIST")
    parser.add_argument("--unix-facts", action="store_true",
                        help="send UNIX.mode, UNIX.uid and UNIX.gid in MLSD lines")
    parser.add_argument("--tls-cert", default=None,
                        help="offer FTP over TLS with this certificate (PEM)")
    parser.add_argument("--tls-key", default=None, help="the certificate's key (PEM)")
    parser.add_argument("--send-rate", type=int, default=0, metavar="BYTES",
                        help="send data at most this many bytes per second (0: no limit)")
    args = parser.parse_args(argv)
    if (args.tls_cert is None) != (args.tls_key is None):
        parser.error("--tls-cert and --tls-key go together")
    if args.send_rate and args.tls_cert:
        parser.error("--send-rate works on plain data connections only")
    if (args.user is None) != (args.password is None):
        parser.error("--user and --password go together")
    if args.user is None and not args.anonymous:
        parser.error("give --user/--password, --anonymous or both")
    if not os.path.isdir(args.root):
        parser.error("root folder does not exist: %s" % args.root)
    return args


def parse_port_range(text):
    first, sep, last = text.partition("-")
    if not sep:
        raise ValueError("expected FIRST-LAST, got %r" % text)
    first, last = int(first), int(last)
    if not (0 < first <= last < 65536):
        raise ValueError("bad passive port range %r" % text)
    return range(first, last + 1)


def make_handler(args):
    base = FTPHandler
    if args.tls_cert:
        # Needs python3-openssl; imported only when asked for.
        from pyftpdlib.handlers import TLS_FTPHandler
        base = TLS_FTPHandler

    commands = dict(base.proto_cmds)
    if args.no_mlsd:
        # FEAT and HELP are built from this table, so both stop announcing MLSD.
        commands.pop("MLSD", None)
        commands.pop("MLST", None)

    class Handler(base):
        proto_cmds = commands
        # Data connections stay on the control connection's local address
        # (127.0.0.1); only the client's own host may connect to them.
        permit_foreign_addresses = False
        permit_privileged_ports = False
        passive_ports = (parse_port_range(args.passive_ports)
                         if args.passive_ports else None)

        def __init__(self, *a, **kw):
            base.__init__(self, *a, **kw)
            if args.unix_facts:
                for fact in UNIX_FACTS:
                    if fact in self._available_facts and fact not in self._current_facts:
                        self._current_facts.append(fact)

    if args.send_rate:
        class Throttled(ThrottledDTPHandler):
            write_limit = args.send_rate
        Handler.dtp_handler = Throttled

    return Handler


def main(argv):
    args = parse_args(argv)
    logging.basicConfig(stream=sys.stderr, level=logging.INFO,
                        format="pyftpd[%(process)d] %(message)s")

    authorizer = DummyAuthorizer()
    root = os.path.abspath(args.root)
    if args.user is not None:
        authorizer.add_user(args.user, args.password, root, perm=FULL_PERMISSIONS)
    if args.anonymous:
        authorizer.add_anonymous(root, perm=FULL_PERMISSIONS)

    handler = make_handler(args)
    if args.tls_cert:
        handler.certfile = args.tls_cert
        handler.keyfile = args.tls_key
        handler.tls_control_required = False
        handler.tls_data_required = False
    handler.authorizer = authorizer
    handler.banner = "pyftpdlib test server ready."

    server = FTPServer(("127.0.0.1", args.port), handler)

    # serve_forever turns SystemExit into an orderly shutdown.
    def on_term(signum, frame):
        raise SystemExit(0)
    signal.signal(signal.SIGTERM, on_term)

    sys.stdout.write("PORT %d\n" % server.address[1])
    sys.stdout.flush()
    server.serve_forever(timeout=0.5)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
