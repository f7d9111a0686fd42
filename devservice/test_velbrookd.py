"""Tests of the stand-in velbrook service, run against a real process on loopback."""

import ftplib
import io
import json
import os
import re
import socket
import subprocess
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
MARK = "</\\/>"


def value_of(body):
    m = re.search(re.escape(MARK) + "(.+?)" + re.escape(MARK), body)
    return m.group(1) if m else None


class Service:
    """One service process in a temporary state folder."""

    def __init__(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.proc = subprocess.Popen(["/usr/bin/python3", os.path.join(HERE, "velbrookd.py"), "--state",
                                      os.path.join(self.tmp.name, "state"), "--idle-timeout", "0.5"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.ready = json.loads(self.proc.stdout.readline())
        self.port = self.ready["http_port"]
        self.ftp_port = self.ready["ftp_port"]

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.proc.stdout.close()
        self.tmp.cleanup()

    def raw(self, mirror, data):
        """Send bytes, return everything received until the service closes (None on a reset)."""
        with socket.create_connection((self.ready[mirror], self.port), timeout=5) as s:
            s.sendall(data)
            chunks = []
            while True:
                try:
                    chunk = s.recv(1 << 20)
                except ConnectionResetError:
                    return None
                if not chunk:
                    break
                chunks.append(chunk)
            return b"".join(chunks)

    def get(self, path, mirror="wangtong"):
        """Status and body of one GET."""
        req = "GET %s HTTP/1.1\r\nHost: %s:%d\r\nConnection: close\r\n\r\n" % (path, self.ready[mirror], self.port)
        head, _, body = self.raw(mirror, req.encode("latin-1")).partition(b"\r\n\r\n")
        return int(head.split()[1]), body.decode("utf-8", "replace")

    def value(self, path, mirror="wangtong"):
        return value_of(self.get(path, mirror)[1])

    def control(self, name, body=None, method="POST"):
        data = json.dumps(body).encode() if body is not None else b""
        req = ("%s /__control/%s HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % (
            method, name, len(data))).encode() + data
        head, _, body = self.raw("web", req).partition(b"\r\n\r\n")
        return int(head.split()[1]), json.loads(body)

    def state_view(self):
        return self.control("state", method="GET")[1]

    def fault(self, **kw):
        status, answer = self.control("fault", kw)
        assert status == 200, answer
        return answer["id"]

    def ftp(self):
        f = ftplib.FTP()
        f.connect(self.ready["wangtong"], self.ftp_port, timeout=10)
        f.login("demo@velbrook.test", "demo")
        return f

    def ftp_sizes(self):
        return {x["path"]: x["size"] for x in self.state_view()["ftp_files"] if x["area"] == "u1001"}


class FaultTest(unittest.TestCase):
    """One compact test per group of fault kinds the service can inject."""
    SIGNIN = "/client2/signin.jsp?username=demo%40velbrook.test&password=demo"
    REQ = ("GET %s HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n" % SIGNIN).encode()

    @classmethod
    def setUpClass(cls):
        cls.svc = Service()

    @classmethod
    def tearDownClass(cls):
        cls.svc.close()

    def setUp(self):
        self.svc.control("clear", {})

    def test_bad_fault_requests_are_refused(self):
        for body in ({"endpoint": "nowhere", "kind": "refuse"},
                     {"endpoint": "signin", "kind": "fail_after", "bytes": 3},
                     {"endpoint": "signin", "kind": "refuse", "mirror": "moon"},
                     {"endpoint": "upload", "kind": "close_after"}):
            with self.subTest(body=body):
                self.assertEqual(self.svc.control("fault", body)[0], 400)

    def test_answer_faults(self):
        # Refusals, missing values, HTTP errors and set values: the sign-in suite sees them through the client.
        cases = [
            (dict(kind="refuse"), "/client2/getphotoid.jsp", lambda s, b: value_of(b) == "0"),
            (dict(kind="garbage"), self.SIGNIN, lambda s, b: MARK not in b and len(b) > 0),
            (dict(kind="body", body=MARK), self.SIGNIN, lambda s, b: b == MARK),
        ]
        for fault, path, check in cases:
            with self.subTest(fault=fault):
                self.svc.fault(endpoint="any", count=1, **fault)
                status, body = self.svc.get(path)
                self.assertTrue(check(status, body), (status, body))
                self.assertEqual(self.svc.value(self.SIGNIN), "1001")  # count used up

    def test_mirror_and_params_select_the_request(self):
        self.svc.fault(endpoint="signin", mirror="wangtong", kind="refuse")
        self.assertEqual(self.svc.value(self.SIGNIN, "wangtong"), "0")
        self.assertEqual(self.svc.value(self.SIGNIN, "dianxin"), "1001")
        self.svc.control("clear", {})
        self.svc.fault(endpoint="signin", kind="value", value="-1", params={"username": "probe@velbrook.test"})
        self.assertEqual(self.svc.value("/client2/signin.jsp?username=probe%40velbrook.test&password=probe-2009",
                                        "dianxin"), "-1")
        self.assertEqual(self.svc.value(self.SIGNIN, "dianxin"), "1001")
        entry = self.svc.state_view()["requests"][-2]
        self.assertEqual((entry["mirror"], entry["fault"]), ("dianxin", "value"))

    def test_connection_faults(self):
        get = b"GET /client2/getphotoid.jsp HTTP/1.1\r\nHost: x\r\n\r\n"
        self.svc.fault(endpoint="photoid", kind="close_after", phase="reply", bytes=20, count=1)
        self.assertEqual(len(self.svc.raw("wangtong", get)), 20)
        self.assertEqual(self.svc.value(self.SIGNIN), "1001")

    def test_delivery_faults(self):
        """Answers in pieces arrive whole. (Truncated, reset and endless ones: the sign-in suite.)"""
        whole = MARK + "1001" + MARK
        for fault, gap in ((dict(kind="split", ms=200), 0.2), (dict(kind="drip", bytes=16, ms=5), 0.0),
                           (dict(kind="chunked"), 0.0)):
            with self.subTest(fault=fault):
                self.svc.fault(endpoint="signin", count=1, **fault)
                started = time.time()
                head, _, body = self.svc.raw("wangtong", self.REQ).partition(b"\r\n\r\n")
                self.assertGreaterEqual(time.time() - started, gap)
                if fault["kind"] == "chunked":
                    self.assertIn(b"Transfer-Encoding: chunked", head)
                    pieces, rest = [], body
                    while True:
                        size, _, rest = rest.partition(b"\r\n")
                        if int(size, 16) == 0:
                            break
                        pieces.append(rest[:int(size, 16)])
                        rest = rest[int(size, 16) + 2:]
                    body = b"".join(pieces)
                self.assertEqual(body.decode(), whole)
        self.assertEqual(self.svc.value(self.SIGNIN), "1001")

    def test_stall_until_cleared(self):
        self.svc.fault(endpoint="signin", kind="stall")
        with socket.create_connection(("127.0.0.3", self.svc.port), timeout=0.5) as s:
            s.sendall(self.REQ)
            with self.assertRaises(socket.timeout):
                s.recv(10)
            s.settimeout(5)
            self.svc.control("clear", {})
            self.assertEqual(s.recv(10), b"")  # released without an answer

    def test_ftp_faults(self):
        # Refused logins, cut-off and stalled transfers reach the FTP worker suites through the client.
        f = self.svc.ftp()
        self.svc.fault(endpoint="ftp_mkd", kind="refuse", count=1)
        with self.assertRaises(ftplib.error_perm):
            f.mkd("99")
        self.svc.fault(endpoint="ftp_stor", kind="refuse", count=1)
        with self.assertRaises(ftplib.error_perm):
            f.storbinary("STOR a.jpg", io.BytesIO(b"x" * 10))
        f.close()
        self.assertNotIn("a.jpg", self.svc.ftp_sizes())
        g = self.svc.ftp()
        g.storbinary("STOR c.jpg", io.BytesIO(b"y" * 1000))  # faults used up
        g.quit()
        log = [(e["cmd"], e["arg"]) for e in self.svc.state_view()["ftp_log"]]
        self.assertIn(("PASS", "******"), log)
        self.assertIn(("STOR", "c.jpg"), log)

    def test_ftp_reset(self):
        self.svc.fault(endpoint="ftp_stor", kind="reset", bytes=100000, count=1)
        f = self.svc.ftp()
        with self.assertRaises((OSError, EOFError, ftplib.Error)):
            f.storbinary("STOR r.jpg", io.BytesIO(os.urandom(8 << 20)))
            f.pwd()  # the control connection went too
        f.close()
        self.assertLess(self.svc.ftp_sizes().get("r.jpg", 0), 8 << 20)


if __name__ == "__main__":
    unittest.main()
