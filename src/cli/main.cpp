// zambrix-cli: the command-line front end.
#include "cli/cli.h"

int main(int argc, char** argv) { return zambrix::cli::Run(std::vector<std::string>(argv + 1, argv + argc)); }
