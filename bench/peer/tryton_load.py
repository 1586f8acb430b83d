#!/usr/bin/env python3
"""Clerks entering sale orders into Tryton 6.0 (Debian's tryton-server and tryton-modules-sale).

The peer of bench/load/: a throw-away Tryton database (an SQLite file, or a PostgreSQL database
created and dropped here), a company, a customer with an address and products with list prices,
then N client processes drive JSON-RPC the way the desktop client does for a sale: login, the
fields' descriptions, default_get, the party's on_change, and per line default_get and the
on_change / on_change_with calls of product, quantity and unit (and the order's on_change of
its lines), then create, quote and confirm, each followed by the read the client makes to show
the record. Prints the same table as bench_clerks_load.

Standard library only. Needs root for apt-get (run once; skipped when the packages are there).
Usage: bench/peer/tryton_load.py [--db sqlite|postgresql] [--clients N[,N...]] [--orders N[,N...]] [--lines N]
Several client counts run one after the other on the same database, sparing its set-up.
PostgreSQL: ORVANE_TEST_PG (libpq keywords: host, port, user) names the cluster.
"""

import argparse
import base64
import datetime
import decimal
import http.client
import json
import multiprocessing
import os
import resource
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

PACKAGES = ["tryton-server", "tryton-modules-sale", "python3-psycopg2"]
ADMIN_PASSWORD = "admin-load"
DATABASE = "tryton_load_%d" % os.getpid()


# ---- JSON-RPC as the desktop client encodes it -------------------------------------------

class TrytonEncoder(json.JSONEncoder):
    def default(self, value):
        if isinstance(value, decimal.Decimal):
            return {"__class__": "Decimal", "decimal": str(value)}
        if isinstance(value, datetime.date):
            return {"__class__": "date", "year": value.year, "month": value.month, "day": value.day}
        return super().default(value)


def decode_object(value):
    kind = value.get("__class__")
    if kind == "Decimal":
        return decimal.Decimal(value["decimal"])
    if kind == "date":
        return datetime.date(value["year"], value["month"], value["day"])
    if kind == "datetime":
        return datetime.datetime(value["year"], value["month"], value["day"], value["hour"],
                                 value["minute"], value["second"], value.get("microsecond", 0))
    return value


class TrytonError(RuntimeError):
    pass


class Connection:
    """One keep-alive HTTP connection to trytond, logged in or not."""

    round_trips = 0  # requests of this process, all connections
    call_micros = {}  # per method the time of each request of this process (microseconds)

    def __init__(self, port, path="/%s/" % DATABASE):
        self.port = port
        self.path = path
        self.http = http.client.HTTPConnection("127.0.0.1", port)
        self.auth = None
        self.context = {}
        self.next_id = 0

    def call(self, method, *params):
        Connection.round_trips += 1
        self.next_id += 1
        body = json.dumps({"id": self.next_id, "method": method, "params": list(params)}, cls=TrytonEncoder)
        headers = {"Content-Type": "application/json", "Connection": "keep-alive"}
        if self.auth:
            headers["Authorization"] = self.auth
        started = time.perf_counter()
        try:
            self.http.request("POST", self.path, body, headers)
            response = self.http.getresponse()
            payload = response.read()
            Connection.call_micros.setdefault(method, []).append((time.perf_counter() - started) * 1e6)
        except (http.client.HTTPException, ConnectionError):
            self.http.close()
            self.http = http.client.HTTPConnection("127.0.0.1", self.port)
            raise
        if response.status != 200:
            raise TrytonError("%s: HTTP %d %s" % (method, response.status, payload[:200]))
        answer = json.loads(payload, object_hook=decode_object)
        if answer.get("error"):
            raise TrytonError("%s: %s" % (method, answer["error"]))
        return answer["result"]

    def model(self, model, method, *params):
        return self.call("model.%s.%s" % (model, method), *params, self.context)

    def login(self, user, password):
        user_id, session = self.call("common.db.login", user, {"password": password}, "en")
        token = base64.b64encode(("%s:%s:%s" % (user, user_id, session)).encode()).decode()
        self.auth = "Session " + token
        self.context = self.call("model.res.user.get_preferences", True, {})
        return user_id


