#include "ui/CImportDlg.h"

#include <utility>

#include "framework/CDataExchange.h"
#include "res/ResourceIds.h"
#include "ui/ListCodeSet.h"

BEGIN_MESSAGE_MAP(CImportDlg, CDialog)
ON_CBN_SELCHANGE(IDC_IMPORT_FORMAT, &CImportDlg::OnFormatChange)
ON_CBN_SELCHANGE(IDC_IMPORT_ENCODING, &CImportDlg::OnEncodingChange)
ON_BN_CLICKED(IDC_IMPORT_SKIP, &CImportDlg::OnSkip)
ON_BN_CLICKED(IDC_IMPORT_REPLACE, &CImportDlg::OnReplace)
ON_BN_CLICKED(IDC_IMPORT_ADD, &CImportDlg::OnAdd)
END_MESSAGE_MAP()

namespace {

// List rows in the order of the enums, so that a row is its value.
constexpr ExchangeFormat kFormats[] = {ExchangeFormat::Csv, ExchangeFormat::Tsv,
                                       ExchangeFormat::Kvtml};
constexpr const char* kFormatRows[] = {"CSV", "Tab-separated", "KVTML"};
constexpr TextEncoding kEncodings[] = {TextEncoding::Utf8, TextEncoding::Utf16Le,
                                       TextEncoding::Utf16Be, TextEncoding::Gb18030};

ExchangeFormat FormatRead(const ImportedWords& read) {
    if (read.format == ReadFormat::Kvtml)
        return ExchangeFormat::Kvtml;
    return read.separator == '\t' ? ExchangeFormat::Tsv : ExchangeFormat::Csv;
}

std::string ReadAsText(const ImportedWords& read) {
    if (read.format == ReadFormat::Kvtml)
        return "KVTML, " + std::string(EncodingName(read.encoding));
    if (read.format == ReadFormat::WordFile)
        return "a word list file, " + std::string(EncodingName(read.encoding));
    std::string text;
    switch (read.separator) {
    case '\t':
        text = "tab-separated";
        break;
    case ';':
        text = "semicolon-separated";
        break;
    default:
        text = "comma-separated";
        break;
    }
    if (read.header)
        text += ", header row";
    if (read.html)
        text += ", HTML fields";
    return text + ", " + EncodingName(read.encoding);
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string PreviewText(const PreviewRow& row) {
    const WordEntry& e = row.entry;
    std::string text = row.status == PreviewRow::Status::Skipped ? "-" : std::to_string(e.number);
    text += "  " + e.word;
    if (!e.spell.empty())
        text += " " + e.spell;
    text += "  " + e.type + "  " + e.mean;
    switch (row.status) {
    case PreviewRow::Status::New:
        break;
    case PreviewRow::Status::Skipped:
        text += "  (already in the list: skipped)";
        break;
    case PreviewRow::Status::Replaces:
        text += "  (replaces the entry in the list)";
        break;
    case PreviewRow::Status::Added:
        text += "  (already in the list: added again)";
        break;
    }
    return text;
}

} // namespace

CImportDlg::CImportDlg(const WordList& words, std::string path, CWnd* pParent)
    : CDialog(IDD_IMPORT, pParent), m_words(words), m_path(std::move(path)) {
    const std::size_t slash = m_path.find_last_of('/');
    m_strFile = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CImportDlg::CountsText(const ImportPlan& plan) {
    return Counted(plan.newWords, "new word", "new words") + ", " +
           std::to_string(plan.duplicates) + " already in the list, " +
           Counted(plan.unreadable, "line could not be read", "lines could not be read");
}

bool CImportDlg::Load(std::string& message) {
    Reread();
    if (m_error.empty())
        return true;
    message = "Cannot import " + m_strFile.str() + ": " + m_error + ".";
    return false;
}

BOOL CImportDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bFilling = true;
    for (const char* row : kFormatRows)
        m_comboFormat.AddString(row);
    for (const TextEncoding encoding : kEncodings)
        m_comboEncoding.AddString(EncodingName(encoding));
    m_bFilling = false;
    Show();
    return TRUE;
}

void CImportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IMPORT_FORMAT, m_comboFormat);
    DDX_Control(pDX, IDC_IMPORT_ENCODING, m_comboEncoding);
    DDX_Control(pDX, IDC_IMPORT_PREVIEW, m_listPreview);
    DDX_Control(pDX, IDC_IMPORT_PROBLEMS, m_listProblems);
    DDX_Control(pDX, IDOK, m_btnImport);
    DDX_Text(pDX, IDC_IMPORT_FILE, m_strFile);
    DDX_Text(pDX, IDC_IMPORT_READ_AS, m_strReadAs);
    DDX_Text(pDX, IDC_IMPORT_COUNTS, m_strCounts);
    DDX_Radio(pDX, IDC_IMPORT_SKIP, m_nDuplicates);
}

