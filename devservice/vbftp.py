"""FTP side of the stand-in service: account photo areas and the read-only update area (pyftpdlib)."""

import errno
import logging
import os
import socket
import struct
import sys
import time

# pyftpdlib loads pyOpenSSL for its TLS handler when present; FTP here is plain, and skipping that import
# saves a good part of the start-up time.
sys.modules.setdefault("OpenSSL", None)

from pyftpdlib.authorizers import AuthenticationFailed
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

import vbstore

# A handler of our own keeps pyftpdlib from installing its chatty default logging.
_log = logging.getLogger("pyftpdlib")
_log.addHandler(logging.StreamHandler(sys.stderr))
_log.setLevel(logging.WARNING)

ACCOUNT_PERMS = "elradfmw"
UPDATE_PERMS = "elr"
FAULT_COMMANDS = {"STOR": "ftp_stor", "RETR": "ftp_retr", "MKD": "ftp_mkd", "XMKD": "ftp_mkd", "CWD": "ftp_cwd", "XCWD": "ftp_cwd",
                  "CDUP": "ftp_cwd", "DELE": "ftp_dele"}
NO_FAULT_COMMANDS = {"USER", "PASS", "QUIT"}


class Authorizer:
    """Accounts come from the store, so accounts added while running can log in at once."""

    def __init__(self, store):
        self.store = store
        self.homes = {}

    def validate_authentication(self, username, password, handler):
        address = handler.socket.getsockname()[0]
        if self.store.take_fault("ftp_login", address, user=username):
            raise AuthenticationFailed("Login refused.")
        if username == vbstore.UPDATE_USER:
            if password != vbstore.UPDATE_PASSWORD:
                raise AuthenticationFailed("Authentication failed.")
            self.homes[username] = self.store.update_home()
            return
        acc = self.store.account_by_email(username)
        if acc is None or acc["password"] != password:
            raise AuthenticationFailed("Authentication failed.")
        home = self.store.account_home(acc["user_id"])
        os.makedirs(home, exist_ok=True)
        # An album that already holds photos got its folder from an earlier
        # upload; the client only makes the folder of an empty album.
        for album in self.store.albums_of(acc["user_id"]):
            if album["photo_count"] > 0:
                os.makedirs(os.path.join(home, str(album["id"])), exist_ok=True)
        self.homes[username] = home

    def get_home_dir(self, username):
        return self.homes[username]

    def get_perms(self, username):
        return UPDATE_PERMS if username == vbstore.UPDATE_USER else ACCOUNT_PERMS

    def has_perm(self, username, perm, path=None):
        return perm in self.get_perms(username)

    def get_msg_login(self, username):
        return "Welcome."

    def get_msg_quit(self, username):
        return "Goodbye."

    def impersonate_user(self, username, password):
        pass

    def terminate_impersonation(self, username):
        pass


class FailingFile:
    """Writes the first `limit` bytes, then fails like a broken disk or connection would."""

    def __init__(self, f, limit):
        self._f = f
        self._left = limit

    def write(self, data):
        if len(data) > self._left:
            self._f.write(data[:self._left])
            self._left = 0
            raise OSError(errno.EIO, "Transfer failed")
        self._left -= len(data)
        return self._f.write(data)

    def __getattr__(self, name):
        return getattr(self._f, name)


class FaultFS(AbstractedFS):
    def open(self, filename, mode):
        f = super().open(filename, mode)
        limit = getattr(self.cmd_channel, "stor_limit", None)
        if limit is not None and ("w" in mode or "a" in mode or "+" in mode):
            self.cmd_channel.stor_limit = None
            return FailingFile(f, limit)
        return f


def reset_socket(channel):
    """Closes with a TCP RST: linger on, zero seconds."""
    try:
        channel.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except (OSError, AttributeError):
        pass


class LimitedProducer:
    """The first `limit` bytes of a download's producer."""

    def __init__(self, producer, limit):
        self.producer = producer
        self.left = limit

    def more(self):
        data = self.producer.more()[:self.left] if self.left > 0 else b""
        self.left -= len(data)
        return data


