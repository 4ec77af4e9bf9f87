#!/usr/bin/env bash
# with-site-server.sh COMMAND [ARG...]
# Starts a real PostgreSQL 15 server in a temporary folder for COMMAND and
# removes it afterwards, whatever COMMAND does. The server listens on
# 127.0.0.1 on a free port with TLS only (a certificate for "localhost" and
# 127.0.0.1 from a CA made here) and on a Unix socket where its superuser
# "postgres" logs in without a password. It runs as the current user, or as
# the postgres system user when that is root. COMMAND sees:
#   VOSTREL_TEST_PG_ADMIN    admin connection string (Unix socket, database vostrel)
#   VOSTREL_TEST_PG_HOST / _PORT   address for TLS connections
#   VOSTREL_TEST_PG_DATA     the data folder (pg_hba.conf, postgresql.conf)
#   VOSTREL_TEST_PG_CA_CERT / _CA_KEY   the CA that signed the server's certificate
#   VOSTREL_TEST_PG_SCRATCH  a folder the server can read, for the test's files
#   VOSTREL_TEST_PG_CTL      a command that takes "stop" or "start": stops the
#                            server (fast) or starts it again on its port
# and ends with COMMAND's status.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }

pgbin=/usr/lib/postgresql/15/bin
top=$(mktemp -d /tmp/vostrel-site-server.XXXXXX)
chmod 755 "$top"
as_server=()
if [ "$(id -u)" -eq 0 ]; then
  as_server=(runuser -u postgres --)
fi
data=$top/data
sock=$top/sock
tls=$top/tls

stop_server() {
  if [ -f "$data/postmaster.pid" ]; then
    "${as_server[@]}" "$pgbin/pg_ctl" -D "$data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$top"
}
trap stop_server EXIT
trap 'exit 130' INT TERM

mkdir -p "$sock" "$tls" "$top/scratch"
chmod 777 "$top/scratch"
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Vostrel test CA" \
  -keyout "$tls/ca.key" -out "$tls/ca.crt" >/dev/null 2>&1
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
  -keyout "$tls/server.key" -out "$tls/server.csr" >/dev/null 2>&1
printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\n' >"$tls/server.ext"
openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.crt" -CAkey "$tls/ca.key" \
  -CAcreateserial -days 30 -extfile "$tls/server.ext" -out "$tls/server.crt" >/dev/null 2>&1
chmod 600 "$tls/server.key" "$tls/ca.key"
chmod 644 "$tls/ca.crt" "$tls/server.crt"
if [ ${#as_server[@]} -gt 0 ]; then
  chown postgres "$sock" "$tls/server.key"
  chown -R postgres "$top/scratch"
  install -d -o postgres "$data"
else
  mkdir -p "$data"
fi

"${as_server[@]}" "$pgbin/initdb" -D "$data" -U postgres -E UTF8 --locale=C.UTF-8 \
  --auth-local=trust --auth-host=reject >"$top/initdb.log" 2>&1 ||
  { cat "$top/initdb.log" >&2; exit 1; }
cat >>"$data/postgresql.conf" <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = '$sock'
ssl = on
ssl_cert_file = '$tls/server.crt'
ssl_key_file = '$tls/server.key'
ssl_ca_file = '$tls/ca.crt'
fsync = off
EOF
# Only the Unix socket until the test writes the lines it checks.
printf 'local all all trust\n' >"$data/pg_hba.conf"

# A port another program took between the choice and the start makes the
# start fail: try again with another.
started=no
for _ in 1 2 3 4 5 6 7 8; do
  port=$((20000 + RANDOM % 30000))
  if "${as_server[@]}" "$pgbin/pg_ctl" -D "$data" -o "-p $port" -l "$data/server.log" -w -t 30 start >/dev/null 2>&1; then
    started=yes
    break
  fi
done
[ $started = yes ] || { cat "$data/server.log" >&2; exit 1; }
"$pgbin/createdb" -h "$sock" -p "$port" -U postgres vostrel

export VOSTREL_TEST_PG_ADMIN="host=$sock port=$port dbname=vostrel user=postgres"
export VOSTREL_TEST_PG_HOST=localhost VOSTREL_TEST_PG_PORT=$port
export VOSTREL_TEST_PG_DATA=$data
export VOSTREL_TEST_PG_CA_CERT=$tls/ca.crt VOSTREL_TEST_PG_CA_KEY=$tls/ca.key
export VOSTREL_TEST_PG_SCRATCH=$top/scratch
cat >"$top/pg-ctl.sh" <<EOF
#!/usr/bin/env bash
case "\$1" in
  stop) ${as_server[*]} $pgbin/pg_ctl -D $data -m fast -w stop ;;
  start) ${as_server[*]} $pgbin/pg_ctl -D $data -o "-p $port" -l $data/server.log -w -t 30 start ;;
  *) exit 2 ;;
esac
EOF
chmod 755 "$top/pg-ctl.sh"
export VOSTREL_TEST_PG_CTL=$top/pg-ctl.sh
status=0
"$@" || status=$?
exit $status
