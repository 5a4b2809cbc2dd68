#pragma once
// A private registry file for one test: a fresh folder under the temporary folder, named through
// RAVELIN_REGISTRY_FILE for as long as the object lives. The user's own settings are never touched.

#include "fixtures/ReportRecorder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class CTempRegistry
{
public:
    CTempRegistry()
    {
        if (const char* pszOld = std::getenv(kVariable)) m_strOldValue = pszOld;
        std::string strTemplate = (std::filesystem::temp_directory_path() / "ravelin-registry-XXXXXX").string();
        if (::mkdtemp(strTemplate.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        m_strFolder = strTemplate;
        UseFile(m_strFolder + "/registry");
    }
    ~CTempRegistry()
    {
        if (m_strOldValue)
            ::setenv(kVariable, m_strOldValue->c_str(), 1);
        else
            ::unsetenv(kVariable);
        std::error_code ec;
        std::filesystem::remove_all(m_strFolder, ec);
    }
    CTempRegistry(const CTempRegistry&) = delete;
    CTempRegistry& operator=(const CTempRegistry&) = delete;

    // Points the registry at another file (inside Folder(), so that it is cleaned up as well).
    void UseFile(const std::string& strFile)
    {
        m_strFile = strFile;
        ::setenv(kVariable, m_strFile.c_str(), 1);
    }

    const std::string& Folder() const { return m_strFolder; }
    const std::string& File() const { return m_strFile; }

    std::string ReadText() const
    {
        std::ifstream file(m_strFile, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void WriteText(const std::string& strText) const
    {
        std::ofstream file(m_strFile, std::ios::binary | std::ios::trunc);
        file << strText;
    }

private:
    static constexpr const char* kVariable = "RAVELIN_REGISTRY_FILE";
    std::optional<std::string> m_strOldValue;
    std::string m_strFolder;
    std::string m_strFile;
};

// The recorder of what would be shown to the user.
using nsTest::CReportRecorder;
