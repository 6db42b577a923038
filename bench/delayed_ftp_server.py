#!/usr/bin/python3
"""An FTP server as far away as a distant one: the tests' pyftpdlib server
(tests/support/pyftpd_server.py) with one thread per connection, holding every
reply and the first byte of every data connection for a fixed delay (40 ms
unless --delay-ms says otherwise), so that round trips cost what they cost over
a real network while the bytes still move at loopback speed.

Listens on 127.0.0.1 only, prints one line "PORT <n>" on stdout once it
accepts connections, logs to stderr and exits cleanly on SIGTERM. Takes the
test server's options (--root, --anonymous, --user/--password,
--max-cons-per-ip, --no-mlsd, ...).

    /usr/bin/python3 bench/delayed_ftp_server.py --root DIR --anonymous [--delay-ms 40]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                "..", "tests", "support"))

import pyftpd_server  # noqa: E402

DEFAULT_DELAY_MS = "40"


def main(argv):
    args = list(argv)
    if not any(a == "--delay-ms" or a.startswith("--delay-ms=") for a in args):
        args += ["--delay-ms", DEFAULT_DELAY_MS]
    return pyftpd_server.main(["--threaded"] + args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
