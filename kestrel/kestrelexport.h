// Export macro of the Kestrel host library, shared by the executable and every plug-in.
#pragma once

#include <QtGlobal>

// The library is built with hidden visibility; its public classes and functions carry this
// macro so the executable and run-time-loaded plug-ins link one shared copy of the host state.
#if defined(KESTREL_LIBRARY)
#define KESTREL_EXPORT Q_DECL_EXPORT
#else
#define KESTREL_EXPORT Q_DECL_IMPORT
#endif