# ---- installation and the throw-away database --------------------------------------------

def install_packages():
    missing = [p for p in PACKAGES
               if subprocess.run(["dpkg", "-s", p], capture_output=True).returncode != 0]
    if missing:
        subprocess.run(["apt-get", "install", "-y", "--no-install-recommends"] + missing, check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))


def pg_keywords():
    text = os.environ.get("ORVANE_TEST_PG", "host=/var/run/postgresql port=5432 user=root dbname=postgres")
    return dict(pair.split("=", 1) for pair in text.split())


def pg_command(sql):
    keys = pg_keywords()
    subprocess.run(["psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", keys.get("host", "/var/run/postgresql"),
                    "-p", keys.get("port", "5432"), "-U", keys.get("user", "root"), "-d", keys.get("dbname", "postgres"),
                    "-c", sql], check=True)


def pg_uri():
    keys = pg_keywords()
    # An empty host makes libpq use its default socket folder; a socket folder other than
    # Debian's default is given to libpq through PGHOST.
    if keys.get("host", "").startswith("/"):
        os.environ["PGHOST"] = keys["host"]
        return "postgresql://%s@:%s/" % (keys.get("user", "root"), keys.get("port", "5432"))
    return "postgresql://%s@%s:%s/" % (keys.get("user", "root"), keys.get("host", "localhost"), keys.get("port", "5432"))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Installation:
    """trytond over a database of its own, with the sale module activated; removed on close."""

    def __init__(self, backend, folder):
        self.backend = backend
        self.folder = folder
        self.port = free_port()
        self.server = None
        self.config = os.path.join(folder, "trytond.conf")
        uri = "sqlite://" if backend == "sqlite" else pg_uri()
        with open(self.config, "w") as out:
            out.write("[database]\nuri = %s\npath = %s\n[web]\nlisten = 127.0.0.1:%d\n"
                      "[session]\nmax_attempt = 1000\n" % (uri, folder, self.port))
        if backend == "sqlite":
            open(os.path.join(folder, DATABASE + ".sqlite"), "w").close()
        else:
            pg_command("CREATE DATABASE %s" % DATABASE)

    def activate(self):
        password_file = os.path.join(self.folder, "password")
        with open(password_file, "w") as out:
            out.write(ADMIN_PASSWORD)
        environment = dict(os.environ, TRYTONPASSFILE=password_file)
        subprocess.run(["trytond-admin", "-c", self.config, "-d", DATABASE, "--all", "--email", "admin@example.com"],
                       check=True, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["trytond-admin", "-c", self.config, "-d", DATABASE, "-u", "sale",
                        "--activate-dependencies"], check=True, env=environment,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self):
        log = open(os.path.join(self.folder, "trytond.log"), "w")
        self.server = subprocess.Popen(["trytond", "-c", self.config, "-d", DATABASE], stdout=log, stderr=log)
        for _ in range(600):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                if self.server.poll() is not None:
                    raise TrytonError("trytond ended; see %s" % log.name)
                time.sleep(0.1)
        raise TrytonError("trytond did not listen on port %d" % self.port)

    def close(self):
        if self.server and self.server.poll() is None:
            self.server.send_signal(signal.SIGTERM)
            try:
                self.server.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        if self.backend == "postgresql":
            pg_command("DROP DATABASE IF EXISTS %s" % DATABASE)


