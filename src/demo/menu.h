// The demo restaurant's menu: some forty products in the areas COCINA,
// PARRILLA, BAR, POSTRES and CAFETERIA, and the last four of area "NN" (not
// for the kitchen: bread, service, bags, terrace), in the order PRODUCTOS
// receives them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo {

struct Product {
  const char* nombre;
  const char* negocio;
  int64_t precioCentimos;
};

const std::vector<Product>& menu();

// How many products at the end of menu() are of area "NN".
inline constexpr size_t kProductsOutsideKitchen = 4;

}  // namespace demo
