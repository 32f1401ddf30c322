#include "apps/programs.h"

int main(int argc, char** argv) { return morv::ProgramMain(morv::Program4(), argc, argv); }
