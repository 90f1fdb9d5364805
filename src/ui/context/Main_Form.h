#pragma once

// What a dialog asks of the main window, its parent. The main window fills it in, so that a
// dialog reaches it without knowing the window above it.
class Main_Form {
public:
    virtual ~Main_Form() = default;
    // Re-texts the windows that follow a language change.
    virtual void Change_Language() = 0;
    // Switches the update-check timer: enabling a stopped timer starts its interval anew.
    virtual void Set_Update_Timer(bool enabled) = 0;
};
