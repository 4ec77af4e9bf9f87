#!/usr/bin/env bash
# Puts the pinned SQLCipher amalgamation (sqlite3.c, sqlite3.h) into DEST.
# The source is the npm package below; its tarball is fetched with `npm pack`
# unless DEST holds it already (so a build offline works), and it must match
# the SHA-256 kept in cmake/sqlcipher-amalgamation.sha256.
# usage: tools/scripts/fetch-sqlcipher.sh DEST
set -euo pipefail
dest=${1:?usage: fetch-sqlcipher.sh DEST}
top=$(cd "$(dirname "$0")/../.." && pwd)
sums=$top/cmake/sqlcipher-amalgamation.sha256
package=@journeyapps/sqlcipher@6.0.0
tarball=journeyapps-sqlcipher-6.0.0.tgz
member=package/deps/sqlcipher-amalgamation

mkdir -p "$dest"
cd "$dest"
if [ ! -f "$tarball" ]; then
  if ! command -v npm >/dev/null; then
    echo "fetch-sqlcipher: npm is needed to fetch $package (tools/scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
  npm pack --silent --prefer-offline "$package" >/dev/null
fi
if ! sha256sum --check --quiet --status "$sums"; then
  mv -f "$tarball" "$tarball.rejected"
  echo "fetch-sqlcipher: $tarball does not match $sums; moved aside as $tarball.rejected" >&2
  exit 1
fi
tar -xzf "$tarball" --strip-components=3 "$member/sqlite3.c" "$member/sqlite3.h"
