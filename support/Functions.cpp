// Small shared functions: binary strings, finiteness, trimming, decibels.
#include "support/Functions.h"

#include <cfloat>
#include <cmath>
#include <cstring>

long Binary2Int(const char* s) {
  long v = s[0] - '0';
  for (const char* ch = s + 1; *ch; ++ch) v = 2 * v + (*ch - '0');
  return v;
}

char* Int2Binary(long x, long w) {
  if (w < 0) w = 0;
  char* s = new char[w + 1];
  for (long i = 0; i < w; ++i) s[w - 1 - i] = ((x >> (i % 32)) & 1) ? '1' : '0';
  s[w] = '\0';
  return s;
}

bool IsNumber(double x) { return !std::isnan(x); }
bool IsNumber(long double x) { return !std::isnan(x); }
bool IsFinite(double x) { return x >= -DBL_MAX && x <= DBL_MAX; }
bool IsFinite(long double x) { return x >= -static_cast<long double>(DBL_MAX) && x <= DBL_MAX; }
bool IsFiniteNumber(double x) { return IsNumber(x) && IsFinite(x); }
bool IsFiniteNumber(long double x) { return IsNumber(x) && IsFinite(x); }

bool IsDigits(const char* s) {
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

char* TrimLeft(char* text, const char* chars) {
  while (*text && std::strchr(chars, *text)) ++text;
  return text;
}

char* TrimRight(char* text, const char* chars) {
  for (size_t n = std::strlen(text); n > 0 && std::strchr(chars, text[n - 1]); --n)
    text[n - 1] = '\0';
  return text;
}

char* Trim(char* text, const char* chars) { return TrimLeft(TrimRight(text, chars), chars); }

double dbm2pw(double dbm) { return std::pow(10.0, dbm / 10.0 + 3.0); }
double pw2dbm(double pw) { return 10.0 * std::log10(pw) - 30.0; }
double db2factor(double db) { return std::pow(10.0, db / 10.0); }
double factor2db(double factor) { return 10.0 * std::log10(factor); }
