#!/usr/bin/env bash
# calvex-convert end to end: real clips through the real engine, the results
# checked with ffprobe and ffmpeg.
set -u
convert="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() { # description, then a command that must succeed
  local what="$1"; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
probe() { ffprobe -v error -select_streams "$2" -show_entries stream="$3" -of csv=p=0 "$1"; }
audio_md5() { ffmpeg -v error -i "$1" -map 0:a -c copy -f md5 -; }

ffmpeg -v error -y -f lavfi -i testsrc=duration=3:size=320x240:rate=25 \
  -f lavfi -i sine=duration=3 -c:v libx264 -c:a aac "$work/clip é.mp4"
src="$work/clip é.mp4"
src_md5=$(md5sum < "$src")

list=$("$convert" --list)
check "--list shows both catalogues" grep -q "^Audio compressors:" <<< "$list"
check "--list names mpeg4" grep -qE "^  mpeg4 +MPEG-4 part 2$" <<< "$list"

out=$("$convert" --video mpeg4 --keep-audio "$src" "$work/out put.avi" 2>/dev/null); rc=$?
check "a completed job exits 0" test "$rc" -eq 0
check "it says so" test "$out" = "Complete with no errors."
check "the video is MPEG-4 part 2" test "$(probe "$work/out put.avi" v:0 codec_name)" = mpeg4
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of csv=p=0 "$work/out put.avi")
check "every frame is there" test "$frames" = 75
check "the kept audio is bit-identical" test "$(audio_md5 "$src")" = "$(audio_md5 "$work/out put.avi")"

"$convert" --video "MPEG-4 part 2" --audio libmp3lame "$src" "$work/mp3.avi" >/dev/null 2>&1
check "re-encoded audio is MP3" test "$(probe "$work/mp3.avi" a:0 codec_name)" = mp3

ffmpeg -v error -y -f lavfi -i testsrc=duration=1:size=160x120:rate=25 \
  -f lavfi -i sine=duration=1 -c:v libx264 -c:a libopus "$work/opus.mkv"
out=$("$convert" --video mpeg4 "$work/opus.mkv" "$work/opus.avi" 2>/dev/null)
check "kept audio the AVI cannot carry is reported" test "$(head -n1 <<< "$out")" = \
  "Failed to render audio stream, check your codec combination and if the avi clip has audio."
ffmpeg -v error -y -f lavfi -i testsrc=duration=1:size=160x120:rate=25 -c:v libx264 "$work/silent.mp4"
out=$("$convert" --video mpeg4 "$work/silent.mp4" "$work/silent.avi" 2>/dev/null)
check "a source without audio needs no audio message" test "$out" = "Complete with no errors."

ffmpeg -v error -y -f lavfi -i sine=duration=1 -c:a libmp3lame "$work/sound-only.mp3"
out=$("$convert" --video mpeg4 "$work/sound-only.mp3" "$work/sound-only.avi" 2>/dev/null); rc=$?
check "a job that wrote no picture is no success" test "$rc" -eq 1
check "it ends as an error" test "$out" = "Error Abort, try not recompressing the audio codec."

echo "not a video" > "$work/text.mp4"
out=$("$convert" --video mpeg4 "$work/text.mp4" "$work/bad.avi" 2>/dev/null); rc=$?
check "a bad source fails" test "$rc" -eq 1
check "with the error outcome" test "$out" = "Error Abort, try not recompressing the audio codec."

out=$("$convert" "$src" "$work/./clip é.mp4" 2>/dev/null); rc=$?
check "the source as output is refused" test "$rc" -eq 1
check "with its message" test "$out" = "Source file cannot be the output file ! Please choose different files."

out=$("$convert" --video mpeg4 "$src" "$work/no such dir/out.avi" 2>/dev/null); rc=$?
check "an unwritable output fails" test "$rc" -eq 1

# Names FFmpeg would read as a protocol are plain file names here.
cp "$src" "$work/victim.mkv"
victim_md5=$(md5sum < "$work/victim.mkv")
(cd "$work" && "$convert" --video mpeg4 victim.mkv file:victim.mkv >/dev/null 2>&1)
check "an output named file:X never writes X" test "$(md5sum < "$work/victim.mkv")" = "$victim_md5"

mkfifo "$work/fifo.mp4"
out=$(timeout 30 "$convert" --video mpeg4 "$work/fifo.mp4" "$work/fifo.avi" 2>/dev/null); rc=$?
check "a FIFO as source fails at once instead of blocking" test "$rc" -eq 1

# Two clips joined end to end: the audio time stamps step back once.
for part in 1 2; do
  ffmpeg -v error -y -f lavfi -i testsrc=duration=1:size=160x120:rate=25 \
    -f lavfi -i sine=duration=1 -c:v mpeg2video -c:a mp2 "$work/part$part.ts"
done
cat "$work/part1.ts" "$work/part2.ts" > "$work/joined.ts"
"$convert" --video mpeg4 "$work/joined.ts" "$work/joined.avi" >/dev/null 2>&1
check "a joined file with kept audio converts" test $? -eq 0

# The sound changes its format half way: re-encoding goes on across it.
ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=44100 -ac 1 -c:a mp2 "$work/mono.ts"
ffmpeg -v error -y -f lavfi -i sine=duration=1:sample_rate=48000 -ac 2 -c:a mp2 "$work/stereo.ts"
cat "$work/mono.ts" "$work/stereo.ts" > "$work/sound.ts"
ffmpeg -v error -y -f lavfi -i testsrc=duration=2:size=160x120:rate=25 -i "$work/sound.ts" \
  -map 0:v -map 1:a -c:v mpeg2video -c:a copy "$work/changing.ts"
"$convert" --video mpeg4 --audio libmp3lame "$work/changing.ts" "$work/changing.avi" >/dev/null 2>&1
check "audio that changes its format re-encodes" test $? -eq 0

# A second picture stream: kept audio is still the audio.
ffmpeg -v error -y -f lavfi -i testsrc=duration=1:size=160x120:rate=25 \
  -f lavfi -i testsrc2=duration=1:size=160x120:rate=25 -f lavfi -i sine=duration=1 \
  -map 0 -map 1 -map 2 -c:v libx264 -c:a aac "$work/two-videos.mkv"
"$convert" --video mpeg4 "$work/two-videos.mkv" "$work/two-videos.avi" >/dev/null 2>&1
check "with two picture streams the kept stream is the sound" \
  test "$(probe "$work/two-videos.avi" a:0 codec_name)" = aac

ffmpeg -v error -y -f lavfi -i testsrc2=duration=60:size=640x480:rate=25 \
  -f lavfi -i sine=duration=60 -c:v libx264 -preset ultrafast -c:a aac "$work/long.mp4"
"$convert" --video libx264 "$work/long.mp4" "$work/partial.avi" >/dev/null 2>&1 &
pid=$!
sleep 1.5
kill -INT "$pid"
wait "$pid"; rc=$?
check "Ctrl-C aborts with status 130" test "$rc" -eq 130
frames=$(probe "$work/partial.avi" v:0 nb_frames)
check "the partial AVI has frames" test "${frames:-0}" -gt 0
check "and decodes whole" ffmpeg -v error -xerror -i "$work/partial.avi" -f null -

check "the source was never touched" test "$(md5sum < "$src")" = "$src_md5"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
