#pragma once
// Which of the two programs this process is. The shared dialogs and controls come in a desktop and a handheld
// form; each program says once at start-up which one it is, and every dialog built afterwards follows it.

enum class EProgramKind
{
    Desktop,  // Bollard
    Handheld, // Capstan
};

// Desktop until a program says otherwise.
EProgramKind ProgramKind();
void SetProgramKind(EProgramKind kind);
