#!/usr/bin/python3
# Applies an update medium with tovrin on one host and reports what changed,
# from the run's own report rather than from its output.

DOCUMENTATION = r"""
module: tovrin_update
short_description: Apply a tovrin update medium to an installed product
description:
  - Runs C(tovrin --unattended --report FILE) (with C(--dry-run) in check mode)
    and reports C(changed) from the report, not from the exit status.
  - Exit status 6 means "not now" (another run, or programs running from the
    product): nothing was touched. The task fails with C(retry=true); retry it
    with C(until: result.rc != 6), C(retries) and C(delay).
options:
  program: {description: Path of the tovrin program., type: path, default: tovrin}
  medium: {description: The update medium folder (info.txt)., type: path, required: true}
  dest: {description: The product folder (C:\\PROG or a host path)., type: str}
  drives: {description: "Drive options, C(L=DIR[:TYPE]) each.", type: list, elements: str, default: []}
  registry: {description: .reg files for the uninstall lookup., type: list, elements: path, default: []}
  wine_prefix: {description: The Wine prefix that maps the drives., type: path}
  log: {description: Where the run's log goes., type: path}
"""

EXAMPLES = r"""
- name: Update the product
  tovrin_update:
    medium: /srv/updates/9.0S
    drives: ["C=/home/office/.wine/drive_c:fixed"]
  register: update
  until: update.rc != 6
  retries: 10
  delay: 60
"""

import json
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule

# Statuses after which the update is in place; every other one is a failure.
APPLIED = (0, 1)
NOT_NOW = 6


def command(module, report):
    p = module.params
    args = [p["program"], "--dry-run" if module.check_mode else "--unattended",
            "--medium", p["medium"], "--report", report]
    if p["dest"]:
        args += ["--dest", p["dest"]]
    for drive in p["drives"]:
        args += ["--drive", drive]
    for reg in p["registry"]:
        args += ["--registry", reg]
    if p["wine_prefix"]:
        args += ["--wine-prefix", p["wine_prefix"]]
    if p["log"]:
        args += ["--log", p["log"]]
    return args


def read_report(path):
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def reason(report, rc, stderr):
    refusal = (report or {}).get("refusal")
    if refusal:
        return "refused by the %s check: %s" % (refusal["check"], "; ".join(refusal["findings"]))
    if report:
        return "tovrin ended %s (exit status %d)" % (report["outcome"], rc)
    return "tovrin ended with exit status %d: %s" % (rc, stderr.strip())


def main():
    module = AnsibleModule(
        argument_spec=dict(
            program=dict(type="path", default="tovrin"),
            medium=dict(type="path", required=True),
            dest=dict(type="str"),
            drives=dict(type="list", elements="str", default=[]),
            registry=dict(type="list", elements="path", default=[]),
            wine_prefix=dict(type="path"),
            log=dict(type="path"),
        ),
        supports_check_mode=True,
    )
    folder = tempfile.mkdtemp(prefix="tovrin-report-")
    report_path = os.path.join(folder, "report.json")
    try:
        rc, stdout, stderr = module.run_command(command(module, report_path))
        report = read_report(report_path)
    finally:
        if os.path.exists(report_path):
            os.remove(report_path)
        os.rmdir(folder)
    result = dict(rc=rc, stdout=stdout, stderr=stderr, report=report,
                  outcome=(report or {}).get("outcome"),
                  changed=bool(report and report.get("changed")))
    if rc in APPLIED:
        module.exit_json(**result)
    module.fail_json(msg=reason(report, rc, stderr), retry=rc == NOT_NOW, **result)


if __name__ == "__main__":
    main()
