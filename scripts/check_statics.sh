#!/usr/bin/env bash
# Fails when the DLL's code holds a function-local static with a dynamic
# initialiser: its guard variable (_ZGV...) shows in the objects. The DLL is
# built without thread-safe statics, and its cover lookups and key watch run
# on threads of their own, so such a static would be a race.
#   check_statics.sh NM LIBRARY...
set -euo pipefail
nm=$1
shift
guards=$("$nm" -A "$@" | grep -E ' [a-zA-Z] _?_ZGV' | sed -E 's/:[0-9a-f]+ [a-zA-Z] / /' || true)
if [ -n "$guards" ]; then
  echo "function-local statics with a guard:"
  echo "$guards" | sed -E 's/ _(_Z)/ \1/' | c++filt
  exit 1
fi
