#include "cli.h"

#include <iostream>

#include "system_file.h"

int main(int argc, char** argv)
{
    // Outputs written to standard output are files too: the same bytes on
    // every platform.
    quorvil::sys::SetBinaryStandardOutput();
    return quorvil::RunCli(argc, argv, std::cout, std::cerr);
}
