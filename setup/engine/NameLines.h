// The lists of names that the setup's messages show: a few names, each on a
// line of its own, and a count of the rest.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The names, each on a line of its own (each after a CR): at most the
// first 20 of them, then the count of the rest of total.
std::string NameLines(const std::vector<std::string>& names, size_t total);
// All of the names that way: total is their number.
inline std::string NameLines(const std::vector<std::string>& names)
{
    return NameLines(names, names.size());
}
// How many names such a list shows at most.
constexpr size_t MostNamed = 20;
