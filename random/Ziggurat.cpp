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

// A draw outside the part of its layer that lies under the curve. From the
// base layer it becomes a point of the tail beyond r, by Marsaglia's method:
// x = -ln(U1) / r (0.2904764 is 1/r), kept when -2 ln(U2) >= x^2. From any
// other layer it is a wedge point, kept when a uniform height within the
// layer lies below exp(-x^2/2). A rejected draw starts over with a new hz.
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

// The ziggurat: 128 layers of equal area vn under f(x) = exp(-x^2/2), x >= 0.
// Layer i of 1..127 spans [0, x_i] between the heights f(x_i) and f(x_{i-1}),
// from x_127 = r = 3.442619855899 upwards, so equal areas give
// x_{i-1} = sqrt(-2 ln(vn / x_i + f(x_i))). Layer 0 is the base below f(r)
// with the tail beyond r, taken as a rectangle of width q = vn / f(r). A
// signed 32-bit draw hz picks layer iz = hz & 127 and x = hz wn[iz] (wn[i] =
// x_i / 2^31, q / 2^31 for the base); x lies under the curve without further
// test when |hz| < kn[iz] = x_{i-1} / x_i 2^31 (r / q 2^31 for the base, 0
// for the top layer). fn[i] = f(x_i) are the heights of the wedge test.
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
