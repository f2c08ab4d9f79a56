#!/usr/bin/env bash
# A setup.exe signed as docs/vendor-guide.md tells the vendor to sign it is
# still the same program. The sample distribution's setup.exe (stripped, as
# it ships) is signed with osslsigncode by a code-signing certificate made
# here with openssl (self-signed, as a PKCS#12 file); the signature verifies
# with that certificate as the trusted one, and neither the unsigned file, a
# signed copy changed afterwards nor a strange certificate verifies. Then the
# signed copy, in a copy of the distribution, installs the sample product
# unattended under Wine and removes it again, each run ending with 0.
#
#   tests/e2e/SignedSetup.sh DISTRIBUTION_FOLDER
#
# CTest runs it natively inside the Wine test bed (scripts/winebed.sh), whose
# prefix holds everything it makes.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 DISTRIBUTION_FOLDER" >&2; exit 2; }
dist=$1
if [ -z "${WINEBED_PREFIX:-}" ]; then
    echo "SignedSetup: run inside the Wine test bed (scripts/winebed.sh), which keeps setup.exe away from the host" >&2
    exit 2
fi
for tool in openssl osslsigncode wine; do
    command -v "$tool" >/dev/null || { echo "SignedSetup: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done
[ -f "$dist/setup.exe" ] && [ -f "$dist/setup.fls" ] || { echo "SignedSetup: $dist holds no distribution" >&2; exit 1; }

# Everything goes into a fresh folder on the bed's drive C:, which the setup
# sees as C:\<its name>.
work=$(mktemp -d "$WINEBED_PREFIX/drive_c/signed-setup.XXXXXX")
trap 'rm -rf "$work"' EXIT
windows="C:\\$(basename "$work")"
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

echo "== a code-signing certificate of our own"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Halvarn Software test signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -in "$work/cert.pem" -inkey "$work/key.pem" -passout pass:test -out "$work/cert.p12"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Somebody else" \
    -keyout "$work/other-key.pem" -out "$work/other.pem" 2>/dev/null

echo "== signing a copy of the distribution's setup.exe"
cp -r "$dist" "$work/dist"
rm "$work/dist/setup.exe"
# No time stamp here: the bed has no network. A vendor adds -ts with a
# time-stamping server (docs/vendor-guide.md).
osslsigncode sign -pkcs12 "$work/cert.p12" -pass test -n "Halvarn 95 Setup" -h sha256 \
    -in "$dist/setup.exe" -out "$work/dist/setup.exe"

echo "== verifying"
if ! osslsigncode verify -CAfile "$work/cert.pem" -in "$work/dist/setup.exe" >"$work/verify.txt" 2>&1; then
    cat "$work/verify.txt" >&2
    fail "the signed setup.exe does not verify with its certificate"
fi
grep -q "Signature verification: ok" "$work/verify.txt" || fail "the verification does not say the signature is ok"
osslsigncode verify -CAfile "$work/cert.pem" -in "$dist/setup.exe" >/dev/null 2>&1 &&
    fail "the unsigned setup.exe verifies"
osslsigncode verify -CAfile "$work/other.pem" -in "$work/dist/setup.exe" >/dev/null 2>&1 &&
    fail "the signed setup.exe verifies with a certificate that did not sign it"
# A byte changed after signing (in the program's code, past the headers), as
# stripping or patching the file would change it.
cp "$work/dist/setup.exe" "$work/changed.exe"
printf '\x90' | dd of="$work/changed.exe" bs=1 seek=8192 conv=notrunc status=none
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed.exe" >/dev/null 2>&1 &&
    fail "a signed setup.exe changed after signing still verifies"

echo "== installing the sample with the signed setup.exe, unattended"
dest="$windows\\Halvarn"
status=0
(cd "$work/dist" && wine "$windows\\dist\\setup.exe" /quiet "/dir=$dest" /nogroup /nolaunch \
    "/log=$windows\\install.log") || status=$?
[ "$status" -eq 0 ] || fail "the signed setup.exe ended the installation with $status, not 0"
tail -n 1 "$work/install.log" 2>/dev/null | tr -d '\r' | grep -qx "Exit code 0: finished" ||
    fail "the installation's log does not end with its exit code 0"
for name in halvarn95.exe readme.txt halvarn.dat; do
    cmp -s "$work/dist/$name" "$work/Halvarn/$name" || fail "$name is not installed as the distribution holds it"
done
[ -f "$work/Halvarn/uninst.fls" ] || fail "no uninstall log was written"

echo "== removing it again with the signed setup.exe"
status=0
(cd "$work/dist" && wine "$windows\\dist\\setup.exe" /quiet "/uninstall=$dest\\uninst.fls" \
    "/log=$windows\\remove.log") || status=$?
[ "$status" -eq 0 ] || fail "the signed setup.exe ended the removal with $status, not 0"
[ ! -e "$work/Halvarn" ] || fail "the product's folder is still there after its removal"

if [ "$failures" -ne 0 ]; then
    for log in install.log remove.log; do
        if [ -f "$work/$log" ]; then
            { echo "-- $log"; tr -d '\r' <"$work/$log"; } >&2
        fi
    done
    exit 1
fi
echo "SignedSetup: passed"
