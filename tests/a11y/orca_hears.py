#!/usr/bin/env python3
"""orca_hears.py BRINMOOR OUT-DIR: what Orca, Debian's screen reader, speaks while a pupil works.

A private X server, session bus and accessibility bus, the program, and Orca with settings of
its own; XTEST keys, clicks and a drag, each step followed by what Orca said: the SPEECH OUTPUT
lines of its debug file, written whether or not a speech server runs (none does here). Every
process started here is stopped by its id."""
import ctypes
import os
import re
import signal
import subprocess
import sys
import time

brinmoor, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
os.makedirs(out, exist_ok=True)
debug = os.path.join(out, 'orca-debug.out')
env = dict(os.environ, QT_QPA_PLATFORM='xcb', QT_SCALE_FACTOR='1', QT_ACCESSIBILITY='1',
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', LANG='C.UTF-8', XDG_CONFIG_HOME=out,
           XDG_RUNTIME_DIR=os.path.join(out, 'run'),
           SPEECHD_ADDRESS='unix_socket:' + os.path.join(out, 'none'))  # no speech server
env.pop('LANGUAGE', None)
os.makedirs(env['XDG_RUNTIME_DIR'], mode=0o700, exist_ok=True)
started = []
# The buses start daemons of their own (the registry, dconf): ended with this test, they come
# to it rather than to the system's first process, and are stopped here too.
ctypes.CDLL(None, use_errno=True).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER

# Orca as /usr/bin/orca runs it, but for two things: its debug file written line by line, so
# that a step's words are there when the step ends, and no refusal to start because another
# Orca of this user runs elsewhere on the machine.
ORCA = '''import builtins, runpy, sys
opened = builtins.open
builtins.open = lambda f, m="r", b=-1, *a, **k: opened(f, m, 1 if f == sys.argv[-1] else b, *a, **k)
orca = runpy.run_path("/usr/bin/orca", run_name="orca_script")
orca["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(orca["main"]())'''


def start(name, command, first_line=False, fds=()):
    """Starts command with its output in OUT-DIR/NAME.log, or hands back its first line."""
    log = open(os.path.join(out, name + '.log'), 'w')
    process = subprocess.Popen(command, env=env, stderr=log, pass_fds=fds,
                               stdout=subprocess.PIPE if first_line else log, text=True)
    started.append(process)
    return process.stdout.readline().strip() if first_line else process


def said_so_far():
    try:
        with open(debug, encoding='utf-8', errors='replace') as f:
            return re.findall(r"SPEECH OUTPUT: '(.*)' ?(?:voice=\w+)?\{", f.read())
    except FileNotFoundError:
        return []


def said_after(count, quiet=2.5):
    """What Orca said after its first count utterances, once it said nothing for quiet s."""
    last, since = None, time.time()
    while time.time() - since < quiet:
        time.sleep(0.2)
        lines = said_so_far()
        if len(lines) != last:
            last, since = len(lines), time.time()
    return lines[count:]


def xdotool(*args):
    subprocess.run(['xdotool', *map(str, args)], env=env, check=True)


failures = []


def step(name, action, says=(), never=()):
    """Runs action: Orca must then say each of says and none of never (regular expressions)."""
    before = len(said_after(0, 0.5))
    action()
    said = said_after(before)
    print('%s:\n    %s' % (name, '\n    '.join(said) or '(nothing)'), flush=True)
    text = '\n'.join(said)
    failures.extend('%s: Orca did not say %s' % (name, s) for s in says
                    if not re.search(s, text, re.M))
    failures.extend('%s: Orca said %s' % (name, n) for n in never if re.search(n, text, re.M))
    return said


try:
    read, write = os.pipe()
    start('xvfb', ['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24',
                   '-nolisten', 'tcp'], fds=(write,))
    env['DISPLAY'] = ':' + os.read(read, 16).decode().strip()
    env['DBUS_SESSION_BUS_ADDRESS'] = start(
        'session-bus', ['dbus-daemon', '--session', '--nofork', '--print-address'], True)
    start('a11y-bus', ['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'])
    start('brinmoor', [brinmoor])
    window = subprocess.run(['xdotool', 'search', '--sync', '--onlyvisible', '--name',
                             'by Tolvane'], env=env, check=True, capture_output=True,
                            text=True).stdout.split()[0]
    xdotool('windowfocus', '--sync', window)
    os.makedirs(os.path.join(out, 'orca'), exist_ok=True)
    start('orca', ['/usr/bin/python3', '-c', ORCA, '-u', os.path.join(out, 'orca'),
                   '--debug-file', debug])
    for _ in range(100):  # Orca takes a few seconds to start
        if said_so_far():
            break
        time.sleep(0.2)

    caption = r'by Tolvane'
    # The first control has the focus; the surface is last in the tab order.
    step('Shift+Tab to the drawing surface', lambda: xdotool('key', 'shift+Tab'),
         says=[r'^図', r'三角形ＡＢＣ.*うった点は0個です'], never=[caption])
    step('three Right arrows', lambda: xdotool('key', '--delay', '60', 'Right', 'Right', 'Right'),
         says=[r'点Ｂから右へ2\.\dマス'], never=[caption])
    at = lambda x, y: ('mousemove', '--window', window, x, y)
    step('a click on 点をうつ', lambda: xdotool(*at(52, 95), 'click', '1'),
         says=[r'うった点は1個'], never=[caption])
    # Pressed on the empty board, the pointer drags A by its own displacement.
    step('a drag that makes AFED a rectangle', lambda: xdotool(
        *at(800, 100), 'mousedown', '1', *at(819, 127), *at(838, 154), 'mouseup', '1'),
         says=[r'長方形です'], never=[caption])
    step('a click that changes nothing', lambda: xdotool('click', '1'), never=[r'.'])
    step('Shift+Tab to 点をけす and Space: the last mark goes',
         lambda: xdotool('key', 'shift+Tab', 'sleep', '0.5', 'key', 'space'),
         says=[r'点をうつ', r'うった点は0個'], never=[r'^図'])
finally:
    for process in reversed(started):
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
    time.sleep(0.5)  # the daemons the buses started see them go
    for stat in os.listdir('/proc'):
        try:
            with open('/proc/%s/stat' % stat) as f:
                if int(f.read().rsplit(')', 1)[1].split()[1]) == os.getpid():
                    os.kill(int(stat), signal.SIGTERM)
                    os.waitpid(int(stat), 0)
        except (OSError, ValueError, IndexError):
            pass

print('\n'.join(failures) or 'Orca said what each step needed and nothing it must not')
sys.exit(1 if failures else 0)
