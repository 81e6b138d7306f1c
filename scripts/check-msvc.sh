#!/usr/bin/env bash
# What this machine can check of the plug-in as Microsoft's compiler builds it for a real server:
#   compile  every plug-in source (plugin/**/*.cpp, in batches of eight) and every header of plugin/host/
#            on its own for x86_64-pc-windows-msvc, with Microsoft's layout rules, so every static_assert on a
#            game-bound layout (FString, ChatMessageRecord, RCONPacket...) holds there too, and -Werror
#            catches what only GCC accepts
#   names    the host functions' decorated names against plugin/host/version.def, and the import
#            library made from that file; the game's fields and functions the plug-in asks for by
#            name, against the game's names
#   calls    the calling rules of the by-value chat record and colour, read from the object code
#   slots    the virtual tables of ICommands, IApiUtils and IHooks, slot by slot, against the host's
#   smoke    an MSVC-target DLL linked against version.def's import library, loaded under Wine
# No argument runs all five. Objects land in build/msvc-check (QV_MSVC_BUILD_DIR); ccache is used
# when present, so a second run takes a few seconds.
#
# Headers: MinGW-w64's C headers and libstdc++, with scripts/msvc/ForcedInclude.h filling the gaps, so
# that these checks need nothing beyond Debian's packages (libc++ with Wine's C headers fails on
# everything that reaches <locale>). libstdc++'s std:: layouts are not Microsoft's: the Microsoft-ABI
# build (preset windows-msvc-abi, which needs QV_MS_STL) compiles against Microsoft's own library and
# asserts the layouts that cross the boundary.
set -euo pipefail
shopt -s globstar nullglob

cd "$(dirname "$0")/.."
out=${QV_MSVC_BUILD_DIR:-build/msvc-check}
jobs=$(nproc 2>/dev/null || echo 2)

fail() {
    echo "check-msvc: $*" >&2
    exit 1
}

for tool in clang++-14 llvm-nm-14 llvm-undname-14 llvm-objdump-14 llvm-dlltool-14; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh"
done
cxx=(clang++-14)
if command -v ccache >/dev/null; then cxx=(ccache clang++-14); fi

libstdcxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ 2>/dev/null | sort -V | tail -n 1)
[ -n "$libstdcxx" ] || fail "MinGW-w64's libstdc++ headers are missing: run scripts/install-deps.sh"
gcc_major=$(basename "$(dirname "$(dirname "$libstdcxx")")")
gcc_major=${gcc_major%%[.-]*}

# The third-party headers without the rest of /usr/include, whose glibc headers would win over MinGW's.
mkdir -p "$out/third-party-include"
for dir in nlohmann fmt; do
    [ -d "/usr/include/$dir" ] || fail "/usr/include/$dir is missing: run scripts/install-deps.sh"
    ln -sfn "/usr/include/$dir" "$out/third-party-include/$dir"
done

# -fgnuc-version: libstdc++ and MinGW's headers take a compiler without __GNUC__ for Microsoft's.
# __EXCEPTIONS: with __GNUC__ defined, fmt takes exceptions to be off unless it is defined too, and
# would compile its throws as aborts.
flags_for() {
    echo "--target=$1 -fgnuc-version=$gcc_major -std=c++17 -nostdinc++ -nostdlibinc
          -isystem $libstdcxx -isystem $libstdcxx/x86_64-w64-mingw32 -isystem $libstdcxx/backward
          -isystem /usr/x86_64-w64-mingw32/include -isystem $out/third-party-include
          -include scripts/msvc/ForcedInclude.h -D__EXCEPTIONS -DFMT_HEADER_ONLY -I.
          -Wall -Wextra -Wpedantic -Werror"
}
msvc=x86_64-pc-windows-msvc
gnu=x86_64-w64-windows-gnu

# compile_one TARGET SOURCE OBJECT [FLAG...]
compile_one() {
    local target=$1 source=$2 object=$3
    shift 3
    mkdir -p "$(dirname "$object")"
    # shellcheck disable=SC2046
    "${cxx[@]}" $(flags_for "$target") "$@" -c "$source" -o "$object"
}

# compile_batch OUT LIST: the sources named in the file LIST, one translation unit (OUT/unity/...):
# they share the standard library's and json's templates, which each would otherwise instantiate
# again. When the batch fails, each of its sources is compiled alone, and only those errors count, so
# a name that two sources both define in their own files is never taken for a fault.
compile_batch() {
    local out=$1 list=$2 batch source status=0
    batch="$out/unity/$(basename "$list" .list).cpp"
    sed 's/.*/#include "&"/' "$list" >"$batch"
    compile_one "$msvc" "$batch" "${batch%.cpp}.obj" 2>/dev/null && return 0
    while read -r source; do
        compile_one "$msvc" "$source" "$out/obj/${source%.cpp}.obj" || status=1
    done <"$list"
    return "$status"
}

