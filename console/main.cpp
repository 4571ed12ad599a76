#include "console/start_up.h"

// The command line and the environment are Qt's to read, not the program's.
int main(int, char**) {
  return runProgram();
}
