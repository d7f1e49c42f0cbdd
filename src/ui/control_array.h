// A control array: elements indexed from 0, element 0 made at design time,
// further elements loaded at run time as copies of element 0's design and
// unloaded again.
//
// Elements live in stable storage (a pointer to an element stays valid until
// that element is unloaded). Loading an index already loaded, or unloading
// element 0 or an index not loaded, does nothing and answers false. Element 0
// is never unloaded. Reaching an element that is not loaded throws
// std::out_of_range rather than touching freed memory.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace ui {

template <typename T>
class ControlArray {
 public:
  // `copyDesign` makes a new element from element 0 (its design and font).
  ControlArray(T element0, std::function<T(const T&)> copyDesign)
      : copyDesign_(std::move(copyDesign)) {
    elements_.push_back(std::make_unique<T>(std::move(element0)));
  }

  // Number of loaded elements.
  int16_t count() const {
    int16_t n = 0;
    for (const auto& e : elements_) n += e ? 1 : 0;
    return n;
  }
  // One past the highest loaded index.
  int32_t upperBound() const { return static_cast<int32_t>(elements_.size()); }
  bool loaded(int32_t i) const {
    return i >= 0 && i < upperBound() && elements_[static_cast<size_t>(i)] != nullptr;
  }
  T& operator[](int32_t i) { return *checked(i); }
  const T& operator[](int32_t i) const { return *checked(i); }

  // Loads a new element at a free index as a copy of element 0's design.
  bool load(int32_t index) {
    if (index <= 0 || index >= INT16_MAX || loaded(index)) return false;
    if (index >= upperBound()) elements_.resize(static_cast<size_t>(index) + 1);
    elements_[static_cast<size_t>(index)] = std::make_unique<T>(copyDesign_(*elements_.front()));
    return true;
  }
  bool unload(int32_t index) {
    if (index <= 0 || !loaded(index)) return false;
    elements_[static_cast<size_t>(index)].reset();
    while (elements_.size() > 1 && !elements_.back()) elements_.pop_back();
    return true;
  }

 private:
  T* checked(int32_t i) const {
    if (!loaded(i)) throw std::out_of_range("control array element not loaded");
    return elements_[static_cast<size_t>(i)].get();
  }

  std::function<T(const T&)> copyDesign_;
  std::vector<std::unique_ptr<T>> elements_;
};

}  // namespace ui