void CImportDlg::Reread() {
    ImportedWords read;
    std::string error;
    if (ImportFile(m_path, m_options, read, error)) {
        ImportIntoListCodeSet(read);
        m_read = std::move(read);
        m_error.clear();
    } else {
        m_read = ImportedWords{};
        m_error = error.empty() ? "the file could not be read" : error;
    }
    Replan();
}

void CImportDlg::Replan() {
    m_plan = m_error.empty() ? PlanImport(m_read, m_words, m_policy) : ImportPlan{};
}

// Everything shown follows the last reading and plan; the choices show what was used.
void CImportDlg::Show() {
    m_bFilling = true;
    if (m_error.empty()) {
        m_comboFormat.SetCurSel(static_cast<int>(FormatRead(m_read)));
        m_comboEncoding.SetCurSel(static_cast<int>(m_read.encoding));
        m_strReadAs = ReadAsText(m_read);
        std::string counts = CountsText(m_plan);
        if (m_read.droppedFields > 0)
            counts += "; " + Counted(m_read.droppedFields, "field", "fields") +
                      " of unused columns left out";
        m_strCounts = counts;
    } else {
        m_strReadAs = "cannot be read this way: " + m_error;
        m_strCounts = "Nothing to import";
    }
    m_listPreview.ResetContent();
    for (const PreviewRow& row : m_plan.preview)
        m_listPreview.AddString(PreviewText(row).c_str());
    m_listProblems.ResetContent();
    for (const ImportProblem& problem : m_read.problems)
        m_listProblems.AddString(ProblemText(problem).c_str());
    if (m_read.ProblemsLeftOut() > 0)
        m_listProblems.AddString(("and " +
                                  Counted(m_read.ProblemsLeftOut(), "more line", "more lines") +
                                  " that could not be read")
                                     .c_str());
    m_bFilling = false;
    m_btnImport.EnableWindow(m_plan.added.GetCount() > 0 || !m_plan.replaced.empty());
    UpdateData(FALSE);
}

void CImportDlg::OnFormatChange() {
    const int row = m_comboFormat.GetCurSel();
    if (m_bFilling || row < 0 || row >= static_cast<int>(std::size(kFormats)))
        return;
    m_options.format = kFormats[row];
    Reread();
    Show();
}

void CImportDlg::OnEncodingChange() {
    const int row = m_comboEncoding.GetCurSel();
    if (m_bFilling || row < 0 || row >= static_cast<int>(std::size(kEncodings)))
        return;
    m_options.encoding = kEncodings[row];
    Reread();
    Show();
}

void CImportDlg::SetPolicy(DuplicatePolicy policy) {
    m_policy = policy;
    m_nDuplicates = static_cast<int>(policy);
    Replan();
    Show();
}

void CImportDlg::OnSkip() {
    SetPolicy(DuplicatePolicy::Skip);
}

void CImportDlg::OnReplace() {
    SetPolicy(DuplicatePolicy::Replace);
}

void CImportDlg::OnAdd() {
    SetPolicy(DuplicatePolicy::Add);
}

// Enter imports only when there is something to import.
void CImportDlg::OnOK() {
    if (!m_error.empty() || (m_plan.added.GetCount() == 0 && m_plan.replaced.empty()))
        return;
    EndDialog(IDOK);
}
