#!/bin/sh
# Stands in for the gateway updaters in the tests. After a short pause (a caller that does not
# wait finds nothing yet) it records, in its own folder, its file name, its working folder and
# its arguments one per line, and keeps a copy of the Ethernet_Update.xml it found.
sleep 0.3
dir=$(dirname "$0")
{
    basename "$0"
    pwd
    for a in "$@"; do printf '%s\n' "$a"; done
} > "$dir/updater_record.tmp"
if [ -f "$dir/Ethernet_Update.xml" ]; then cp "$dir/Ethernet_Update.xml" "$dir/updater_seen.xml"; fi
mv "$dir/updater_record.tmp" "$dir/updater_record.txt"
