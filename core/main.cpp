// Entry point of vorn: one simulation run from the options to the results.
#include "core/Vorn.h"

int main(int argc, char** argv) {
  return RunVorn(argc, argv);
}
