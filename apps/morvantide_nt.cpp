#include "apps/programs.h"

int main(int argc, char** argv) { return morv::ProgramMain(morv::ProgramNT(), argc, argv); }
