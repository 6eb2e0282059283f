// Ziggurat normal generator: the SHR3 step, the uniform and normal draws and
// the computation of the shared strip tables.
#include "random/Ziggurat.h"

#include <cmath>

uint32_t Ziggurat::kn[128];
float Ziggurat::fn[128];
float Ziggurat::wn[128];
bool Ziggurat::init = false;

Ziggurat::Ziggurat(unsigned long seed) {
  if (!init) r4_nor_setup();
  Seed(seed);
}

void Ziggurat::Seed(unsigned long seed) {
  state = static_cast<uint32_t>(seed);
  if (state == 0) state = kZeroSeedState;
}

Ziggurat::~Ziggurat() = default;

float Ziggurat::r4_uni() {
  const double s = shr3();
  return static_cast<float>(std::fmod(0.5 + s / 65536.0 / 65536.0, 1.0));
}

float Ziggurat::r4_nor_outside(int32_t hz, int iz) {
  const float r = 3.442620f;
  for (;;) {
    if (iz == 0) {
      float x, y;
      do {
        x = static_cast<float>(-0.2904764 * std::log(static_cast<double>(r4_uni())));
        y = static_cast<float>(-std::log(static_cast<double>(r4_uni())));
      } while (y + y < x * x);
      return hz > 0 ? r + x : -r - x;
    }
    const float x = static_cast<float>(hz) * wn[iz];
    const float v = r4_uni();
    if (fn[iz] + v * (fn[iz - 1] - fn[iz]) < std::exp(-0.5 * x * x)) return x;
    hz = static_cast<int32_t>(shr3());
    iz = hz & 127;
    if (Magnitude(hz) < kn[iz]) return static_cast<float>(hz) * wn[iz];
  }
}

void Ziggurat::r4_nor_setup() {
  const double m1 = 2147483648.0;
  const double vn = 9.91256303526217e-3;
  double dn = 3.442619855899;
  double tn = dn;
  const double q = vn / std::exp(-0.5 * dn * dn);

  kn[0] = static_cast<uint32_t>((dn / q) * m1);
  kn[1] = 0;
  wn[0] = static_cast<float>(q / m1);
  wn[127] = static_cast<float>(dn / m1);
  fn[0] = 1.0f;
  fn[127] = static_cast<float>(std::exp(-0.5 * dn * dn));
  for (int i = 126; 1 <= i; --i) {
    dn = std::sqrt(-2.0 * std::log(vn / dn + std::exp(-0.5 * dn * dn)));
    kn[i + 1] = static_cast<uint32_t>((dn / tn) * m1);
    tn = dn;
    fn[i] = static_cast<float>(std::exp(-0.5 * dn * dn));
    wn[i] = static_cast<float>(dn / m1);
  }
  init = true;
}
