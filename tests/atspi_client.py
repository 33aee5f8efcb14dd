"""A screen reader's view of rgbhsv's window, through the AT-SPI client
library (pyatspi): the tree, then each step's events, then what a screen
reader's own requests do. Prints one line for each; atspi_test.sh holds
the lines to what the window should give.

usage: atspi_client.py TREE | EVENTS KEYS... | REQUESTS
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def application():
    for _ in range(200):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == 'rgbhsv':
                return app
        time.sleep(0.05)
    sys.exit('no application named rgbhsv on the accessibility bus')


def describe(o):
    states = sorted(pyatspi.stateToString(s) for s in o.getState().getStates())
    line = '%s|%s|%s' % (o.getRoleName(), o.name, ','.join(states))
    try:
        text = o.queryText()
        line += '|text=%s' % text.getText(0, -1)
    except NotImplementedError:
        pass
    try:
        value = o.queryValue()
        line += '|value=%g of %g to %g' % (value.currentValue, value.minimumValue, value.maximumValue)
    except NotImplementedError:
        pass
    return line


def tree(o, depth=0):
    print('  ' * depth + describe(o))
    for child in o:
        tree(child, depth + 1)


def field(frame, name):
    for child in frame:
        if child.name == name:
            return child
    sys.exit('no control named %r' % name)


def events(keys):
    """Each step's keys, typed with xdotool, and the events that follow."""
    seen = []

    def on_event(e):
        data = e.any_data if isinstance(e.any_data, str) else ''
        seen.append('%s|%s|%d|%s' % (e.type, e.source.name, e.detail1, data))

    for kind in ('object:state-changed:focused', 'object:text-changed', 'object:text-caret-moved',
                 'object:announcement'):
        pyatspi.Registry.registerEventListener(on_event, kind)

    def step():
        if not keys:
            GLib.timeout_add(1000, pyatspi.Registry.stop)
            return False
        step_keys = keys.pop(0)
        seen.append('-- ' + step_keys)
        subprocess.run(['xdotool', 'search', '--classname', '^rgbhsv$', 'windowfocus', '--sync', 'key',
                        '--delay', '30'] + step_keys.split(), check=True)
        GLib.timeout_add(1000, step)
        return False

    GLib.timeout_add(500, step)
    pyatspi.Registry.start()
    print('\n'.join(seen))


def requests(frame):
    """A field focused and another's text set, as a screen reader asks."""
    field(frame, 'Hue, HSV color').queryComponent().grabFocus()
    time.sleep(1)
    print('focused after grabFocus: ' + ','.join(c.name for c in frame if c.getState().contains(pyatspi.STATE_FOCUSED)))
    field(frame, 'Blue, RGB color').queryEditableText().setTextContents('0')
    time.sleep(1)
    print('after setTextContents: ' + ' '.join(
        field(frame, n + ', ' + row + ' color').queryText().getText(0, -1)
        for row, names in (('RGB', ('Red', 'Green', 'Blue')), ('HSV', ('Hue', 'Saturation', 'Value')))
        for n in names))
    print('read from 1 to 3 of Value: ' + field(frame, 'Value, HSV color').queryText().getText(1, 3))


def main():
    app = application()
    if sys.argv[1] == 'TREE':
        tree(app)
    elif sys.argv[1] == 'EVENTS':
        events(sys.argv[2:])
    else:
        requests(app[0])


main()
