#include "framework/CDataExchange.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include "framework/CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.GetSafeHwnd() != nullptr)
        return;
    if (HWND control = pDX->Control(nIDC))
        rControl.Attach(control, nIDC);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    auto* box = qobject_cast<QCheckBox*>(pDX->Control(nIDC));
    if (box == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    auto* first = qobject_cast<QRadioButton*>(pDX->Control(nIDC));
    if (first == nullptr)
        return;
    // The dialog puts each group in a button group, in template order.
    const QList<QAbstractButton*> group =
        first->group() ? first->group()->buttons() : QList<QAbstractButton*>{first};
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (qsizetype i = 0; i < group.size(); ++i) {
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        }
        return;
    }
    if (value >= 0 && value < group.size()) {
        group[value]->setChecked(true);
        return;
    }
    // None checked: an exclusive group must let go for a moment to show that.
    QButtonGroup* buttons = first->group();
    if (buttons)
        buttons->setExclusive(false);
    for (QAbstractButton* button : group)
        button->setChecked(false);
    if (buttons)
        buttons->setExclusive(true);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND control = pDX->Control(nIDC);
    if (control == nullptr)
        return;
    // The remembered bytes live on the widget, so a temporary object sees them too.
    CWnd wnd;
    wnd.Attach(control, nIDC);
    if (pDX->m_bSaveAndValidate)
        wnd.GetWindowText(value);
    else
        wnd.SetWindowText(value);
}
