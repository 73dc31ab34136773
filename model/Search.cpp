#include "model/Search.h"

#include <algorithm>

#include "model/TextRules.h"

namespace {
std::wstring FileNamePartOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The file name the user knows the installer by: an imported copy is named after the record,
// so the path it came from names it; a referenced file is where it always was.
std::wstring InstallerFileName(const CInstallerInfo& installer)
{
    return FileNamePartOf(installer.OriginalPath.empty() ? installer.InstallerPath : installer.OriginalPath);
}

void AppendField(std::wstring& text, const std::wstring& field)
{
    const size_t start = text.size();
    text += field;
    for (size_t i = start; i < text.size(); ++i)
        text[i] = PlatformUpperChar(text[i]);
    text += L'\0';
}

// The key looked for in prepared texts; the library's find skips to each candidate first
// character, so a long comment costs little.
class CKeySearcher {
public:
    explicit CKeySearcher(const std::wstring& key) : m_key(key) {}
    bool In(const std::wstring& text) const { return text.find(m_key) != std::wstring::npos; }

private:
    const std::wstring& m_key;
};
}  // namespace

std::wstring SearchKey(const std::wstring& query)
{
    std::wstring key = TrimText(query);
    // A NUL separates the fields; a query holding one could match across them.
    if (key.find(L'\0') != std::wstring::npos)
        key.erase(std::remove(key.begin(), key.end(), L'\0'), key.end());
    return PlatformUpper(key);
}

std::wstring SearchText(const CSoftware& record)
{
    const CBasicInfo& basic = record.BasicInfo;
    const CRegInfo& reg = record.RegInfo;
    std::wstring text;
    text.reserve(basic.Name.size() + basic.Version.size() + basic.Company.size() + basic.Website.size() +
                 reg.UserName.size() + reg.UserCompany.size() + reg.UserEmail.size() + reg.Comment.size() + 64);
    for (const std::wstring* field : {&basic.Name, &basic.Version, &basic.Company, &basic.Website, &reg.UserName,
                                      &reg.UserCompany, &reg.UserEmail, &reg.Comment})
        AppendField(text, *field);
    for (int i = 0; i < reg.CodeName.GetSize(); ++i)
        AppendField(text, reg.CodeName[i]);
    for (int i = 0; i < reg.Code.GetSize(); ++i)
        AppendField(text, reg.Code[i]);
    AppendField(text, InstallerFileName(record.InstallerInfo));
    return text;
}

bool RecordMatches(const CSoftware& record, const std::wstring& query)
{
    const std::wstring key = SearchKey(query);
    return !key.empty() && CKeySearcher(key).In(SearchText(record));
}

void CSearchIndex::Build(const CSoftwareArray& catalogue)
{
    const int size = catalogue.GetSize();
    m_records.assign(size > 0 ? static_cast<size_t>(size) : 0, nullptr);
    m_texts.resize(m_records.size());
    for (int i = 0; i < size; ++i) {
        m_records[static_cast<size_t>(i)] = catalogue[i];
        m_texts[static_cast<size_t>(i)] = SearchText(*catalogue[i]);
    }
    m_lastKey.clear();
    m_lastMatches.clear();
}

int CSearchIndex::Find(const std::wstring& query, CSoftwareArray& matches)
{
    matches.RemoveAll();
    const std::wstring key = SearchKey(query);
    std::vector<int> found;
    if (!key.empty()) {
        const CKeySearcher searcher(key);
        const bool narrowing = !m_lastKey.empty() && key.find(m_lastKey) != std::wstring::npos;
        if (narrowing) {
            for (int position : m_lastMatches) {
                if (searcher.In(m_texts[static_cast<size_t>(position)]))
                    found.push_back(position);
            }
        } else {
            for (size_t i = 0; i < m_texts.size(); ++i) {
                if (searcher.In(m_texts[i]))
                    found.push_back(static_cast<int>(i));
            }
        }
    }
    m_lastKey = key;
    m_lastMatches = found;
    matches.SetSize(static_cast<int>(found.size()));
    for (size_t i = 0; i < found.size(); ++i)
        matches[static_cast<int>(i)] = m_records[static_cast<size_t>(found[i])];
    return matches.GetSize();
}
