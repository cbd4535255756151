#!/usr/bin/env bash
# calvex-convert end to end with the real engine: its options, messages and
# exit codes. What the engine writes is checked by tests/integration; stops
# by Ctrl-C and other signals, a missing source's exit status and the
# machine-readable outcome by batch_test.py and stop_signals_test.py;
# encoder flags reaching the file by tests/ui (encoder sheets).
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

check "--list names each encoder by key and name under its catalogue, and where its files play" grep -qzP \
  "^Video compressors:\n(.*\n)*  mpeg4 +MPEG-4 part 2\n +plays on: Standalone DivX/Xvid players, \
Windows, every desktop player\n(.*\n)*Audio compressors:\n(.*\n)*  libmp3lame " <<< "$("$convert" --list)"

said() { tail -n "${2:-1}" <<< "$1"; } # the last lines of what was said on stderr

err=$("$convert" --keep-audio "$src" "$work/out put.avi" 2>&1 >"$work/stdout"); rc=$?
check "a completed job says so on stderr and exits 0" test "$rc:$(said "$err")" = "0:Complete with no errors."
check "after its progress, with speed and time left" grep -qE '^100%  0:00:03 of 0:00:03  [0-9.]+x  0:00:00 left$' <<< "$err"
check "stdout carries nothing unasked for" test ! -s "$work/stdout"
check "mpeg4 unless told otherwise, with the sound kept" \
  test "$(probe "$work/out put.avi" v:0 codec_name)/$(probe "$work/out put.avi" a:0 codec_name)" = mpeg4/aac
"$convert" --video "MPEG-4 part 2" --audio libmp3lame --audio-option b=96000 --quiet "$src" "$work/mp3.avi" 2>"$work/quiet"
check "encoders are found by name too; --audio re-encodes the sound at its setting; --quiet is quiet" \
  test "$(probe "$work/mp3.avi" a:0 codec_name,bit_rate)/$(wc -c < "$work/quiet")" = mp3,96000/0

"$convert" --keep-audio --video-option flags:cgop=1 --quiet "$src" "$work/cgop.avi"
check "a closed GOP opens MPEG-4 part 2 (scene-cut key frames turned off for it)" test -s "$work/cgop.avi"

clip 1 "$work/opus.mkv" -f lavfi -i sine=duration=1 -c:v libx264 -c:a libopus
check "kept sound the AVI cannot carry is reported" grep -qx "Failed to render audio stream, check your \
codec combination and if the avi clip has audio." <<< "$("$convert" "$work/opus.mkv" "$work/opus.avi" 2>&1)"

echo "an older output" > "$work/older.avi"
"$convert" "$work/missing.mp4" "$work/older.avi" 2>/dev/null
check "a job that cannot start leaves the old output as it was" test "$(cat "$work/older.avi")" = "an older output"
mkfifo "$work/fifo.avi"
err=$("$convert" "$src" "$work/fifo.avi" 2>&1); rc=$?
check "a FIFO as output is refused and left" test "$rc:$err" = "1:The output file cannot be replaced: it is not a \
regular file. Please choose another output file." -a -p "$work/fifo.avi"
ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a libmp3lame "$work/sound-only.mp3"
err=$("$convert" "$work/sound-only.mp3" "$work/sound-only.avi" 2>&1); rc=$?
check "a source without pictures is an error that says so, exit 1" test "$rc:$(said "$err" 2)" = \
  "1:Error Abort, try not recompressing the audio codec."$'\n''The source file "'"$work"'/sound-only.mp3" has no picture stream'
check "and leaves no empty output behind" test ! -e "$work/sound-only.avi"
"$convert" --video-option nonesuch=1 "$src" "$work/x.avi" 2>"$work/err"; rc=$?
check "an unknown setting is wrong usage, named" test "$rc:$(cat "$work/err")" = \
  "2:calvex-convert: the encoder mpeg4 has no setting named nonesuch"
"$convert" --video nonesuch --preset x "$src" "$work/x.avi" 2>"$work/err"; rc=$?
check "so is an unknown encoder" test "$rc:$(cat "$work/err")" = "2:calvex-convert: no video encoder named nonesuch (see --list)"
"$convert" --preset x "$src" "$work/x.avi" 2>"$work/err"; rc=$?
check "and a preset the encoder does not have" test "$rc:$(cat "$work/err")" = "2:calvex-convert: the encoder mpeg4 has no presets"
size=1280x720 clip 1 "$work/hd.mp4" -c:v libx264 -preset ultrafast
"$convert" --preset standalone-player --quiet "$work/hd.mp4" "$work/player.avi"
check "--preset standalone-player writes for a DVD player: ASP, at most 720x576" \
  test "$(probe "$work/player.avi" v:0 profile,width,height)" = "Advanced Simple Profile,720,406"
"$convert" --video mjpeg --preset standalone-player "$src" "$work/x.avi" 2>"$work/err"; rc=$?
check "which other encoders refuse" test "$rc:$(cat "$work/err")" = \
  "2:calvex-convert: the encoder mjpeg does not write for standalone players (mpeg4 and libxvid do)"
check "--version" test "$("$convert" --version)" = "calvex-convert 1.2"

ln -s "clip é.mp4" "$work/link.avi"
err=$("$convert" "$src" "$work/link.avi" 2>&1); rc=$?
check "the source under another name is refused, exit 1" \
  test "$rc:$err" = "1:Source file cannot be the output file ! Please choose different files."
check "and the name is left in place" test -L "$work/link.avi"

check "the source was never written" test "$(md5sum < "$src")" = "$src_md5"
[ "$failed" -eq 0 ] && echo "all passed"
