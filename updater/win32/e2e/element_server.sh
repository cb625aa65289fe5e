#!/usr/bin/env bash
# One HTTP exchange for socat: plays the element-set server (and the proxy
# in front of it). Serves files from $ZT_SERVED by the request's path, with
# or without scheme and host (a proxy gets the whole URL); anything missing
# is a 404 page. Every request line is appended to $ZT_SERVER_LOG.
set -u
IFS= read -r request || exit 0
request=${request%$'\r'}
while IFS= read -r header; do
  header=${header%$'\r'}
  [ -z "$header" ] && break
done
printf '%s\n' "$request" >>"$ZT_SERVER_LOG"

read -r method target _ <<<"$request"
path=${target#http://}
[ "$path" != "$target" ] && path="/${path#*/}"
file="$ZT_SERVED$path"
if [ "$method" = GET ] && [[ "$path" != *..* ]] && [ -f "$file" ]; then
  printf 'HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: %d\r\nConnection: close\r\n\r\n' \
    "$(stat -c %s "$file")"
  cat "$file"
else
  body='<html><head><title>404 Not Found</title></head><body><h1>Not Found</h1></body></html>'
  printf 'HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: %d\r\nConnection: close\r\n\r\n%s' \
    "${#body}" "$body"
fi
