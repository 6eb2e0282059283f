// Small shared functions: decibels.
#include "support/Functions.h"

#include <cmath>

double dbm2pw(double dbm) {
  return std::pow(10.0, dbm / 10.0 + 3.0);
}
