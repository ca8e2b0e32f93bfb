#include "framework/FileDialog.h"

#include <QFile>
#include <QFileDialog>

#include "framework/CWnd.h"

namespace {

bool Chosen(const QString& chosen, std::string& path) {
    if (chosen.isEmpty())
        return false;
    path = QFile::encodeName(chosen).toStdString();
    return true;
}

} // namespace

bool AfxGetOpenFileName(CWnd* owner, const char* filter, std::string& path) {
    return Chosen(QFileDialog::getOpenFileName(owner ? owner->GetSafeHwnd() : nullptr, QString(),
                                               QString(), QString::fromUtf8(filter)),
                  path);
}

bool AfxGetSaveFileName(CWnd* owner, const char* filter, std::string& path) {
    return Chosen(QFileDialog::getSaveFileName(owner ? owner->GetSafeHwnd() : nullptr, QString(),
                                               QString(), QString::fromUtf8(filter)),
                  path);
}

bool AfxGetFolderName(CWnd* owner, const char* title, std::string& path) {
    return Chosen(QFileDialog::getExistingDirectory(owner ? owner->GetSafeHwnd() : nullptr,
                                                    QString::fromUtf8(title)),
                  path);
}