def populate(port, product_count):
    """A company in EUR, the admin working for it, a customer with an address, products."""
    admin = Connection(port)
    admin.login("admin", ADMIN_PASSWORD)
    currency, = admin.model("currency.currency", "create", [{
        "name": "Euro", "code": "EUR", "symbol": "€", "rounding": decimal.Decimal("0.01"), "digits": 2}])
    company_party, = admin.model("party.party", "create", [{"name": "Load Company"}])
    company, = admin.model("company.company", "create", [{"party": company_party, "currency": currency}])
    user = admin.context.get("id") or admin.model("res.user", "search", [("login", "=", "admin")], 0, 1, None)[0]
    admin.model("res.user", "write", [user], {"companies": [["add", [company]]], "company": company})
    admin.context = admin.call("model.res.user.get_preferences", True, {})
    # Orders are confirmed without invoices or shipments: no chart of accounts is needed, and
    # the confirmation does what the order program's does (the state, no follow-up documents).
    admin.model("sale.configuration", "write", [1], {"sale_invoice_method": "manual",
                                                    "sale_shipment_method": "manual"})
    category, = admin.model("product.category", "create", [{"name": "Goods", "accounting": True}])
    unit, = admin.model("product.uom", "search", [("symbol", "=", "u")], 0, 1, None)
    customer, = admin.model("party.party", "create", [{
        "name": "Customer One", "addresses": [["create", [{"street": "1 Main Street", "city": "Town"}]]]}])
    products = []
    for i in range(product_count):
        template, = admin.model("product.template", "create", [{
            "name": "Item %d" % i, "type": "goods", "default_uom": unit, "salable": True, "sale_uom": unit,
            "list_price": decimal.Decimal("10.00") + i, "account_category": category,
            "products": [["create", [{"code": "A%03d" % i}]]]}])
        products += admin.model("product.product", "search", [("template", "=", template)], 0, None, None)
    return customer, products


# ---- a clerk ------------------------------------------------------------------------------

class Record:
    """A record as the client keeps it: values, the fields' descriptions, its parent."""

    def __init__(self, conn, model, fields, parent=None, parent_field=None):
        self.conn, self.model, self.fields = conn, model, fields
        self.parent, self.parent_field = parent, parent_field
        self.values = {}

    def args(self, depends):
        values = {"id": -1}
        for name in depends:
            if name.startswith("_parent_"):
                field, sub = name[len("_parent_"):].split(".", 1)
                values[name] = self.parent.values.get(sub) if self.parent else None
            elif name == "id":
                continue
            elif name == self.parent_field:
                values[name] = -1
            else:
                values[name] = self.values.get(name)
        return values

    def apply(self, changes):
        for name, value in changes.items():
            if name in self.fields and not isinstance(value, dict):
                self.values[name] = value

    def dependents_call(self, names, parent=False):
        """on_change_with of the fields that depend on any of names (or on the parent)."""
        dependents = [f for f, d in self.fields.items()
                      if any(n in names or (parent and n.startswith("_parent_")) for n in d.get("on_change_with") or [])]
        if dependents:
            depends = sorted({n for f in dependents for n in self.fields[f]["on_change_with"]})
            self.apply(self.conn.model(self.model, "on_change_with", self.args(depends), dependents))

    def new(self, timer, label):
        """A new record: its defaults, then the fields computed from them and from the parent."""
        started = timer.start()
        defaults = self.conn.model(self.model, "default_get", list(self.fields))
        self.apply(defaults)
        if self.parent:
            self.dependents_call(set(defaults) | {self.parent_field}, parent=True)
        timer.add(label, started)

    def set(self, timer, label, name, value):
        """A field typed: its on_change, then the on_change_with of the fields depending on it."""
        self.values[name] = value
        started = timer.start()
        definition = self.fields[name]
        if definition.get("on_change"):
            for changes in self.conn.model(self.model, "on_change", self.args(definition["on_change"]), [name]):
                self.apply(changes)
        self.dependents_call({name})
        timer.add(label, started)


class Timer:
    """Per step: the time of each (microseconds) and the round trips it made."""

    def __init__(self):
        self.samples = {}
        self.trips = {}

    @staticmethod
    def start():
        return time.perf_counter(), Connection.round_trips

    def add(self, label, started):
        seconds, trips = started
        self.samples.setdefault(label, []).append((time.perf_counter() - seconds) * 1e6)
        self.trips[label] = self.trips.get(label, 0) + Connection.round_trips - trips

    def time(self, label, call, *args):
        started = self.start()
        answer = call(*args)
        self.add(label, started)
        return answer


