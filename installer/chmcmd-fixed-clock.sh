#!/usr/bin/env bash
# chmcmd for release builds: the same help sources give the same Vemiro.chm.
# chmcmd writes the time of day of its run into the file, and, with address
# space randomisation, a few bytes of stale memory into the compressed part.
# It reads the clock by raw system calls, which libfaketime cannot reach, so
# strace hands it a fixed time (2006-07-01 12:00 UTC) and setarch fixes the
# memory layout.
set -euo pipefail
clock=c063a644000000000000000000000000   # struct timeval {1151755200, 0}, little-endian
exec setarch "$(uname -m)" -R strace -f -qq -o /dev/null \
    -e inject=gettimeofday:poke_exit=@arg1=$clock \
    -e inject=clock_gettime:poke_exit=@arg2=$clock \
    -e inject=time:retval=1151755200:poke_exit=@arg1=${clock:0:16} \
    chmcmd "$@"
