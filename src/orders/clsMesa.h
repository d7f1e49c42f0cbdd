// clsMesa: the pending lines of one table, sorted into the board's areas.
//
// A group always has at least one area entry: element 0 exists from the
// start with an empty name and no lines, and the first addArea names it.
// Lookups compare area names exactly (case counts) and take the first
// entry that matches; a name of no entry finds element 0.
//
// getPendientes fills a group in three steps, in this order: every area of
// the board, then the table number, then the lines.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orders/clsComanda.h"

// One area entry of a table: the area's name and that table's lines in it,
// in the order they were added (element 0 is the first line). Copies of an
// entry share the same line collection.
struct areaComandas {
  std::string area;
  std::shared_ptr<std::vector<clsComanda>> comandas = std::make_shared<std::vector<clsComanda>>();
};

class clsMesa {
 public:
  clsMesa();

  // Adds an entry named `area` with no lines (element 0 first, while it is
  // unnamed). A name already present makes a second entry lookups never
  // reach.
  void addArea(const std::string& area);
  // Appends the line to the first entry named `area`; false (nothing
  // stored) when no entry has that name.
  bool addComandaArea(const std::string& area, const clsComanda& objComanda);

  const std::string& mesa() const { return mesa_; }
  void setMesa(std::string mesa) { mesa_ = std::move(mesa); }

  // A copy of the first entry named `area`, or of element 0 when none is.
  areaComandas getArea(const std::string& area) const;

  // Every entry, element 0 first.
  const std::vector<areaComandas>& areas() const { return areas_; }

 private:
  std::vector<areaComandas> areas_;
  std::string mesa_;
};
