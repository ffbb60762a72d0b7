#!/usr/bin/env bash
# Regenerates the recorded cues under assets/cues/ (and the default alert) with
# espeak-ng and sox. The game build never runs this: the WAV files are committed
# and compiled into the program. Needs the Debian packages espeak-ng and sox.
#
# Every recording is a mono PCM RIFF WAVE with the rate and bit depth of its
# row below and exactly round(length x rate) samples (halves to even), padded
# with silence at the end. Speech that would not fit is spoken faster rather
# than cut off.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out_dir="$root/assets/cues"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for tool in espeak-ng sox soxi; do
  command -v "$tool" >/dev/null || { echo "make_cues.sh needs $tool (apt-get install espeak-ng sox)" >&2; exit 1; }
done
mkdir -p "$out_dir"

# -- The cue table --
# name | rate (Hz) | bits | length (ms) | what it says (speech) or "effect"
cue_table=(
  "corkpop|22050|8|975|effect"
  "thunk|22050|8|624|effect"
  "sinking|11025|8|1723|effect"
  "speakpu|22050|16|1177|Pitch up"
  "speakpd|22050|16|1231|Pitch down"
  "speakyr|22050|16|1062|Yaw right"
  "speakyl|22050|16|1206|Yaw left"
  "speakrr|22050|16|1252|Roll right"
  "speakrl|22050|16|1278|Roll left"
  "speakred|22050|16|966|Red"
  "speakgreen|22050|16|947|Green"
  "speakblue|22050|16|866|Blue"
  "speakyellow|22050|16|1007|Yellow"
  "speakpurple|22050|16|986|Purple"
  "speakcyan|22050|16|939|Cyan"
  "speakallsixwalls|22050|16|1456|All six walls"
  "speakzeroobstructions|22050|16|1608|Zero obstructions"
  "speakshowrighthand|22050|16|1547|Show right hand"
  "speakshowhyphenhead|22050|16|1105|Show hyphen head"
  "speakecho|22050|16|964|Echo"
  "speaksky|22050|16|1031|Sky"
  "speakwhitherwander|22050|16|1199|Whither wander"
  "speakfreezemotionenter|22050|16|3033|Freeze motion, press Enter"
  "speakincomplete|22050|16|1302|Incomplete"
  "speakmainmenu|22050|16|1256|Main menu"
)

# sox, quiet but for errors; -R keeps its noise repeatable so that reruns give
# the same files, and -D leaves out dither, which would put an audible hiss
# into the silent tails of the 8-bit cues.
sx() { sox -R -D -V1 "$@"; }

# round(ms x rate / 1000) with halves to the even neighbour, in integers.
sample_count() {
  local ms=$1 rate=$2
  local product=$((ms * rate))
  local whole=$((product / 1000)) rest=$((product % 1000))
  if ((rest > 500 || (rest == 500 && whole % 2 == 1))); then whole=$((whole + 1)); fi
  echo "$whole"
}

# Writes $1 (any sox-readable sound) as the final recording $2: resampled,
# requantised, padded with silence and cut to exactly $5 samples.
finish_recording() {
  local source=$1 target=$2 rate=$3 bits=$4 samples=$5
  local encoding=signed-integer
  if ((bits == 8)); then encoding=unsigned-integer; fi
  sx "$source" -r "$rate" -b "$bits" -e "$encoding" -c 1 -t wavpcm "$target" \
    pad 0 5 trim 0 "${samples}s"
  local got
  got=$(soxi -s "$target")
  if ((got != samples)); then echo "$target: $got samples, wanted $samples" >&2; exit 1; fi
}

# -- Speech --
lead_in=0.04   # seconds of silence before the word starts
tail_room=0.08 # seconds of silence kept after the word ends

