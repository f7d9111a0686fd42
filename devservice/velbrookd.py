#!/usr/bin/python3
"""Stand-in velbrook service: the HTTP endpoints, the account FTP areas and the update area, on loopback.

velbrookd.py --state DIR [--seed FILE] [--http-port N] [--ftp-port N] [--web ADDR] [--wangtong ADDR]
             [--dianxin ADDR] [--idle-timeout SECONDS]
See README.md beside this file for the endpoints, the control interface and the state view.
"""

import argparse
import errno
import json
import os
import select
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import vbftp  # noqa: E402
import vbstore  # noqa: E402

MARK = "</\\/>"
ACK = MARK + "1" + MARK
FIELD = "/\\/"
UPLOAD_LINE = "POST /vbrkClient/uploadPhoto HTTP/1.1"

ROUTES = {
    ("GET", "/client2/signin.jsp"): "signin",
    ("GET", "/client2/getalbumlist.jsp"): "albumlist",
    ("GET", "/client2/newalbum_1.jsp"): "newalbum",
    ("GET", "/client2/getphotoid.jsp"): "photoid",
    ("GET", "/clientUploadGetKey.jsp"): "uploadkey",
    ("POST", "/vbrkClient/uploadPhoto"): "upload",
    ("GET", "/client2/newPhoto_1.jsp"): "commit",
    ("GET", "/client2/getlatestversion_1.jsp"): "version",
}
PAGES = {
    "/": "velbrook photo albums",
    "/userForm2.faces": "Register a velbrook account",
    "/getPassword.faces": "Forgotten password",
    "/static/helpcenter/help.faces": "velbrook help centre",
}
REASONS = {200: "OK", 400: "Bad Request", 404: "Not Found", 500: "Internal Server Error"}


def value_answer(value):
    return (MARK + str(value) + MARK).encode("utf-8")


def decode_text(raw):
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("latin-1")


def parse_query(query):
    """Percent-decoded query values; '+' stays a plus, as the client never form-encodes."""
    params = {}
    for piece in query.split("&"):
        if not piece:
            continue
        name, _, value = piece.partition("=")
        raw_name = urllib.parse.unquote_to_bytes(name.encode("latin-1"))
        raw_value = urllib.parse.unquote_to_bytes(value.encode("latin-1"))
        params.setdefault(decode_text(raw_name), decode_text(raw_value))
    return params


class UploadError(Exception):
    pass


def parse_upload_head(head, boundary):
    """Strict reading of the start of the client's multipart body, up to the file bytes.

    Returns (fields, file name, offset of the first file byte)."""
    crlf = b"\r\n"
    delim = b"--" + boundary
    if not head.startswith(delim + crlf):
        raise UploadError("body does not start with the boundary")
    pos = len(delim) + 2
    fields = {}
    for name in ("jsessionid", "key", "userId", "albumId"):
        part = b'Content-Disposition: form-data; name="' + name.encode() + b'"\r\n\r\n'
        if not head.startswith(part, pos):
            raise UploadError("field %s expected" % name)
        pos += len(part)
        nxt = head.find(crlf + delim + crlf, pos, pos + 4096)
        if nxt < 0:
            raise UploadError("field %s not terminated" % name)
        fields[name] = bytes(head[pos:nxt]).decode("latin-1")
        pos = nxt + len(delim) + 4
    part = b'Content-Disposition: form-data; name="file1"; filename="'
    if not head.startswith(part, pos):
        raise UploadError("file part expected")
    pos += len(part)
    file_head_end = b'"\r\nContent-Type: image/pjpeg\r\n\r\n'
    name_end = head.find(file_head_end, pos, pos + 8192)
    if name_end < 0:
        raise UploadError("file part head malformed")
    return fields, bytes(head[pos:name_end]).decode("latin-1"), name_end + len(file_head_end)


def upload_tail(boundary):
    """What must follow the file bytes: the submit part and the closing line."""
    delim = b"--" + boundary
    return (b"\r\n" + delim + b"\r\nContent-Disposition: form-data; name=submitBtn\r\n\r\nsubmit\r\n" + delim +
            b"--\r\n")


