#pragma once
// How a view receives commands by id and says which of them are available. Menus, toolbars, accelerators and
// the list's context menu all end in OnCommand; menus and toolbars ask UpdateCommand before they show.

// The state of one command: greyed or not, marked or not.
struct CCommandState
{
    bool fEnabled = true;
    bool fChecked = false;
};

class ICommandTarget
{
public:
    virtual ~ICommandTarget() = default;
    // Carries out the command; false when the target does not handle this id.
    virtual bool OnCommand(int nId) = 0;
    // Adjusts the state, which arrives enabled and unchecked; ids without a rule stay so.
    virtual void UpdateCommand(int nId, CCommandState& state) = 0;
};
