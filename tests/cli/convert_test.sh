#!/usr/bin/env bash
# calvex-convert end to end with the real engine: its options, messages and
# exit codes. What the engine writes is checked by tests/integration.
set -u
convert="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

check() { # description, then a command that must succeed
  local what="$1"; shift
  "$@" || { failed=$((failed + 1)); echo "FAILED: $what"; }
}
probe() { ffprobe -v error -select_streams "$2" -show_entries stream="$3" -of csv=p=0 "$1"; }
clip() { # seconds, output, further ffmpeg arguments; $size, when set, the picture size
  ffmpeg -v error -y -f lavfi -i "testsrc2=duration=$1:size=${size:-320x240}:rate=25" "${@:3}" "$2"; }

src="$work/clip é.mp4"
clip 3 "$src" -f lavfi -i sine=duration=3 -c:v libx264 -c:a aac
src_md5=$(md5sum < "$src")

check "--list names each encoder by key and name under its catalogue" grep -qzP \
  "^Video compressors:\n(.*\n)*  mpeg4 +MPEG-4 part 2\n(.*\n)*Audio compressors:\n(.*\n)*  libmp3lame " \
  <<< "$("$convert" --list)"

out=$("$convert" --video mpeg4 --keep-audio "$src" "$work/out put.avi" 2>/dev/null); rc=$?
check "a completed job says so and exits 0" test "$rc:$out" = "0:Complete with no errors."
check "with the chosen video encoder and the sound kept" \
  test "$(probe "$work/out put.avi" v:0 codec_name)/$(probe "$work/out put.avi" a:0 codec_name)" = mpeg4/aac
"$convert" --video "MPEG-4 part 2" --audio libmp3lame "$src" "$work/mp3.avi" >/dev/null 2>&1
check "encoders are found by name too; --audio re-encodes the sound" \
  test "$(probe "$work/mp3.avi" v:0 codec_name)/$(probe "$work/mp3.avi" a:0 codec_name)" = mpeg4/mp3

clip 1 "$work/opus.mkv" -f lavfi -i sine=duration=1 -c:v libx264 -c:a libopus
check "kept sound the AVI cannot carry is reported" test "$("$convert" "$work/opus.mkv" \
  "$work/opus.avi" 2>/dev/null)" = $'Failed to render audio stream, check your codec combination and if the avi clip has audio.\nComplete with no errors.'

ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a libmp3lame "$work/sound-only.mp3"
out=$("$convert" "$work/sound-only.mp3" "$work/sound-only.avi" 2>/dev/null); rc=$?
check "a job that wrote no picture is an error, exit 1" \
  test "$rc:$out" = "1:Error Abort, try not recompressing the audio codec."

ln -s "clip é.mp4" "$work/link.avi"
out=$("$convert" "$src" "$work/link.avi" 2>/dev/null); rc=$?
check "the source under another name is refused, exit 1" \
  test "$rc:$out" = "1:Source file cannot be the output file ! Please choose different files."
check "and the name is left in place" test -L "$work/link.avi"

size=640x480 clip 60 "$work/long.mp4" -f lavfi -i sine=duration=60 -c:v libx264 -preset ultrafast -c:a aac
"$convert" --video libx264 "$work/long.mp4" "$work/partial.avi" >/dev/null 2>&1 &
pid=$!
sleep 1.5
kill -INT "$pid"
start=$EPOCHREALTIME
wait "$pid"; rc=$?
ms=$(( (${EPOCHREALTIME/./} - ${start/./}) / 1000 ))
check "Ctrl-C aborts within 1 s ($ms ms) with status 130" test "$rc" -eq 130 -a "$ms" -lt 1000
indexed=$(probe "$work/partial.avi" v:0 nb_frames)
decoded=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of csv=p=0 "$work/partial.avi")
check "leaving an indexed AVI ($indexed of $decoded frames)" test "${indexed:-0}" -gt 0 -a \
  "${indexed:-0}" -ge "${decoded:-1}" -a "${indexed:-0}" -le "$(( ${decoded:-0} + 1 ))"
check "that decodes whole" ffmpeg -v error -xerror -i "$work/partial.avi" -f null -

check "the source was never written" test "$(md5sum < "$src")" = "$src_md5"
[ "$failed" -eq 0 ] && echo "all passed"
