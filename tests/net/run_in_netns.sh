#!/usr/bin/env bash
# Runs one network test inside the host namespace; exits 77 (reported as skipped) with the
# reason when that is not possible here.
here=$(cd "$(dirname "$0")" && pwd)
if ! reason=$("$here/../../scripts/netns.sh" check 2>&1); then
    echo "SKIPPED: $reason"
    exit 77
fi
if ! ip netns list | awk '{print $1}' | grep -qx zelir-h; then
    echo "SKIPPED: namespace zelir-h is missing (fixture did not run)"
    exit 77
fi
exec ip netns exec zelir-h "$@"