def storable(record):
    """The values the client sends on save: the editable fields, relations as commands."""
    values = {}
    for name, value in record.values.items():
        definition = record.fields.get(name)
        if name == "id" or not definition or definition.get("readonly") or definition["type"] == "one2many":
            continue
        if definition["type"] == "many2many":
            if value:
                values[name] = [["add", value]]
        else:
            values[name] = value
    return values


def enter_order(conn, bare, timer, sale_fields, line_fields, customer, products, lines, serial):
    sale = Record(conn, "sale.sale", sale_fields)
    sale.new(timer, "new order (defaults)")
    sale.set(timer, "party", "party", customer)
    line_values, line_records = [], []
    for i in range(lines):
        timer.time("bare round trip", bare.call, "common.server.version")
        line = Record(conn, "sale.line", line_fields, sale, "sale")
        line.new(timer, "new line (defaults)")
        line.set(timer, "product", "product", products[(serial + i) % len(products)])
        line.set(timer, "quantity", "quantity", float(1 + (serial + i) % 7))
        line.set(timer, "unit", "unit", line.values.get("unit"))
        line_values.append(storable(line))
        line_records.append(line.values)
        sale.set(timer, "order totals (lines)", "lines", [dict(v, id=-1 - n) for n, v in enumerate(line_records)])
    values = storable(sale)
    values["lines"] = [["create", line_values]]
    shown = ["number", "state", "total_amount"]
    started = timer.start()
    sale_id, = conn.model("sale.sale", "create", [values])
    conn.model("sale.sale", "read", [sale_id], shown)
    timer.add("save", started)
    for button in ("quote", "confirm"):
        started = timer.start()
        conn.model("sale.sale", button, [sale_id])
        conn.model("sale.sale", "read", [sale_id], shown)
        timer.add(button, started)


def clerk(port, customer, products, orders, lines, start_at, results):
    try:
        results.put(enter_orders(port, customer, products, orders, lines, start_at))
    except Exception as error:  # the driver must not wait for a clerk that failed
        print("clerk %d failed: %r" % (os.getpid(), error), file=sys.stderr)
        results.put(({}, {}, {}, 0, time.time()))


def enter_orders(port, customer, products, orders, lines, start_at):
    conn = Connection(port)
    conn.login("admin", ADMIN_PASSWORD)
    sale_fields = conn.model("sale.sale", "fields_get", None)
    line_fields = conn.model("sale.line", "fields_get", None)
    timer = Timer()
    bare = Connection(port, "/")
    while time.time() < start_at:
        time.sleep(0.001)
    Connection.call_micros = {}  # the calls of the orders only, not those of the login
    errors = 0
    for serial in range(orders):
        try:
            enter_order(conn, bare, timer, sale_fields, line_fields, customer, products, lines, serial)
        except TrytonError as error:
            errors += 1
            if errors == 1:
                print("clerk %d: %s" % (os.getpid(), error), file=sys.stderr)
    return timer.samples, timer.trips, Connection.call_micros, orders - errors, time.time()


# ---- the run and its table ----------------------------------------------------------------

def cpu_seconds(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, IndexError):
        return None


def cpu_of(pids):
    """CPU seconds of each process of pids that is there."""
    return {pid: used for pid, used in ((pid, cpu_seconds(pid)) for pid in pids) if used is not None}


def cpu_since(before, pids):
    """The CPU the processes of pids used since before: all of it for those started since."""
    total = 0.0
    for pid in pids:
        used, now = before.get(pid, 0.0), cpu_seconds(pid)
        if now is not None and now >= used:
            total += now - used
    return total


def postgres_pids():
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/comm" % entry) as comm:
                    if comm.read().startswith("postgres"):
                        pids.append(int(entry))
            except OSError:
                pass
    return pids


def percentile(samples, share):
    ordered = sorted(samples)
    return ordered[min(len(ordered) - 1, int(len(ordered) * share))]


