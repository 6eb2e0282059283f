// ArrayDense: a dense row-major two-dimensional array, used for the
// parameter tables and as storage of the histograms and transition counts.
#pragma once

#include <algorithm>
#include <cstddef>

template <class T, class I>
class ArrayDense {
 public:
  ArrayDense() = default;
  ArrayDense(I n1, I n2 = 1) { Resize(n1, n2); }
  ArrayDense(const ArrayDense& other) { CopyFrom(other); }
  ArrayDense& operator=(const ArrayDense& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  virtual ~ArrayDense() { Release(); }

  // Zero-filled storage of n1 rows of n2 elements; a non-positive product
  // leaves an empty array.
  void Resize(I n1, I n2 = 1) {
    const long long product = static_cast<long long>(n1) * n2;
    Release();
    if (n1 <= 0 || n2 <= 0 || product <= 0) {
      d1 = d2 = size = 0;
      return;
    }
    d1 = n1, d2 = n2;
    size = static_cast<I>(product);
    data = new T[static_cast<size_t>(size)]();
    owns = true;
  }

  T& operator()(I i) { return data[i]; }
  const T& operator()(I i) const { return data[i]; }
  T& operator()(I i, I j) { return data[i * d2 + j]; }
  const T& operator()(I i, I j) const { return data[i * d2 + j]; }

  bool empty() const { return size == 0; }

  T* data = nullptr;
  I d1 = 0, d2 = 0;
  I size = 0;
  bool owns = false;

 private:
  void Release() {
    if (owns) delete[] data;
    data = nullptr;
    owns = false;
  }
  void CopyFrom(const ArrayDense& other) {
    Resize(other.d1, other.d2);
    if (size > 0) std::copy(other.data, other.data + other.size, data);
  }
};
