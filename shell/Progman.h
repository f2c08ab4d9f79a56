// The Program Manager group component: what a Program Manager group needs (a
// name, its items, how its window is shown and two error events) on top of a
// DDE client conversation.
#pragma once

#include <memory>
#include <string>

#include "framework/DesignTypes.h"
#include "framework/StringList.h"
#include "shell/DdeMan.h"

class TProgMan : public TDdeClientConv {
    DECLARE_CLASS_INFO(TProgMan)
public:
    explicit TProgMan(TComponent* owner);
    ~TProgMan() override;

    // The group's items, one a line. Writing copies the lines; the component
    // never takes over the caller's list.
    TStringList* ProgramItems() const { return m_programItems.get(); }
    void SetProgramItems(TStringList* value);
    const std::string& ProgramGroup() const { return m_programGroup; }
    void SetProgramGroup(const std::string& value) { m_programGroup = value; }
    TActivateType ShowGroup() const { return m_showGroup; }
    void SetShowGroup(TActivateType value) { m_showGroup = value; }

    // Events
    TNotifyEvent OnGroupError() const { return m_onGroupError; }
    void SetOnGroupError(TNotifyEvent e) { m_onGroupError = e; }
    TNotifyEvent OnItemError() const { return m_onItemError; }
    void SetOnItemError(TNotifyEvent e) { m_onItemError = e; }

private:
    std::unique_ptr<TStringList> m_programItems;
    std::string m_programGroup;
    TActivateType m_showGroup;
    TNotifyEvent m_onGroupError;
    TNotifyEvent m_onItemError;
};
