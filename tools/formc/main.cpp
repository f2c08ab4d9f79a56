// formc: compiles a form source into the binary stream of a form resource.
// See Driver.h for the command line and FormSource.h for the text format.
#include <iostream>
#include <string>
#include <vector>

#include "tools/formc/Driver.h"

int main(int argc, char** argv)
{
    return formc::RunFormc(std::vector<std::string>(argv + 1, argv + argc), std::cerr);
}
