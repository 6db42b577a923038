#!/usr/bin/python3
"""Real FTP server for the integration tests, built on pyftpdlib.

Listens on 127.0.0.1 only, prints one line "PORT <n>" on stdout once it
accepts connections, logs to stderr and exits cleanly on SIGTERM.
"""

import argparse
import errno
import hashlib
import io
import logging
import os
import signal
import socket
import sys
import threading
import time
import zlib

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer, ThreadedFTPServer

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
    parser.add_argument("--receive-rate", type=int, default=0, metavar="BYTES",
                        help="receive data at most this many bytes per second (0: no limit)")
    parser.add_argument("--receive-buffer", type=int, default=0, metavar="BYTES",
                        help="the kernel's receive buffer of data connections, as small as "
                             "over a slow link (0: the kernel's own, which grows)")
    parser.add_argument("--hash", action="store_true",
                        help="offer HASH (SHA-256, SHA-1, MD5; OPTS HASH chooses)")
    parser.add_argument("--x-hash", action="store_true",
                        help="offer XSHA256, XSHA1, XMD5 and XCRC")
    parser.add_argument("--corrupt", action="store_true",
                        help="change one byte of every file stored and of every file sent")
    parser.add_argument("--no-rename-over", action="store_true",
                        help="refuse RNTO onto a name that exists")
    parser.add_argument("--refuse-hidden-stor", action="store_true",
                        help="refuse STOR and APPE of names beginning with a dot (553)")
    parser.add_argument("--no-mfmt", action="store_true",
                        help="remove MFMT from the commands")
    parser.add_argument("--list-offset", type=int, default=None, metavar="MINUTES",
                        help="LIST shows local times this many minutes ahead of UTC "
                             "(MLSD stays in UTC)")
    parser.add_argument("--later-tls-cert", default=None,
                        help="connections after the first show this certificate instead")
    parser.add_argument("--later-tls-key", default=None, help="that certificate's key")
    parser.add_argument("--threaded", action="store_true",
                        help="one thread per connection, so a slow one holds no other")
    parser.add_argument("--delay-ms", type=float, default=0.0,
                        help="hold every reply and each data connection's first byte")
    parser.add_argument("--max-cons-per-ip", type=int, default=0,
                        help="refuse further connections from one address (0: no limit)")
    parser.add_argument("--drop-once", default=None, metavar="NAME",
                        help="the first RETR or STOR of a file of this name loses its "
                             "control and data connection halfway")
    args = parser.parse_args(argv)
    if (args.tls_cert is None) != (args.tls_key is None):
        parser.error("--tls-cert and --tls-key go together")
    if (args.send_rate or args.receive_rate) and args.tls_cert:
        parser.error("--send-rate and --receive-rate work on plain data connections only")
    if (args.later_tls_cert is None) != (args.later_tls_key is None):
        parser.error("--later-tls-cert and --later-tls-key go together")
    if args.later_tls_cert and not args.tls_cert:
        parser.error("--later-tls-cert needs --tls-cert")
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


class ThreadSafeFS(AbstractedFS):
    """CWD without os.chdir: the process's folder is shared by the threads of
    a threaded server, and one thread's chdir would pull it from under the
    others."""

    def chdir(self, path):
        if not os.path.isdir(path):
            raise OSError(errno.ENOENT, os.strerror(errno.ENOENT), path)
        if not os.access(path, os.X_OK):
            raise OSError(errno.EACCES, os.strerror(errno.EACCES), path)
        self.cwd = self.fs2ftp(path)


