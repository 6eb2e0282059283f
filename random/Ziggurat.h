// Ziggurat: the Marsaglia-Tsang ziggurat normal generator driven by a 32-bit
// SHR3 shift-register state, with its strip tables shared by every instance.
#pragma once

#include <cstdint>

class Ziggurat {
 public:
  // Computes the shared tables on first use; the state is the low 32 bits of seed.
  explicit Ziggurat(unsigned long seed = 0);
  virtual ~Ziggurat();

  // One SHR3 output: the old state plus the state after the three xor-shifts.
  uint32_t shr3();
  // Uniform single-precision value from one SHR3 output.
  float r4_uni();
  // Standard normal single-precision value.
  float r4_nor();
  // Fills kn, fn and wn; called once per process by the first constructor.
  static void r4_nor_setup();

  uint32_t state;

  // Constant-initialised, so a Ziggurat built during static initialisation of
  // another file still sees init == false and fills them.
  static uint32_t kn[128];
  static float fn[128];
  static float wn[128];
  static bool init;
};
