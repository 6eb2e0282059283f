// TEMPORARY stand-in for the random stream, only so that this branch builds;
// the real GenRand replaces this file. Calling any draw aborts.
#pragma once

#include <cstdlib>

class GenRand {
 public:
  virtual ~GenRand() = default;
  double Uniform() { std::abort(); }
  double RayleighFading(double, double) { std::abort(); }
  double RicePower(double, double) { std::abort(); }
};
