// The demo menu's products, prices in cents.
#include "demo/menu.h"

namespace demo {

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

}  // namespace demo
