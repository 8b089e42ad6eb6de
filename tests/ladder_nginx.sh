#!/usr/bin/env bash
# The documented nginx configuration in front of `vorlen-ladder serve`: a
# real nginx, run as nobody in a folder of the test's own with the file as
# it is, only its "# site:" lines given this test's ports, name and a
# certificate of its own. Pages come through over TLS; plain HTTP is sent on;
# a body over the limit and a burst over the rate are refused. Exits 77
# (skipped) where nginx or openssl is not installed.
# Usage: ladder_nginx.sh VORLEN_LADDER_BINARY NGINX_CONF
set -euo pipefail
ladder=$1
conf=$2

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || skip "nginx is not installed (Debian: nginx)"
command -v openssl >/dev/null || skip "openssl is not installed"
command -v curl >/dev/null || skip "curl is not installed"
nginx=$(command -v nginx || echo /usr/sbin/nginx)

source "$(cd "$(dirname "$0")" && pwd)/nginx_front.sh"

"$ladder" init l >/dev/null || fail "init"
"$ladder" --ladder l serve --listen "127.0.0.1:$app" > serve.out 2>&1 &
started="$started $!"

start_nginx "$conf" "$app" "$plain" "$tls"

# A page, over TLS, with the server's own headers and the proxy's.
curl -sk -D headers.txt -o page.html "https://127.0.0.1:$tls/" || fail "no page through nginx"
grep -q '^HTTP/[0-9.]* 200' headers.txt || { cat headers.txt >&2; fail "the page was not served"; }
grep -q 'vorlen ladder' page.html || fail "not the ladder's page"
grep -qi '^strict-transport-security: max-age=' headers.txt || fail "no HSTS"
grep -qi "^content-security-policy: default-src 'none'" headers.txt || fail "the server's headers did not come through"

# Plain HTTP goes on to HTTPS.
code=$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "http://127.0.0.1:$plain/matches")
case $code in "301 https://127.0.0.1/matches") ;; *) fail "plain HTTP: $code" ;; esac

# A body over the limit never reaches the server.
head -c 200000 /dev/zero | tr '\0' x > big.txt
code=$(curl -sk -o /dev/null -w '%{http_code}' --data-binary @big.txt "https://127.0.0.1:$tls/")
[ "$code" = 413 ] || fail "a 200 KB body: $code, not 413"

# A burst over the rate is refused with 429; what it lets through is answered.
codes=$(for _ in $(seq 80); do curl -sk -o /dev/null -w '%{http_code}\n' "https://127.0.0.1:$tls/"; done | sort | uniq -c)
echo "$codes" | grep -q ' 429$' || fail "80 pages at once were all let through: $codes"
echo "$codes" | grep -q ' 200$' || fail "none of a burst was answered: $codes"
forms=$(for _ in $(seq 12); do curl -sk -o /dev/null -w '%{http_code}\n' -d x=1 "https://127.0.0.1:$tls/login"; done | sort | uniq -c)
echo "$forms" | grep -q ' 429$' || fail "12 sign-ins at once were all let through: $forms"
echo "nginx in front: TLS, redirect, body limit and rate limits as documented"
