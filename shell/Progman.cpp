// The Program Manager group component: its published properties, its list of
// items, and the end of its conversation when it is freed.
#include "shell/Progman.h"

#include "framework/ErrorRouting.h"
#include "framework/Forms.h"

const TClassInfo& TProgMan::StaticClassInfo()
{
    // ShowGroup has no default, so a design always stores it.
    static const TClassInfo info = ClassInfoBuilder<TProgMan, TDdeClientConv>("TProgMan")
        .Property<&TProgMan::ProgramItems, &TProgMan::SetProgramItems>("programItems")
        .Property<&TProgMan::ProgramGroup, &TProgMan::SetProgramGroup>("programGroup")
        .Property<&TProgMan::ShowGroup, &TProgMan::SetShowGroup>("ShowGroup")
        .Property<&TProgMan::OnGroupError, &TProgMan::SetOnGroupError>("OnGroupError")
        .Property<&TProgMan::OnItemError, &TProgMan::SetOnItemError>("OnItemError")
        .Build();
    return info;
}

TProgMan::TProgMan(TComponent* owner)
    : TDdeClientConv(owner), m_programItems(std::make_unique<TStringList>()), m_showGroup(activateNormalSize)
{
}

TProgMan::~TProgMan()
{
    // The conversation ends while the items still exist. A destructor may
    // not raise: what OnClose raises is reported.
    CallHandler(this, [this] { CloseLink(); });
}

void TProgMan::SetProgramItems(TStringList* value)
{
    if (value && value != m_programItems.get())
        m_programItems->Assign(*value);
}
