// ArrayDense: a dense row-major array of up to four dimensions, used for the
// parameter tables and as storage of the histograms and transition counts.
#pragma once

#include <algorithm>
#include <cstddef>

template <class T, class I>
class ArrayDense {
 public:
  ArrayDense() = default;
  ArrayDense(I n1, I n2 = 1, I n3 = 1, I n4 = 1) { Resize(n1, n2, n3, n4); }
  ArrayDense(const ArrayDense& other) { CopyFrom(other); }
  ArrayDense& operator=(const ArrayDense& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  virtual ~ArrayDense() { Release(); }

  // Zero-filled storage of n1*n2*n3*n4 elements; a non-positive product
  // leaves an empty array.
  void Resize(I n1, I n2 = 1, I n3 = 1, I n4 = 1) {
    long long product = static_cast<long long>(n1) * n2 * n3 * n4;
    Release();
    if (n1 <= 0 || n2 <= 0 || n3 <= 0 || n4 <= 0 || product <= 0) {
      d1 = d2 = d3 = d4 = d23 = d234 = d34 = size = 0;
      return;
    }
    d1 = n1, d2 = n2, d3 = n3, d4 = n4;
    size = static_cast<I>(product);
    d23 = d2 * d3, d234 = d2 * d3 * d4, d34 = d3 * d4;
    data = new T[static_cast<size_t>(size)]();
    owns = true;
  }

  T& operator()(I i) { return data[i]; }
  const T& operator()(I i) const { return data[i]; }
  T& operator()(I i, I j) { return data[i * d234 + j * d34]; }
  const T& operator()(I i, I j) const { return data[i * d234 + j * d34]; }
  T& operator()(I i, I j, I k) { return data[i * d234 + j * d34 + k * d4]; }
  T& operator()(I i, I j, I k, I l) { return data[i * d234 + j * d34 + k * d4 + l]; }

  bool empty() const { return size == 0; }

  T* data = nullptr;
  I d1 = 0, d2 = 0, d3 = 0, d4 = 0;
  I d23 = 0, d234 = 0, d34 = 0;
  I size = 0;
  bool owns = false;

 private:
  void Release() {
    if (owns) delete[] data;
    data = nullptr;
    owns = false;
  }
  void CopyFrom(const ArrayDense& other) {
    Resize(other.d1, other.d2, other.d3, other.d4);
    if (size > 0) std::copy(other.data, other.data + other.size, data);
  }
};
