#!/usr/bin/env bash
# The websetup command as a vendor runs it: publish, serve on a free port,
# stamp; exit statuses and messages included.
set -u
tool=$1
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/app/bin"
echo program >"$work/app/Demo.exe"
echo tool >"$work/app/bin/tool.dll"
printf '[installer]\ndisplayName=Demo\nappName=DemoSetup\nappDir=C:\\Demo\\\npayloadName=Demo.exe\n' >"$work/desc.ini"

out=$("$tool" publish --store "$work/store" --description "$work/desc.ini" "$work/app" 2>/dev/null) \
  || fail "publish failed"
grep -q '^release 1 is current' <<<"$out" || fail "publish said: $out"
grep -q 'added    bin\\tool.dll' <<<"$out" || fail "publish listed: $out"

ln -s "$work/desc.ini" "$work/app/leak.txt"
if err=$("$tool" publish --store "$work/store" --description "$work/desc.ini" "$work/app" 2>&1); then
  fail "a symbolic link was published"
fi
grep -q '^websetup: "leak.txt" is a symbolic link' <<<"$err" || fail "publish of a link said: $err"
rm "$work/app/leak.txt"

printf '[installer]\nappName=A\n' >"$work/bad.ini"
if err=$("$tool" publish --store "$work/store" --description "$work/bad.ini" "$work/app" 2>&1); then
  fail "an incomplete description was published"
fi
grep -q '^websetup: .*displayName' <<<"$err" || fail "publish error said: $err"

"$tool" serve --store "$work/store" --port 0 --quiet >"$work/serve.out" &
server=$!
for _ in $(seq 50); do grep -q '^listening on ' "$work/serve.out" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/serve.out")
[ -n "$port" ] || fail "serve printed no port: $(cat "$work/serve.out")"
exec 3<>"/dev/tcp/127.0.0.1/$port" || fail "nothing listens on $port"
printf 'GET /cgi-bin/RUzodi HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n' >&3
head -1 <&3 | grep -q '^HTTP/1.1 405' || fail "GET was not refused with 405"
exec 3<&-
[ -f "$work/store/secret" ] || fail "serve made no secret"
chmod 644 "$work/store/secret"
if err=$(timeout 10 "$tool" serve --store "$work/store" --port 0 --quiet 2>&1); then
  fail "serve started on a secret others can read"
fi
grep -q "chmod 600 $work/store/secret" <<<"$err" || fail "serve said: $err"

# A secret file shared by several servers gets the store secret's check; the
# store's own secret (readable by others by now) is then not used at all.
secret="$work/shared-secret"
(umask 077; od -An -tx1 -N32 /dev/urandom | tr -d ' \n' >"$secret")
chmod 640 "$secret"
if err=$(timeout 10 "$tool" serve --store "$work/store" --port 0 --quiet --secret-file "$secret" 2>&1); then
  fail "serve started on a shared secret others can read"
fi
grep -q "chmod 600 $secret" <<<"$err" || fail "serve said: $err"
chmod 600 "$secret"
kill "$server"; wait "$server" 2>/dev/null
"$tool" serve --store "$work/store" --port 0 --quiet --secret-file "$secret" \
  --admin-address 127.0.0.1:0 >"$work/serve2.out" &
