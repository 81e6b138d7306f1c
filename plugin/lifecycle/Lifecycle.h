// Start-up and shut-down of the plug-in, run by the library entry point.
#pragma once

namespace qv {

enum class UnloadReason {
    LibraryUnloaded, // the host is unloading the plug-in; the game goes on
    ProcessEnding,   // the whole server is ending; its objects may already be gone
};

void Load();
void Unload(UnloadReason reason = UnloadReason::LibraryUnloaded);

} // namespace qv
