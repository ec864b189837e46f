#!/bin/sh
# Runs one test program with a lock folder of its own over /run/lock
# (/var/lock leads there), in a mount namespace of its own, when it can (as
# root). The machine's lock folder may hold what other programs and earlier
# runs left: a live lock of another user refuses a send, and a cut mark or a
# stale lock of ours makes the next send on that device start with a lone
# line feed, as they must; a test's expectations are about its own.
if [ "$(id -u)" = 0 ] && [ -d /run/lock ] &&
    unshare -m --propagation private true 2>/dev/null; then
    exec unshare -m --propagation private sh -c \
        'mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs /run/lock && exec "$@"' sh "$@"
fi
exec "$@"
