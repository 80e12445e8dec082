#!/usr/bin/env python3
"""The Ansible module over three hosts on this machine, each with its own copy
of the sample product: check mode touches nothing, the first play changes all
three, the second none, and a busy host fails alone while the others are
updated. Usage: fleet_test.py TOVRIN SOURCE_DIR"""

import fcntl
import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

program, source = sys.argv[1], sys.argv[2]
examples = os.path.join(source, "examples")
hosts = ["pc1", "pc2", "pc3"]
work = tempfile.mkdtemp(prefix="tovrin-fleet-")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def drive(host):
    return os.path.join(work, host, "c")


def fresh_products():
    for host in hosts:
        shutil.rmtree(os.path.join(work, host), ignore_errors=True)
        shutil.copytree(os.path.join(examples, "product", "drive_c"), drive(host))


def snapshot(host):
    """Every product file with its inode, modification time and content."""
    state = {}
    for folder, _, names in os.walk(drive(host)):
        for name in names:
            path = os.path.join(folder, name)
            if os.sep + ".tovrin" in path:
                continue
            info = os.stat(path)
            with open(path, "rb") as f:
                state[path] = (info.st_ino, info.st_mtime_ns, hashlib.sha256(f.read()).hexdigest())
    return state


inventory = os.path.join(work, "inventory.ini")
with open(inventory, "w") as f:
    f.write("[office]\n")
    for host in hosts:
        f.write("%s ansible_connection=local ansible_python_interpreter=%s "
                "tovrin_drives='[\"C=%s\"]'\n" % (host, sys.executable, drive(host)))
    f.write("\n[office:vars]\ntovrin_program=%s\ntovrin_medium=%s\n"
            "tovrin_registry='[\"%s\"]'\ntovrin_retries=2\ntovrin_retry_delay=1\n"
            % (program, os.path.join(examples, "medium"),
               os.path.join(examples, "product", "uninstall.reg")))


def play(*extra):
    """The task's result on each host, as ansible-core's tree callback writes it
    (the json callback lives in a collection Debian's ansible-core lacks), and
    the play's exit status, which tells whether a host failed."""
    results = tempfile.mkdtemp(dir=work, prefix="play-")
    environment = dict(os.environ, ANSIBLE_CALLBACKS_ENABLED="ansible.builtin.tree",
                       ANSIBLE_CALLBACK_TREE_DIR=results,
                       ANSIBLE_LIBRARY=os.path.join(source, "contrib", "ansible", "library"),
                       ANSIBLE_LOCAL_TEMP=os.path.join(work, "ansible-tmp"),
                       ANSIBLE_HOME=os.path.join(work, "ansible-home"), HOME=work,
                       WINEPREFIX="", DISPLAY="")
    run = subprocess.run(["ansible-playbook", "-i", inventory,
                          os.path.join(source, "contrib", "ansible", "playbook.yml"), *extra],
                         capture_output=True, text=True, env=environment)
    try:
        hosts_results = {}
        for host in hosts:
            with open(os.path.join(results, host)) as f:
                hosts_results[host] = json.load(f)
    except (OSError, ValueError):
        print(run.stdout, run.stderr)
        raise
    return hosts_results, run.returncode


fresh_products()
before = {host: snapshot(host) for host in hosts}
checked, status = play("--check")
check(status == 0, "check mode: the play succeeds")
for host in hosts:
    check(checked[host].get("changed") is True, host + ": check mode says the update would change it")
    check(snapshot(host) == before[host], host + ": check mode touched nothing")

first, status = play()
check(status == 0, "the first play succeeds")
for host in hosts:
    check(first[host].get("changed") is True and first[host]["rc"] == 0, host + ": the first play changes it")
    check(first[host]["report"]["outcome"] == "applied", host + ": outcome applied")
updated = {host: snapshot(host) for host in hosts}

second, status = play()
check(status == 0, "the second play succeeds")
for host in hosts:
    check(second[host].get("changed") is False and second[host]["rc"] == 0, host + ": the second play changes nothing")
    check(second[host]["report"]["outcome"] == "unchanged", host + ": outcome unchanged")
    check(snapshot(host) == updated[host], host + ": the second play wrote no file")

# Another run holds pc2's product for the whole play.
fresh_products()
lock_folder = os.path.join(drive("pc2"), "VELSOR", ".tovrin")
os.makedirs(lock_folder)
held = open(os.path.join(lock_folder, "lock"), "w")
fcntl.flock(held, fcntl.LOCK_EX)
before_busy = snapshot("pc2")
busy, status = play()
check(status == 2, "the play with a busy host fails: %d" % status)
held.close()
check(busy["pc2"]["rc"] == 6 and busy["pc2"].get("outcome") == "busy", "pc2: the busy host fails with status 6")
check(busy["pc2"].get("attempts", 1) > 1, "pc2: status 6 was tried again: %s" % busy["pc2"].get("attempts"))
check("product lock" in busy["pc2"].get("msg", ""), "pc2: the failure names the check")
check(snapshot("pc2") == before_busy, "pc2: the busy host was not touched")
for host in ("pc1", "pc3"):
    check(busy[host].get("changed") is True and busy[host]["rc"] == 0, host + ": updated beside the busy host")

shutil.rmtree(work, ignore_errors=True)
sys.exit(1 if failures else 0)
