#include "app/CVocabApp.h"

#include "framework/ResourceModule.h"
#include "res/AppResources.h"
#include "ui/CVocabDlg.h"

CVocabApp::CVocabApp() {
    AfxSetResourceModule(VocamintResources());
}

BOOL CVocabApp::InitInstance() {
    CVocabDlg dlg;
    // As main window it owns the About box, which is created without a parent.
    m_pMainWnd = &dlg;
    m_pDlg = &dlg;
    // The window saves what it must before it ends; its end code tells us nothing more.
    dlg.DoModal();
    // The window object dies on return: leave no dangling main-window pointer behind.
    m_pMainWnd = nullptr;
    m_pDlg = nullptr;
    // FALSE: no message loop of our own, the program ends here.
    return FALSE;
}

void CVocabApp::OnEndSession() {
    if (m_pDlg != nullptr)
        m_pDlg->EndSession();
}
