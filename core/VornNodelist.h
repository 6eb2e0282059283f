// VornNodelist: a non-owning list of nodes over an array the network owns.
#pragma once

class VornNode;

class VornNodelist {
 public:
  virtual ~VornNodelist() = default;

  void Append(VornNode* node) { items[count++] = node; }
  void Clear() { count = 0; }
  // Makes this list a view of other's array and members.
  void Show(const VornNodelist& other) {
    items = other.items;
    count = other.count;
  }
  VornNode* operator[](long i) const { return items[i]; }
  VornNode** begin() const { return items; }
  VornNode** end() const { return items + count; }

  VornNode** items = nullptr;
  long count = 0;
};
