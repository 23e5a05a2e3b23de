# A local certificate authority for HTTPS on localhost, made with openssl
# and trusted through the host's store the way local-HTTPS development
# tools do it: the CA goes to /usr/local/share/ca-certificates and
# update-ca-certificates rebuilds /etc/ssl/certs, which Wine reads afresh in
# every process. Sourced by the demo service and the test drivers.
#
#   local_ca_make DIR                  DIR/ca.crt, DIR/ca.key and DIR/server.key
#   local_ca_server_cert DIR OUT HOST [START END]
#                                      certificate OUT for HOST with DIR's
#                                      server key, signed by DIR's CA, valid
#                                      from START to END (YYYYMMDDHHMMSSZ;
#                                      default: now, 30 days)
#   local_ca_self_signed DIR OUT HOST  certificate OUT for HOST, signed by the
#                                      server key itself
#   local_ca_install DIR NAME          trusts DIR/ca.crt as NAME.crt
#   local_ca_remove NAME               takes NAME.crt out of the store again
#
# Needs a shell with "local" (dash, bash). The store is shared by everyone
# on the machine: use a NAME of your own run.

LOCAL_CA_STORE=/usr/local/share/ca-certificates
# update-ca-certificates writes a fixed temporary file; runs must not overlap.
LOCAL_CA_LOCK=/tmp/kestrel-update-ca-certificates.lock

local_ca_as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

local_ca_update_store() {
    local_ca_as_root flock -w 300 "$LOCAL_CA_LOCK" update-ca-certificates >/dev/null 2>&1
}

local_ca_make() {
    local dir=$1
    mkdir -p "$dir"
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/ca.key" -out "$dir/ca.crt" \
        -days 30 -subj "/CN=Kestrel local CA $(basename "$dir") $$" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null || return 1
    openssl genrsa -out "$dir/server.key" 2048 2>/dev/null
}

local_ca_server_cert() {
    local dir=$1 out=$2 host=$3 start=${4:-} end=${5:-}
    local work status
    work=$(mktemp -d "$dir/.ca-XXXXXX") || return 1
    : > "$work/index.txt"
    echo 01 > "$work/serial"
    cat > "$work/ca.cnf" <<EOF
[ca]
default_ca = local
[local]
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
default_md = sha256
default_days = 30
policy = any
unique_subject = no
[any]
commonName = supplied
[server]
basicConstraints = critical,CA:FALSE
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:$host
EOF
    if ! openssl req -new -key "$dir/server.key" -subj "/CN=$host" -out "$work/server.csr" 2>/dev/null; then
        rm -rf "$work"
        return 1
    fi
    set -- -batch -notext -config "$work/ca.cnf" -extensions server \
        -cert "$dir/ca.crt" -keyfile "$dir/ca.key" -in "$work/server.csr" -out "$out"
    [ -z "$start" ] || set -- "$@" -startdate "$start" -enddate "$end"
    openssl ca "$@" >/dev/null 2>&1
    status=$?
    rm -rf "$work"
    return $status
}

local_ca_self_signed() {
    local dir=$1 out=$2 host=$3
    openssl req -x509 -key "$dir/server.key" -out "$out" -days 30 -subj "/CN=$host" \
        -addext "subjectAltName=DNS:$host" -addext "extendedKeyUsage=serverAuth" 2>/dev/null
}

local_ca_install() {
    local dir=$1 name=$2
    local_ca_as_root cp "$dir/ca.crt" "$LOCAL_CA_STORE/$name.crt" || return 1
    local_ca_update_store
}

local_ca_remove() {
    local name=$1
    [ -f "$LOCAL_CA_STORE/$name.crt" ] || return 0
    local_ca_as_root rm -f "$LOCAL_CA_STORE/$name.crt"
    local_ca_update_store
}
