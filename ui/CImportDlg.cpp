#include "ui/CImportDlg.h"

#include <unordered_map>
#include <utility>

#include "exchange/ColumnGuess.h"
#include "framework/CDataExchange.h"
#include "res/ResourceIds.h"
#include "ui/ListCodeSet.h"

BEGIN_MESSAGE_MAP(CImportDlg, CDialog)
ON_CBN_SELCHANGE(IDC_IMPORT_FORMAT, &CImportDlg::OnFormatChange)
ON_CBN_SELCHANGE(IDC_IMPORT_ENCODING, &CImportDlg::OnEncodingChange)
ON_BN_CLICKED(IDC_IMPORT_SKIP, &CImportDlg::OnSkip)
ON_BN_CLICKED(IDC_IMPORT_REPLACE, &CImportDlg::OnReplace)
ON_BN_CLICKED(IDC_IMPORT_ADD, &CImportDlg::OnAdd)
ON_CBN_SELCHANGE(IDC_IMPORT_COLUMN, &CImportDlg::OnColumnChange)
ON_TBLN_COLCHANGE(IDC_IMPORT_PREVIEW, &CImportDlg::OnTableColumnChange)
ON_CBN_SELCHANGE(IDC_IMPORT_ROLE, &CImportDlg::OnRoleChange)
ON_BN_CLICKED(IDC_IMPORT_HEADER, &CImportDlg::OnHeaderChange)
END_MESSAGE_MAP()

namespace {

// List rows in the order of the enums, so that a row is its value.
constexpr ExchangeFormat kFormats[] = {ExchangeFormat::Csv, ExchangeFormat::Tsv,
                                       ExchangeFormat::Kvtml};
constexpr const char* kFormatRows[] = {"CSV", "Tab-separated", "KVTML"};
constexpr TextEncoding kEncodings[] = {TextEncoding::Utf8, TextEncoding::Utf16Le,
                                       TextEncoding::Utf16Be, TextEncoding::Gb18030};
constexpr ColumnRole kRoles[] = {ColumnRole::Word, ColumnRole::Spell, ColumnRole::Type,
                                 ColumnRole::Meaning, ColumnRole::None};
constexpr const char* kRoleRows[] = {"Word", "Spell", "Type", "Meaning", "Not imported"};
// The fields of an entry as the plan previews them, for files that have no columns of their own.
constexpr const char* kFieldHeadings[] = {"Word", "Spell", "Type", "Meaning"};

const char* RoleName(ColumnRole role) {
    for (std::size_t i = 0; i < std::size(kRoles); ++i) {
        if (kRoles[i] == role)
            return kRoleRows[i];
    }
    return "Not imported";
}

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

// What a row becomes, as its heading says: the number it is stored as, and why when not new.
std::string RowHeading(const PreviewRow& row) {
    const std::string number = std::to_string(row.entry.number);
    switch (row.status) {
    case PreviewRow::Status::New:
        break;
    case PreviewRow::Status::Skipped:
        return "already in the list: skipped";
    case PreviewRow::Status::Replaces:
        return number + ": replaces the entry in the list";
    case PreviewRow::Status::Added:
        return number + ": already in the list, added again";
    }
    return number;
}

} // namespace

CImportDlg::CImportDlg(const WordList& words, std::string path, CWnd* pParent)
    : CDialog(IDD_IMPORT, pParent), m_words(words), m_path(std::move(path)), m_source(m_path) {
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
    for (const char* row : kRoleRows)
        m_comboRole.AddString(row);
    m_bFilling = false;
    Show();
    return TRUE;
}

void CImportDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IMPORT_FORMAT, m_comboFormat);
    DDX_Control(pDX, IDC_IMPORT_ENCODING, m_comboEncoding);
    DDX_Control(pDX, IDC_IMPORT_COLUMN, m_comboColumn);
    DDX_Control(pDX, IDC_IMPORT_ROLE, m_comboRole);
    DDX_Control(pDX, IDC_IMPORT_HEADER, m_btnHeader);
    DDX_Control(pDX, IDC_IMPORT_PREVIEW, m_tablePreview);
    DDX_Control(pDX, IDC_IMPORT_PROBLEMS, m_listProblems);
    DDX_Control(pDX, IDOK, m_btnImport);
    DDX_Text(pDX, IDC_IMPORT_FILE, m_strFile);
    DDX_Text(pDX, IDC_IMPORT_READ_AS, m_strReadAs);
    DDX_Text(pDX, IDC_IMPORT_COUNTS, m_strCounts);
    DDX_Radio(pDX, IDC_IMPORT_SKIP, m_nDuplicates);
    DDX_Check(pDX, IDC_IMPORT_HEADER, m_nHeader);
}