speak() {
  local phrase=$1 ms=$2 target_raw=$3
  local budget speed=165 spoken
  budget=$(awk -v ms="$ms" -v lead="$lead_in" -v tail="$tail_room" 'BEGIN { printf "%.4f", ms / 1000 - lead - tail }')
  while :; do
    espeak-ng -v en-us -s "$speed" -w "$work/voice.wav" "$phrase"
    # Strip espeak's own leading and trailing silence so the length is the word's.
    sx "$work/voice.wav" "$work/word.wav" \
      silence 1 0.005 0.3% reverse silence 1 0.005 0.3% reverse
    spoken=$(soxi -D "$work/word.wav")
    if awk -v a="$spoken" -v b="$budget" 'BEGIN { exit !(a <= b) }'; then break; fi
    speed=$((speed + 10))
    if ((speed > 450)); then echo "\"$phrase\" does not fit in $ms ms" >&2; exit 1; fi
  done
  # A short fade at the end keeps the cut after the last phoneme click-free.
  sx "$work/word.wav" "$target_raw" gain -n -1 fade q 0.005 -0 0.02 pad "$lead_in" 0
  echo "  \"$phrase\": ${spoken}s at $speed words a minute"
}

# -- Effects --
# A cork leaving a bottle: a click, a hollow pop falling quickly in pitch, and
# a little fizz afterwards.
make_corkpop() {
  local target=$1 rate=22050
  sx -n -r $rate -c 1 "$work/click.wav" synth 0.012 whitenoise highpass 2000 fade q 0 0.012 0.010 gain -4
  sx -n -r $rate -c 1 "$work/pop.wav" synth 0.07 sine 1400:320 fade q 0.001 0.07 0.06
  sx -n -r $rate -c 1 "$work/fizz.wav" synth 0.55 pinknoise highpass 3500 fade q 0.05 0.55 0.45 gain -14 pad 0.03 0
  sx -m "$work/click.wav" "$work/pop.wav" "$work/fizz.wav" "$target" gain -n -2 pad 0.01 0
}

# A dull knock on wood: a low, fast-dying tone under a muffled thump.
make_thunk() {
  local target=$1 rate=22050
  sx -n -r $rate -c 1 "$work/body.wav" synth 0.25 sine 140:60 fade q 0.002 0.25 0.23
  sx -n -r $rate -c 1 "$work/thump.wav" synth 0.05 brownnoise lowpass 500 fade q 0.001 0.05 0.045
  sx -m "$work/body.wav" "$work/thump.wav" "$target" gain -n -2 pad 0.01 0
}

# ROBO sinking away: a tone gliding down two octaves with a slow wobble,
# fading out as it goes.
make_sinking() {
  local target=$1 rate=11025
  sx -n -r $rate -c 1 "$target" synth 1.62 sine 660:165 tremolo 7 35 fade q 0.02 1.62 1.3 gain -n -2 pad 0.02 0
}

# The stand-in for the desktop's default alert: a short two-note chime.
make_alert() {
  local target=$1 rate=22050
  sx -n -r $rate -c 1 "$work/high.wav" synth 0.30 sine 1320 fade q 0.003 0.30 0.26
  sx -n -r $rate -c 1 "$work/low.wav" synth 0.30 sine 880 fade q 0.003 0.30 0.26
  sx -m "$work/high.wav" "$work/low.wav" "$target" gain -n -3
}

# -- Making every cue --
for row in "${cue_table[@]}"; do
  IFS='|' read -r name rate bits ms what <<<"$row"
  samples=$(sample_count "$ms" "$rate")
  target="$out_dir/${name^^}.wav"
  echo "${name^^}: $rate Hz, $bits bits, $samples samples"
  if [[ $what == effect ]]; then
    "make_$name" "$work/raw.wav"
  else
    speak "$what" "$ms" "$work/raw.wav"
  fi
  finish_recording "$work/raw.wav" "$target" "$rate" "$bits" "$samples"
done

echo "DEFAULT ALERT: 22050 Hz, 16 bits"
make_alert "$work/raw.wav"
finish_recording "$work/raw.wav" "$root/assets/default_alert.wav" 22050 16 "$(sample_count 320 22050)"
