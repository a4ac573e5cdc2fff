#!/usr/bin/python3
"""The installed program under an X server: started through its link in games/ or bin/, it
opens its window and, on F1, its help pages; velmo-cli beside the link gives the version; and on
a confirmed close the settings go to the user's configuration folder, never beside the installed
program, even when root runs it. A velmo.ini shipped beside the program is the starting point.

Usage: installed_e2e.py ROOT VERSION
       installed_e2e.py --install CMAKE BUILD_DIR VERSION
ROOT is an installed tree (the prefix of a `cmake --install`, or usr/ of an unpacked package).
With --install, the build is first installed with `cmake --install --strip` into a scratch
prefix. DISPLAY must name an X server, e.g. under xvfb-run.
"""

import os
import shutil
import subprocess
import sys
import tempfile

# The window run's helpers, imported without leaving compiled files in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_e2e import TITLE, Screen, close_confirmed, fail, running  # noqa: E402

HELP_TITLE = "Справка — Кубик Вельмо"
SHIPPED = (b"[GENERAL]\r\nSpeedHand=1\r\nSpeedAuto=1\r\nDoLog=1\r\n"
           b"[USER]\r\nCount=1\r\nPos1=Shipped {\xd4 \xc2}\r\n")  # "Ф В" in Windows-1251


def find_link(root):
    """The program's link: games/ under /usr and /usr/local, bin/ under other prefixes."""
    links = [os.path.join(root, d, "velmo") for d in ("games", "bin")]
    found = [link for link in links if os.path.islink(link)]
    if len(found) != 1:
        fail("expected one link to velmo in %s, found %s" % (" or ".join(links), found))
    return found[0]


def check_cli_version(link, version):
    cli = os.path.join(os.path.dirname(link), "velmo-cli")
    out = subprocess.run([cli, "--version"], capture_output=True, check=True).stdout
    if out != ("velmo-cli %s\n" % version).encode():
        fail("velmo-cli --version printed %r" % out)


def run_installed(root, version):
    link = find_link(root)
    check_cli_version(link, version)
    program_dir = os.path.dirname(os.path.realpath(link))
    if not os.path.isfile(os.path.join(program_dir, "help", "index.html")):
        fail("no help pages beside the program in " + program_dir)
    shipped = os.path.join(program_dir, "velmo.ini")
    with open(shipped, "wb") as f:
        f.write(SHIPPED)
    before = sorted(os.listdir(program_dir))

    scratch = tempfile.mkdtemp(prefix="velmo-installed-")
    config = os.path.join(scratch, "config")
    env = dict(os.environ, XDG_CONFIG_HOME=config, HOME=os.path.join(scratch, "home"))
    screen = Screen()
    with running([link], cwd=scratch, env=env) as velmo:
        window = screen.wait_for(TITLE, 20)
        screen.focus(window)
        screen.key(0xFFBE)                # F1
        helper = screen.wait_for(HELP_TITLE, 10)
        screen.ask_to_close(helper)
        close_confirmed(screen, window, velmo)

    own = os.path.join(config, "velmo", "velmo.ini")
    if not os.path.isfile(own):
        fail("no settings in the configuration folder: %s" % own)
    with open(own, "rb") as f:
        saved = f.read()
    if b"Pos1=Shipped {" not in saved or b"SpeedAuto=1" not in saved:
        fail("the settings did not start from the shipped file: %r" % saved)
    with open(shipped, "rb") as f:
        if f.read() != SHIPPED:
            fail("the shipped velmo.ini beside the program was changed")
    if sorted(os.listdir(program_dir)) != before:
        fail("the program wrote beside itself: %s" % sorted(os.listdir(program_dir)))
    os.remove(shipped)
    shutil.rmtree(scratch)
    print("e2e: the installed program (uid %d) found its help pages and saved to %s"
          % (os.getuid(), own))


def main():
    args = sys.argv[1:]
    if len(args) not in (2, 4) or (len(args) == 4 and args[0] != "--install"):
        fail("usage: installed_e2e.py ROOT VERSION | --install CMAKE BUILD_DIR VERSION")
    if not os.environ.get("DISPLAY"):
        print("e2e: skipped, no X server (DISPLAY is not set)", file=sys.stderr)
        sys.exit(77)
    if len(args) == 2:
        run_installed(args[0], args[1])
        return
    prefix = tempfile.mkdtemp(prefix="velmo-prefix-")
    subprocess.run([args[1], "--install", args[2], "--prefix", prefix, "--strip"],
                   check=True, stdout=subprocess.DEVNULL)
    run_installed(prefix, args[3])
    shutil.rmtree(prefix)


if __name__ == "__main__":
    main()
