#!/usr/bin/env bash
# The operator's commands through the real program on a fresh machine: a home with nothing in it, a
# channel serving while the operator moderates, sets up a competition, draws and publishes its winners
# and backs the database up; the game's own poster sends the scores.
# Usage: operator_test.sh <tundrix-channel> <tundrix_post_score>
set -euo pipefail
program=${1:?usage: operator_test.sh <tundrix-channel> <tundrix_post_score>}
poster=${2:?}
# shellcheck source=../../tools/start_listening.sh
. "$(dirname "$0")/../../tools/start_listening.sh"
tmp=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$tmp/channel.log" ] && { echo "-- channel log"; tail -n 15 "$tmp/channel.log"; }
  exit 1
}
for proxy in http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY; do unset "$proxy"; done
# A fresh home: the default database's folders do not exist yet. The server's days are Stockholm's.
export HOME="$tmp/home" TZ=Europe/Stockholm
unset XDG_DATA_HOME
mkdir -p "$HOME"
ch() { "$program" "$@"; }
expect_status() { # STATUS COMMAND...
  local want=$1 got=0
  shift
  "$@" >"$tmp/out" 2>"$tmp/err" || got=$?
  [ "$got" = "$want" ] || fail "'$*' exited $got, not $want: $(cat "$tmp/out" "$tmp/err")"
}

# Every subcommand explains each of its options and its default.
for command in serve "user add" "member ban" "member rename" "score hide" "score delete" flagged moderation \
  announce backup "release add" "competition add" "competition end" winners replays; do
  # shellcheck disable=SC2086
  help=$(ch $command --help) || fail "$command --help failed"
  grep -q "^tundrix-channel \[--db FILE\] $command" <<<"$help" || fail "$command --help: $help"
  while read -r option; do
    grep -A1 -- "^    $option" <<<"$help" | grep -qi 'default\|required' ||
      fail "$command --help gives no default for $option"
  done < <(grep -o -- '^    --[a-z-]*' <<<"$help" | sed 's/^ *//')
done

for who in anna bo cilla dan; do
  printf 'hemligt\n' | ch user add "$who@example.se" >/dev/null || fail "user add $who on a fresh home"
done
[ -f "$HOME/.local/share/tundrix-channel/channel.db" ] || fail "no database in the default place"
# The released build is measured as the game measures itself: the poster's scores come from it.
expect_status 0 ch release add 2 --from "$poster"
expect_status 1 ch release add 3 --from "$tmp/no-such-file"
expect_status 1 ch release add 2 --from "$poster" # known already
# A relay for the password links wants the channel's own address for them, and a sender.
expect_status 2 ch serve --smtp-host 127.0.0.1 --mail-from kanalen@example.se
grep -q -- "--public-url" "$tmp/err" || fail "serve with a relay and no --public-url: $(cat "$tmp/err")"
expect_status 2 ch serve --smtp-host 127.0.0.1 --public-url http://kanalen.test
expect_status 2 ch serve --credential-cache 3601
grep -q -- "--credential-cache wants 0 to 3600 seconds" "$tmp/err" || fail "serve --credential-cache: $(cat "$tmp/err")"
expect_status 2 ch serve --smtp-host 127.0.0.1 --smtp-port 0 --public-url http://kanalen.test \
  --mail-from kanalen@example.se
grep -q -- "--smtp-port wants 1 to 65535" "$tmp/err" || fail "serve --smtp-port 0: $(cat "$tmp/err")"

