#include "framework/FormResources.h"

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Reader.h"
#include "runtime/Stream.h"

bool ReadComponentResource(std::string_view resourceName, TComponent* instance)
{
    const std::string name(resourceName);
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), RT_RCDATA);
    if (!info)
        return false;
    HGLOBAL data = LoadResource(module, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes)
        return false;
    // The design is read in place from the loaded resource.
    TMemoryViewStream stream(bytes, SizeofResource(module, info));
    TReader reader(stream);
    reader.ReadRootComponent(instance);
    return true;
}

bool ReadFormResource(TComponent* instance, const TClassInfo& rootAncestor)
{
    return TReader::ReadWithGlobalLoading([&] {
        std::vector<const TClassInfo*> chain;
        for (const TClassInfo* c = &instance->ClassInfo();
             c && c != &rootAncestor && c != &TComponent::StaticClassInfo(); c = c->Parent)
            chain.push_back(c);
        bool found = false;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            if (ReadComponentResource((*it)->Name, instance))
                found = true;
        return found;
    });
}
