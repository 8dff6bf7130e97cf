#!/usr/bin/env bash
# libzelir.so must export its public API and nothing else: the ZelIr_* functions, the four
# S-record functions and the members of class CAviCode (with its vtable and type info).
# Usage: exported_symbols_test.sh path/to/libzelir.so
set -euo pipefail

lib=${1:?usage: exported_symbols_test.sh path/to/libzelir.so}

# Demangled names, without the address and the type letter.
symbols=$(nm -DC --defined-only "$lib" | sed -E 's/^[0-9a-fA-F]* *[A-Za-z] //' | sort -u)

public='^(ZelIr_[A-Za-z0-9_]+|SrecToBin|SrecCombinedToBin|EncodeSrec|DecodeSrec'
public+='|CAviCode::~?[A-Za-z=]+\(.*\)( const)?'
public+='|(vtable|typeinfo|typeinfo name) for CAviCode)$'

status=0
leaked=$(grep -Ev "$public" <<<"$symbols" || true)
if [ -n "$leaked" ]; then
    echo "FAIL: exported but not public API:"
    sed 's/^/  /' <<<"$leaked"
    status=1
fi

for required in SrecToBin SrecCombinedToBin EncodeSrec DecodeSrec ZelIr_SrecCombinedToBin \
    ZelIr_FreeSrecImage 'CAviCode::CreateAviFile(wchar_t const*, unsigned int, tagBITMAPINFO const*)' \
    'CAviCode::PushFrame(unsigned char const*, int, tagBITMAPINFO const*)' \
    'CAviCode::CloseAviFile()' 'CAviCode::GetFrameCounter() const' 'CAviCode::IsRecording() const' \
    'CAviCode::CAviCode()' 'CAviCode::~CAviCode()'; do
    if ! grep -Fxq -- "$required" <<<"$symbols"; then
        echo "FAIL: public API not exported: $required"
        status=1
    fi
done

count=$(wc -l <<<"$symbols")
[ "$status" -eq 0 ] && echo "OK: $count exported names, all public API"
exit "$status"
