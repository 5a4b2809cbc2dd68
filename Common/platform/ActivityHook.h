#pragma once
// The socket layer's activity notification as a Qt signal on the UI thread: every accept, send and receive of
// any thread emits Activity() there and waits until its slots have run. The views connect it to the restart of
// their keep-alive timer.

#include "ftp/BlockingSocket.h"

#include <QObject>

class CActivityHook : public QObject, public nsSocket::IActivityHook
{
    Q_OBJECT

public:
    // Made on the UI thread; it is the process's activity hook while it lives.
    explicit CActivityHook(QObject* pParent = nullptr);
    ~CActivityHook() override;

    // Any thread. From another thread it waits for the UI thread, which must keep serving events meanwhile.
    void OnSocketActivity() override;

signals:
    void Activity();
};