void CImportDlg::Reread() {
    ImportedWords read;
    std::string error;
    // The last reading's words and plan go before the next is made: a large file's would
    // otherwise be held twice.
    m_read = ImportedWords{};
    m_plan = ImportPlan{};
    const bool ok = m_source.Read(m_options, read, error);
    // A reading that failed before the file gave its rows shows nothing of them.
    Took(ok, ok || !read.sampleRows.empty() ? std::move(read) : ImportedWords{}, std::move(error));
}

void CImportDlg::Remap() {
    if (!m_source.CanReadAgain()) {
        Reread();
        return;
    }
    ImportedWords read;
    std::string error;
    m_read = ImportedWords{};
    m_plan = ImportPlan{};
    const bool ok = m_source.ReadAgain(m_options, read, error);
    Took(ok, std::move(read), std::move(error));
}

// A reading that gave no word keeps its rows and columns, so that the learner sees what
// the choices did and can choose again.
void CImportDlg::Took(bool ok, ImportedWords read, std::string error) {
    if (ok)
        ImportIntoListCodeSet(read);
    m_read = std::move(read);
    m_error = ok ? std::string() : error.empty() ? "the file could not be read" : error;
    Replan();
}

void CImportDlg::Replan() {
    // The entries the plan adds are named, not copied, until the learner confirms.
    m_plan = m_error.empty() ? PlanImportPreview(m_read, m_words, m_policy) : ImportPlan{};
}

bool CImportDlg::CanChooseColumns() const {
    return m_source.CanReadAgain() && m_read.format == ReadFormat::Delimited &&
           m_read.columnCount > 0;
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
    m_nHeader = m_read.header ? 1 : 0;
    ShowTable();
    ShowColumnChoice();
    m_listProblems.ResetContent();
    for (const ImportProblem& problem : m_read.problems)
        m_listProblems.AddString(ProblemText(problem).c_str());
    if (m_read.ProblemsLeftOut() > 0)
        m_listProblems.AddString(("and " +
                                  Counted(m_read.ProblemsLeftOut(), "more line", "more lines") +
                                  " that could not be read")
                                     .c_str());
    m_bFilling = false;
    m_btnImport.EnableWindow(m_plan.AddedCount() > 0 || !m_plan.replaced.empty());
    UpdateData(FALSE);
}

// Delimited text shows its own columns, each headed by the field it gives; other formats show
// the fields of their entries. Each row is headed by what it becomes.
void CImportDlg::ShowTable() {
    std::unordered_map<std::size_t, const PreviewRow*> planned;
    for (const PreviewRow& row : m_plan.preview)
        planned.emplace(row.line, &row);
    const auto heading = [&](std::size_t line) {
        const auto it = planned.find(line);
        return it == planned.end() ? std::string("not read") : RowHeading(*it->second);
    };
    if (m_read.sampleRows.empty()) {
        m_tablePreview.SetSize(static_cast<int>(m_plan.preview.size()),
                               m_plan.preview.empty() ? 0 : 4);
        for (int column = 0; column < m_tablePreview.GetColumnCount(); ++column)
            m_tablePreview.SetColumnHeading(column, kFieldHeadings[column]);
        int at = 0;
        for (const PreviewRow& row : m_plan.preview) {
            m_tablePreview.SetRowHeading(at, RowHeading(row).c_str());
            const WordEntry& e = row.entry;
            const std::string* fields[] = {&e.word, &e.spell, &e.type, &e.mean};
            for (int column = 0; column < 4; ++column)
                m_tablePreview.SetCell(at, column, fields[column]->c_str());
            ++at;
        }
        m_tablePreview.FitColumns();
        return;
    }
    const int columns = static_cast<int>(m_read.columnCount);
    m_tablePreview.SetSize(static_cast<int>(m_read.sampleRows.size()), columns);
    const std::vector<ColumnRole> roles = RolesOf(m_read.columns, m_read.columnCount);
    for (int column = 0; column < columns; ++column) {
        const auto at = static_cast<std::size_t>(column);
        std::string text = RoleName(roles[at]);
        if (at < m_read.columnNames.size() && !m_read.columnNames[at].empty())
            text += " (" + InListCodeSet(m_read.columnNames[at]) + ")";
        m_tablePreview.SetColumnHeading(column, text.c_str());
    }
    int at = 0;
    for (const SampleRow& row : m_read.sampleRows) {
        m_tablePreview.SetRowHeading(at, heading(row.line).c_str());
        for (int column = 0; column < static_cast<int>(row.cells.size()) && column < columns;
             ++column)
            m_tablePreview.SetCell(
                at, column, InListCodeSet(row.cells[static_cast<std::size_t>(column)]).c_str());
        ++at;
    }
    m_tablePreview.FitColumns();
}

