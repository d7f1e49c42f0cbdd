// The demo restaurant's menu: some forty products in the areas COCINA,
// PARRILLA, BAR, POSTRES and CAFETERIA, and the last four of area "NN" (not
// for the kitchen: bread, service, bags, terrace), in the order PRODUCTOS
// receives them. A bigger kitchen adds the areas HORNO, PLANCHA and
// MARISCOS, up to the eight areas the board has buttons for.
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

// The kitchen areas a menu can have, in the order they come on it.
inline constexpr int kMaxKitchenAreas = 8;
inline constexpr int kMenuKitchenAreas = 5;  // the areas of menu()

// The menu of a kitchen with `areas` areas (1 to kMaxKitchenAreas): the
// products of the first `areas` areas in menu()'s order, those of the added
// areas after them, and the "NN" products last. With kMenuKitchenAreas it is
// menu() itself, product for product.
std::vector<Product> menuWithAreas(int areas);

// How many products at the end of menu() are of area "NN".
inline constexpr size_t kProductsOutsideKitchen = 4;

}  // namespace demo
