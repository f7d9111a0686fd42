"""The service's state: accounts, albums, issued ids and keys, uploads, commits, logs and faults.

Every method takes the one lock, so the HTTP threads and the FTP loop see a consistent state. Whatever must
survive a restart is written to state.json atomically after each change.
"""

import base64
import hashlib
import json
import os
import secrets
import threading

import vbpictures

PROBE_EMAIL = "probe@velbrook.test"
PROBE_PASSWORD = "probe-2009"
PROBE_USER_ID = 9001
UPDATE_USER = "updateclient"
UPDATE_PASSWORD = "tbnQrpowzxlmvkea"
UPDATE_FOLDERS = ("program", "element")

HTTP_ENDPOINTS = {"signin", "albumlist", "newalbum", "photoid", "uploadkey", "upload", "commit", "version", "page",
                  "any"}
FTP_ENDPOINTS = {"ftp_login", "ftp_stor", "ftp_retr", "ftp_mkd", "ftp_cwd", "ftp_dele", "ftp_quit", "ftp_any"}
HTTP_KINDS = {"refuse", "novalue", "garbage", "value", "body", "status", "delay", "drop", "close_after", "stall",
              "down", "split", "drip", "reset", "truncated", "endless", "chunked"}
FTP_KINDS = {"refuse", "fail_after", "reset", "stall"}
LOG_LIMIT = 20000


class ControlError(Exception):
    pass


