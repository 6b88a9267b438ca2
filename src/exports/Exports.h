#pragma once

// The calling convention of the host: C names, 32-bit integers, stdcall
// on Windows (the callee removes the 8 bytes of arguments).

#include <cstdint>

#if defined(_WIN32)
#  define VARDOF_STDCALL __stdcall
#  define VARDOF_EXPORT extern "C" __declspec(dllexport)
#else
#  define VARDOF_STDCALL
#  define VARDOF_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#define VARDOF_ENTRY(name) VARDOF_EXPORT std::int32_t VARDOF_STDCALL name(std::int32_t userNumber, std::int32_t windowId)

VARDOF_ENTRY(ShowAggSincroDBFastFormX);
VARDOF_ENTRY(ShowCancellaTabelleTmpFormX);
VARDOF_ENTRY(ShowRicalcolaIndiciFormX);
VARDOF_ENTRY(ShowQueryClass2FormX);
VARDOF_ENTRY(ShowQueryClass1FormX);
VARDOF_ENTRY(ShowAggiornamentiFDBaFDBFormX);
VARDOF_ENTRY(ShowConversioniFormX);
VARDOF_ENTRY(ShowImportCSVFormX);
VARDOF_ENTRY(ShowPulisciQmtGridFormX);
VARDOF_ENTRY(ShowVardoEdTabFormX);
VARDOF_ENTRY(ShowVardoSQLFormX);
VARDOF_ENTRY(ShowVardoQueryGenericaFormX);
VARDOF_ENTRY(ShowVardoStoricoFormX);
