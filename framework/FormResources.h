// The stored designs of the forms: each form class's design is a data
// resource of the program named after the class, read into a new instance.
#pragma once

#include <string_view>

class TComponent;
struct TClassInfo;

// Reads the stored designs of instance's class chain, from the first class
// below rootAncestor down to the instance's own class. Returns whether at
// least one was found.
bool ReadFormResource(TComponent* instance, const TClassInfo& rootAncestor);
// Reads one stored design; false when the program has no such resource.
bool ReadComponentResource(std::string_view resourceName, TComponent* instance);
