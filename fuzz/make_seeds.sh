#!/usr/bin/env bash
# Writes the seed corpora of the fuzzers into DIR/<fuzzer>/: the recordings
# and NMEA logs of tests/data for the stream, the real SBAS broadcasts of
# tests/data/sbas for the WAAS decoder, and a few profiles and command lines.
# Usage: fuzz/make_seeds.sh DIR (run from the top of the tree).
set -euo pipefail
out=${1:?usage: make_seeds.sh DIR}
mkdir -p "$out"/feed "$out"/waas "$out"/settings "$out"/command_line

cp -f tests/data/sample.zbin tests/data/nmea/*.log "$out"/feed/

# One record per broadcast: the PRN byte, then the 64 hex digits as 32 bytes.
# Runs of 40 keep masks and the delays that need them in one input. The
# harness corrects every CRC unless the last pad bit is set: set it where the
# capture holds broken messages, so they stay broken.
for capture in tests/data/sbas/*.txt; do
    name=$(basename "$capture" .txt)
    keep=0
    [[ $name == *crc_failures* ]] && keep=1
    perl -ne 'next if /^#/ || !/\S/; my @f = split /\s+/, $_; my $m = pack("H64", $f[5]);
              substr($m, 31, 1) = chr(ord(substr($m, 31, 1)) | '"$keep"'); print pack("C", $f[2]) . $m;' \
        "$capture" | split -b $((33 * 40)) - "$out/waas/$name-"
done

printf '[CommSettings]\nPort=3\nBaud=115200\nDevice=/dev/ttyUSB0\n\n[LogSettings]\nLogErrors=1\nFullLog=0\nInterval=5\nAutoLog=1\nDebugLogMask=0001\n' \
    >"$out"/settings/comm-log.ini
printf '; comment\r\n[Location]\r\nLatitude=51.04470000\r\nLongitude=-114.07190000\r\nHeight=1048.2500\r\nstray line\r\n' \
    >"$out"/settings/location-crlf.ini
printf '[WAASNonVolatile]\nWORD000=1F\nWORD001=FFFFFFFF\nWORD133=0\nCheckSum=20\n[OpenWindows]\nAutoOpen=1\nChannelVw=1\n' \
    >"$out"/settings/waas.ini

printf -- '-COM:3\n-LOG:run.log\n-AD' >"$out"/command_line/port-log-date
printf -- '--replay\nday.zbin\n--speed\nmax' >"$out"/command_line/replay
printf -- '--simulate\n--snapshot=shots\n--seconds\n10\n-LI:30\n-LE-\n/la' >"$out"/command_line/snapshot
printf -- '-COM:/dev/ttyUSB0\n-LOGB:raw.bin\n-NA\n--settings\nz.ini' >"$out"/command_line/device
