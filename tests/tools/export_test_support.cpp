// The engine's shared test helpers, built into the tools' test program too.
#include "jet/test_support.cpp"
