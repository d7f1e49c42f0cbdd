// The generations of the Access file format a database file can be in.
//
// Jet 3 is Access 97; Jet 4 is Access 2000 to 2003; the ACE versions are the
// .accdb files of Access 2007 and later. The header page's version byte
// says which one a file is (see jet_format.h).
#pragma once

namespace jet {

enum class FileFormat { Jet3, Jet4, Ace12, Ace14, Ace16, Ace17 };

}  // namespace jet
