// Ziggurat: the Marsaglia-Tsang ziggurat normal generator driven by a 32-bit
// SHR3 shift-register state, with its strip tables shared by every instance.
#pragma once

#include <cstdint>

class Ziggurat {
 public:
  // Computes the shared tables on first use; the state comes from Seed.
  explicit Ziggurat(unsigned long seed = 0);
  virtual ~Ziggurat();

  // The state is the low 32 bits of seed, except that SHR3 never leaves 0,
  // so a zero state is replaced by a fixed non-zero one.
  void Seed(unsigned long seed);
  static constexpr uint32_t kZeroSeedState = 123456789;

  // One SHR3 output: the old state plus the state after the three xor-shifts.
  uint32_t shr3() {
    const uint32_t old = state;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return old + state;
  }
  // Uniform single-precision value from one SHR3 output.
  float r4_uni();
  // Standard normal single-precision value; the common case, inside the
  // strips, is inline and the rest out of line.
  float r4_nor() {
    const int32_t hz = static_cast<int32_t>(shr3());
    const int iz = hz & 127;
    if (Magnitude(hz) < kn[iz]) return static_cast<float>(hz) * wn[iz];
    return r4_nor_outside(hz, iz);
  }
  // Fills kn, fn and wn; called once per process by the first constructor.
  static void r4_nor_setup();

  uint32_t state;

  // Constant-initialised, so a Ziggurat built during static initialisation of
  // another file still sees init == false and fills them.
  static uint32_t kn[128];
  static float fn[128];
  static float wn[128];
  static bool init;

 private:
  // Magnitude of a signed draw as unsigned, defined also for INT32_MIN.
  static uint32_t Magnitude(int32_t hz) {
    return hz < 0 ? 0u - static_cast<uint32_t>(hz) : static_cast<uint32_t>(hz);
  }
  // The wedges and the tail, for a first draw hz outside its strip iz.
  float r4_nor_outside(int32_t hz, int iz);
};
