#pragma once
// Widgets, icons and the cursor belong to the thread that runs the application's event loop. Workers (transfer
// jobs, the search) reach them through these calls.

#include <functional>

namespace nsUi
{

// True on the application's thread, and when there is no application at all (nothing to hand over to).
bool IsUiThread();

// Runs fn on the UI thread and returns when it has run. From a worker the UI thread serves the call from its
// event loop, so it must never wait for that worker in a plain join.
void RunOnUiThreadAndWait(const std::function<void()>& fn);

} // namespace nsUi
