// clsMesa: the area entries of one table and the lines filed under them.
#include "orders/clsMesa.h"

clsMesa::clsMesa() : areas_(1) {}

void clsMesa::addArea(const std::string& area) {
  // Element 0 waits unnamed for the first area; an empty name leaves it
  // unnamed, so the next area takes it again.
  if (areas_.front().area.empty()) {
    areas_.front() = areaComandas{area};
    return;
  }
  areas_.push_back(areaComandas{area});
}

bool clsMesa::addComandaArea(const std::string& area, const clsComanda& objComanda) {
  for (auto& entry : areas_) {
    if (entry.area == area) {
      entry.comandas->push_back(objComanda);
      return true;
    }
  }
  return false;
}

areaComandas clsMesa::getArea(const std::string& area) const {
  for (const auto& entry : areas_)
    if (entry.area == area) return entry;
  return areas_.front();
}