class FastDTP(DTPHandler):
    # Large reads keep a 20 MB STOR well above 100 MB/s on loopback.
    ac_in_buffer_size = 262144
    ac_out_buffer_size = 262144
    retr_stall = None

    def use_sendfile(self):
        return self.retr_stall is None and super().use_sendfile()

    def push_with_producer(self, producer):
        fault = self.cmd_channel.retr_stall
        if fault is not None:
            self.cmd_channel.retr_stall = None
            self.retr_stall = fault
            producer = LimitedProducer(producer, fault["bytes"])
        super().push_with_producer(producer)

    def initiate_send(self):
        fault = self.retr_stall
        if fault is not None and self.tot_bytes_sent >= fault["bytes"]:
            # The first bytes went; now neither more data nor the end of it, until the client gives up.
            self.retr_stall = None
            self.del_channel()
            self.cmd_channel.hold(fault, self.cmd_channel.close, hangup="RETR")
            return
        super().initiate_send()

    def enable_receiving(self, type, cmd):
        super().enable_receiving(type, cmd)
        fault = self.cmd_channel.stor_stall
        if fault is not None:
            # The data connection stays open, but nothing is read from it and no reply follows.
            self.cmd_channel.stor_stall = None
            self.del_channel()
            self.cmd_channel.hold(fault, self.cmd_channel.close)

    def handle_read(self):
        super().handle_read()
        limit = self.cmd_channel.reset_after
        if limit is not None and self.tot_bytes_received >= limit:
            # Both connections vanish as if the network broke: RST, no reply.
            self.cmd_channel.reset_after = None
            reset_socket(self)
            reset_socket(self.cmd_channel)
            self.cmd_channel.close()

    handle_read_event = handle_read  # the base class binds its own handle_read under this name


class Handler(FTPHandler):
    store = None
    dtp_handler = FastDTP
    abstracted_fs = FaultFS
    banner = "velbrook FTP ready."
    stor_limit = None
    stor_stall = None
    retr_stall = None
    reset_after = None

    def pre_process_command(self, line, cmd, arg):
        address = self.socket.getsockname()[0]
        self.store.log_ftp({"mirror": self.store.mirror_of(address), "user": self.username, "cmd": cmd,
                            "arg": "******" if cmd == "PASS" else arg})
        if cmd == "QUIT" and self.authenticated:
            fault = self.store.take_fault("ftp_quit", address, user=self.username)
            if fault is not None:
                self.hold(fault, self.close)  # no goodbye
                return
        if self.authenticated and cmd not in NO_FAULT_COMMANDS:
            fault = self.store.take_fault(FAULT_COMMANDS.get(cmd, "ftp_other"), address, {"arg": arg},
                                          user=self.username)
            if fault is not None:
                kind = fault["kind"]
                if kind == "refuse":
                    self.respond("550 Refused by the service.")
                    return
                if kind == "fail_after":
                    self.stor_limit = fault["bytes"]
                elif kind == "reset":
                    self.reset_after = fault["bytes"]
                elif kind == "stall" and cmd == "RETR":
                    self.retr_stall = fault
                elif kind == "stall":
                    self.stor_stall = fault
        return super().pre_process_command(line, cmd, arg)

    def hold(self, fault, then, hangup=None):
        """Keeps the connection silent until the fault's `ms` pass or the test releases stalls, then calls
        `then`; a client that gives up first ends the wait (logged as "HANGUP" with `hangup` when given)."""
        release = self.store.stall_release
        deadline = time.time() + fault["ms"] / 1000.0 if "ms" in fault else None
        mirror = self.store.mirror_of(self.socket.getsockname()[0])

        def check():
            if self._closed:
                if hangup:
                    self.store.log_ftp({"mirror": mirror, "user": self.username, "cmd": "HANGUP", "arg": hangup})
                return
            if release.is_set() or (deadline is not None and time.time() >= deadline):
                then()
                return
            self.ioloop.call_later(0.05, check, _errback=self.handle_error)

        check()


class FtpService:
    """One FTP listener per address, all on one port, served by one IO loop thread."""

    def __init__(self, store, addresses, port):
        handler = type("BoundHandler", (Handler,), {"store": store, "authorizer": Authorizer(store)})
        self.ioloop = IOLoop()
        self.servers = []
        try:
            for address in addresses:
                server = FTPServer((address, port), handler, ioloop=self.ioloop)
                port = server.socket.getsockname()[1]
                self.servers.append(server)
        except OSError:
            self.close()
            raise
        self.port = port
        self.stopping = False

    def run(self):
        while not self.stopping:
            self.ioloop.loop(timeout=0.05, blocking=False)
        self.close()

    def close(self):
        for server in self.servers:
            try:
                server.close_all()
            except Exception:
                pass
        self.servers = []
