// The demo menu's products, prices in cents.
#include "demo/menu.h"

#include <algorithm>
#include <string>

namespace demo {

namespace {

// The areas of a bigger kitchen, after the five of menu().
const std::vector<Product>& addedAreas() {
  static const std::vector<Product> m = {
      {"Pizza margarita", "HORNO", 900},
      {"Pizza cuatro quesos", "HORNO", 1100},
      {"Lasaña de carne", "HORNO", 1050},
      {"Canelones de la abuela", "HORNO", 950},
      {"Cordero asado al horno de leña", "HORNO", 2200},
      {"Pez espada a la plancha", "PLANCHA", 1500},
      {"Sepia a la plancha", "PLANCHA", 1200},
      {"Verduras a la plancha", "PLANCHA", 850},
      {"Secreto a la plancha", "PLANCHA", 1450},
      {"Gambas al ajillo", "MARISCOS", 1300},
      {"Mejillones al vapor", "MARISCOS", 900},
      {"Pulpo a la gallega", "MARISCOS", 1800},
      {"Navajas a la plancha", "MARISCOS", 1400},
  };
  return m;
}

}  // namespace

const std::vector<Product>& menu() {
  static const std::vector<Product> m = {
      {"Tortilla española", "COCINA", 650},
      {"Croquetas de jamón", "COCINA", 800},
      {"Ensalada mixta", "COCINA", 700},
      {"Gazpacho", "COCINA", 550},
      {"Paella valenciana", "COCINA", 1400},
      {"Lentejas estofadas", "COCINA", 900},
      {"Merluza a la romana", "COCINA", 1350},
      {"Calamares fritos", "COCINA", 950},
      {"Patatas bravas", "COCINA", 550},
      {"Sopa del día", "COCINA", 600},
      {"Entrecot de ternera", "PARRILLA", 1850},
      {"Chuletas de cordero", "PARRILLA", 1700},
      {"Pollo a la brasa", "PARRILLA", 1100},
      {"Hamburguesa completa", "PARRILLA", 1050},
      {"Parrillada de verduras", "PARRILLA", 950},
      {"Secreto ibérico", "PARRILLA", 1550},
      {"Chorizo criollo", "PARRILLA", 750},
      {"Caña de cerveza", "BAR", 250},
      {"Copa de vino tinto", "BAR", 300},
      {"Refresco de cola", "BAR", 250},
      {"Agua mineral", "BAR", 180},
      {"Zumo de naranja", "BAR", 350},
      {"Tinto de verano", "BAR", 320},
      {"Vermú de grifo", "BAR", 300},
      {"Flan casero", "POSTRES", 450},
      {"Tarta de queso", "POSTRES", 550},
      {"Arroz con leche", "POSTRES", 450},
      {"Natillas", "POSTRES", 400},
      {"Helado de vainilla", "POSTRES", 420},
      {"Fruta del tiempo", "POSTRES", 380},
      {"Café solo", "CAFETERIA", 130},
      {"Café con leche", "CAFETERIA", 160},
      {"Cortado", "CAFETERIA", 140},
      {"Infusión de manzanilla", "CAFETERIA", 150},
      {"Chocolate con churros", "CAFETERIA", 380},
      {"Tostada con tomate", "CAFETERIA", 250},
      {"Pan", "NN", 100},
      {"Servicio de mesa", "NN", 150},
      {"Bolsa para llevar", "NN", 10},
      {"Suplemento terraza", "NN", 50},
  };
  return m;
}

std::vector<Product> menuWithAreas(int areas) {
  areas = std::clamp(areas, 1, kMaxKitchenAreas);
  std::vector<std::string> order;  // the kitchen areas as they come
  std::vector<Product> kitchen, outside;
  auto take = [&](const Product& p) {
    if (std::string(p.negocio) == "NN") {
      outside.push_back(p);
      return;
    }
    auto at = std::find(order.begin(), order.end(), p.negocio);
    if (at == order.end()) at = order.insert(order.end(), p.negocio);
    if (at - order.begin() < areas) kitchen.push_back(p);
  };
  for (const Product& p : menu()) take(p);
  for (const Product& p : addedAreas()) take(p);
  kitchen.insert(kitchen.end(), outside.begin(), outside.end());
  return kitchen;
}

}  // namespace demo
