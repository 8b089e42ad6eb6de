#!/usr/bin/env bash
# The ladder's site in a real browser behind the real nginx: a ladder with
# a house bot, its runner and its server, the documented nginx in front,
# and ladder_browser.py driving headless Chromium through it. The Python
# kit is handed in with the vorlen module beside it (a bot's own folder is
# on its path), as a participant without vorlen installed would. Exits 77
# (skipped) where Chromium, nginx or openssl is not installed.
# Usage: ladder_browser.sh VORLEN_LADDER NGINX_CONF PYTHON_KIT VORLEN_MODULE
set -euo pipefail
ladder=$1 conf=$2 kit=$3 module=$4
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x /usr/bin/chromium ] || skip "Chromium is not installed (Debian: chromium)"
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || skip "nginx is not installed (Debian: nginx)"
command -v openssl >/dev/null || skip "openssl is not installed"

keep_shots() { [ -z "${VORLEN_KEEP_SHOTS:-}" ] || cp "$work"/shots/*.png "$VORLEN_KEEP_SHOTS"/ 2>/dev/null || true; }
before_removal=keep_shots
source "$here/nginx_front.sh"

"$ladder" init l >/dev/null || fail "init"
"$ladder" --ladder l admin signup open >/dev/null
mkdir house
cat > house/bot.sh <<'BOT'
awk 'NF { last = $0; if (!first) first = $0 } END { o = substr(first, 1, 1); p = substr(last, length(last), 1);
  for (c = 1; c <= 6; c++) if (c != o && c != p) { print c; exit } }' vorla.in > vorla.out
BOT
"$ladder" --ladder l add house "$work/house" --command "sh bot.sh" >/dev/null || fail "add house"
mkdir kit
cp -r "$kit"/. kit/
cp "$module" kit/
python3 - "$work/kit" "$work/kit.zip" <<'ZIP'
import os, sys, zipfile
folder, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as out:
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            out.write(path, os.path.join("kit", os.path.relpath(path, folder)))
ZIP

"$ladder" --ladder l serve --listen "127.0.0.1:$app" > serve.out 2>&1 &
started="$started $!"
"$ladder" --ladder l run > run.out 2>&1 &
started="$started $!"
start_nginx "$conf" "$app" "$plain" "$tls"
mkdir shots
python3 "$here/ladder_browser.py" "https://127.0.0.1:$tls" "$work/kit.zip" "$work/shots" ||
  { tail -n 20 run.out serve.out >&2; fail "the browser's day on the site"; }