class Store:
    def __init__(self, state_dir, seed_path):
        self.lock = threading.RLock()
        self.dir = os.path.abspath(state_dir)
        self.requests = []
        self.ftp_log = []
        self.faults = []
        self.next_fault_id = 1
        self.next_seq = 1
        self.stall_release = threading.Event()
        self.addresses = {}
        self.ports = {}
        self._sha_cache = {}
        os.makedirs(self.dir, exist_ok=True)
        path = os.path.join(self.dir, "state.json")
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                self.data = json.load(f)
        else:
            with open(seed_path, encoding="utf-8") as f:
                seed = json.load(f)
            self.data = self._from_seed(seed, os.path.dirname(os.path.abspath(seed_path)))
            self.save()
        os.makedirs(self.update_home(), exist_ok=True)

    # ---- seeding and saving ----

    def _from_seed(self, seed, seed_dir):
        data = {"version": str(seed.get("version", "1.5")), "accounts": [], "albums": [], "photo_ids": [],
                "keys": {}, "uploads": [], "commits": [], "upload_seq": 0,
                "next_photo_id": int(seed.get("next_photo_id", 5000000001))}
        for acc in seed.get("accounts", []):
            data["accounts"].append({"email": acc["email"], "password": acc["password"],
                                     "user_id": int(acc["user_id"]), "may_upload": bool(acc.get("may_upload", True))})
            for alb in acc.get("albums", []):
                data["albums"].append({"id": int(alb["id"]), "user_id": int(acc["user_id"]), "name": alb["name"],
                                       "date": alb.get("date", "2009-01-01"), "description": alb.get("description", ""),
                                       "photo_count": int(alb.get("photo_count", 0))})
        if not any(a["email"].lower() == PROBE_EMAIL for a in data["accounts"]):
            data["accounts"].append({"email": PROBE_EMAIL, "password": PROBE_PASSWORD, "user_id": PROBE_USER_ID,
                                     "may_upload": True})
        data["next_album_id"] = max([a["id"] for a in data["albums"]] + [0]) + 1
        for folder in UPDATE_FOLDERS:
            target = os.path.join(self.update_home(), "update", folder)
            os.makedirs(target, exist_ok=True)
            for item in seed.get("update", {}).get(folder, []):
                name = item["name"]
                if "/" in name or name in ("", ".", ".."):
                    raise ValueError("bad update file name %r" % name)
                if "text" in item:
                    content = item["text"].encode("utf-8")
                elif "base64" in item:
                    content = base64.b64decode(item["base64"])
                elif "file" in item:
                    with open(os.path.join(seed_dir, item["file"]), "rb") as f:
                        content = f.read()
                else:
                    content = vbpictures.draw(item["draw"])
                with open(os.path.join(target, name), "wb") as f:
                    f.write(content)
        return data

    def save(self):
        with self.lock:
            path = os.path.join(self.dir, "state.json")
            with open(path + ".tmp", "w", encoding="utf-8") as f:
                json.dump(self.data, f, indent=1)
            os.replace(path + ".tmp", path)

    # ---- paths ----

    def ftp_root(self):
        return os.path.join(self.dir, "ftp")

    def update_home(self):
        return os.path.join(self.ftp_root(), UPDATE_USER)

    def account_home(self, user_id):
        return os.path.join(self.ftp_root(), "u%d" % user_id)

    # ---- lookups ----

    def account_by_email(self, email):
        with self.lock:
            for acc in self.data["accounts"]:
                if acc["email"].lower() == email.lower():
                    return dict(acc)
        return None

    def account_by_id(self, user_id):
        with self.lock:
            for acc in self.data["accounts"]:
                if acc["user_id"] == user_id:
                    return dict(acc)
        return None

    def albums_of(self, user_id):
        with self.lock:
            return [dict(a) for a in self.data["albums"] if a["user_id"] == user_id]

    def album(self, user_id, album_id):
        with self.lock:
            for a in self.data["albums"]:
                if a["user_id"] == user_id and a["id"] == album_id:
                    return a
        return None

    # ---- changes made by the endpoints ----

    def create_album(self, user_id, name, date, description, album_id=None, photo_count=0):
        with self.lock:
            if album_id is None:
                album_id = self.data["next_album_id"]
            self.data["next_album_id"] = max(self.data["next_album_id"], album_id + 1)
            self.data["albums"].append({"id": album_id, "user_id": user_id, "name": name, "date": date,
                                        "description": description, "photo_count": photo_count})
            self.save()
            return album_id

    def issue_photo_id(self):
        with self.lock:
            pid = self.data["next_photo_id"]
            self.data["next_photo_id"] = pid + 1
            self.data["photo_ids"].append(pid)
            self.save()
            return pid

    def issue_key(self):
        with self.lock:
            key = secrets.token_hex(32)
            jsid = secrets.token_hex(16).upper() + ".vbrk1"
            self.data["keys"][key] = {"jsessionid": jsid, "user_id": None}
            self.save()
            return key, jsid

    def key_owner_check(self, key, jsessionid, user_id):
        """Empty text when the pair was issued and may be used by user_id, else the reason."""
        with self.lock:
            entry = self.data["keys"].get(key)
            if entry is None or entry["jsessionid"] != jsessionid:
                return "unknown key"
            if entry["user_id"] is not None and entry["user_id"] != user_id:
                return "key belongs to another user"
            return ""

    def record_upload(self, key, user_id, album_id, name, received):
        with self.lock:
            self.data["keys"][key]["user_id"] = user_id
            self.data["upload_seq"] += 1
            rel = os.path.join("http", "u%d" % user_id, str(album_id), "%d.jpg" % self.data["upload_seq"])
            full = os.path.join(self.dir, rel)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            os.replace(received, full)
            self.data["uploads"].append({"user_id": user_id, "album_id": str(album_id), "name": name, "path": rel})
            self.album(user_id, album_id)["photo_count"] += 1
            self.save()

    def commit(self, params):
        """Check and record one commit; returns the photo id on success, else 0."""
        with self.lock:
            reason, pid, uid, aid = self._commit_check(params)
            record = {"photo_id": pid, "user_id": uid, "album_id": aid, "accepted": not reason, "reason": reason,
                      "params": dict(params)}
            if not reason:
                done = any(c["accepted"] and c["photo_id"] == pid for c in self.data["commits"])
                if not done:
                    self.album(uid, aid)["photo_count"] += 1
                else:
                    record["repeated"] = True
            self.data["commits"].append(record)
            self.save()
            return 0 if reason else pid

    COMMIT_KEYS = ("userid", "albumid", "photoid", "photoname", "photowidth", "photoheight", "photosize", "make",
                   "model", "time1", "time2", "shareid", "orderid", "aperture", "focal")

    def _commit_check(self, p):
        missing = [k for k in self.COMMIT_KEYS if k not in p]
        uid = to_int(p.get("userid"))
        aid = to_int(p.get("albumid"))
        pid = to_int(p.get("photoid"))
        if missing:
            return "missing " + ",".join(missing), pid, uid, aid
        if self.account_by_id(uid) is None:
            return "unknown user", pid, uid, aid
        if self.album(uid, aid) is None:
            return "unknown album", pid, uid, aid
        if pid not in self.data["photo_ids"]:
            return "photo id not issued", pid, uid, aid
        folder = os.path.join(self.account_home(uid), str(aid))
        for suffix in ("_2.jpg", "_1.jpg", ".jpg"):
            if not os.path.isfile(os.path.join(folder, "%d%s" % (pid, suffix))):
                return "missing %d%s" % (pid, suffix), pid, uid, aid
        size = os.path.getsize(os.path.join(folder, "%d.jpg" % pid))
        if to_int(p["photosize"]) != size or not p["photosize"].strip().lstrip("-").isdigit():
            return "photosize %s differs from stored %d" % (p["photosize"], size), pid, uid, aid
        return "", pid, uid, aid

    # ---- control interface ----

    def set_version(self, text):
        with self.lock:
            self.data["version"] = str(text)
            self.save()

    def version(self):
        with self.lock:
            return self.data["version"]

    def put_account(self, body):
        email = body.get("email")
        if not email:
            raise ControlError("email missing")
        with self.lock:
            acc = next((a for a in self.data["accounts"] if a["email"].lower() == email.lower()), None)
            if acc is None:
                uid = int(body.get("user_id", max([a["user_id"] for a in self.data["accounts"]] + [0]) + 1))
                if self.account_by_id(uid):
                    raise ControlError("user id %d taken" % uid)
                acc = {"email": email, "password": "", "user_id": uid, "may_upload": True}
                self.data["accounts"].append(acc)
            for k in ("password", "may_upload"):
                if k in body:
                    acc[k] = body[k]
            self.save()
            return acc["user_id"]

    def put_album(self, body):
        uid = to_int(body.get("user_id"))
        if self.account_by_id(uid) is None:
            raise ControlError("unknown user")
        with self.lock:
            alb = self.album(uid, int(body["id"])) if "id" in body else None
            if alb is None:
                if "id" in body and any(a["id"] == int(body["id"]) for a in self.data["albums"]):
                    raise ControlError("album id taken by another user")
                return self.create_album(uid, body.get("name", "Album"), body.get("date", "2009-01-01"),
                                         body.get("description", ""), int(body["id"]) if "id" in body else None,
                                         int(body.get("photo_count", 0)))
            for k in ("name", "date", "description", "photo_count"):
                if k in body:
                    alb[k] = body[k]
            self.save()
            return alb["id"]

    def put_update_file(self, body):
        folder = body.get("folder")
        name = body.get("name", "")
        if folder not in UPDATE_FOLDERS or not name or "/" in name or name in (".", ".."):
            raise ControlError("bad folder or name")
        path = os.path.join(self.update_home(), "update", folder, name)
        if body.get("delete"):
            if os.path.exists(path):
                os.remove(path)
            return
        content = base64.b64decode(body["base64"]) if "base64" in body else body.get("text", "").encode("utf-8")
        with open(path, "wb") as f:
            f.write(content)

    def add_fault(self, fault):
        endpoint = fault.get("endpoint")
        kind = fault.get("kind")
        if endpoint in HTTP_ENDPOINTS:
            ok = kind in HTTP_KINDS
        elif endpoint in FTP_ENDPOINTS:
            ok = ftp_fault_applies(endpoint, kind)
        else:
            raise ControlError("unknown endpoint %r" % endpoint)
        if not ok:
            raise ControlError("kind %r does not apply to %s" % (kind, endpoint))
        mirror = fault.get("mirror", "any")
        if mirror != "any" and mirror not in self.addresses:
            raise ControlError("unknown mirror %r" % mirror)
        for k in ("bytes", "ms", "count", "status"):
            if k in fault and not isinstance(fault[k], int):
                raise ControlError("%s must be a number" % k)
        needs_bytes = kind in ("close_after", "fail_after") or (kind == "reset" and endpoint in FTP_ENDPOINTS) or (
            kind == "stall" and endpoint == "ftp_retr")
        if needs_bytes and "bytes" not in fault:
            raise ControlError("bytes missing")
        with self.lock:
            f = dict(fault)
            f["id"] = self.next_fault_id
            f["mirror"] = mirror
            self.next_fault_id += 1
            self.faults.append(f)
            return f["id"]

    def clear(self, requests=False):
        with self.lock:
            self.faults = []
            self.stall_release.set()
            self.stall_release = threading.Event()
            if requests:
                self.requests = []
                self.ftp_log = []

    def mirror_of(self, address):
        for name in ("web", "wangtong", "dianxin"):
            if self.addresses.get(name) == address:
                return name
        return address

    def is_down(self, address):
        with self.lock:
            return any(f["kind"] == "down" and self._mirror_matches(f, address) for f in self.faults)

    def _mirror_matches(self, fault, address):
        return fault["mirror"] == "any" or self.addresses.get(fault["mirror"]) == address

    def take_fault(self, endpoint, address, params=None, user=None):
        """The oldest fault that matches, with its count used once; None when none matches."""
        with self.lock:
            for f in self.faults:
                if f["kind"] == "down" or not self._mirror_matches(f, address):
                    continue
                if not endpoint_matches(f["endpoint"], endpoint):
                    continue
                if any((params or {}).get(k) != v for k, v in f.get("params", {}).items()):
                    continue
                if "user" in f and (user or "").lower() != f["user"].lower():
                    continue
                if "count" in f:
                    f["count"] -= 1
                    if f["count"] <= 0:
                        self.faults.remove(f)
                return dict(f)
        return None

    # ---- logs and the state view ----

    def log_request(self, entry):
        with self.lock:
            entry["seq"] = self.next_seq
            self.next_seq += 1
            self.requests.append(entry)
            del self.requests[:-LOG_LIMIT]
            return entry

    def log_ftp(self, entry):
        with self.lock:
            self.ftp_log.append(entry)
            del self.ftp_log[:-LOG_LIMIT]

    def sha256(self, path):
        st = os.stat(path)
        key = (path, st.st_size, st.st_mtime_ns)
        if key not in self._sha_cache:
            h = hashlib.sha256()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    h.update(block)
            self._sha_cache[key] = h.hexdigest()
        return self._sha_cache[key]

    def view(self):
        with self.lock:
            d = self.data
            out = {"version": d["version"], "accounts": [dict(a) for a in d["accounts"]],
                   "albums": [dict(a) for a in d["albums"]], "photo_ids": list(d["photo_ids"]),
                   "keys": [{"key": k, "jsessionid": v["jsessionid"], "user_id": v["user_id"]}
                            for k, v in d["keys"].items()],
                   "commits": [dict(c) for c in d["commits"]], "requests": [dict(r) for r in self.requests],
                   "ftp_log": [dict(e) for e in self.ftp_log], "faults": [dict(f) for f in self.faults]}
            out.update(self.ports)
            out.update(self.addresses)
            files = []
            root = self.ftp_root()
            for area in sorted(os.listdir(root)):
                for base, dirs, names in os.walk(os.path.join(root, area)):
                    dirs.sort()
                    for name in sorted(names):
                        full = os.path.join(base, name)
                        files.append({"area": area, "path": os.path.relpath(full, os.path.join(root, area)),
                                      "size": os.path.getsize(full), "sha256": self.sha256(full)})
            out["ftp_files"] = files
            photos = []
            for f in files:
                if f["area"].startswith("u") and f["area"][1:].isdigit():
                    folder, _, name = f["path"].rpartition("/")
                    photos.append({"via": "ftp", "user_id": int(f["area"][1:]), "album_id": folder, "name": name,
                                   "path": "ftp/%s/%s" % (f["area"], f["path"]), "size": f["size"],
                                   "sha256": f["sha256"]})
            for u in d["uploads"]:
                full = os.path.join(self.dir, u["path"])
                photos.append(dict(u, via="http", size=os.path.getsize(full), sha256=self.sha256(full)))
            out["photos"] = photos
            return out


def endpoint_matches(wanted, endpoint):
    """"any" covers every HTTP endpoint, "ftp_any" every FTP command after the login except QUIT."""
    if wanted == endpoint:
        return True
    if wanted == "any":
        return not endpoint.startswith("ftp_")
    return wanted == "ftp_any" and endpoint.startswith("ftp_") and endpoint not in ("ftp_login", "ftp_quit")


def ftp_fault_applies(endpoint, kind):
    """QUIT can only be stalled; transfers break in every way; other commands are refused."""
    if endpoint == "ftp_quit":
        return kind == "stall"
    if endpoint == "ftp_stor":
        return kind in FTP_KINDS
    if endpoint == "ftp_retr":
        return kind in ("refuse", "stall")
    return kind == "refuse"


def to_int(text):
    try:
        return int(str(text).strip())
    except (TypeError, ValueError):
        return 0