check_compile() {
    # util/ is compiled into the plug-in too.
    local sources=(plugin/**/*.cpp util/*.cpp)
    [ ${#sources[@]} -gt 0 ] || fail "no plug-in sources under plugin/"
    # Batches of eight, as the CI presets' unity builds; the sources that plugin/CMakeLists.txt keeps
    # out of those are compiled alone here too.
    local alone
    alone=$(sed -n 's/^set_source_files_properties(\(.*\) PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)/\1/p' plugin/CMakeLists.txt)
    rm -rf "$out/unity"
    mkdir -p "$out/unity"
    local source count=0
    for source in "${sources[@]}"; do
        if [[ " $alone " == *" ${source#plugin/} "* ]]; then
            echo "$source" >"$out/unity/alone-$count.list"
        else
            echo "$source" >>"$out/unity/batch-$((count / 8)).list"
        fi
        count=$((count + 1))
    done
    export -f compile_one compile_batch flags_for
    export out libstdcxx gcc_major msvc
    export CXX_LAUNCH="${cxx[*]}"
    if ! ls "$out"/unity/*.list |
        xargs -P "$jobs" -I{} bash -c 'cxx=($CXX_LAUNCH); compile_batch "$out" "$1"' _ {}; then
        fail "compile: a plug-in source does not compile for $msvc (errors above)"
    fi
    # A header's layout asserts hold even before a source includes it.
    local header headers=(plugin/host/*.h)
    for header in "${headers[@]}"; do
        "${cxx[@]}" $(flags_for $msvc) -Wno-pragma-once-outside-header -fsyntax-only -x c++ "$header" ||
            fail "compile: $header does not compile on its own for $msvc (errors above)"
    done
    echo "compile: all ${#sources[@]} plug-in sources and the ${#headers[@]} headers of plugin/host/ compile for $msvc; every layout static_assert holds"
}

# Decorated names, sorted, one a line: the imports of an object, or the exports of a .def.
imports_of() { llvm-nm-14 -u "$1" | sed -n 's/^ *U __imp_//p' | LC_ALL=C sort; }
exports_of() { sed -n '/^EXPORTS/,$p' "$1" | sed '1d; s/;.*//; s/^[[:space:]]*//; s/[[:space:]]*$//; /^$/d' | LC_ALL=C sort; }
# One name a line, each with the declaration it decodes to.
explain() { while read -r name; do echo "    $name"$'\n'"      = $(llvm-undname-14 "$name" | sed -n 2p)"; done; }

check_names() {
    local def=plugin/host/version.def header=plugin/host/ArkApi.h object=$out/HostImports.obj
    # Names only: the old ABI's std::string has no __cxx11 namespace, so its name is Microsoft's.
    compile_one $msvc scripts/msvc/HostImports.cpp "$object" -D_GLIBCXX_USE_CXX11_ABI=0 ||
        fail "names: scripts/msvc/HostImports.cpp does not compile for $msvc"

    local declared referenced
    declared=$(grep -cE '^ARK_API ' "$header")
    referenced=$(imports_of "$object" | wc -l)
    [ "$declared" -eq "$referenced" ] ||
        fail "names: $header declares $declared ARK_API functions and scripts/msvc/HostImports.cpp takes $referenced: add the new one there and to $def"

    local missing extra
    missing=$(LC_ALL=C comm -23 <(imports_of "$object") <(exports_of "$def"))
    extra=$(LC_ALL=C comm -13 <(imports_of "$object") <(exports_of "$def"))
    if [ -n "$missing$extra" ]; then
        [ -z "$missing" ] || echo "names: the plug-in imports these, which $def lacks:"$'\n'"$(explain <<<"$missing")" >&2
        [ -z "$extra" ] || echo "names: $def lists these, which $header does not declare:"$'\n'"$(explain <<<"$extra")" >&2
        fail "names: $def does not match $header"
    fi

    llvm-dlltool-14 -m i386:x86-64 -d "$def" -l "$out/version.lib" || fail "names: llvm-dlltool rejects $def"
    local unlisted
    unlisted=$(LC_ALL=C comm -23 <(exports_of "$def") <(llvm-nm-14 "$out/version.lib" | sed -n 's/^.* T __imp_//p' | LC_ALL=C sort))
    [ -z "$unlisted" ] || fail "names: $out/version.lib lacks the import of:"$'\n'"$(explain <<<"$unlisted")"
    echo "names: the $declared host functions' decorated names match $def; $out/version.lib made from it"
    explain < <(exports_of "$def")
    check_game_names
}

# The game's fields and functions that the plug-in asks the host for by name ("Class.Member"), as the
# game's symbols spell them and the framework's public headers use them. A name the game lacks finds
# nothing on a real server, however well our stand-in answers it. "Class." alone stands for names
# the plug-in completes at run time (the multipliers, from its table).
game_names() {
    cat <<'NAMES'
AController.PlayerState
AShooterCharacter.bIsServerAdmin
AShooterGameMode.
AShooterGameMode.SetMessageOfTheDay
AShooterPlayerController.ClientChatMessage
AShooterPlayerController.ClientServerChatDirectMessage
AShooterPlayerController.ClientServerSOTFNotificationCustom
AShooterPlayerController.GetPlayerCharacter
FMemory.Free
FMemory.Malloc
FMemory.Realloc
FWeakObjectPtr.Get
RCONClientConnection.SendMessageW
UWorld.PlayerControllerList
NAMES
}

# The names are read from the object code, as the compiler kept them; then each one must be the
# game's, and the stand-in must answer it (or the tests would not reach the code that asks).
check_game_names() {
    local object=$out/names/Game.obj asked unknown unanswered name
    compile_one $msvc plugin/host/Game.cpp "$object" || fail "names: plugin/host/Game.cpp does not compile for $msvc"
    asked=$(llvm-strings-14 "$object" | grep -E '^[A-Z][A-Za-z0-9_]+\.[A-Za-z0-9_]*$' | grep -vE '\.(cpp|h)$' | LC_ALL=C sort -u)
    [ -n "$asked" ] || fail "names: no game name found in plugin/host/Game.cpp's object code"
    unknown=$(LC_ALL=C comm -23 <(echo "$asked") <(game_names | LC_ALL=C sort))
    [ -z "$unknown" ] || fail "names: the plug-in asks for these, which are not the game's names:"$'\n'"$unknown"
    unanswered=""
    while read -r name; do
        grep -rqF "\"$name" standin/ || unanswered+="$name"$'\n'
    done <<<"$asked"
    [ -z "$unanswered" ] || fail "names: the stand-in answers none of these:"$'\n'"$unanswered"
    echo "names: the $(wc -l <<<"$asked") game names the plug-in asks for are the game's, and the stand-in answers each:"
    sed 's/^/    /' <<<"$asked"
}

# The instructions and relocations of one function (by its decorated name) in an object file.
function_body() {
    llvm-objdump-14 -d -r --no-show-raw-insn "$1" | awk -v want="<$2>:" '/^[0-9a-f]+ <.*>:$/ { inside = ($2 == want); next } inside'
}
# Code symbols only: the unwind tables Microsoft's rules add carry the function's name too.
function_named() { llvm-nm-14 --defined-only "$1" | awk -v part="$2" '$2 == "T" && index($3, part) { print $3; exit }'; }

# check_record_rule TARGET CALLER_DESTROYS(yes|no): who copies and who destroys the by-value record.
check_record_rule() {
    local target=$1 caller_destroys=$2 dir=$out/calls/$1
    compile_one "$target" plugin/host/Game.cpp "$dir/Game.obj" -O1 && compile_one "$target" scripts/msvc/CallProbe.cpp "$dir/CallProbe.obj" -O1 ||
        fail "calls: the probe does not compile for $target"
    # The record's copy and destruction, or its strings' once inlined; Microsoft's names, then Itanium's.
    local copy='\?\?0(ChatMessageRecord|FString)@@QEAA@AEB|_ZN(17ChatMessageRecord|7FString)C[12]ERKS_'
    local destroy='\?\?1(ChatMessageRecord|FString)@@QEAA@XZ|_ZN(17ChatMessageRecord|7FString)D[12]Ev'
    local caller callee
    caller=$(function_body "$dir/Game.obj" "$(function_named "$dir/Game.obj" SendChatMessage)")
    callee=$(function_body "$dir/CallProbe.obj" "$(function_named "$dir/CallProbe.obj" ReceiveChatRecord)")
    [ -n "$caller" ] && [ -n "$callee" ] || fail "calls: Game::SendChatMessage or the probe's callee is missing from the $target objects"
    grep -qE "$copy" <<<"$caller" || fail "calls ($target): Game::SendChatMessage does not copy the record it passes"
    local callee_destroys=no caller_did=no
    if grep -qE "$destroy" <<<"$caller"; then caller_did=yes; fi
    if grep -qE "$destroy" <<<"$callee"; then callee_destroys=yes; fi
    [ "$caller_did" = "$caller_destroys" ] ||
        fail "calls ($target): the caller destroys the by-value record: $caller_did, expected $caller_destroys"
    [ "$callee_destroys" != "$caller_destroys" ] ||
        fail "calls ($target): the called function destroys the by-value record: $callee_destroys, expected the other side"
}

check_calls() {
    check_record_rule $msvc no
    # The same check with MinGW's rule, which our stand-in follows, so a reading that could not tell
    # the two apart fails here.
    check_record_rule $gnu yes
    # The colour's 16 bytes arrive behind a pointer in the second argument register, not in registers.
    local green
    green=$(function_body "$out/calls/$msvc/CallProbe.obj" "$(function_named "$out/calls/$msvc/CallProbe.obj" ReadGreen)")
    grep -qE 'movss[[:space:]]+4\(%rdx\)' <<<"$green" ||
        fail "calls: a by-value MessageColor is not read through the address in rdx:"$'\n'"$green"
    echo "calls: $msvc: Game::SendChatMessage copies the record and the game destroys it; a MessageColor travels by address"
    echo "calls: $gnu (the stand-in's rule): the caller destroys the record"
}

# The host's virtual tables, as its public headers declare them: order and signatures bind, names
# do not. Microsoft's tables give the destructor one slot. Signatures as llvm-undname prints them,
# without the words class, struct, enum and __cdecl.
host_slots() {
    cat <<'LAYOUT'
IApiUtils 0 destructor
IApiUtils 1 UWorld * (void) const
IApiUtils 2 AShooterGameMode * (void) const
IApiUtils 3 ArkApi::ServerStatus (void) const
IApiUtils 4 AShooterCheatManager * (void) const
IApiUtils 5 AShooterPlayerController * (unsigned __int64) const
IApiUtils 6 slots in all
ICommands 0 destructor
ICommands 1 void (FString const &, std::function<void(AShooterPlayerController *, FString *, EChatSendMode::Type)> const &)
ICommands 2 void (FString const &, std::function<void(APlayerController *, FString *, bool)> const &)
ICommands 3 void (FString const &, std::function<void(RCONClientConnection *, RCONPacket *, UWorld *)> const &)
ICommands 4 void (FString const &, std::function<void(float)> const &)
ICommands 5 void (FString const &, std::function<void(void)> const &)
ICommands 6 void (FString const &, std::function<bool(AShooterPlayerController *, FString *, EChatSendMode::Type, bool, bool)> const &)
ICommands 7 bool (FString const &)
ICommands 8 bool (FString const &)
ICommands 9 bool (FString const &)
ICommands 10 bool (FString const &)
ICommands 11 bool (FString const &)
ICommands 12 bool (FString const &)
ICommands 13 slots in all
IHooks 0 destructor
IHooks 1 bool (std::basic_string<char, std::char_traits<char>, std::allocator<char>> const &, void *)
IHooks 2 bool (std::basic_string<char, std::char_traits<char>, std::allocator<char>> const &, void *, void **)
IHooks 3 slots in all
LAYOUT
}

# Our declaration's tables as Microsoft's rules lay them out: the number of slots and slot 0 from the
# compiler's own dump, every other slot's signature and byte offset from scripts/msvc/SlotProbe.cpp's
# decorated names.
check_slots() {
    local object=$out/SlotProbe.obj dump declared
    # Without ccache: the dump is the compiler's output, not the object's. The old ABI, as for the
    # names: IHooks' slots take a std::string, which then carries Microsoft's name.
    local cxx=(clang++-14)
    dump=$(compile_one $msvc scripts/msvc/SlotProbe.cpp "$object" -D_GLIBCXX_USE_CXX11_ABI=0 -Xclang -fdump-vtable-layouts) ||
        fail "slots: scripts/msvc/SlotProbe.cpp does not compile for $msvc: a slot of plugin/host/ArkApi.h is missing"
    declared=$(
        awk '/^VFTable indices for .ArkApi::/ {
                 split($0, quoted, "\047"); name = quoted[2]; sub(/^ArkApi::/, "", name)
                 count = $0; sub(/.*\(/, "", count); sub(/ entries.*/, "", count)
                 print name, count, "slots in all"; next
             }
             name != "" && /^ *0 \| / {
                 print name, 0, ($0 ~ /::~[A-Za-z]+\(\) \[scalar deleting\]$/ ? "destructor" : $0); name = ""
             }' <<<"$dump"
        llvm-nm-14 --defined-only "$object" | awk '$3 ~ /^\?\?\$Slot@/ { print $3 }' | while read -r symbol; do
            llvm-undname-14 "$symbol" | sed -n 2p
        done | sed -E -e 's/^void __cdecl Slot<(.*) \(__cdecl ArkApi::([A-Za-z]+)::\*\)\((.*)\)( const)?, &\[thunk\]: __cdecl ArkApi::[A-Za-z]+::`vcall.\{([0-9]+), \{flat\}\}>\(void\)$/\2 \5 \1 (\3)\4/' \
            -e 's/(class|struct|enum) //g; s/ __cdecl//g' |
            awk '{ $2 = $2 / 8; print }'
    )
    local difference
    if ! difference=$(diff -u <(host_slots) <(LC_ALL=C sort -k1,1 -k2,2n <<<"$declared")); then
        echo "slots: plugin/host/ArkApi.h's virtual tables differ from the host's (- the host's, + ours):" >&2
        echo "$difference" | tail -n +3 >&2
        fail "slots: a call through a wrong slot reaches another function of the host"
    fi
    echo "slots: ICommands' 13, IApiUtils' 6 and IHooks' 3 virtual slots match the host's, in order and signature, under $msvc"
}

# Links a plug-in-like DLL for the MSVC target against the import library made from version.def, and
# loads it under Wine beside a matching host version.dll: the decorated import resolves, ICommands'
# virtual calls land in the right slots (Microsoft's tables hold one destructor, Itanium's two) and an
# FString goes through. No C++ runtime is linked on either side.
check_smoke() {
    [ -f "$out/version.lib" ] || check_names >/dev/null
    command -v lld-link-14 >/dev/null || fail "lld-link-14 is missing: run scripts/install-deps.sh"
    local dir=$out/smoke src=scripts/msvc/smoke part
    mkdir -p "$dir/host" "$dir/run"
    for part in SmokeHost SmokePlugin SmokeLoader; do
        compile_one $msvc "$src/$part.cpp" "$dir/$part.obj" -O1 -fno-rtti -fno-exceptions \
            $([ $part = SmokeHost ] && echo -DARK_API_EXPORTS) || fail "smoke: $src/$part.cpp does not compile"
    done
    printf 'LIBRARY kernel32.dll\nEXPORTS\n    LoadLibraryA\n    ExitProcess\n' >"$dir/kernel32.def"
    llvm-dlltool-14 -m i386:x86-64 -d "$dir/kernel32.def" -l "$dir/kernel32.lib"
    local link=(lld-link-14 /nologo /nodefaultlib /machine:x64)
    "${link[@]}" /dll /noentry "$dir/SmokeHost.obj" /out:"$dir/run/version.dll" /implib:"$dir/host/version.lib" &&
        "${link[@]}" /dll /entry:SmokeDllMain "$dir/SmokePlugin.obj" "$out/version.lib" /out:"$dir/run/SmokePlugin.dll" &&
        "${link[@]}" /subsystem:console /entry:SmokeMain "$dir/SmokeLoader.obj" "$dir/kernel32.lib" "$dir/host/version.lib" \
            /out:"$dir/run/SmokeLoader.exe" || fail "smoke: lld-link failed"

    local wine status=0
    wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
    (cd "$dir/run" && bash "$OLDPWD/cmake/wine-run.sh" "$wine" "$OLDPWD/$out/wine-prefix" SmokeLoader.exe) || status=$?
    case $status in
    0) echo "smoke: under Wine, an MSVC-target DLL linked against version.def's import library registered its command with the host" ;;
    1) fail "smoke: SmokePlugin.dll did not load, or its command was not registered (exit 1)" ;;
    3) fail "smoke: the plug-in's ICommands call reached the wrong virtual slot in the host" ;;
    4) fail "smoke: the host received no chat command" ;;
    5) fail "smoke: the command name (an FString) arrived altered" ;;
    *) fail "smoke: SmokeLoader.exe failed under Wine (exit $status)" ;;
    esac
}

case ${1:-all} in
compile) check_compile ;;
names) check_names ;;
calls) check_calls ;;
slots) check_slots ;;
smoke) check_smoke ;;
all) check_compile && check_names && check_calls && check_slots && check_smoke ;;
*) fail "unknown step '$1': compile, names, calls, slots, smoke, or none for all five" ;;
esac
