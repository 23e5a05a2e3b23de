#!/bin/sh
# The program imports statically only Windows' known DLLs, which the loader
# always takes from the system folder; every other library is delay-loaded
# or loaded by the program itself from the system folder.
#   sh import_table_test.sh OBJDUMP PROGRAM
set -eu
objdump=$1
program=$2
known="kernel32 user32 gdi32 gdiplus imm32 msvcrt ole32 oleaut32 shell32 shlwapi
advapi32 combase rpcrt4 sechost setupapi ws2_32"

imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sed 's/\.dll$//')
[ -n "$imports" ] || { echo "no import table read from $program"; exit 1; }
failed=0
for dll in $imports; do
    case " $(echo $known) " in
        *" $dll "*) ;;
        *) echo "imports $dll.dll, which is not a known DLL"; failed=1 ;;
    esac
done
[ $failed -eq 0 ] && echo "imports only known DLLs:" $imports
exit $failed
