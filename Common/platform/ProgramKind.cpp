#include "ProgramKind.h"

#include <atomic>

namespace
{

// Set once before the first window; read by dialogs built on any thread.
std::atomic<EProgramKind> g_programKind{EProgramKind::Desktop};

} // namespace

EProgramKind ProgramKind()
{
    return g_programKind.load(std::memory_order_relaxed);
}

void SetProgramKind(EProgramKind kind)
{
    g_programKind.store(kind, std::memory_order_relaxed);
}