server=$!
for _ in $(seq 50); do grep -q '^admin listening on ' "$work/serve2.out" 2>/dev/null && break; sleep 0.1; done
admin=$(sed -n 's/^admin listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/serve2.out")
[ -n "$admin" ] || fail "serve printed no admin port: $(cat "$work/serve2.out")"
exec 3<>"/dev/tcp/127.0.0.1/$admin" || fail "nothing listens on the admin port $admin"
printf 'GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n' >&3
answer=$(cat <&3)
exec 3<&-
grep -q '^HTTP/1.1 200' <<<"$answer" || fail "healthz said: $answer"
grep -q '^ok: release 1' <<<"$answer" || fail "healthz said: $answer"
kill "$server"; wait "$server" 2>/dev/null; server=
if err=$(timeout 10 "$tool" serve --store "$work/store" --port 0 --secret-file "$work/none" 2>&1); then
  fail "serve started without its secret file"
fi
grep -q "$work/none\" cannot be read" <<<"$err" || fail "serve said: $err"
[ ! -e "$work/none" ] || fail "a missing shared secret was made up"

# The deployment example: files a vendor installs, the unit as systemd reads it.
"$tool" deploy-example --out "$work/deploy" --tool "$(readlink -f "$tool")" --store "$work/store" \
  --ports 7001,7002 --admin-ports 0 >"$work/deploy.out" || fail "deploy-example failed"
for f in websetup@.service websetup-nginx.conf websetup-sysusers.conf websetup@7001.env websetup@7002.env; do
  [ -s "$work/deploy/$f" ] || fail "deploy-example wrote no $f"
  grep -q "install -D -m 644 $f " "$work/deploy.out" || fail "deploy-example does not say where $f goes"
done
grep -q 'server 127.0.0.1:7002 ' "$work/deploy/websetup-nginx.conf" || fail "upstream lacks 7002"
if "$tool" deploy-example --out "$work/bad" --ports 7001,7002 --admin-ports 9001 2>/dev/null; then
  fail "two servers with one admin port were written"
fi
if command -v systemd-analyze >/dev/null; then
  cp "$work/deploy/websetup@.service" "$work/deploy/websetup@7001.service"
  out=$(systemd-analyze verify "$work/deploy/websetup@7001.service" 2>&1) \
    || fail "systemd-analyze verify: $out"
  [ -z "$out" ] || fail "systemd-analyze verify says: $out"
else
  echo "(no systemd-analyze: the unit is not verified)"
fi

{ printf 'MZ....'; printf 'websetup:server-host:v1\0'; head -c 232 /dev/zero; printf 'tail'; } >"$work/setup.exe"
"$tool" stamp "$work/setup.exe" "$work/stamped.exe" update.example.com:8443 >/dev/null \
  || fail "stamp failed"
grep -q 'update.example.com:8443' "$work/stamped.exe" || fail "the host is not in the copy"
[ "$(stat -c %s "$work/stamped.exe")" = "$(stat -c %s "$work/setup.exe")" ] || fail "size changed"
if "$tool" stamp "$work/setup.exe" "$work/bad.exe" 'bad host' 2>/dev/null; then
  fail "a bad host was stamped"
fi
[ ! -e "$work/bad.exe" ] || fail "a refused stamp wrote a file"
# Signing: a key pair, a signed release, a copy stamped with the public key.
out=$("$tool" keygen --out "$work/vendor.key") || fail "keygen failed"
[ "$(stat -c %a "$work/vendor.key")" = 600 ] || fail "the private key is not 0600"
pub=$(cat "$work/vendor.key.pub")
grep -q '^websetup-ed25519:[0-9a-f]\{64\}$' <<<"$pub" || fail "public key file: $pub"
grep -qF "$pub" <<<"$out" || fail "keygen did not print the public key: $out"
before=$(sha256sum "$work/vendor.key")
if "$tool" keygen --out "$work/vendor.key" 2>/dev/null; then fail "keygen replaced a key"; fi
[ "$(sha256sum "$work/vendor.key")" = "$before" ] || fail "the private key changed"

if err=$("$tool" publish --store "$work/store" --description "$work/desc.ini" --expires-days 3 \
    "$work/app" 2>&1); then
  fail "an unsigned release with an expiry was published"
fi
out=$("$tool" publish --store "$work/store" --description "$work/desc.ini" \
  --sign-key "$work/vendor.key" --expires-days 30 "$work/app" 2>/dev/null) || fail "signed publish failed"
grep -q '^signed; expires 20[0-9-]*T[0-9:]*Z$' <<<"$out" || fail "signed publish said: $out"
manifest="$work/store/releases/2/manifest"
grep -q '^\[release\]' "$manifest" && grep -q '^\[content\]' "$manifest" \
  && grep -q '^ed25519=[0-9a-f]\{128\}' "$manifest" || fail "the manifest is not sealed"
if err=$("$tool" publish --store "$work/store" --description "$work/desc.ini" "$work/app" 2>&1); then
  fail "an unsigned release followed a signed one"
fi
grep -q 'is signed' <<<"$err" || fail "unsigned publish said: $err"
out=$("$tool" resign --store "$work/store" --sign-key "$work/vendor.key") || fail "resign failed"
grep -q '^release 3 is current (release 2 signed anew' <<<"$out" || fail "resign said: $out"
grep -q '^signed; never expires$' <<<"$out" || fail "resign said: $out"

if "$tool" stamp "$work/setup.exe" "$work/signed.exe" update.example.com \
    --public-key "$work/vendor.key.pub" 2>/dev/null; then
  fail "a key was stamped into a program without a key slot"
fi
{ printf 'MZ....'; printf 'websetup:server-host:v1\0'; head -c 232 /dev/zero
  printf 'websetup:signing-key:v1\0'; head -c 104 /dev/zero; printf 'tail'; } >"$work/setup2.exe"
"$tool" stamp "$work/setup2.exe" "$work/signed.exe" update.example.com \
  --public-key "$work/vendor.key.pub" >/dev/null || fail "stamp with a key file failed"
grep -qF "$pub" "$work/signed.exe" || fail "the key is not in the copy"
"$tool" stamp "$work/setup2.exe" "$work/signed2.exe" update.example.com --public-key "$pub" \
  >/dev/null || fail "stamp with a key text failed"
cmp -s "$work/signed.exe" "$work/signed2.exe" || fail "the key's file and text stamp differently"
if "$tool" stamp "$work/setup2.exe" "$work/bad2.exe" update.example.com \
    --public-key "$work/vendor.key" 2>/dev/null; then
  fail "the private key was stamped as a public one"
fi
[ ! -e "$work/bad2.exe" ] || fail "a refused key stamp wrote a file"
echo "websetup command: all good"
