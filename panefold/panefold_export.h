#pragma once

// The library is built with hidden visibility; only what carries PANEFOLD_EXPORT is public.
#if defined(_WIN32)
#if defined(PANEFOLD_BUILDING)
#define PANEFOLD_EXPORT __declspec(dllexport)
#else
#define PANEFOLD_EXPORT __declspec(dllimport)
#endif
#else
#define PANEFOLD_EXPORT __attribute__((visibility("default")))
#endif
