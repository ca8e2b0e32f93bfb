// The study window's File menu: import into the list through the session, export of the list.
#include <string>

#include "base/Counted.h"
#include "exchange/Exporters.h"
#include "framework/FileDialog.h"
#include "ui/CImportDlg.h"
#include "ui/CVocabDlg.h"
#include "ui/ListCodeSet.h"
#include "ui/ReviewMenu.h"

namespace {

const char* const kImportFilter = "Word lists (*.csv *.tsv *.txt *.kvtml *.xml);;All files (*)";
const char* const kExportFilter = "CSV (*.csv);;Tab-separated (*.tsv *.txt);;KVTML (*.kvtml)";

} // namespace

void CVocabDlg::OnFileImport() {
    std::string path;
    const bool chosen =
        m_chooseFile ? m_chooseFile(false, path) : AfxGetOpenFileName(this, kImportFilter, path);
    if (!chosen)
        return;
    CImportDlg dlg(m_words, path, this);
    std::string message;
    if (!dlg.Load(message)) {
        MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (dlg.DoModal() != IDOK)
        return;
    // Progress the file carried starts the history of its words.
    if (const std::string failure = m_session->ImportGrades(dlg.GetGrades()); !failure.empty())
        MessageBox(failure.c_str(), "Info", MB_OK);
    m_review->Recount();
    Show(m_session->Import(dlg.TakePlan()));
}

void CVocabDlg::OnFileExport() {
    std::string path;
    const bool chosen =
        m_chooseFile ? m_chooseFile(true, path) : AfxGetSaveFileName(this, kExportFilter, path);
    if (!chosen)
        return;
    const std::optional<ExchangeFormat> format = FormatFromPath(path);
    if (!format) {
        MessageBox("Please give the file a name ending in .csv, .tsv, .txt or .kvtml.", "Error",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::string message;
    WordList converted;
    // KVTML carries each word's progress from the schedule.
    const GradeLookup grades =
        *format == ExchangeFormat::Kvtml ? m_session->review().GradesForExport() : GradeLookup();
    if (!ExportWords(ListInUtf8(m_words, converted), path, *format, message, grades)) {
        MessageBox(message.c_str(), "Error", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string done = "Exported " + Counted(m_words.GetCount(), "word", "words") + ".";
    MessageBox(done.c_str(), "Info", MB_OK);
}
