// The find window: beside the study window, it lists the entries that hold the text typed so
// far and shows the one the learner picks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/CDialog.h"
#include "framework/CString.h"
#include "framework/Controls.h"
#include "study/WordSearch.h"
#include "words/WordList.h"
#include "words/WordPos.h"

class CFindDlg : public CDialog {
public:
    // `show` puts the entry at that list index on screen.
    CFindDlg(const WordList& words, std::function<void(std::uint32_t index)> show);

    // F3 / Shift+F3: the next or previous match, shown; false without matches.
    bool ShowNeighbour(int direction);
    // The list changed under the results: search again for the same text.
    void Restart();
    bool HasText() const { return !m_strText.IsEmpty(); }

    // Listed matches at most; the count still counts them all.
    static constexpr int kMaxListed = 10000;

    // "12 matches", "10001 matches, 10000 listed so far"; empty without a text to find.
    static std::string CountText(std::optional<std::size_t> matches, bool searching);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnTextChange();
    void OnResultDoubleClick();
    void OnTimer(UINT nIDEvent);

    DECLARE_MESSAGE_MAP()

private:
    void ShowMatch(int index);
    void ShowCount();

    const WordList& m_words;
    std::function<void(std::uint32_t)> m_show;
    std::unique_ptr<WordSearch> m_search;
    std::vector<WordPos> m_matches;
    int m_nCurrent = -1; // index in m_matches of the match shown last

    CString m_strText;
    CString m_strCount;
    CEdit m_editText;
    CStatic m_staticCount;
    CListBox m_listResults;
};