def make_dtp(args, handler_base):
    delay = args.delay_ms / 1000.0
    drop = {"name": args.drop_once, "lock": threading.Lock()}

    # TLS keeps its own data handler; throttling is for plain servers.
    base = handler_base.dtp_handler
    if (args.send_rate or args.receive_rate) and base is DTPHandler:
        base = ThrottledDTPHandler

    class Dtp(base):
        write_limit = args.send_rate
        read_limit = args.receive_rate
        _held = False
        _counted = 0
        _cut_at = None  # bytes after which this transfer is cut

        def __init__(self, sock, cmd_channel):
            if args.receive_buffer:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, args.receive_buffer)
            base.__init__(self, sock, cmd_channel)

        def _hold_once(self):
            if delay and not self._held:
                self._held = True
                time.sleep(delay)

        def _arm(self):
            name = drop["name"]
            if not name or self._cut_at is not None or self.file_obj is None:
                return
            path = getattr(self.file_obj, "name", "")
            base = os.path.basename(str(path))
            # An upload's temporary (".NAME.TAG.velmora-upload") counts as the file.
            if base != name and not (base.startswith("." + name + ".") and
                                     base.endswith(".velmora-upload")):
                return
            with drop["lock"]:
                if drop["name"] is None:
                    return
                drop["name"] = None
            size = os.path.getsize(path) if self.receive is False else None
            self._cut_at = max(1, (size or 2 * 65536) // 2)

        def _count(self, n):
            self._counted += n
            if self._cut_at is not None and self._counted >= self._cut_at:
                # The whole connection goes, as when a line breaks.
                cmd = self.cmd_channel
                self.close()
                cmd.close()
                return True
            return False

        def push(self, data):
            self._hold_once()
            base.push(self, data)

        def push_with_producer(self, producer):
            self._hold_once()
            self._arm()
            base.push_with_producer(self, producer)

        def send(self, data):
            n = base.send(self, data)
            if n:
                self._count(n)
            return n

        def handle_read(self):
            self._hold_once()
            self._arm()
            before = self.tot_bytes_received
            base.handle_read(self)
            if self.tot_bytes_received > before:
                self._count(self.tot_bytes_received - before)

        handle_read_event = handle_read

    return Dtp


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
    if args.no_mfmt:
        commands.pop("MFMT", None)
    extra_feats = []
    if args.hash:
        commands["HASH"] = dict(perm="r", auth=True, arg=True,
                                help="Syntax: HASH <SP> file-name (checksum of a file).")
    if args.x_hash:
        for name in X_HASHES:
            commands[name] = dict(perm="r", auth=True, arg=True,
                                  help="Syntax: %s <SP> file-name (checksum of a file)." % name)
            extra_feats.append(name)

    delay = args.delay_ms / 1000.0
    later = {"context": None, "seen": 0, "lock": threading.Lock()}
    if args.later_tls_cert:
        from OpenSSL import SSL
        ctx = SSL.Context(SSL.TLS_SERVER_METHOD)
        ctx.use_certificate_chain_file(args.later_tls_cert)
        ctx.use_privatekey_file(args.later_tls_key)
        later["context"] = ctx

    class Handler(base):
        proto_cmds = commands
        use_gmt_times = args.list_offset is None
        hash_algorithm = "SHA-256"
        dtp_handler = make_dtp(args, base)
        # Corrupted bytes go through the ordinary file producer; cut transfers
        # are cut by counting what send() took.
        use_sendfile = False if (args.corrupt or args.drop_once) else base.use_sendfile
        abstracted_fs = ThreadSafeFS if args.threaded else AbstractedFS
        # Data connections stay on the control connection's local address
        # (127.0.0.1); only the client's own host may connect to them.
        permit_foreign_addresses = False
        permit_privileged_ports = False
        passive_ports = (parse_port_range(args.passive_ports)
                         if args.passive_ports else None)

        def __init__(self, *a, **kw):
            base.__init__(self, *a, **kw)
            self._extra_feats = list(self._extra_feats) + extra_feats
            if later["context"] is not None:
                with later["lock"]:
                    later["seen"] += 1
                    if later["seen"] > 1:
                        self.ssl_context = later["context"]
            if args.unix_facts:
                for fact in UNIX_FACTS:
                    if fact in self._available_facts and fact not in self._current_facts:
                        self._current_facts.append(fact)

        def ftp_FEAT(self, line):
            if not args.hash:
                return base.ftp_FEAT(self, line)
            # The starred algorithm is the one HASH answers in.
            names = ";".join(n + ("*" if n == self.hash_algorithm else "")
                             for n in HASH_ALGORITHMS)
            kept = self._extra_feats
            self._extra_feats = kept + ["HASH " + names]
            try:
                return base.ftp_FEAT(self, line)
            finally:
                self._extra_feats = kept

        def ftp_OPTS(self, line):
            word, _, value = line.partition(" ")
            if not (args.hash and word.upper() == "HASH"):
                return base.ftp_OPTS(self, line)
            if not value:
                self.respond("200 " + self.hash_algorithm)
            elif value.upper() in HASH_ALGORITHMS:
                self.hash_algorithm = value.upper()
                self.respond("200 " + self.hash_algorithm)
            else:
                self.respond("504 Unknown algorithm.")

        def _digest(self, path, name):
            try:
                with open(path, "rb") as f:
                    data = f.read()
            except OSError as err:
                self.respond("550 %s." % err.strerror)
                return None
            if name == "CRC32":
                return data, "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)
            return data, hashlib.new(HASH_ALGORITHMS[name], data).hexdigest()

        def ftp_HASH(self, path):
            got = self._digest(path, self.hash_algorithm)
            if got:
                data, digest = got
                self.respond("213 %s 0-%d %s %s" % (self.hash_algorithm, len(data), digest,
                                                    os.path.basename(path)))

        def _x_hash(self, path, name):
            got = self._digest(path, name)
            if got:
                self.respond("250 " + got[1])

        def ftp_XSHA256(self, path):
            self._x_hash(path, "SHA-256")

        def ftp_XSHA1(self, path):
            self._x_hash(path, "SHA-1")

        def ftp_XMD5(self, path):
            self._x_hash(path, "MD5")

        def ftp_XCRC(self, path):
            self._x_hash(path, "CRC32")

        def ftp_RNTO(self, path):
            if args.no_rename_over and os.path.lexists(path):
                self._rnfr = None
                self.respond("550 Will not rename onto an existing file.")
                return None
            return base.ftp_RNTO(self, path)

        def ftp_STOR(self, file, mode="w"):
            if args.refuse_hidden_stor and os.path.basename(file).startswith("."):
                self._restart_position = 0
                self.respond("553 Hidden names are not allowed here.")
                return None
            return base.ftp_STOR(self, file, mode)

        def on_file_received(self, file):
            if args.corrupt:
                flip_one_byte(file)
            return base.on_file_received(self, file)

        def respond(self, resp, logfun=logging.debug):
            if delay:
                time.sleep(delay)
            base.respond(self, resp, logfun)

    if args.corrupt:
        plain_fs = Handler.abstracted_fs

        class CorruptingFS(plain_fs):
            def open(self, filename, mode):
                f = plain_fs.open(self, filename, mode)
                if "r" not in mode or "+" in mode:
                    return f
                with f:
                    data = bytearray(f.read())
                if data:
                    data[len(data) // 2] ^= 0xFF
                copy = io.BytesIO(bytes(data))
                copy.name = filename
                return copy
        Handler.abstracted_fs = CorruptingFS

    if args.list_offset is not None:
        local_fs = Handler.abstracted_fs

        class UtcFactsFS(local_fs):
            # MLSD facts are UTC whatever LIST shows.
            def format_mlsx(self, *a, **kw):
                lines = local_fs.format_mlsx(self, *a, **kw)
                saved = self.cmd_channel.use_gmt_times
                self.cmd_channel.use_gmt_times = True
                try:
                    first = next(lines, None)
                finally:
                    self.cmd_channel.use_gmt_times = saved
                if first is not None:
                    yield first
                    yield from lines
        Handler.abstracted_fs = UtcFactsFS

        def ftp_MDTM(self, path, _base=Handler.ftp_MDTM):
            self.use_gmt_times = True
            try:
                return _base(self, path)
            finally:
                self.use_gmt_times = False
        Handler.ftp_MDTM = ftp_MDTM

    return Handler


# HASH names and hashlib's.
HASH_ALGORITHMS = {"SHA-256": "sha256", "SHA-1": "sha1", "MD5": "md5", "CRC32": None}
X_HASHES = ["XSHA256", "XSHA1", "XMD5", "XCRC"]


def flip_one_byte(path):
    with open(path, "r+b") as f:
        data = f.read()
        if data:
            f.seek(len(data) // 2)
            f.write(bytes([data[len(data) // 2] ^ 0xFF]))


def main(argv):
    args = parse_args(argv)
    if args.list_offset is not None:
        # POSIX zones count west as positive: "X-2" is two hours east of UTC.
        minutes = -args.list_offset
        sign = "-" if minutes < 0 else ""
        os.environ["TZ"] = "VLM%s%d:%02d" % (sign, abs(minutes) // 60, abs(minutes) % 60)
        time.tzset()
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

    server_class = ThreadedFTPServer if args.threaded else FTPServer
    server = server_class(("127.0.0.1", args.port), handler)
    server.max_cons_per_ip = args.max_cons_per_ip
    if args.threaded:
        os.chdir("/")

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
