#!/usr/bin/env python3
"""Drives hushvault-cli on a pseudo-terminal in a sandbox home, as a person would: the
password is typed twice and never shown, a sensitive item's question is asked and answered,
and a restart is declined without --allow-restart.

    python3 scripts/cli-terminal-check.py [build folder, default build-test]
"""
import json
import os
import pty
import select
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = sys.argv[1] if len(sys.argv) > 1 else "build-test"
CLI = os.path.join(ROOT, BUILD, "src/cli/hushvault-cli")


def run(args, answers, env):
    """Runs the program on a terminal; each time the output so far ends with a prompt's
    text, types its answer. Returns (exit status, everything the terminal showed)."""
    pid, fd = pty.fork()
    if pid == 0:
        os.execve(CLI, [CLI] + args, env)
    shown = b""
    pending = list(answers)
    while True:
        ready, _, _ = select.select([fd], [], [], 20)
        if not ready:
            os.kill(pid, 9)
            raise SystemExit("no answer from the program; it showed:\n" + shown.decode())
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
        while pending and shown.rstrip().endswith(pending[0][0].encode()):
            os.write(fd, (pending[0][1] + "\n").encode())
            shown += b"<typed>"
            pending.pop(0)
    _, status = os.waitpid(pid, 0)
    return os.waitstatus_to_exitcode(status), shown.decode(errors="replace")


def check(condition, what, shown):
    if not condition:
        raise SystemExit("FAILED: " + what + "\n--- the terminal showed:\n" + shown)
    print("ok:", what)


def main():
    with tempfile.TemporaryDirectory() as sandbox:
        home = os.path.join(sandbox, "home")
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                   XDG_DATA_HOME=home + "/.local/share", XDG_CACHE_HOME=home + "/.cache",
                   HUSHVAULT_REGISTRY=sandbox + "/registry.db", HUSHVAULT_NO_RESTART="1")
        config = os.path.join(sandbox, "config")
        data = os.path.join(sandbox, "data")
        os.makedirs(config)
        os.makedirs(data)
        with open(os.path.join(config, "winclean.cln"), "w") as cln:
            cln.write('"Secret","delete the secret files",2,"%s/","*.key",0,1,1\r\n' % data)
            cln.write('"Logs","delete the logs",2,"%s/","*.log",0,0,0\r\n' % data)
        with open(os.path.join(config, "windows.pick"), "w") as page:
            page.write('<input type="checkbox" id="Secret" checked>')
            page.write('<input type="checkbox" id="Logs" checked>')
        with open(os.path.join(data, "a.key"), "w") as key:
            key.write("key")
        with open(os.path.join(data, "plain.txt"), "w") as plain:
            plain.write("plain text")

        password = "correct-horse-battery"
        status, shown = run(["encrypt", os.path.join(data, "plain.txt")],
                            [("Enter the password:", password),
                             ("mistyped passwords.", password)], env)
        check(status == 0, "encrypt with the password typed twice", shown)
        check(password not in shown, "the typed password is not shown", shown)
        check(os.path.exists(os.path.join(data, "plain.txt.vlt")), "the .vlt is there", shown)

        status, shown = run(["--config", config, "clean"],
                            [("[Y]es/[N]o?", "y")], env)
        check("Are you sure you want to: \r\ndelete the secret files?" in shown,
              "the sensitive item's question is asked", shown)
        check(not os.path.exists(os.path.join(data, "a.key")), "the item ran after Yes", shown)
        check("No: a restart is offered only with --allow-restart." in shown,
              "the restart is declined without --allow-restart", shown)
        check(status == 0, "the run ends with status 0", shown)

        for name in ("b.key", "b.log"):
            with open(os.path.join(data, name), "w") as trace:
                trace.write("trace")
        status, shown = run(["--config", config, "clean", "--json"],
                            [("[Y]es/[N]o?", "n")], env)
        document = json.loads(shown[shown.index("{"):shown.rindex("}") + 1])
        check([item["key"] for item in document["items"]] == ["Logs"],
              "an item the user declined is not reported, the next keeps its key", shown)
        check(os.path.exists(os.path.join(data, "b.key")), "the declined item ran not", shown)
    print("terminal check passed")


main()
