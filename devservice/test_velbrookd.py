"""Tests of the stand-in velbrook service, run against a real process on loopback."""

import json
import os
import re
import socket
import subprocess
import tempfile
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

    def close(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.proc.stdout.close()
        self.tmp.cleanup()

    def raw(self, mirror, data):
        """Send bytes, return everything received until the service closes."""
        with socket.create_connection((self.ready[mirror], self.port), timeout=5) as s:
            s.sendall(data)
            return b"".join(iter(lambda: s.recv(1 << 20), b""))

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

    def fault(self, **kw):
        status, answer = self.control("fault", kw)
        assert status == 200, answer
        return answer["id"]


class FaultTest(unittest.TestCase):
    """How faults are chosen, refused and released; each kind shows in the client suites that use it."""
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

    def test_mirror_and_params_select_the_request(self):
        self.svc.fault(endpoint="signin", mirror="wangtong", kind="refuse")
        self.assertEqual(self.svc.value(self.SIGNIN, "wangtong"), "0")
        self.assertEqual(self.svc.value(self.SIGNIN, "dianxin"), "1001")
        self.svc.control("clear", {})
        self.svc.fault(endpoint="signin", kind="value", value="-1", params={"username": "probe@velbrook.test"})
        self.assertEqual(self.svc.value("/client2/signin.jsp?username=probe%40velbrook.test&password=probe-2009",
                                        "dianxin"), "-1")
        self.assertEqual(self.svc.value(self.SIGNIN, "dianxin"), "1001")
        entry = self.svc.control("state", method="GET")[1]["requests"][-2]
        self.assertEqual((entry["mirror"], entry["fault"]), ("dianxin", "value"))

    def test_stall_until_cleared(self):
        self.svc.fault(endpoint="signin", kind="stall")
        with socket.create_connection(("127.0.0.3", self.svc.port), timeout=0.5) as s:
            s.sendall(self.REQ)
            with self.assertRaises(socket.timeout):
                s.recv(10)
            s.settimeout(5)
            self.svc.control("clear", {})
            self.assertEqual(s.recv(10), b"")  # released without an answer



if __name__ == "__main__":
    unittest.main()