def run(installation, customer, products, clients, orders, lines):
    results = multiprocessing.Queue()
    start_at = time.time() + 2.0
    clerks = [multiprocessing.Process(target=clerk, args=(installation.port, customer, products, orders,
                                                          lines, start_at, results))
              for _ in range(clients)]
    for process in clerks:
        process.start()
    while time.time() < start_at - 0.5:
        time.sleep(0.01)
    database_pids = postgres_pids() if installation.backend == "postgresql" else []
    server_before = cpu_of([installation.server.pid])
    database_before = cpu_of(database_pids)
    clients_before = resource.getrusage(resource.RUSAGE_CHILDREN)
    collected = [results.get() for _ in clerks]
    for process in clerks:
        process.join()
    clients_after = resource.getrusage(resource.RUSAGE_CHILDREN)
    # The finished clients (and trytond-admin before them, hence the difference).
    clients_cpu = (clients_after.ru_utime + clients_after.ru_stime) - (clients_before.ru_utime + clients_before.ru_stime)
    elapsed = max(done for *_, done in collected) - start_at
    server_cpu = cpu_since(server_before, [installation.server.pid])
    database_cpu = cpu_since(database_before, postgres_pids() if database_pids else [])
    entered = sum(n for *_, n, _ in collected)
    samples, trips, calls = {}, {}, {}
    for timer_samples, timer_trips, call_micros, _, _ in collected:
        for label, values in timer_samples.items():
            samples.setdefault(label, []).extend(values)
            trips[label] = trips.get(label, 0) + timer_trips[label]
        for method, values in call_micros.items():
            calls.setdefault(method, []).extend(values)
    bare = samples.pop("bare round trip", None)
    if not bare:
        raise TrytonError("no clerk entered an order")
    print("\nTryton 6.0 on %s, %d clients, %d orders of %d lines, %.1f s, load %s" % (
        installation.backend, clients, entered, lines, elapsed, open("/proc/loadavg").read().split()[0]))
    print("| step | median µs | p99 µs | median / bare | round trips |\n|---|---|---|---|---|")
    print("| bare round trip (common.server.version) | %.0f | %.0f | 1.0 | 1.00 |" % (
        statistics.median(bare), percentile(bare, 0.99)))
    for label, values in samples.items():
        print("| %s | %.0f | %.0f | %.1f | %.2f |" % (
            label, statistics.median(values), percentile(values, 0.99),
            statistics.median(values) / statistics.median(bare), trips[label] / len(values)))
    print("| orders/s | %.2f | | | |" % (entered / elapsed))
    print("| server CPU ms/order | %.1f | | | |" % (server_cpu * 1000 / max(entered, 1)))
    if database_pids:
        print("| PostgreSQL CPU ms/order (the whole cluster) | %.1f | | | |" % (database_cpu * 1000 / max(entered, 1)))
    print("| clients' CPU ms/order (with their start) | %.1f | | | |" % (clients_cpu * 1000 / max(entered, 1)))
    report_calls(calls)


def report_calls(calls):
    """Each kind of request on its own beside the bare round trip's (common.server.version)."""
    bare = statistics.median(calls.get("common.server.version") or [float("nan")])
    print("\n| server call | calls | median µs | p99 µs | median / bare |\n|---|---|---|---|---|")
    for method, values in sorted(calls.items()):
        print("| %s | %d | %.0f | %.0f | %.1f |" % (method, len(values), statistics.median(values),
                                                   percentile(values, 0.99), statistics.median(values) / bare))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--db", choices=["sqlite", "postgresql"], default="sqlite")
    parser.add_argument("--clients", default="1",
                        help="clients, or runs of clients one after the other on one database (8,1)")
    parser.add_argument("--orders", default="20",
                        help="orders per client, or one figure per run of --clients (3,8)")
    parser.add_argument("--lines", type=int, default=5, help="lines per order")
    parser.add_argument("--products", type=int, default=10)
    args = parser.parse_args()
    install_packages()
    folder = tempfile.mkdtemp(prefix="tryton-load-")
    installation = None
    try:
        installation = Installation(args.db, folder)
        installation.activate()
        installation.start()
        customer, products = populate(installation.port, args.products)
        clients = [int(n) for n in args.clients.split(",")]
        orders = [int(n) for n in args.orders.split(",")]
        for i, count in enumerate(clients):
            run(installation, customer, products, count, orders[min(i, len(orders) - 1)], args.lines)
    finally:
        if installation:
            installation.close()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
