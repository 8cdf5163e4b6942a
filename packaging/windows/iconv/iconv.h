/* The part of iconv(3) that libmdb uses, for Windows, where MinGW-w64 has no iconv: the
 * conversions are the system's own code pages (MultiByteToWideChar, WideCharToMultiByte),
 * one character at a time, so that a character that cannot be converted stops the call where
 * it lies, as iconv does. Part of threadgauge; GPL-3.0-or-later. */
#ifndef THREADGAUGE_ICONV_H
#define THREADGAUGE_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

iconv_t iconv_open(const char* to, const char* from);
size_t iconv(iconv_t cd, char** in, size_t* in_left, char** out, size_t* out_left);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