def file_length_before_tail(tail_bytes, boundary):
    """Number of trailing bytes that are not file data; UploadError when the body does not end properly."""
    tail = upload_tail(boundary)
    for extra in (b"\r\n", b""):
        if tail_bytes.endswith(tail + extra):
            return len(tail) + len(extra)
    if tail_bytes.endswith(b"--\r\n") or tail_bytes.endswith(b"--\r\n\r\n"):
        raise UploadError("submit part missing")
    raise UploadError("closing boundary missing")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "velbrook/1.0"
    rbufsize = 0  # unbuffered: the upload checks for bytes beyond Content-Length on the socket itself
    store = None
    idle_timeout = 3.0

    def log_message(self, format, *args):
        pass

    def parse_request(self):
        # Tolerate raw spaces inside the target: keep method and version, join the rest.
        self.raw_line = self.raw_requestline.rstrip(b"\r\n")
        words = self.raw_line.split(b" ")
        if len(words) > 3 and words[-1].startswith(b"HTTP/"):
            self.raw_requestline = words[0] + b" " + b"%20".join(words[1:-1]) + b" " + words[-1] + b"\r\n"
        return super().parse_request()

    def do_GET(self):
        self.dispatch("GET")

    def do_POST(self):
        self.dispatch("POST")

    # ---- plumbing ----

    def local_address(self):
        return self.connection.getsockname()[0]

    def answer(self, status, body, content_type="text/html; charset=UTF-8", close=False):
        """Header and body in one write, unless a delivery fault asks for pieces."""
        kind = self.fault["kind"] if self.fault else None
        if kind in ("close_after", "truncated") and (kind == "truncated" or self.fault.get("phase") == "reply"):
            close = True
        head = "HTTP/1.1 %d %s\r\nServer: velbrook/1.0\r\nContent-Type: %s\r\n" % (
            status, REASONS.get(status, "Error"), content_type)
        if kind == "chunked":
            head += "Transfer-Encoding: chunked\r\n"
        else:
            head += "Content-Length: %d\r\n" % len(body)
        if close:
            head += "Connection: close\r\n"
        head = head.encode("latin-1") + b"\r\n"
        if self.entry is not None:
            self.entry["status"] = status
        if kind == "close_after" and self.fault.get("phase") == "reply":
            self.wfile.write((head + body)[:self.fault["bytes"]])
        elif kind == "truncated":
            self.wfile.write(head + body[:len(body) // 2])
        elif kind == "split":
            self.send_pieces([head, body], self.fault.get("ms", 300))
        elif kind == "drip":
            step = max(1, self.fault.get("bytes", 1))
            data = head + body
            self.send_pieces([data[i:i + step] for i in range(0, len(data), step)], self.fault.get("ms", 20))
        elif kind == "chunked":
            pieces = [b"%x\r\n%s\r\n" % (len(body[i:i + 7]), body[i:i + 7]) for i in range(0, len(body), 7)]
            self.send_pieces([head] + pieces + [b"0\r\n\r\n"], self.fault.get("ms", 10))
        else:
            self.wfile.write(head + body)
        if close:
            self.close_connection = True

    def send_pieces(self, pieces, gap_ms):
        """Each piece in its own write, gap_ms apart: the client sees the answer arrive in parts."""
        for i, piece in enumerate(pieces):
            if i:
                time.sleep(gap_ms / 1000.0)
            try:
                self.connection.sendall(piece)
            except OSError:
                self.close_connection = True
                return

    def endless(self):
        """Headers, then a filler byte every 50 ms until the client gives up or the test releases stalls."""
        release = self.store.stall_release
        try:
            self.connection.sendall(b"HTTP/1.1 200 OK\r\nServer: velbrook/1.0\r\nContent-Type: text/html\r\n"
                                    b"Connection: close\r\n\r\n<html>")
            deadline = time.time() + self.fault.get("ms", 600000) / 1000.0
            while not release.is_set() and time.time() < deadline:
                self.connection.sendall(b" ")
                time.sleep(0.05)
        except OSError:
            pass
        self.abort()

    def abort(self, reset=False):
        """Close without answering; a reset looks like a dead host to the client."""
        self.close_connection = True
        if reset:
            # Linger 0 makes the final close send a reset instead of a polite end of stream.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            return
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def read_exact(self, length):
        """Read length bytes; stops early when the sender goes quiet for the idle timeout or closes."""
        buf = bytearray(length)
        view = memoryview(buf)
        got = 0
        self.connection.settimeout(self.idle_timeout)
        try:
            while got < length:
                n = self.rfile.readinto(view[got:got + (4 << 20)])
                if not n:
                    break
                got += n
        except (socket.timeout, OSError):
            pass
        finally:
            self.connection.settimeout(None)
        return buf, got

    def discard(self, length):
        """Read and drop up to length bytes of body, in small pieces."""
        self.connection.settimeout(self.idle_timeout)
        try:
            while length > 0:
                piece = self.rfile.read(min(length, 1 << 20))
                if not piece:
                    break
                length -= len(piece)
        except (socket.timeout, OSError):
            pass
        finally:
            self.connection.settimeout(None)

    def bytes_pending(self):
        readable, _, _ = select.select([self.connection], [], [], 0)
        return bool(readable)

    def header_length(self):
        return len(self.raw_requestline) + sum(len(k) + len(v) + 4 for k, v in self.headers.items()) + 2

    # ---- dispatch ----

    def dispatch(self, method):
        self.fault = None
        self.entry = None
        path, _, query = self.path.partition("?")
        if path.startswith("/__control/"):
            return self.control(method, path)
        address = self.local_address()
        params = parse_query(query)
        endpoint = ROUTES.get((method, path)) or ("page" if method == "GET" and path in PAGES else None)
        self.entry = self.store.log_request({
            "time": time.time(), "mirror": self.store.mirror_of(address), "address": address, "method": method,
            "line": self.raw_line.decode("latin-1"), "path": path, "endpoint": endpoint, "params": params,
            "headers": [[k, v] for k, v in self.headers.items()], "status": None, "fault": None})
        if self.store.is_down(address):
            self.entry["fault"] = "down"
            return self.abort(reset=True)
        self.fault = self.store.take_fault(endpoint or "unknown", address, params)
        if self.fault:
            self.entry["fault"] = self.fault["kind"]
            if self.apply_fault_before_answer():
                return
        if endpoint is None:
            return self.answer(404, b"<html><body>Not found</body></html>")
        getattr(self, "ep_" + endpoint)(params)

    def apply_fault_before_answer(self):
        """Faults that replace the answer; True when the request is done with."""
        f = self.fault
        kind = f["kind"]
        if kind == "delay":
            time.sleep(f.get("ms", 0) / 1000.0)
            return False
        if kind == "drop":
            self.abort()
            return True
        if kind == "close_after" and f.get("phase", "request") == "request":
            rest = f["bytes"] - self.header_length()
            if rest > 0 and self.command == "POST":
                self.discard(min(rest, self.content_length()))
            self.abort()
            return True
        if kind == "stall":
            release = self.store.stall_release
            deadline = time.time() + f["ms"] / 1000.0 if "ms" in f else None
            while not release.is_set() and (deadline is None or time.time() < deadline):
                readable, _, _ = select.select([self.connection], [], [], 0.05)
                if readable:
                    try:
                        if not self.connection.recv(65536, socket.MSG_DONTWAIT):
                            break  # the client gave up
                    except BlockingIOError:
                        pass
                    except OSError:
                        break
            self.abort()
            return True
        if kind in ("split", "drip", "chunked", "truncated"):
            return False  # the endpoint answers; answer() delivers it as the fault says
        endpoint = ROUTES.get((self.command, self.path.partition("?")[0]), "page")
        close = endpoint in ("upload", "version")
        if endpoint == "upload":
            self.skip_body()
        if kind == "reset":
            self.abort(reset=True)
            return True
        if kind == "endless":
            self.endless()
            return True
        if kind == "refuse":
            if endpoint == "albumlist":
                self.answer(200, b"<html><body>Service busy</body></html>")
            elif endpoint == "upload":
                self.answer(400, b"error: refused", close=True)
            elif endpoint == "version":
                self.answer(200, b"0.0", "text/plain", close=True)
            elif endpoint == "page":
                self.answer(404, b"<html><body>Not found</body></html>")
            else:
                self.answer(200, value_answer(0))
        elif kind == "novalue":
            self.answer(200, b"<html>no value</html>", close=close)
        elif kind == "garbage":
            self.answer(200, bytes((i * 37 + 11) % 256 for i in range(64)).replace(b"<", b"("), close=close)
        elif kind == "value":
            self.answer(200, value_answer(f.get("value", "")), close=close)
        elif kind == "body":
            self.answer(200, f.get("body", "").encode("utf-8"), close=close)
        elif kind == "status":
            self.answer(f.get("status", 500), b"<html>error</html>", close=close)
        else:
            return False
        return True

    def content_length(self):
        text = (self.headers.get("Content-Length") or "").strip()
        return int(text) if text.isdigit() else 0

    def skip_body(self):
        self.discard(self.content_length())

    # ---- endpoints ----

    def ep_signin(self, p):
        acc = self.store.account_by_email(p.get("username", ""))
        ok = acc is not None and acc["password"] == p.get("password") and acc["may_upload"]
        self.answer(200, value_answer(acc["user_id"] if ok else 0))

    def ep_albumlist(self, p):
        albums = self.store.albums_of(vbstore.to_int(p.get("userid")))
        lines = [FIELD.join([str(a["id"]), a["name"], a["date"], str(a["photo_count"])]) for a in albums]
        self.answer(200, ("[/begin/]" + "<br/>".join(lines) + "[/end/]").encode("utf-8"))

    def ep_newalbum(self, p):
        uid = vbstore.to_int(p.get("userid"))
        name = p.get("albumname", "")
        if self.store.account_by_id(uid) is None or not name.strip():
            return self.answer(200, value_answer(0))
        aid = self.store.create_album(uid, name, p.get("albumdate", ""), p.get("description", ""))
        self.answer(200, value_answer(aid))

    def ep_photoid(self, p):
        self.answer(200, value_answer(self.store.issue_photo_id()))

    def ep_uploadkey(self, p):
        key, jsid = self.store.issue_key()
        self.answer(200, value_answer(key + FIELD + jsid))

    def ep_commit(self, p):
        self.answer(200, value_answer(self.store.commit(p)))

    def ep_version(self, p):
        self.answer(200, self.store.version().encode("utf-8"), "text/plain", close=True)

    def ep_page(self, p):
        title = PAGES[self.path.partition("?")[0]]
        self.answer(200, ("<html><head><title>%s</title></head><body><h1>%s</h1></body></html>" % (
            title, title)).encode("utf-8"))

    def ep_upload(self, p):
        self.body_left = self.content_length()
        try:
            self.upload()
        except UploadError as e:
            self.entry["error"] = str(e)
            # Take in what the client still sends, so that closing does not reset the connection before
            # the client has read the error text.
            self.discard(self.body_left)
            while self.bytes_pending() and self.connection.recv(1 << 16, socket.MSG_DONTWAIT):
                pass
            self.answer(400, ("error: %s" % e).encode("utf-8"), close=True)

    def upload(self):
        self.close_connection = True
        if self.raw_line.decode("latin-1") != UPLOAD_LINE:
            raise UploadError("bad request line")
        length_text = self.headers.get("Content-Length", "")
        if not length_text.isdigit():
            raise UploadError("Content-Length missing")
        ctype = self.headers.get("Content-Type", "")
        prefix = "multipart/form-data; boundary="
        if not ctype.startswith(prefix) or len(ctype) == len(prefix):
            raise UploadError("not multipart/form-data with a boundary")
        if "Host" not in self.headers:
            raise UploadError("Host missing")
        length = int(length_text)
        boundary = ctype[len(prefix):].encode("latin-1")
        head, got = self.read_exact(min(length, 1 << 16))
        self.body_left = length - got
        if got < len(head):
            raise UploadError("body shorter than Content-Length (%d of %d)" % (got, length))
        fields, filename, data_start = parse_upload_head(head, boundary)
        # The file bytes go straight to disk as they arrive; the closing parts are checked and cut off after.
        part = os.path.join(self.store.dir, "upload-%d.part" % threading.get_ident())
        try:
            with open(part, "w+b") as f:
                f.write(memoryview(head)[data_start:])
                chunk = bytearray(1 << 20)
                view = memoryview(chunk)
                self.connection.settimeout(self.idle_timeout)
                try:
                    while got < length:
                        n = self.rfile.readinto(view[:min(len(chunk), length - got)])
                        if not n:
                            break
                        f.write(view[:n])
                        got += n
                        self.body_left -= n
                except (socket.timeout, OSError):
                    pass
                finally:
                    self.connection.settimeout(None)
                if got < length:
                    raise UploadError("body shorter than Content-Length (%d of %d)" % (got, length))
                if self.bytes_pending():
                    raise UploadError("body longer than Content-Length")
                size = f.tell()
                keep = min(size, len(upload_tail(boundary)) + 2)
                f.seek(size - keep)
                f.truncate(size - file_length_before_tail(f.read(keep), boundary))
            self.check_upload_fields(fields)
            uid, aid = int(fields["userId"]), int(fields["albumId"])
            self.store.record_upload(fields["key"], uid, aid, filename, part)
        finally:
            if os.path.exists(part):
                os.remove(part)
        self.answer(200, ACK.encode("latin-1"), close=True)

    def check_upload_fields(self, fields):
        cookies = dict(c.strip().partition("=")[::2] for c in self.headers.get("Cookie", "").split(";"))
        if cookies.get("JSESSIONID") != fields["jsessionid"]:
            raise UploadError("cookie JSESSIONID differs from the form")
        uid = int(fields["userId"]) if fields["userId"].isdigit() else 0
        reason = self.store.key_owner_check(fields["key"], fields["jsessionid"], uid)
        if reason:
            raise UploadError(reason)
        if self.store.account_by_id(uid) is None:
            raise UploadError("unknown user")
        aid = int(fields["albumId"]) if fields["albumId"].isdigit() else 0
        if self.store.album(uid, aid) is None:
            raise UploadError("unknown album")

    # ---- control interface ----

    def control(self, method, path):
        try:
            length = self.content_length()
            # The socket is read unbuffered: one read may return only part of a large body.
            raw, got = self.read_exact(length) if length else (b"", 0)
            raw = bytes(raw[:got])
            body = json.loads(raw.decode("utf-8")) if raw.strip() else {}
            if not isinstance(body, dict):
                raise vbstore.ControlError("JSON object expected")
            result = {"ok": True}
            if method == "GET" and path == "/__control/state":
                result = self.store.view()
            elif method != "POST":
                raise vbstore.ControlError("POST expected")
            elif path == "/__control/fault":
                result["id"] = self.store.add_fault(body)
            elif path == "/__control/clear":
                self.store.clear(bool(body.get("requests")))
            elif path == "/__control/version":
                self.store.set_version(body["version"])
            elif path == "/__control/account":
                result["user_id"] = self.store.put_account(body)
            elif path == "/__control/album":
                result["id"] = self.store.put_album(body)
            elif path == "/__control/update_file":
                self.store.put_update_file(body)
            else:
                raise vbstore.ControlError("unknown control path")
            self.answer(200, json.dumps(result).encode("utf-8"), "application/json")
        except (vbstore.ControlError, ValueError, KeyError, TypeError) as e:
            self.answer(400, json.dumps({"ok": False, "error": str(e)}).encode("utf-8"), "application/json")


class Server(ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 64


def bind_http(handler, addresses, port, tries=50):
    """HTTP listeners on every address with one port; a common free port is looked for when port is 0."""
    for _ in range(tries):
        made = []
        try:
            p = port
            for address in addresses:
                made.append(Server((address, p), handler))
                p = made[0].server_address[1]
            return made
        except OSError as e:
            for srv in made:
                srv.server_close()
            if port != 0 or e.errno != errno.EADDRINUSE:
                raise
    raise OSError(errno.EADDRINUSE, "no common free HTTP port")


def main(argv=None):
    ap = argparse.ArgumentParser(description="Stand-in velbrook service")
    ap.add_argument("--state", required=True)
    ap.add_argument("--seed", default=os.path.join(HERE, "seed-demo.json"))
    ap.add_argument("--http-port", type=int, default=0)
    ap.add_argument("--ftp-port", type=int, default=0)
    ap.add_argument("--web", default="127.0.0.1")
    ap.add_argument("--wangtong", default="127.0.0.2")
    ap.add_argument("--dianxin", default="127.0.0.3")
    ap.add_argument("--idle-timeout", type=float, default=3.0)
    args = ap.parse_args(argv)

    store = vbstore.Store(args.state, args.seed)
    names = {"web": args.web, "wangtong": args.wangtong, "dianxin": args.dianxin}
    store.addresses = dict(names)
    addresses = list(dict.fromkeys(names.values()))
    handler = type("BoundHandler", (Handler,), {"store": store, "idle_timeout": args.idle_timeout})

    http = bind_http(handler, addresses, args.http_port)
    http_port = http[0].server_address[1]
    ftp = None
    for _ in range(50):
        try:
            ftp = vbftp.FtpService(store, addresses, args.ftp_port)
            break
        except OSError as e:
            if args.ftp_port != 0 or e.errno != errno.EADDRINUSE:
                raise
    if ftp is None:
        raise OSError(errno.EADDRINUSE, "no common free FTP port")
    store.ports = {"http_port": http_port, "ftp_port": ftp.port}

    threads = [threading.Thread(target=srv.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True)
               for srv in http]
    threads.append(threading.Thread(target=ftp.run, daemon=True))
    for t in threads:
        t.start()

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    ready = {"http_port": http_port, "ftp_port": ftp.port}
    ready.update(names)
    sys.stdout.write(json.dumps(ready) + "\n")
    sys.stdout.flush()
    while not stop.wait(0.2):
        pass
    store.clear()
    stoppers = [threading.Thread(target=srv.shutdown) for srv in http]
    for t in stoppers:
        t.start()
    for t in stoppers:
        t.join()
    for srv in http:
        srv.server_close()
    ftp.stopping = True
    threads[-1].join(2)
    return 0


if __name__ == "__main__":
    sys.exit(main())
