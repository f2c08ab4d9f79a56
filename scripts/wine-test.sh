#!/usr/bin/env bash
# Starts a test program under Wine for CTest (the emulator of the build).
#
# NOTE: Wine's own loader has once died of a signal on a fresh prefix as a
# test program ended, after its test had passed. Such a death says nothing of
# the program, so the program is started once more, and the note is printed.
# A program that fails, or crashes in its own code, ends through Wine with an
# exit code of its own and is never started again.
wine "$@"
status=$?
if [ "$status" -ge 128 ]; then
    echo "wine-test: Wine itself ended by signal $((status - 128)); starting the program once more" >&2
    wine "$@"
    status=$?
fi
exit "$status"
