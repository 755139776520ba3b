# shellcheck shell=bash
# Debian's nginx in front of a channel on this machine, for the tests and the benchmarks: the site file
# the repository ships, with only its ports, certificate, upstream and log folder changed, run as an ordinary user
# with its own prefix in a scratch folder, on loopback ports, with a self-signed certificate made now.
#
# start_nginx <channel port> <scratch folder>: sets nginx_pid, nginx_http and nginx_https (ports).
# stop_nginx: stops it again.
root_of_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

start_nginx() {
  local channel=$1 dir=$2 site="$root_of_repo/channel/deploy/nginx/tundrix-channel.conf" attempt
  command -v nginx >/dev/null || { echo "SKIP: nginx is not installed"; exit 77; }
  mkdir -p "$dir"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=localhost \
    -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" -keyout "$dir/key.pem" -out "$dir/cert.pem" 2>/dev/null
  for attempt in 1 2 3 4 5; do
    nginx_http=$(( 20000 + RANDOM % 20000 ))
    nginx_https=$(( nginx_http + 1 ))
    sed -e "s|^\( *\)listen 80;|\1listen 127.0.0.1:$nginx_http;|" \
        -e "s|^\( *\)listen 443 ssl http2;|\1listen 127.0.0.1:$nginx_https ssl http2;|" \
        -e "/listen \[::\]/d" \
        -e "s|server 127.0.0.1:8080;|server 127.0.0.1:$channel;|" \
        -e "s|ssl_certificate .*;|ssl_certificate $dir/cert.pem;|" \
        -e "s|ssl_certificate_key .*;|ssl_certificate_key $dir/key.pem;|" \
        -e "s|access_log /var/log/nginx/|access_log $dir/|" \
        "$site" >"$dir/tundrix-channel.conf"
    cat >"$dir/nginx.conf" <<CONF
worker_processes 1;
worker_rlimit_nofile 8192;
daemon off;
pid $dir/nginx.pid;
error_log $dir/error.log warn;
events { worker_connections 4096; }
http {
    access_log off;
    client_body_temp_path $dir/body;
    proxy_temp_path $dir/proxy;
    fastcgi_temp_path $dir/fastcgi;
    uwsgi_temp_path $dir/uwsgi;
    scgi_temp_path $dir/scgi;
    include $dir/tundrix-channel.conf;
}
CONF
    # Never as root: the master itself runs as an ordinary user.
    local as=()
    if [ "$(id -u)" = 0 ]; then
      chown -R nobody:nogroup "$dir"
      chmod o+x "$(dirname "$dir")"
      as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    "${as[@]}" nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/error.log" &
    nginx_pid=$!
    for _ in $(seq 50); do
      if curl -s -o /dev/null "http://127.0.0.1:$nginx_http/"; then return 0; fi
      kill -0 "$nginx_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
    grep -q "Address already in use" "$dir/error.log" 2>/dev/null || { cat "$dir/error.log"; echo "nginx did not start"; exit 1; }
  done
  echo "nginx found no free ports"; exit 1
}

# Peak resident memory of nginx's processes (master and workers), in MiB.
nginx_peak_mib() {
  local total=0 p
  for p in $nginx_pid $(pgrep -P "$nginx_pid" 2>/dev/null); do
    total=$(( total + $(awk '/^VmHWM/ { print $2 }' "/proc/$p/status" 2>/dev/null || echo 0) ))
  done
  echo $(( total / 1024 ))
}

stop_nginx() {
  [ -n "${nginx_pid:-}" ] || return 0
  kill -TERM "$nginx_pid" 2>/dev/null || true
  wait "$nginx_pid" 2>/dev/null || true
  nginx_pid=""
}
