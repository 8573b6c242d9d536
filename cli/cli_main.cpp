#include "cli.h"

#include <iostream>

int main(int argc, char** argv)
{
    return quorvil::RunCli(argc, argv, std::cout, std::cerr);
}
