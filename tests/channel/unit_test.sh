#!/usr/bin/env bash
# The systemd unit as installed: it takes the contact, the listen address and the SMTP relay from the
# operator's environment file, and systemd-analyze finds nothing wrong with it (run against this build's
# program).
# Usage: unit_test.sh <the configured tundrix-channel.service> <tundrix-channel> <tundrix-channel.env>
set -euo pipefail
unit=${1:?usage: unit_test.sh <service> <tundrix-channel> <env file>}
program=${2:?}
env=${3:?}
command -v systemd-analyze >/dev/null || { echo "SKIP: systemd-analyze is not installed"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

envfile=$(sed -n 's|^EnvironmentFile=||p' "$unit")
start=$(sed -n 's|^ExecStart=||p' "$unit")
[ -n "$envfile" ] || fail "no EnvironmentFile"
for word in '--listen ${LISTEN}' '--contact ${CONTACT}' '--trusted-proxy ${TRUSTED_PROXY}' '--smtp-host ${SMTP_HOST}' \
  '--smtp-port ${SMTP_PORT}' '--smtp-tls ${SMTP_TLS}' '--smtp-user ${SMTP_USER}' '--mail-from ${MAIL_FROM}' \
  '$CHANNEL_OPTIONS'; do
  [[ $start == *"$word"* ]] || fail "ExecStart lacks $word"
done
for name in LISTEN CONTACT PUBLIC_URL TRUSTED_PROXY SMTP_HOST SMTP_PORT SMTP_TLS SMTP_USER SMTP_PASSWORD MAIL_FROM \
  CHANNEL_OPTIONS; do
  grep -q "^$name=" "$env" || fail "the environment file does not set $name"
done
mkdir -p "$tmp/etc"
cp "$env" "$tmp/etc/channel.env"
sed -e "s|^EnvironmentFile=.*|EnvironmentFile=$tmp/etc/channel.env|" \
    -e "s|^ExecStart=[^ ]*|ExecStart=$program|" "$unit" >"$tmp/tundrix-channel.service"
systemd-analyze verify "$tmp/tundrix-channel.service" || fail "systemd-analyze verify"
echo PASS
