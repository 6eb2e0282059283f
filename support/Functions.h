// Small shared functions: binary strings of code words, finiteness tests,
// in-place trimming, and the decibel conversions.
#pragma once

long Binary2Int(const char* s);
// New string of w characters, most significant bit first; the caller frees it
// with delete[].
char* Int2Binary(long x, long w);

bool IsNumber(double x);
bool IsNumber(long double x);
bool IsFinite(double x);
bool IsFinite(long double x);
bool IsFiniteNumber(double x);
bool IsFiniteNumber(long double x);

bool IsDigits(const char* s);

char* TrimLeft(char* text, const char* chars);
char* TrimRight(char* text, const char* chars);
char* Trim(char* text, const char* chars);

// dBm to microwatts: 0 dBm is 1000, -30 dBm is 1.
double dbm2pw(double dbm);
double pw2dbm(double pw);
double db2factor(double db);
double factor2db(double factor);
