// The About box: the program's icon, its version line and an OK button.
#pragma once

#include <string>

#include "framework/CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    // The folder of the list the program has open, shown in the box's details (its tooltip
    // and the description a screen reader gives); the box's texts stay as they are.
    void SetListFolder(std::string folder) { m_listFolder = std::move(folder); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    std::string m_listFolder;

    DECLARE_MESSAGE_MAP()
};