// The column chosen, named by its number and heading or first cell, and the field it gives.
void CImportDlg::ShowColumnChoice() {
    const bool choosing = CanChooseColumns();
    int chosen = m_comboColumn.GetCurSel();
    m_comboColumn.ResetContent();
    if (choosing) {
        for (std::size_t column = 0; column < m_read.columnCount; ++column) {
            std::string name;
            if (column < m_read.columnNames.size())
                name = m_read.columnNames[column];
            else if (!m_read.sampleRows.empty() && column < m_read.sampleRows.front().cells.size())
                name = m_read.sampleRows.front().cells[column];
            std::string row = std::to_string(column + 1);
            if (!name.empty())
                row += ": " + InListCodeSet(name.substr(0, 40));
            m_comboColumn.AddString(row.c_str());
        }
        if (chosen < 0 || chosen >= m_comboColumn.GetCount())
            chosen = 0;
        m_comboColumn.SetCurSel(chosen);
        m_tablePreview.SetCurColumn(chosen);
        const std::vector<ColumnRole> roles = RolesOf(m_read.columns, m_read.columnCount);
        for (std::size_t i = 0; i < std::size(kRoles); ++i) {
            if (kRoles[i] == roles[static_cast<std::size_t>(chosen)])
                m_comboRole.SetCurSel(static_cast<int>(i));
        }
    } else {
        m_comboRole.SetCurSel(-1);
    }
    m_comboColumn.EnableWindow(choosing);
    m_comboRole.EnableWindow(choosing);
    m_btnHeader.EnableWindow(choosing);
}

void CImportDlg::OnColumnChange() {
    if (m_bFilling)
        return;
    m_bFilling = true;
    ShowColumnChoice();
    m_bFilling = false;
}

// Moving among the table's columns, or clicking a heading, chooses that column.
void CImportDlg::OnTableColumnChange() {
    const int column = m_tablePreview.GetCurColumn();
    if (m_bFilling || column < 0 || column >= m_comboColumn.GetCount())
        return;
    m_bFilling = true;
    m_comboColumn.SetCurSel(column);
    ShowColumnChoice();
    m_bFilling = false;
}

void CImportDlg::OnRoleChange() {
    const int column = m_comboColumn.GetCurSel();
    const int row = m_comboRole.GetCurSel();
    if (m_bFilling || !CanChooseColumns() || column < 0 || row < 0 ||
        row >= static_cast<int>(std::size(kRoles)))
        return;
    m_options.delimited.columns = WithRole(m_read.columns, column, kRoles[row]);
    Remap();
    Show();
}

void CImportDlg::OnHeaderChange() {
    if (m_bFilling || !CanChooseColumns())
        return;
    UpdateData(TRUE);
    m_options.delimited.header = m_nHeader != 0;
    Remap();
    Show();
}

void CImportDlg::OnFormatChange() {
    const int row = m_comboFormat.GetCurSel();
    if (m_bFilling || row < 0 || row >= static_cast<int>(std::size(kFormats)))
        return;
    m_options.format = kFormats[row];
    // Columns chosen for one way of cutting the lines say nothing of another.
    m_options.delimited.columns.reset();
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
    if (!m_error.empty() || (m_plan.AddedCount() == 0 && m_plan.replaced.empty()))
        return;
    // The read entries become the added ones, copied only when some are left out.
    TakeAdded(m_plan, std::move(m_read.entries));
    EndDialog(IDOK);
}
