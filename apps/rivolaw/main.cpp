// rivolaw: the desktop program of RIVOLA.
#include "shell.h"

int main(int argc, char** argv) { return rivola::ui::rw_main(argc, argv); }
