#pragma once
// How the engine tells the user things. The program installs one report object for the whole process; the
// engine never shows anything itself. Tests install a recorder.

#include <string>

namespace nsFTP
{

class IReport
{
public:
    virtual ~IReport() = default;
    // An error for the user: an exception text or a server reply. Never called with an empty text.
    virtual void ShowError(const std::wstring& strText) = 0;
    // A server reply for the status line (desktop pane 0). Called for every reply read with reporting on.
    virtual void ShowReplyText(const std::wstring& strText) = 0;
};

// Installs the process-wide report object (not owned; null removes it). Safe to call from any thread.
void SetReport(IReport* pReport);
IReport* GetReport();

// Shows an error through the installed report object; an empty text shows nothing.
void ReportError(const std::wstring& strText);
// Sends a reply text to the status line through the installed report object.
void ReportReplyText(const std::wstring& strText);

} // namespace nsFTP
