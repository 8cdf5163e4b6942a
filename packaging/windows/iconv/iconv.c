/* iconv over the Windows code pages: see iconv.h. Part of threadgauge; GPL-3.0-or-later. */
#include "iconv.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum { kUtf16Le = 1200, kUtf8 = 65001 };

struct Converter {
  UINT from, to;
};

/* The code page of an iconv name: "UTF-8", "UCS-2LE", "CP936", "WINDOWS-1252", "BIG-5" …;
 * 0 for a name this converter does not know. */
static UINT CodePageOf(const char* name) {
  static const struct {
    const char* name;
    UINT code_page;
  } kNamed[] = {{"UTF-8", kUtf8},           {"UTF8", kUtf8},          {"UCS-2LE", kUtf16Le},
                {"UTF-16LE", kUtf16Le},     {"BIG-5", 950},           {"BIG5", 950},
                {"BIG5-HKSCS", 951},        {"SHIFT-JIS", 932},       {"SHIFT_JIS", 932},
                {"GBK", 936},               {"GB18030", 54936},       {"EUC-CN", 51936},
                {"EUC-JP", 20932},          {"EUC-KR", 51949},        {"KOI8-R", 20866},
                {"KOI8-U", 21866},          {"ISO-8859-1", 28591},    {"ISO-8859-2", 28592},
                {"ISO-8859-5", 28595},      {"ISO-8859-7", 28597},    {"ISO-8859-9", 28599},
                {"ISO-8859-15", 28605},     {"UTF-7", 65000}};
  for (size_t i = 0; i < sizeof kNamed / sizeof kNamed[0]; ++i) {
    if (_stricmp(name, kNamed[i].name) == 0) return kNamed[i].code_page;
  }
  const char* digits = NULL;
  if (_strnicmp(name, "CP", 2) == 0) digits = name + 2;
  if (_strnicmp(name, "WINDOWS-", 8) == 0) digits = name + 8;
  if (_strnicmp(name, "IBM", 3) == 0) digits = name + 3;
  if (digits == NULL || *digits == '\0') return 0;
  char* end = NULL;
  const unsigned long number = strtoul(digits, &end, 10);
  if (*end != '\0' || number == 0 || number > 65535) return 0;
  return IsValidCodePage((UINT)number) ? (UINT)number : 0;
}

iconv_t iconv_open(const char* to, const char* from) {
  const UINT to_page = CodePageOf(to), from_page = CodePageOf(from);
  if (to_page == 0 || from_page == 0) {
    errno = EINVAL;
    return (iconv_t)-1;
  }
  struct Converter* converter = malloc(sizeof *converter);
  if (converter == NULL) {
    errno = ENOMEM;
    return (iconv_t)-1;
  }
  converter->from = from_page;
  converter->to = to_page;
  return converter;
}

int iconv_close(iconv_t cd) {
  free(cd);
  return 0;
}

/* The bytes of the next character of the input, 0 when the input ends inside it. */
static size_t NextCharacter(UINT code_page, const unsigned char* in, size_t left) {
  if (code_page == kUtf16Le) {
    if (left < 2) return 0;
    const unsigned unit = in[0] | (in[1] << 8);
    const size_t size = unit >= 0xD800 && unit <= 0xDBFF ? 4 : 2;
    return size <= left ? size : 0;
  }
  size_t size = 1;
  if (code_page == kUtf8) {
    size = in[0] < 0x80 ? 1 : in[0] >= 0xF0 ? 4 : in[0] >= 0xE0 ? 3 : 2;
  } else if (IsDBCSLeadByteEx(code_page, in[0])) {
    size = 2;
  }
  return size <= left ? size : 0;
}

size_t iconv(iconv_t cd, char** in, size_t* in_left, char** out, size_t* out_left) {
  if (in == NULL || *in == NULL) return 0; /* no shift state to reset */
  const struct Converter* converter = cd;
  size_t converted = 0;
  while (*in_left > 0) {
    const size_t size = NextCharacter(converter->from, (const unsigned char*)*in, *in_left);
    if (size == 0) {
      errno = EINVAL;
      return (size_t)-1;
    }
    WCHAR wide[2];
    int units = 0;
    if (converter->from == kUtf16Le) {
      memcpy(wide, *in, size);
      units = (int)(size / 2);
    } else {
      units = MultiByteToWideChar(converter->from, MB_ERR_INVALID_CHARS, *in, (int)size, wide, 2);
    }
    if (units <= 0) {
      errno = EILSEQ;
      return (size_t)-1;
    }
    char bytes[8];
    int written = 0;
    if (converter->to == kUtf16Le) {
      memcpy(bytes, wide, (size_t)units * 2);
      written = units * 2;
    } else {
      BOOL lost = FALSE;
      const BOOL strict = converter->to != kUtf8 && converter->to != 65000;
      written = WideCharToMultiByte(converter->to, converter->to == kUtf8 ? WC_ERR_INVALID_CHARS : 0,
                                    wide, units, bytes, sizeof bytes, NULL, strict ? &lost : NULL);
      if (written <= 0 || lost) {
        errno = EILSEQ;
        return (size_t)-1;
      }
    }
    if ((size_t)written > *out_left) {
      errno = E2BIG;
      return (size_t)-1;
    }
    memcpy(*out, bytes, (size_t)written);
    *out += written;
    *out_left -= (size_t)written;
    *in += size;
    *in_left -= size;
    ++converted;
  }
  return 0;
}
