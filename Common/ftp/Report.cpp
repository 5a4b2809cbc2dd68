#include "Report.h"

#include <atomic>

namespace nsFTP
{

namespace
{
std::atomic<IReport*> g_pReport{nullptr};
}

void SetReport(IReport* pReport)
{
    g_pReport.store(pReport);
}

IReport* GetReport()
{
    return g_pReport.load();
}

void ReportError(const std::wstring& strText)
{
    if (strText.empty()) return;
    if (IReport* p = GetReport()) p->ShowError(strText);
}

void ReportReplyText(const std::wstring& strText)
{
    if (IReport* p = GetReport()) p->ShowReplyText(strText);
}

} // namespace nsFTP
