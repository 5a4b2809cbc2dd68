#pragma once
// A stored site that points at a test server on this machine.

#include "sites/SiteRecord.h"

#include <string>

inline CSiteRecord LoopbackSite(unsigned short nPort, const std::wstring& strLogin = L"ann",
                                const std::wstring& strPassword = L"secret")
{
    CSiteRecord site;
    site.SetLabel(L"Test");
    site.SetHost(L"127.0.0.1");
    site.SetPort(nPort);
    site.SetLogin(strLogin);
    site.SetPassword(strPassword);
    site.SetTimeout(5);
    return site;
}