start_listening "$tmp/channel.log" "$program" serve --listen 127.0.0.1:0 --rate-limits off
pid=$server_pid
post() { "$poster" "http://127.0.0.1:$port" "$1@example.se" hemligt "$2" 3000 | cut -d' ' -f1; }
for entry in anna:900 bo:700 cilla:700 dan:500; do
  [ "$(post "${entry%%:*}" "${entry##*:}")" = 0 ] || fail "the score of $entry was not a personal best"
done
# Nobody reaches that in three seconds: kept, answered like any kept score, and listed with its reason.
[ "$(post dan 999999)" = 1 ] || fail "an impossible score was not answered 1"
flagged=$(ch flagged)
[ "$(wc -l <<<"$flagged")" = 2 ] || fail "flagged lists more than the impossible score: $flagged"
grep -q $'\tdan\tdan@example.se\t999999\t.*+01:00\tno\tscore 999999 beyond' <<<"$flagged" ||
  fail "flagged: $flagged"

today=$(date +%F)
day() { ch winners --day "$today" --unverified | cut -d, -f1,2,4 | tail -n +2 | tr '\n' ' '; }
[ "$(day)" = "1,anna,900 2,bo,700 3,cilla,700 4,dan,500 " ] || fail "the day's standings: $(day)"
ch winners --day "$today" --unverified | grep -q '^1,anna,anna@example.se,900,[0-9T:-]*+01:00,no$' ||
  fail "the CSV's times are not local with their offset: $(ch winners --day "$today" --unverified)"

# Moderation: a hidden score and a banned member leave the boards; each step is logged.
anna_score=$(sqlite3 "$HOME/.local/share/tundrix-channel/channel.db" \
  "SELECT s.id FROM scores s JOIN members m ON m.id = s.member_id WHERE m.nickname = 'anna'")
expect_status 0 ch score hide "$anna_score" --reason "fel klass"
[ "$(day)" = "1,bo,700 2,cilla,700 3,dan,500 " ] || fail "a hidden score still counts: $(day)"
expect_status 0 ch score show "$anna_score"
expect_status 0 ch member ban dan@example.se --reason fusk
[ "$(day)" = "1,anna,900 2,bo,700 3,cilla,700 " ] || fail "a banned member still counts: $(day)"
[ "$(post dan 600)" = 1 ] || fail "a banned member's score was not answered 1"
expect_status 0 ch member unban dan@example.se
expect_status 0 ch member rename bo Bosse
expect_status 1 ch member rename cilla B0SSE # a look-alike of one taken
expect_status 1 ch score delete 999
expect_status 1 ch member ban nobody@example.se
expect_status 2 ch score hide
log=$(ch moderation)
for action in "score hide"$'\t'"score $anna_score"$'\t'"fel klass" "score show" "member ban"$'\t'"member 4"$'\t'fusk \
  "member unban" "member rename"$'\t'"member 2"$'\t'"bo -> Bosse"; do
  grep -qF "$action" <<<"$log" || fail "the moderation log lacks '$action': $log"
done

# A daily competition drawn by lot among the three best: the same seed, the same winners.
expect_status 2 ch competition add --kind hourly --name-sv X --to "$today"
expect_status 2 ch competition add --kind daily --name-sv X --from "$today" --to 2020-01-01
expect_status 2 ch competition add --kind daily --name-sv X --to "$today" --winners 2 --draw-among 1001
grep -q -- "--draw-among wants 0, or from the number of winners to 1000" "$tmp/err" || fail "$(cat "$tmp/err")"
expect_status 0 ch competition add --kind daily --name-sv "Klassens dag" --name-en "The class's day" \
  --to "$today" --winners 2 --draw-among 3 --prizes-sv "Biobiljetter" --prizes-en "Cinema tickets"
grep -q '^competition 1 added' "$tmp/out" || fail "competition add: $(cat "$tmp/out")"
ch competition list | grep -q $'^1\tdaily\t'"$today"$'\t'"$today"$'\trunning\t2\t3\tKlassens dag' ||
  fail "competition list: $(ch competition list)"
draw() { ch winners --competition 1 --day "$today" --unverified --seed "$1" 2>/dev/null | tail -n +2 | tr '\n' ' '; }
first=$(draw klass-7b)
[ "$first" = "$(draw klass-7b)" ] || fail "the same seed drew otherwise"
# Anna, Bosse and Cilla share the lot (dan is after them): two of them win, each once.
[ "$(tr ' ' '\n' <<<"$first" | grep -cE '^[12],(anna|Bosse|cilla),')" = 2 ] || fail "the draw: $first"
seen=""
for seed in a b c d e f g h i j k l m n o p; do seen+=$(draw "$seed"); done
for who in anna Bosse cilla; do grep -q ",$who," <<<"$seen" || fail "$who never won in 16 draws: $seen"; done
grep -q ",dan," <<<"$seen" && fail "dan, fourth, won a lot among the three best"
# The day is not over: its winners wait, unless the operator says otherwise.
expect_status 2 ch winners --competition 1 --day "$today" --unverified --seed klass-7b --publish
ch winners --competition 1 --day "$today" --unverified --seed klass-7b --publish --early >/dev/null 2>&1 ||
  fail "publishing the draw"
expect_status 1 ch winners --competition 1 --day "$today" --unverified --seed other --publish --early
# The competition's winners page shows the draw as published: each winner's nickname with its result.
winners_page=$(curl -s "http://127.0.0.1:$port/tavling/1/vinnare/")
for winner in $first; do
  IFS=, read -r _ nickname _ result <<<"$winner"
  grep -qF "<span class=\"nick\">$nickname</span> ($result " <<<"$winners_page" ||
    fail "the winners page does not show $nickname with $result"
done
expect_status 2 ch winners --competition 1 --day 2020-01-01
expect_status 0 ch competition end 1
expect_status 1 ch competition end 1

# A recruiting bonus competition counts who recruited whom within its days.
printf 'hemligt\n' | ch user add erik@example.se >/dev/null
sqlite3 "$HOME/.local/share/tundrix-channel/channel.db" \
  "UPDATE members SET recruiter_id = 2 WHERE nickname IN ('dan', 'erik'); UPDATE members SET recruiter_id = 1 WHERE nickname = 'cilla'"
expect_status 0 ch competition add --kind recruiting --name-sv "Värva" --to "$today"
[ "$(ch winners --competition 2 2>/dev/null | tail -n +2)" = "1,Bosse,bo@example.se,2" ] ||
  fail "the recruiting draw: $(ch winners --competition 2)"

# An announcement up to a day; not a day, no announcement.
expect_status 0 ch announce "Finalen är på fredag" --until "$today"
expect_status 2 ch announce "Finalen" --until fredag
# The competitions' changes and the announcement are in the log beside the moderation.
log=$(ch moderation)
for action in "competition add"$'\t'"competition 1"$'\t'"daily $today to $today: Klassens dag" \
  "competition end"$'\t'"competition 1" "winners publish"$'\t'"competition 1" \
  "competition add"$'\t'"competition 2"$'\t'"recruiting" "announce"$'\t'"until $today"$'\t'"Finalen är på fredag"; do
  grep -qF "$action" <<<"$log" || fail "the moderation log lacks '$action': $log"
done
[ "$(grep -c "^.*"$'\t'"announce"$'\t' <<<"$log")" = 1 ] || fail "a refused announcement was logged: $log"

# A backup taken while the channel serves and writes is whole, and restores to a channel that starts.
posts=()
for n in 1 2 3; do
  post anna $((900 + n)) >/dev/null &
  posts+=($!)
done
expect_status 0 ch backup "$tmp/backup.db"
for job in "${posts[@]}"; do wait "$job"; done
expect_status 1 ch backup "$tmp/backup.db" # never over an existing file
[ "$(sqlite3 "$tmp/backup.db" 'PRAGMA integrity_check')" = ok ] || fail "the backup is not whole"
[ ! -e "$tmp/backup.db-wal" ] || fail "the backup left a WAL file beside it"
expect_status 0 ch --db="$tmp/backup.db" user list # an option also takes its value after "="
grep -q "erik@example.se" "$tmp/out" || fail "the backup lacks the latest member"
expect_status 0 ch --db "$tmp/backup.db" competition list
echo PASS
