# What the tests of a ladder's site behind nginx share, sourced (with fail()
# defined): a folder of the test's own, $work, open to nobody and the working
# folder, removed at the end with what was started in it (the pids in
# $started) ended first; three free ports, $app, $plain and $tls; and
# start_nginx.
work=$(mktemp -d)
chmod 755 "$work" # nginx and the bots run as nobody
started=
cleanup() {
  for pid in $started; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  [ -z "${before_removal:-}" ] || $before_removal
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
app=$(free_port) plain=$(free_port) tls=$(free_port)

# Starts the documented nginx configuration in front of a ladder's server,
# run as nobody in "$work/nginx": the file as it is, only its "# site:" lines
# given the ports, the name "localhost" and a certificate of its own.
# Usage: start_nginx CONF APP_PORT PLAIN_PORT TLS_PORT
start_nginx() {
  local conf=$1 app=$2 plain=$3 tls=$4
  local nginx
  nginx=$(command -v nginx || echo /usr/sbin/nginx)
  mkdir -p nginx/logs nginx/temp
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost -keyout nginx/key.pem -out nginx/cert.pem \
    >/dev/null 2>&1 || fail "no certificate made"
  sed -e "s|server 127.0.0.1:8080; # site.*|server 127.0.0.1:$app;|" \
      -e "s|listen 80; # site.*|listen 127.0.0.1:$plain;|" \
      -e "s|listen 443 ssl http2; # site.*|listen 127.0.0.1:$tls ssl http2;|" \
      -e "s|server_name .*; # site.*|server_name localhost;|" \
      -e "s|ssl_certificate .*; # site.*|ssl_certificate $work/nginx/cert.pem;|" \
      -e "s|ssl_certificate_key .*; # site.*|ssl_certificate_key $work/nginx/key.pem;|" \
      "$conf" > nginx/site.conf
  [ "$(sed 's/#.*//' nginx/site.conf | grep -c 'example.org\|8080\|letsencrypt')" = 0 ] || fail "a site line was not given this test's values"
  cat > nginx/nginx.conf <<CONF
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 256; }
http {
    access_log $work/nginx/logs/access.log;
    client_body_temp_path $work/nginx/temp/body;
    proxy_temp_path $work/nginx/temp/proxy;
    fastcgi_temp_path $work/nginx/temp/fastcgi;
    uwsgi_temp_path $work/nginx/temp/uwsgi;
    scgi_temp_path $work/nginx/temp/scgi;
    include $work/nginx/site.conf;
}
CONF
  chown -R nobody nginx
  runuser -u nobody -- "$nginx" -p "$work/nginx" -c "$work/nginx/nginx.conf" -t >nginx/test.out 2>&1 ||
    { cat nginx/test.out >&2; fail "nginx refuses the documented configuration"; }
  runuser -u nobody -- "$nginx" -p "$work/nginx" -c "$work/nginx/nginx.conf" &
  started="$! $started"
  for _ in $(seq 50); do
    curl -sk -o /dev/null "https://127.0.0.1:$tls/" && return 0
    sleep 0.1
  done
  fail "nginx does not answer"
}
