// STANDIN_API marks the stand-in host's own control interface (accounts, players, inboxes...),
// which the host library exports beside the framework contract for the server library to use.
#pragma once

#if defined(_WIN32)
#if defined(ARK_API_EXPORTS)
#define STANDIN_API __declspec(dllexport)
#else
#define STANDIN_API __declspec(dllimport)
#endif
#else
#define STANDIN_API __attribute__((visibility("default")))
#endif
