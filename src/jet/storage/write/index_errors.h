// The failures of index rules, with the texts Access gives them: a key a
// unique index already holds, and a Null where a primary key or a
// required index allows none. The writer, the index pages and the making
// of a new index on a table with rows all answer them alike.
#pragma once

#include "jet/status.h"

namespace jet::storage::write {

Error duplicateKeyError();
Error nullKeyError();

}  // namespace jet::storage::write
